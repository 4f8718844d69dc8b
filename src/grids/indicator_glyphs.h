// SPDX-License-Identifier: Apache-2.0
#pragma once
// The row indicator's glyphs: 6 by 11 pixel bitmaps (resources/*.xpm) drawn centred in the
// current row's indicator cell.

#include <QImage>

namespace kalmora::grids {

enum class IndicatorGlyph {
    Browse,    // DBGARROWEH: a solid black triangle pointing right
    Edit,      // DBEDITEH: a black I-beam
    Insert,    // DBINSERTEH: a black six-armed asterisk
    Searching, // DBGARROWEHW with its white pixels painted yellow: a yellow triangle
};

/// The glyph's bitmap, transparent around the shape.
const QImage &indicatorGlyph(IndicatorGlyph glyph);

} // namespace kalmora::grids
