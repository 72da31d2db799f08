#include "app/SvgPicture.h"

#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

namespace quillor {

QPixmap RenderSvg(const QString& resource, QSize logicalSize, qreal pixelRatio) {
  const QSize pixels(static_cast<int>(std::ceil(logicalSize.width() * pixelRatio)),
                     static_cast<int>(std::ceil(logicalSize.height() * pixelRatio)));
  QPixmap pixmap(pixels);
  pixmap.setDevicePixelRatio(pixelRatio);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(resource);
  QPainter painter(&pixmap);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(logicalSize)));
  return pixmap;
}

}  // namespace quillor
