#include "grid/widget/GridPainterCanvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "grid/widget/GridText.h"
#include "text/Cp1252.h"

namespace quillor {

QColor ToQColor(TColor color, const QPalette& palette) {
  if ((color & 0xFF000000u) == 0x80000000u) {
    switch (color & 0xFFu) {
      case 5:
        return palette.color(QPalette::Base);  // window background
      case 8:
        return palette.color(QPalette::Text);  // window text
      case 13:
        return palette.color(QPalette::Highlight);  // highlight
      case 14:
        return palette.color(QPalette::HighlightedText);  // highlighted text
      case 15:
        return palette.color(QPalette::Button);  // button face
      case 18:
        return palette.color(QPalette::ButtonText);  // button text
      default:
        return palette.color(QPalette::Button);
    }
  }
  return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                static_cast<int>((color >> 16) & 0xFFu));
}

int PointsToPixels(int32_t points) {
  return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

GridPainterCanvas::GridPainterCanvas(QFont typeface, QPalette palette)
    : typeface_(std::move(typeface)), palette_(std::move(palette)) {}

void GridPainterCanvas::Bind(QPainter* painter) {
  painter_ = painter;
}

void GridPainterCanvas::SetTypeface(const QFont& typeface) {
  typeface_ = typeface;
  metrics_.clear();
  current_ = nullptr;
}

QFont GridPainterCanvas::MakeQFont(const TGridFont& font) const {
  QFont qfont(typeface_);
  qfont.setPixelSize(std::max(1, PointsToPixels(font.fSize)));
  qfont.setBold(font.fStyle & fsBold);
  qfont.setItalic(font.fStyle & fsItalic);
  qfont.setUnderline(font.fStyle & fsUnderline);
  qfont.setStrikeOut(font.fStyle & fsStrikeOut);
  // Without kerning, nor the ligatures that shaping makes, a text is drawn
  // exactly as wide as the sum of its characters, which is how it is
  // measured; skipping the shaping also makes drawing cheaper.
  qfont.setKerning(false);
  qfont.setStyleStrategy(QFont::PreferNoShaping);
  return qfont;
}

void GridPainterCanvas::SetFont(const TGridFont& font) {
  if (!(font.fSize == font_.fSize && font.fStyle == font_.fStyle)) current_ = nullptr;
  font_ = font;
}

const GridPainterCanvas::Metrics& GridPainterCanvas::CurrentMetrics() {
  if (current_) return *current_;
  auto key = std::make_tuple(font_.fSize, font_.fStyle);
  auto found = metrics_.find(key);
  if (found == metrics_.end()) {
    Metrics m;
    m.font = MakeQFont(font_);
    QFontMetricsF fm(m.font);
    for (int byte = 0; byte < 256; ++byte) {
      m.advance[static_cast<size_t>(byte)] =
          fm.horizontalAdvance(QChar(Cp1252ToCodePoint(static_cast<unsigned char>(byte))));
    }
    m.height = static_cast<int>(std::ceil(fm.height()));
    m.ascent = static_cast<int>(std::ceil(fm.ascent()));
    m.key = NewMeasureKey();
    found = metrics_.emplace(key, m).first;
  }
  current_ = &found->second;
  return *current_;
}

int32_t GridPainterCanvas::TextWidth(const std::string& text) {
  const Metrics& m = CurrentMetrics();
  double width = 0;
  for (unsigned char byte : text) width += m.advance[byte];
  return static_cast<int32_t>(std::lround(width));
}

int32_t GridPainterCanvas::TextHeight(const std::string&) {
  return CurrentMetrics().height;
}

void GridPainterCanvas::FillRect(const TGridRect& rect) {
  if (!painter_) return;
  painter_->fillRect(QRect(QPoint(rect.Left, rect.Top), QPoint(rect.Right - 1, rect.Bottom - 1)),
                     ToQColor(brush_, palette_));
}

void GridPainterCanvas::TextRect(const TGridRect& clip, int32_t x, int32_t y, const std::string& text) {
  if (!painter_) return;
  painter_->save();
  painter_->setClipRect(QRect(QPoint(clip.Left, clip.Top), QPoint(clip.Right - 1, clip.Bottom - 1)),
                        Qt::IntersectClip);
  painter_->setFont(CurrentMetrics().font);
  painter_->setPen(ToQColor(font_.fColor, palette_));
  painter_->drawText(QPointF(x, y + CurrentMetrics().ascent), ToQString(text));
  painter_->restore();
}

}  // namespace quillor
