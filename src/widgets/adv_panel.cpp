// SPDX-License-Identifier: Apache-2.0
#include "widgets/adv_panel.h"

#include <QPainter>

namespace kalmora::widgets {

AdvPanel::AdvPanel(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

AdvPanel::~AdvPanel() = default;

void AdvPanel::setCaption(const QString &caption)
{
    caption_ = caption;
    update();
}

void AdvPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.topRight(), area.bottomRight());

    const QMargins client = clientMargins();
    const QRect bar(1, 1, width() - 2, client.top() - 1);
    painter.fillRect(bar, palette().brush(QPalette::Highlight));
    painter.setPen(palette().color(QPalette::HighlightedText));
    painter.drawText(bar, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption_);
}

} // namespace kalmora::widgets
