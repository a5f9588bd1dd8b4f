#include "plc/FakeSimulator.h"

#include <algorithm>

namespace {

class TFakeConnection : public IS7ProSim {
 public:
  explicit TFakeConnection(TFakeSimulator& sim) : FSim(sim) {}

  TSimResult ConnectSimulator() override {
    FSim.Calls.emplace_back("ConnectSimulator");
    if (FSim.ConnectFailures < 0) return kSimUnavailable;
    if (FFailed < FSim.ConnectFailures) {
      ++FFailed;
      return kSimUnavailable;
    }
    FConnected = true;
    return kSimOk;
  }

  TSimResult SetStartupOption(int option) override {
    FSim.Calls.push_back("SetStartupOption(" + std::to_string(option) + ")");
    return FConnected ? kSimOk : kSimNotConnected;
  }

  TSimResult ReadCpuState(std::string& state) override {
    FSim.Calls.emplace_back("ReadCpuState");
    if (!FConnected) return kSimNotConnected;
    if (!FSim.StateScript.empty()) {
      FSim.State = FSim.StateScript.front();
      FSim.StateScript.pop_front();
    }
    state = FSim.State;
    return kSimOk;
  }

  TSimResult RequestCpuState(std::string_view state) override {
    FSim.Calls.push_back("RequestCpuState(" + std::string(state) + ")");
    if (!FConnected) return kSimNotConnected;
    if (FSim.FollowRequests) FSim.State = state == kCpuMres ? kCpuStop : state;
    return kSimOk;
  }

  TSimResult WriteInputWord(int address, int bit, std::uint16_t value) override {
    FSim.Calls.push_back("WriteInputWord(" + std::to_string(address) + "," + std::to_string(bit) +
                         "," + std::to_string(value) + ")");
    if (!FConnected) return kSimNotConnected;
    FSim.InputWords[address] = value;
    return kSimOk;
  }

  TSimResult RunCycle() override {
    FSim.Calls.emplace_back("RunCycle");
    return FConnected ? kSimOk : kSimNotConnected;
  }

  TSimResult ReadOutputWord(int address, int bit, int type, std::uint16_t& value) override {
    FSim.Calls.push_back("ReadOutputWord(" + std::to_string(address) + "," + std::to_string(bit) +
                         "," + std::to_string(type) + ")");
    if (!FConnected) return kSimNotConnected;
    const auto it = FSim.OutputWords.find(address);
    value = it == FSim.OutputWords.end() ? 0 : it->second;
    return kSimOk;
  }

  void Release() override {
    FSim.Calls.emplace_back("Release");
    FConnected = false;
  }

 private:
  TFakeSimulator& FSim;
  int FFailed = 0;
  bool FConnected = false;
};

}  // namespace

TSimResult TFakeSimulator::CreateInstance(std::unique_ptr<IS7ProSim>& out) {
  if (CreateResult != kSimOk) return CreateResult;
  ++Instances;
  out = std::make_unique<TFakeConnection>(*this);
  return kSimOk;
}

int TFakeSimulator::CountCalls(const std::string& prefix) const {
  return static_cast<int>(std::count_if(Calls.begin(), Calls.end(), [&](const std::string& c) {
    return c.compare(0, prefix.size(), prefix) == 0;
  }));
}
