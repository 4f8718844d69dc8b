// SPDX-License-Identifier: Apache-2.0
#pragma once
// The failure display: every failure that escapes a handler ends up here and is shown in
// the error box, except a silent abort, which only ends the handler.

#include <exception>

namespace kalmora::app {

/// Shows `failure` in the error box (its message, after errorBoxText); a silent abort
/// (kalmora::core::EAbort) shows nothing. Messages are bytes of the locale's code page.
void showFailure(const std::exception &failure);
/// The same for a caught failure of any type; one that is not a std::exception shows a
/// fixed text.
void showFailure(std::exception_ptr failure);

} // namespace kalmora::app
