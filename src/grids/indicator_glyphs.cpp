#include "grids/indicator_glyphs.h"

#include <QColor>
#include <QString>
#include <array>

namespace kalmora::grids {

namespace {

QImage load(const char *name)
{
    return QImage(QStringLiteral(":/grids/") + QString::fromLatin1(name))
        .convertToFormat(QImage::Format_ARGB32);
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
    static const std::array<QImage, 4> glyphs{load("dbgarroweh.xpm"), load("dbediteh.xpm"),
                                              load("dbinserteh.xpm"),
                                              whiteAsYellow(load("dbgarrowehw.xpm"))};
    return glyphs[std::size_t(glyph)];
}

} // namespace kalmora::grids
