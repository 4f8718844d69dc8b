// SPDX-License-Identifier: Apache-2.0
#pragma once
// How the grids ask the user to confirm a deletion. The grids sit below the application,
// which installs its own confirmation dialog here; until it does, the platform's question box
// asks.

#include <QString>
#include <functional>

namespace kalmora::grids {

/// Asks `text` and returns true for "OK", false for "Cancel" (closing the window included).
using Confirm = std::function<bool(const QString &text)>;

/// Makes `ask` the way questions are asked; an empty one restores the platform's question box.
void setConfirmation(Confirm ask);

/// Asks `text` the installed way; true when the answer is "OK".
bool confirm(const QString &text);

} // namespace kalmora::grids
