// SPDX-License-Identifier: Apache-2.0
#pragma once
// The inside of a drop-down box, shared by the server list and the lookup box: the text at
// the left and, at the right, a drop-down button as wide as a vertical scroll bar. With the
// focus look, the text is drawn in the selection colours inside a focus rectangle.

#include <QRect>

class QPainter;
class QString;
class QWidget;

namespace kalmora::widgets {

/// The drop-down button's place inside `inside`.
QRect dropDownButtonRect(const QWidget &box, const QRect &inside);

/// Paints `inside` (the box less its border) for `box`. `buttonUsable` false greys the
/// button; `buttonDown` draws it pressed; `focusLook` draws the text as selected.
void drawDropDownInside(QPainter &painter, const QWidget &box, const QRect &inside,
                        const QString &text, bool buttonUsable, bool buttonDown, bool focusLook);

} // namespace kalmora::widgets
