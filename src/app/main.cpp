// Program entry: parses the command line and starts Torvane.
#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("torvane");
  QApplication::setApplicationVersion(TORVANE_VERSION);

  QCommandLineParser parser;
  parser.setApplicationDescription("Torvane - a lift-bridge plant for PLC programming practice");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.process(app);
  return 0;
}
