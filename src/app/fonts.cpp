// SPDX-License-Identifier: Apache-2.0
#include "app/fonts.h"

namespace kalmora::app {

namespace {

QFont pixelFont(const QString &family, int pixels)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

QFont windowFont()
{
    return pixelFont(QStringLiteral("Liberation Sans"), 11);
}

QFont flatButtonFont()
{
    return pixelFont(QStringLiteral("Liberation Sans Narrow"), 11);
}

QFont busyPanelFont()
{
    return pixelFont(QStringLiteral("Liberation Sans"), 13);
}

} // namespace kalmora::app
