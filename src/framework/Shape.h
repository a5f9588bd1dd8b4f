#pragma once
// A control that paints one geometric figure with a pen (outline) and a brush (fill).
#include "framework/Control.h"

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
enum TBrushStyle { bsSolid, bsClear };
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

class TShape;

class TBrush {
 public:
  explicit TBrush(TShape* owner) : FOwner(owner) {}
  TColor Color() const { return FColor; }
  void SetColor(TColor c);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle s);

 private:
  TShape* FOwner;
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

class TPen {
 public:
  explicit TPen(TShape* owner) : FOwner(owner) {}
  TColor Color() const { return FColor; }
  void SetColor(TColor c);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle s);
  int Width() const { return FWidth; }
  void SetWidth(int w);

 private:
  TShape* FOwner;
  TColor FColor = clBlack;
  TPenStyle FStyle = psSolid;
  int FWidth = 1;
};

class TShape : public TControl {
 public:
  explicit TShape(TComponent* owner);
  std::string_view ClassName() const override { return "TShape"; }
  void GetProperties(TPropList& out) const override;

  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType s);

  TBrush Brush{this};
  TPen Pen{this};

 private:
  TShapeType FShape = stRectangle;
};
