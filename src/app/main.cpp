// Program entry: parses the command line and starts Torvane.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "gui/Gallery.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("torvane");
  QApplication::setApplicationVersion(TORVANE_VERSION);

  QCommandLineParser parser;
  parser.setApplicationDescription("Torvane - a lift-bridge plant for PLC programming practice");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption galleryOption(
      "gallery", "Render every registered component and every picture to a PNG contact sheet.",
      "OUT.png");
  parser.addOption(galleryOption);
  parser.process(app);
  if (parser.isSet(galleryOption)) {
    const QString error = WriteGallery(parser.value(galleryOption));
    if (!error.isEmpty()) std::fprintf(stderr, "torvane: %s\n", qPrintable(error));
    return error.isEmpty() ? 0 : 1;
  }
  return 0;
}
