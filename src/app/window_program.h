// SPDX-License-Identifier: Apache-2.0
#pragma once
// The program in its window: the application object, the main window shown, the event loop.

#include <QApplication>
#include <functional>

namespace kalmora::app {

/// Runs the window until it closes and returns the exit status; `started`, when given, sees
/// the application object before the window is made.
int runWindowProgram(int &argc, char **argv,
                     const std::function<void(QApplication &)> &started = {});

} // namespace kalmora::app
