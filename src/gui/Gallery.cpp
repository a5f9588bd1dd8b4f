#include "gui/Gallery.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QSaveFile>
#include <algorithm>
#include <cctype>
#include <exception>
#include <string>

#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Picture.h"
#include "framework/Registry.h"
#include "framework/StaticText.h"
#include "gui/Canvas.h"
#include "gui/GuiSupport.h"

namespace {

constexpr int kMargin = 8;
constexpr int kGap = 12;
constexpr int kBridgeFrames = 40;  // FRAMES_0 ... FRAMES_39 are deck positions; FRAMES_40 is not

// Places cells left to right and wraps at the sheet's width.
class TFlow {
 public:
  explicit TFlow(int top) : FY(top) {}
  QPoint Place(int w, int h) {
    if (FX > kMargin && FX + w > TGallery::kSheetWidth - kMargin) NewRow();
    const QPoint at(FX, FY);
    FX += w + kGap;
    FRowH = std::max(FRowH, h);
    return at;
  }
  // Closes the current row; returns the y where the next content starts.
  int NewRow() {
    if (FRowH > 0) FY += FRowH + kGap;
    FX = kMargin;
    FRowH = 0;
    return FY;
  }

 private:
  int FX = kMargin;
  int FY;
  int FRowH = 0;
};

// "FRAMES_9" before "FRAMES_10": names compare chunk by chunk, digit runs as numbers.
bool NaturalLess(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
    const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
    if (da && db) {
      std::size_t ei = i, ej = j;
      while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
      while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
      const std::string_view na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
      if (na.size() != nb.size()) return na.size() < nb.size();
      if (na != nb) return na < nb;
      i = ei;
      j = ej;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

bool IsBridgeFrame(const TPictureResource& r) {
  if (r.Type != "FRAMES" || !r.Name.starts_with("FRAMES_")) return false;
  const std::string_view digits = r.Name.substr(7);
  if (digits.empty() || digits.size() > 2 || (digits.size() > 1 && digits[0] == '0')) return false;
  int n = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    n = n * 10 + (c - '0');
  }
  return n < kBridgeFrames;
}

TStaticText* AddText(TForm& form, const std::string& caption, int points, bool bold,
                     TColor color = clBlack) {
  auto* t = new TStaticText(&form);
  t->SetParent(&form);
  t->SetTransparent(true);
  t->Font.SetSize(points);
  t->Font.SetBold(bold);
  t->Font.SetColor(color);
  t->SetCaption(caption);
  // A little slack: the measured advance is rounded down and the painter wraps words, so an
  // exact fit can push the last word onto a second, clipped line.
  t->SetAutoSize(false);
  t->SetBounds(0, 0, t->Width() + 3, t->Height());
  return t;
}

}  // namespace

TGallery::TGallery() : FForm(std::make_unique<TForm>(nullptr)) {
  TForm& form = *FForm;
  form.SetCaption(QCoreApplication::translate("TGallery", "Torvane gallery").toStdString());

  std::vector<const TPictureResource*> pictures, frames;
  for (const TPictureResource& r : PictureResources())
    (IsBridgeFrame(r) ? frames : pictures).push_back(&r);
  const auto byName = [](const TPictureResource* a, const TPictureResource* b) {
    if (a->Type != b->Type) return a->Type > b->Type;  // "FRAMES" before "BITMAP"
    return NaturalLess(a->Name, b->Name);
  };
  std::sort(pictures.begin(), pictures.end(), byName);
  std::sort(frames.begin(), frames.end(), byName);
  const auto& classes = RegisteredComponents();

  int y = kMargin;
  TStaticText* title = AddText(form,
                               QCoreApplication::translate("TGallery", "Torvane: %1 components, %2 pictures")
                                   .arg(classes.size())
                                   .arg(pictures.size() + frames.size())
                                   .toStdString(),
                               12, true);
  title->SetBounds(kMargin, y, title->Width(), title->Height());
  y += title->Height() + kGap;

  const auto heading = [&](const std::string& caption) {
    TStaticText* h = AddText(form, caption, 9, true);
    h->SetBounds(kMargin, y, h->Width(), h->Height());
    y += h->Height() + 4;
  };
  // A labelled cell: the item at its size with its label underneath.
  const auto cell = [&](TFlow& flow, int w, int h, TStaticText* label) {
    const QPoint at = flow.Place(std::max(w, label->Width()), h + 2 + label->Height());
    label->SetBounds(at.x(), at.y() + h + 2, label->Width(), label->Height());
    return at;
  };

  heading(QCoreApplication::translate("TGallery", "Components on the palette").toStdString());
  {
    TFlow flow(y);
    if (classes.empty()) {
      TStaticText* none = AddText(form, QCoreApplication::translate("TGallery", "(none registered)").toStdString(), 8, false, clGray);
      const QPoint at = flow.Place(none->Width(), none->Height());
      none->SetBounds(at.x(), at.y(), none->Width(), none->Height());
    }
    for (const TComponentClass& cls : classes) {
      const std::string name(cls.ClassName);
      TControl* control = nullptr;
      std::string problem;
      try {
        TComponent* c = cls.Create(&form);
        control = dynamic_cast<TControl*>(c);
        if (control == nullptr) problem = QCoreApplication::translate("TGallery", "not a control").toStdString();
      } catch (const std::exception& e) {
        problem = e.what();
      }
      const std::string caption =
          problem.empty() ? name + " (" + std::string(cls.Page) + ")" : name + ": " + problem;
      TStaticText* label = AddText(form, caption, 7, false, problem.empty() ? clBlack : clRed);
      int w = 0, h = 0;
      if (control != nullptr) {
        w = control->Width() > 0 ? control->Width() : 60;
        h = control->Height() > 0 ? control->Height() : 30;
      }
      const QPoint at = cell(flow, w, h, label);
      if (control != nullptr) {
        control->SetParent(&form);
        control->SetBounds(at.x(), at.y(), w, h);
      }
      FItems.push_back({QString::fromStdString(name), QRect(at.x(), at.y(), w, h), !problem.empty()});
    }
    y = flow.NewRow();
  }

  const auto picture = [&](TFlow& flow, const TPictureResource* r, int w, int h) {
    TStaticText* label = AddText(form, std::string(r->Name), 7, false);
    const QPoint at = cell(flow, w, h, label);
    auto* image = new TImage(&form);
    image->SetParent(&form);
    image->SetStretch(true);
    image->SetTransparent(r->Type == "BITMAP");
    image->SetPicture(TPicture(r));
    image->SetBounds(at.x(), at.y(), w, h);
    FItems.push_back({QString::fromUtf8(r->Name.data(), static_cast<qsizetype>(r->Name.size())),
                      QRect(at.x(), at.y(), w, h)});
  };

  heading(QCoreApplication::translate("TGallery", "Pictures at their natural size (vector, then raster)").toStdString());
  {
    TFlow flow(y);
    std::string_view lastType;
    for (const TPictureResource* r : pictures) {
      if (!lastType.empty() && r->Type != lastType) flow.NewRow();
      lastType = r->Type;
      picture(flow, r, r->Width, r->Height);
    }
    y = flow.NewRow();
  }

  heading(QCoreApplication::translate("TGallery", "The bridge, FRAMES_0 to FRAMES_%1, at %2 x %2")
              .arg(kBridgeFrames - 1)
              .arg(kFrameCell)
              .toStdString());
  {
    TFlow flow(y);
    for (const TPictureResource* r : frames) picture(flow, r, kFrameCell, kFrameCell);
    y = flow.NewRow();
  }

  form.SetBounds(0, 0, kSheetWidth, y + kMargin);
}

TGallery::~TGallery() = default;

QSize TGallery::Size() const { return {FForm->Width(), FForm->Height()}; }

QImage TGallery::Render() const {
  TCanvas canvas;
  canvas.SetRoot(FForm.get());
  QImage img = canvas.grab().toImage();
  canvas.SetRoot(nullptr);
  return img;
}

QString WriteGallery(const QString& path) {
  InitGuiSupport();
  const TGallery gallery;
  const QImage img = gallery.Render();
  if (img.isNull()) return QCoreApplication::translate("TGallery", "Cannot render the gallery");
  // Written beside the target and renamed over it only when complete.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || !img.save(&file, "PNG") || !file.flush() || !file.commit())
    return QCoreApplication::translate("TGallery", "Cannot write %1").arg(path);
  return {};
}
