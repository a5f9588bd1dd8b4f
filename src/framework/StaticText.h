#pragma once
// A non-editable text field with optional border and opaque background.
#include <string>

#include "framework/Control.h"

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };
// A bevel drawn inside the bounds; bkFlat is a one-pixel frame in the shadow colour.
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
// One ring of a tile or soft bevel, one pixel wide: sunk, raised, or blank (a spacer between the
// other ring and the text). bvNone takes no room.
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TStaticText;

class TFont {
 public:
  explicit TFont(TControl* owner) : FOwner(owner) {}
  const std::string& Name() const { return FName; }
  void SetName(const std::string& n);
  int Size() const { return FSize; }  // points
  void SetSize(int points);
  TColor Color() const { return FColor; }
  void SetColor(TColor c);
  bool Bold() const { return FBold; }
  void SetBold(bool b);

 private:
  void Notify(bool resize);

  TControl* FOwner;
  std::string FName = "Tahoma";
  int FSize = 8;
  TColor FColor = clBlack;
  bool FBold = false;
};

// Measures text for auto-sizing. The GUI installs one that asks the real font; without it a
// rough estimate keeps the models usable headless.
using TTextMeasure = void (*)(const TFont& font, const std::string& text, int& width, int& height);
void SetTextMeasure(TTextMeasure measure);
void MeasureText(const TFont& font, const std::string& text, int& width, int& height);

class TStaticText : public TControl {
 public:
  explicit TStaticText(TComponent* owner);
  std::string_view ClassName() const override { return "TStaticText"; }
  void GetProperties(TPropList& out) const override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& text);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment a);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool a);
  TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TStaticBorderStyle b);
  TBevelKind BevelKind() const { return FBevelKind; }
  void SetBevelKind(TBevelKind b);
  // The inner and outer rings of a tile or soft bevel.
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut c);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut c);
  // Pixels taken from each side by border and bevel; the caption is laid out inside them.
  int FrameWidth() const;
  // Background colour, painted when not transparent.
  TColor Color() const { return FColor; }
  void SetColor(TColor c);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool t);

  TFont Font{this};
  // Re-measures the caption when auto-sizing; called after a caption or font change.
  void AdjustSize();

 private:
  std::string FCaption;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  TStaticBorderStyle FBorderStyle = sbsNone;
  TBevelKind FBevelKind = bkNone;
  TBevelCut FBevelInner = bvRaised;
  TBevelCut FBevelOuter = bvLowered;
  TColor FColor = clBtnFace;
  bool FTransparent = false;
};
