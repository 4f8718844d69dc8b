// SPDX-License-Identifier: Apache-2.0
#pragma once
// Where a grid control shows a failure raised by a click. Unwinding through Qt's delivery of
// the mouse release is not safe (it leaks the event it copied), so the control stops the
// failure there and hands it on here. The grids sit below the application, which installs its
// failure display; until it does, the failure is raised again.

#include <exception>
#include <functional>

namespace kalmora::grids {

using FailureReport = std::function<void(std::exception_ptr failure)>;

/// Makes `report` the way failures are shown; an empty one restores raising them again.
void setFailureReport(FailureReport report);

/// Shows `failure` the installed way.
void reportFailure(std::exception_ptr failure);

} // namespace kalmora::grids
