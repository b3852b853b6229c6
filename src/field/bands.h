// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QPainter>

// The raster engine hands a fill or a blend of more than about a hundred lines to worker
// threads. For a field repainted forty times a second, waking them costs more than the
// work itself, so the field paints in bands low enough to stay on its own thread.
namespace Bands {

constexpr int kHeight = 64;

inline void fill(QPainter &painter, const QRect &rect, const QColor &colour)
{
    for (int top = rect.top(); top <= rect.bottom(); top += kHeight)
        painter.fillRect(QRect(rect.left(), top, rect.width(), qMin(kHeight, rect.bottom() + 1 - top)),
                         colour);
}

// Draws `source` of the image (all of it when empty) with its top left corner at `at`.
inline void drawImage(QPainter &painter, QPointF at, const QImage &image, QRect source = {})
{
    if (source.isNull())
        source = image.rect();
    const qreal ratio = image.devicePixelRatio();
    for (int top = source.top(); top <= source.bottom(); top += kHeight) {
        const QRect band(source.left(), top, source.width(), qMin(kHeight, source.bottom() + 1 - top));
        painter.drawImage(at + QPointF(0, (top - source.top()) / ratio), image, band);
    }
}

// Paints `paint` once for each band of `area`, clipped to it.
template<typename Paint> void clipped(QPainter &painter, const QRect &area, Paint paint)
{
    for (int top = area.top(); top <= area.bottom(); top += kHeight) {
        painter.save();
        painter.setClipRect(QRect(area.left(), top, area.width(), qMin(kHeight, area.bottom() + 1 - top)),
                            Qt::IntersectClip);
        paint();
        painter.restore();
    }
}

} // namespace Bands
