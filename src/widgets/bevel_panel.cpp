// SPDX-License-Identifier: Apache-2.0
#include "widgets/bevel_panel.h"

#include <QPainter>

namespace kalmora::widgets {

namespace {

// One bevel along the edges of `rect`, which then shrinks by a pixel on every side.
void drawBevel(QPainter &painter, QRect &rect, BevelPanel::Bevel bevel, const QPalette &palette)
{
    if (bevel == BevelPanel::Bevel::None)
        return;
    const bool raised = bevel == BevelPanel::Bevel::Raised;
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    painter.setPen(raised ? light : dark);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(raised ? dark : light);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
    rect.adjust(1, 1, -1, -1);
}

} // namespace

BevelPanel::BevelPanel(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

BevelPanel::~BevelPanel() = default;

void BevelPanel::setBevels(Bevel outer, Bevel inner)
{
    outer_ = outer;
    inner_ = inner;
    update();
}

void BevelPanel::setCaption(const QString &caption)
{
    caption_ = caption;
    update();
}

void BevelPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect area = rect();
    drawBevel(painter, area, outer_, palette());
    drawBevel(painter, area, inner_, palette());
    if (!caption_.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, caption_);
    }
}

} // namespace kalmora::widgets
