#pragma once
// The model of a top-level window: a control with a caption and a background colour that
// hosts the plant's or the PLC's controls. The GUI shows it in a real window. Width and Height
// are the client area; Left and Top the window's place on the screen.
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
  TColor Color() const { return FColor; }
  void SetColor(TColor c);

  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle s);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle s);
  // The window grows or shrinks to hold its visible children (the owner of the model applies
  // it; see ContentSize).
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
  TColor FColor = clBtnFace;
  TFormStyle FFormStyle = fsNormal;
  TFormBorderStyle FBorderStyle = bsSizeable;
  bool FAutoSize = false;
};
