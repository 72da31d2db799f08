// The window's pictures are SVG resources drawn to pixmaps at the pixel
// ratio of the screen they are shown on. GUI thread only.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace quillor {

// `resource` drawn to fill `logicalSize` at `pixelRatio` device pixels per
// logical pixel (the pixmap carries that ratio), on a transparent ground.
QPixmap RenderSvg(const QString& resource, QSize logicalSize, qreal pixelRatio);

}  // namespace quillor
