// SPDX-License-Identifier: Apache-2.0
#pragma once
// The fonts of the window. The designed fonts are replaced by metric look-alikes at the
// designed pixel sizes: "MS Sans Serif" by Liberation Sans, "Arial Narrow" by Liberation
// Sans Narrow.

#include <QFont>

namespace kalmora::app {

/// "MS Sans Serif" 8 pt (11 pixels): the window and every control without a font of its own.
QFont windowFont();
/// "Arial Narrow" 8 pt (11 pixels): the captions of the flat buttons.
QFont flatButtonFont();
/// "MS Sans Serif" 10 pt (13 pixels): the caption of the busy panel.
QFont busyPanelFont();

} // namespace kalmora::app
