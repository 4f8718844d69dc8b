// SPDX-License-Identifier: Apache-2.0
#pragma once
// The program's own pictures, compiled in (drawn by resources/make_images.py): showing them
// at start-up reads no file and needs no image decoder or image plugin.

#include <QIcon>
#include <QImage>

namespace kalmora::app {

/// The flat buttons' pictures, 46 x 32, on the background colour the buttons take as
/// transparent.
QImage executePicture();
QImage cancelPicture();

/// The window icon, 64 x 64 with an alpha channel.
QIcon applicationIcon();

} // namespace kalmora::app
