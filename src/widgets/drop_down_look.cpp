// SPDX-License-Identifier: Apache-2.0
#include "widgets/drop_down_look.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>
#include <qdrawutil.h>

namespace kalmora::widgets {

QRect dropDownButtonRect(const QWidget &box, const QRect &inside)
{
    const int width = box.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &box);
    return {inside.right() + 1 - width, inside.top(), width, inside.height()};
}

void drawDropDownInside(QPainter &painter, const QWidget &box, const QRect &inside,
                        const QString &text, bool buttonUsable, bool buttonDown, bool focusLook)
{
    const QPalette &palette = box.palette();
    painter.fillRect(inside, palette.brush(box.isEnabled() ? QPalette::Base : QPalette::Window));

    const QRect button = dropDownButtonRect(box, inside);
    qDrawWinButton(&painter, button, palette, buttonDown, &palette.brush(QPalette::Button));
    QStyleOption arrow;
    arrow.initFrom(&box);
    arrow.rect = button.adjusted(2, 2, -2, -2).translated(buttonDown ? 1 : 0, buttonDown ? 1 : 0);
    arrow.state = buttonUsable ? QStyle::State_Enabled : QStyle::State_None;
    if (!buttonUsable)
        arrow.palette.setCurrentColorGroup(QPalette::Disabled);
    box.style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, &box);

    const QRect textArea(inside.left(), inside.top(), button.left() - inside.left(),
                         inside.height());
    if (focusLook) {
        const QRect selection = textArea.adjusted(1, 1, -1, -1);
        painter.fillRect(selection, palette.brush(QPalette::Highlight));
        QStyleOptionFocusRect focus;
        focus.initFrom(&box);
        focus.rect = selection;
        focus.backgroundColor = palette.color(QPalette::Highlight);
        box.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, &box);
        painter.setPen(palette.color(QPalette::HighlightedText));
    } else {
        painter.setPen(
            palette.color(box.isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    }
    painter.drawText(textArea.adjusted(2, 0, -1, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

} // namespace kalmora::widgets
