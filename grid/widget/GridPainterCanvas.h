// GridPainterCanvas: the string-grid widget's canvas. It measures texts at any
// time and draws only while a painter is bound to it (during OnDrawCell).
//
// Fonts are the widget's typeface at the cell font's size (points at 96 dpi,
// so 8 points are 11 pixels) and style, with kerning off: a text's width is
// then the sum of its bytes' advances, which a 256-entry table per font keeps,
// so measuring a whole column costs one table look-up per byte.
//
// Colours in the 0x00BBGGRR convention; system colours map to the palette.
// GUI thread only. The painter is not owned.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <array>
#include <map>
#include <tuple>

#include "grid/IStringGrid.h"

class QPainter;

namespace quillor {

// The QColor of a colour value; system colours come from `palette`.
QColor ToQColor(TColor color, const QPalette& palette);

// Points at 96 dpi to pixels, rounded as the Windows MulDiv does.
int PointsToPixels(int32_t points);

class GridPainterCanvas : public IGridCanvas {
 public:
  explicit GridPainterCanvas(QFont typeface, QPalette palette);
  GridPainterCanvas(const GridPainterCanvas&) = delete;
  GridPainterCanvas& operator=(const GridPainterCanvas&) = delete;

  // Binds `painter` (nullptr unbinds). Drawing without a painter does nothing.
  void Bind(QPainter* painter);
  void SetTypeface(const QFont& typeface);
  void SetPalette(const QPalette& palette) { palette_ = palette; }

  void SetBrushColor(TColor color) override { brush_ = color; }
  void FillRect(const TGridRect& rect) override;
  void SetFont(const TGridFont& font) override;
  TGridFont GetFont() const override { return font_; }
  int32_t TextWidth(const std::string& text) override;
  int32_t TextHeight(const std::string& text) override;
  void TextRect(const TGridRect& clip, int32_t x, int32_t y, const std::string& text) override;
  // One key per typeface, size and style: each has its own advance table.
  uint64_t MeasureKey() override { return CurrentMetrics().key; }

  // The QFont that draws `font` (for tests and the default drawing).
  QFont MakeQFont(const TGridFont& font) const;

 private:
  struct Metrics {
    std::array<double, 256> advance{};
    int height = 0;
    int ascent = 0;
    uint64_t key = 0;
    QFont font;  // the font that draws at these metrics
  };
  const Metrics& CurrentMetrics();

  QFont typeface_;
  QPalette palette_;
  QPainter* painter_ = nullptr;
  TColor brush_ = clWhite;
  TGridFont font_;
  std::map<std::tuple<int32_t, TFontStyles>, Metrics> metrics_;
  const Metrics* current_ = nullptr;
};

}  // namespace quillor
