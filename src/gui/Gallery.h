#pragma once
// A contact sheet of the program's look: every component class registered on the palette,
// created with its defaults, and every picture the program carries, each labelled with its name.
// The sheet is a tree of control models painted by the same canvas as the windows, so it shows
// exactly what a window would. Works offscreen.
#include <QImage>
#include <QRect>
#include <QString>
#include <memory>
#include <vector>

class TForm;

class TGallery {
 public:
  struct TItem {
    QString Label;  // the class or picture name
    QRect Rect;     // where the component or picture is drawn on the sheet
    bool Failed = false;  // a component whose construction failed (its label says why)
  };

  // Lays the sheet out from the registry and the picture table as they are now.
  TGallery();
  ~TGallery();
  TGallery(const TGallery&) = delete;
  TGallery& operator=(const TGallery&) = delete;

  const std::vector<TItem>& Items() const { return FItems; }
  QSize Size() const;
  QImage Render() const;

  // Bridge frames are shown as a strip at this size, ten to a row; everything else at its
  // natural size.
  static constexpr int kFrameCell = 168;
  static constexpr int kSheetWidth = 2 * 8 + 10 * kFrameCell + 9 * 12;

 private:
  std::unique_ptr<TForm> FForm;
  std::vector<TItem> FItems;
};

// Renders the sheet and writes it as PNG; returns an error message, empty on success.
QString WriteGallery(const QString& path);
