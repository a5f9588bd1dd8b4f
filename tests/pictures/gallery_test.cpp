// The contact sheet: every registered class and every picture, once, labelled, at the size
// the sheet promises, without overlapping; a class that cannot be built is shown as failed.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <map>

#include "framework/Image.h"
#include "framework/Picture.h"
#include "framework/Registry.h"
#include "gui/Gallery.h"
#include "gui/GuiSupport.h"

namespace {

class TGalleryProbe : public TImage {
 public:
  explicit TGalleryProbe(TComponent* owner) : TImage(owner) {
    SetAutoSize(true);
    SetPicture(TPicture::LoadFrame("RELAY_ON_AC_ON"));
  }
};

class TBrokenProbe : public TImage {
 public:
  explicit TBrokenProbe(TComponent* owner) : TImage(owner) { TPicture::LoadFrame("NO_SUCH_PICTURE"); }
};

struct Gallery : ::testing::Test {
  static void SetUpTestSuite() {
    InitGuiSupport();
    RegisterComponentClass<TGalleryProbe>("Automation", "TGalleryProbe");
    RegisterComponentClass<TBrokenProbe>("automation", "TBrokenProbe");
  }
};

TEST_F(Gallery, ShowsEveryClassAndEveryPictureOnceAtItsSize) {
  const TGallery gallery;
  std::map<QString, const TGallery::TItem*> byLabel;
  for (const TGallery::TItem& item : gallery.Items()) {
    EXPECT_TRUE(byLabel.emplace(item.Label, &item).second) << "twice: " << item.Label.toStdString();
    if (item.Failed) {
      EXPECT_TRUE(item.Rect.isEmpty()) << "nothing is drawn for a class that failed";
      continue;
    }
    EXPECT_TRUE(QRect(QPoint(0, 0), gallery.Size()).contains(item.Rect))
        << item.Label.toStdString() << " outside the sheet";
  }

  ASSERT_TRUE(byLabel.count("TGalleryProbe"));
  EXPECT_EQ(byLabel["TGalleryProbe"]->Rect.size(), QSize(57, 77)) << "a component at its own size";
  EXPECT_FALSE(byLabel["TGalleryProbe"]->Failed);
  ASSERT_TRUE(byLabel.count("TBrokenProbe"));
  EXPECT_TRUE(byLabel["TBrokenProbe"]->Failed);

  for (const TPictureResource& r : PictureResources()) {
    const QString name = QString::fromLatin1(r.Name.data(), static_cast<qsizetype>(r.Name.size()));
    ASSERT_TRUE(byLabel.count(name)) << r.Name;
    const bool deckPosition = r.Name.starts_with("FRAMES_") && r.Name != "FRAMES_40";
    const QSize expected = deckPosition ? QSize(TGallery::kFrameCell, TGallery::kFrameCell)
                                        : QSize(r.Width, r.Height);
    EXPECT_EQ(byLabel[name]->Rect.size(), expected) << r.Name;
  }

  const auto& items = gallery.Items();
  for (std::size_t i = 0; i < items.size(); ++i)
    for (std::size_t j = i + 1; j < items.size(); ++j)
      EXPECT_FALSE(items[i].Rect.intersects(items[j].Rect))
          << items[i].Label.toStdString() << " overlaps " << items[j].Label.toStdString();
}

TEST_F(Gallery, BridgeFramesFormOneStripInOrder) {
  const TGallery gallery;
  std::map<int, QRect> frames;
  for (const TGallery::TItem& item : gallery.Items())
    if (item.Label.startsWith("FRAMES_") && item.Label != "FRAMES_40")
      frames[item.Label.mid(7).toInt()] = item.Rect;
  ASSERT_EQ(frames.size(), 40u);
  for (int i = 1; i < 40; ++i) {
    const QRect a = frames[i - 1], b = frames[i];
    const bool sameRow = b.top() == a.top() && b.left() > a.left();
    const bool nextRow = b.top() > a.top() && b.left() < a.left();
    EXPECT_TRUE(sameRow || nextRow) << "FRAMES_" << i << " reads after FRAMES_" << i - 1;
  }
  EXPECT_EQ(frames[9].top(), frames[0].top()) << "ten to a row";
  EXPECT_GT(frames[10].top(), frames[9].top());
}

TEST_F(Gallery, PaintsTheComponentsAndPicturesWhereItSaysTheyAre) {
  const TGallery gallery;
  const QImage img = gallery.Render();
  ASSERT_EQ(img.size(), gallery.Size());
  const QColor ground = img.pixelColor(img.width() - 1, img.height() - 1);
  for (const TGallery::TItem& item : gallery.Items()) {
    if (item.Failed) continue;
    int inked = 0;
    for (int y = item.Rect.top(); y <= item.Rect.bottom(); ++y)
      for (int x = item.Rect.left(); x <= item.Rect.right(); ++x)
        if (img.pixelColor(x, y) != ground) ++inked;
    EXPECT_GT(inked, item.Rect.width() * item.Rect.height() / 40) << item.Label.toStdString();
  }
}

TEST_F(Gallery, WritesAPngOrSaysWhyNot) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("sheet.png");
  EXPECT_EQ(WriteGallery(path), QString());
  const QImage written(path);
  EXPECT_EQ(written.size(), TGallery().Size());

  const QString bad = dir.filePath("missing/folder/sheet.png");
  EXPECT_EQ(WriteGallery(bad), "Cannot write " + bad);
}

}  // namespace
