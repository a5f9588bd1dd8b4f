// Program entry. The command line is read before any window system is touched, so --help and
// --version work on a machine without a display; without one the demo renders to a PNG.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <cstdio>
#include <cstdlib>

#include "app/DemoWindow.h"
#include "components/Palette.h"
#include "gui/Gallery.h"
#include "gui/GuiSupport.h"

namespace {

struct TOptions {
  QString Screenshot;
  QString ModuleFigure;
  QString Gallery;
};

TOptions ParseCommandLine(int argc, char** argv) {
  QCoreApplication core(argc, argv);
  QCoreApplication::setApplicationName("torvane");
  QCoreApplication::setApplicationVersion(TORVANE_VERSION);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Torvane - a lift-bridge plant for PLC programming practice.\n"
      "Without a display the window is rendered to a PNG file instead of being shown.");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption screenshot(
      "screenshot", "Render the window offscreen to <file> (PNG) and exit.", "file");
  const QCommandLineOption figure("render-module",
                                  "Render the I/O module figure to <file> (PNG) and exit.", "file");
  parser.addOption(screenshot);
  parser.addOption(figure);
  const QCommandLineOption gallery(
      "gallery", "Render every registered component and every picture to <file> (PNG) and exit.",
      "file");
  parser.addOption(gallery);
  parser.process(core);  // --help, --version and bad options end the program here
  return {parser.value(screenshot), parser.value(figure), parser.value(gallery)};
}

bool HaveDisplay() {
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  return (x != nullptr && *x != '\0') || (w != nullptr && *w != '\0');
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options = ParseCommandLine(argc, argv);
  const bool offscreenPlatform = qEnvironmentVariable("QT_QPA_PLATFORM") == "offscreen";
  const bool headless = !HaveDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
  const bool render = !options.Screenshot.isEmpty() || !options.ModuleFigure.isEmpty() ||
                      !options.Gallery.isEmpty();
  if (headless || render) qputenv("QT_QPA_PLATFORM", "offscreen");
  if ((headless || offscreenPlatform) && options.Screenshot.isEmpty() &&
      options.ModuleFigure.isEmpty() && options.Gallery.isEmpty())
    options.Screenshot = QStringLiteral("screenshots/demo.png");

  QApplication app(argc, argv);
  QApplication::setApplicationName("torvane");
  QApplication::setApplicationVersion(TORVANE_VERSION);
  InitGuiSupport();

  QString error;
  if (!options.Gallery.isEmpty()) {
    RegisterAllComponents();
    error = WriteGallery(options.Gallery);
    if (!error.isEmpty()) {
      std::fprintf(stderr, "torvane: %s\n", qPrintable(error));
      return 1;
    }
    std::printf("Wrote the gallery to %s\n", qPrintable(QDir(options.Gallery).absolutePath()));
    return 0;
  }
  if (!options.ModuleFigure.isEmpty()) {
    if (!RenderModuleFigure(options.ModuleFigure, error)) {
      std::fprintf(stderr, "torvane: %s\n", qPrintable(error));
      return 1;
    }
    std::printf("Wrote the I/O module figure to %s\n",
                qPrintable(QDir(options.ModuleFigure).absolutePath()));
    return 0;
  }

  TDemoWindow window;
  if (!options.Screenshot.isEmpty()) {
    if (!SaveWidgetPng(window, options.Screenshot, error)) {
      std::fprintf(stderr, "torvane: %s\n", qPrintable(error));
      return 1;
    }
    std::printf("%s: wrote the window to %s\n", headless ? "No display" : "Offscreen",
                qPrintable(QDir(options.Screenshot).absolutePath()));
    return 0;
  }
  window.show();
  return QApplication::exec();
}
