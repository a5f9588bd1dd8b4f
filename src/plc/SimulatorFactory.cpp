#include "plc/SimulatorFactory.h"

#include "plc/EmbeddedPlc.h"
#include "plc/ModbusPlc.h"
#include "plc/PlcTexts.h"

std::unique_ptr<TSimulatorBackEnd> CreateSimulatorBackEnd(const std::string& spec, std::string& error,
                                                          TTimerClock* clock) {
  error.clear();
  if (spec.empty() || spec == "embedded") return std::make_unique<TEmbeddedPlc>(clock);
  constexpr std::string_view kModbus = "modbus:";
  if (spec.starts_with(kModbus)) {
    TModbusOptions options;
    std::string why;
    if (!ParseModbusOptions(std::string_view(spec).substr(kModbus.size()), options, why)) {
      error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "PLC back end \"%1\": %2"), {spec, why});
      return nullptr;
    }
    return std::make_unique<TModbusPlc>(options);
  }
  error = PlcText("TModbusPlc",
                  QT_TRANSLATE_NOOP("TModbusPlc",
                                    "PLC back end \"%1\" is not known (expected \"embedded\" or \"%2\")"),
                  {spec, "modbus:HOST[:PORT][,unit=N][,inputs=ADDR][,outputs=ADDR][,outputs-area=holding|input]"
                         "[,run-coil=ADDR][,timeout=MS][,retry=MS]"});
  return nullptr;
}
