#pragma once
// A top-level window model: caption, frame style, stay-on-top, placement and client size
// (Width and Height are the client area). A window view shows it and follows its changes.
#include <string>

#include "framework/Control.h"

enum TFormStyle { fsNormal, fsStayOnTop };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

class TForm : public TControl {
 public:
  explicit TForm(TComponent* owner);
  std::string_view ClassName() const override { return "TForm"; }
  void GetProperties(TPropList& out) const override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& text);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle s);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle s);
  // The window grows or shrinks to hold its visible children.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  // The size the children need: the right and bottom edges of the visible children.
  void ContentSize(int& width, int& height) const;

  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // The user (or code) closes the window: DoClose runs, then the window hides.
  void Close();

  TNotifyEvent OnClose;

 protected:
  virtual void DoClose() { OnClose(this); }

 private:
  std::string FCaption;
  TFormStyle FFormStyle = fsNormal;
  TFormBorderStyle FBorderStyle = bsSizeable;
  bool FAutoSize = false;
};
