// SPDX-License-Identifier: Apache-2.0
#include "app/pictures.h"

#include <QPixmap>
#include <cstdint>

namespace kalmora::app {

namespace {

#include "resources/pictures.inc"

/// The pixels stay where the program holds them; the image only reads them.
QImage wrap(const std::uint32_t *pixels, int width, int height)
{
    return QImage(reinterpret_cast<const uchar *>(pixels), width, height, QImage::Format_ARGB32);
}

} // namespace

QImage executePicture()
{
    return wrap(kExecutePixels, kExecuteWidth, kExecuteHeight);
}

QImage cancelPicture()
{
    return wrap(kCancelPixels, kCancelWidth, kCancelHeight);
}

QIcon applicationIcon()
{
    return QIcon(QPixmap::fromImage(wrap(kIconPixels, kIconWidth, kIconHeight)));
}

} // namespace kalmora::app
