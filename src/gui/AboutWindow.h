#pragma once
// The About window: a banner, a read-only text about Torvane whose first line (the title) is
// bold at 10 points, and "OK". It follows a window model: shown when the model becomes
// visible; "OK" or the close button close the model.
#include <QDialog>

#include "framework/Control.h"

class QLabel;
class QPushButton;
class QTextBrowser;
class TForm;

class TAboutWindow : public QDialog, public TControlObserver {
  Q_OBJECT

 public:
  explicit TAboutWindow(TForm* model, QWidget* parent = nullptr);
  ~TAboutWindow() override;

  // The rich text shown (HTML).
  static QString AboutText();
  // The banner, drawn rather than loaded so that it needs no picture file.
  static QPixmap Banner(int width, int height);

  QTextBrowser* Text() const { return FText; }
  QPushButton* OkButton() const { return FOk; }

  void ControlChanged(TControl* control) override;
  void ControlDestroyed(TControl* control) override;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Follow();
  TForm* FModel;
  QLabel* FBanner;
  QTextBrowser* FText;
  QPushButton* FOk;
};
