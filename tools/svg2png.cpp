// Renders SVG drawings to PNG with Qt Svg, the same renderer the program uses, so raster
// pictures and previews look exactly like the vector pictures on screen.
//
//   svg2png IN.svg OUT.png [W H]              one picture, at W x H (default: natural size)
//   svg2png --sheet OUT.png SCALE F[@WxH] ... a preview sheet: each file at its natural size
//                                             times SCALE, or at WxH, labelled, on a window-grey
//                                             ground; ZOOM=n enlarges the sheet n times
//   svg2png --compose OUT.png WxH F@X,Y,W,H ...  pictures placed at rectangles, to try a layout
//   svg2png --crop IN.png OUT.png X Y W H      a region of a PNG, to look at it at 1:1
//
// Built by tools/make_pictures.py (g++ and pkg-config), not part of the program.
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

QImage Render(const QString& file, QSize size) {
  QSvgRenderer svg(file);
  if (!svg.isValid()) {
    std::fprintf(stderr, "svg2png: %s: not a valid SVG drawing\n", qPrintable(file));
    std::exit(1);
  }
  if (size.isEmpty()) size = svg.defaultSize();
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  svg.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
  return img;
}

int Sheet(const QString& out, double scale, const QStringList& specs) {
  struct Cell {
    QString label;
    QImage img;
  };
  std::vector<Cell> cells;
  for (const QString& spec : specs) {
    QString file = spec.section('@', 0, 0);
    QSize size;
    if (spec.contains('@')) {
      const QStringList wh = spec.section('@', 1).split('x');
      size = QSize(wh.value(0).toInt(), wh.value(1).toInt());
    } else {
      QSvgRenderer svg(file);
      size = svg.defaultSize() * scale;
    }
    cells.push_back({QFileInfo(file).completeBaseName() + QString(" %1x%2").arg(size.width()).arg(size.height()),
                     Render(file, size)});
  }
  const int zoom = std::max(1, qEnvironmentVariableIntValue("ZOOM"));
  const int width = std::max(1400 / zoom, 200);
  const int labelH = 14;
  int x = 8, y = 8, rowH = 0;
  std::vector<QPoint> at;
  for (const Cell& c : cells) {
    const int w = std::max(c.img.width(), 90);
    if (x + w > width - 8) {
      x = 8;
      y += rowH + labelH + 10;
      rowH = 0;
    }
    at.emplace_back(x, y);
    x += w + 12;
    rowH = std::max(rowH, c.img.height());
  }
  QImage sheet(width, y + rowH + labelH + 16, QImage::Format_RGB32);
  sheet.fill(QColor(240, 240, 240));
  QPainter p(&sheet);
  QFont f("DejaVu Sans");
  f.setPixelSize(9);
  p.setFont(f);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    p.drawImage(at[i], cells[i].img);
    p.drawText(at[i].x(), at[i].y() + cells[i].img.height() + 11, cells[i].label);
  }
  p.end();
  // ZOOM=n enlarges the finished sheet pixel by pixel, to inspect small pictures at their size.
  if (zoom > 1) sheet = sheet.scaled(sheet.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  return sheet.save(out) ? 0 : 1;
}

// Pictures placed at given rectangles on a window-grey canvas: F@X,Y,W,H ...
int Compose(const QString& out, int w, int h, const QStringList& specs) {
  QImage canvas(w, h, QImage::Format_RGB32);
  canvas.fill(QColor(240, 240, 240));
  QPainter p(&canvas);
  for (const QString& spec : specs) {
    const QStringList r = spec.section('@', 1).split(',');
    const QRect at(r.value(0).toInt(), r.value(1).toInt(), r.value(2).toInt(), r.value(3).toInt());
    p.drawImage(at.topLeft(), Render(spec.section('@', 0, 0), at.size()));
  }
  p.end();
  return canvas.save(out) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() == 8 && args[1] == "--crop") {  // a region of a PNG, to inspect at 1:1
    const QImage in(args[2]);
    return in.copy(args[4].toInt(), args[5].toInt(), args[6].toInt(), args[7].toInt()).save(args[3]) ? 0 : 1;
  }
  if (args.size() >= 5 && args[1] == "--compose")
    return Compose(args[2], args[3].section('x', 0, 0).toInt(), args[3].section('x', 1).toInt(), args.mid(4));
  if (args.size() >= 4 && args[1] == "--sheet") return Sheet(args[2], args[3].toDouble(), args.mid(4));
  if (args.size() != 3 && args.size() != 5) {
    std::fprintf(stderr, "usage: svg2png IN.svg OUT.png [W H] | svg2png --sheet OUT.png SCALE FILES...\n");
    return 2;
  }
  QSize size;
  if (args.size() == 5) size = QSize(args[3].toInt(), args[4].toInt());
  const QImage img = Render(args[1], size);
  if (!img.save(args[2])) {
    std::fprintf(stderr, "svg2png: cannot write %s\n", qPrintable(args[2]));
    return 1;
  }
  return 0;
}
