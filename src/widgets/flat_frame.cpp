// SPDX-License-Identifier: Apache-2.0
#include "widgets/flat_frame.h"

#include <QPainter>
#include <QPalette>
#include <QRect>

namespace kalmora::widgets {

void drawFlatFrame(QPainter &painter, const QRect &rect, const QPalette &palette)
{
    painter.save();
    painter.setPen(palette.color(QPalette::Shadow));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace kalmora::widgets
