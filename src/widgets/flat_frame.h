// SPDX-License-Identifier: Apache-2.0
#pragma once
// The flat one-pixel frame that the edit boxes and the server list draw in place of the
// sunken border.

class QPainter;
class QPalette;
class QRect;

namespace kalmora::widgets {

/// Draws a one-pixel line along the inner edge of `rect`, in the palette's shadow colour.
void drawFlatFrame(QPainter &painter, const QRect &rect, const QPalette &palette);

} // namespace kalmora::widgets
