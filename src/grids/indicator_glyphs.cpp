// SPDX-License-Identifier: Apache-2.0
#include "grids/indicator_glyphs.h"

#include <QColor>
#include <array>

namespace kalmora::grids {

namespace {

// Compiled in as XPM arrays, like the navigator's glyphs.
#include "resources/dbediteh.xpm"
#include "resources/dbgarroweh.xpm"
#include "resources/dbgarrowehw.xpm"
#include "resources/dbinserteh.xpm"

QImage load(const char *const *xpm)
{
    return QImage(xpm).convertToFormat(QImage::Format_ARGB32);
}

QImage whiteAsYellow(QImage image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgba(255, 255, 255, 255))
                image.setPixel(x, y, qRgba(255, 255, 0, 255));
    return image;
}

} // namespace

const QImage &indicatorGlyph(IndicatorGlyph glyph)
{
    static const std::array<QImage, 4> glyphs{load(DBGARROWEH), load(DBEDITEH), load(DBINSERTEH),
                                              whiteAsYellow(load(DBGARROWEHW))};
    return glyphs[std::size_t(glyph)];
}

} // namespace kalmora::grids
