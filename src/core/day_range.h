// SPDX-License-Identifier: Apache-2.0
#pragma once
// The days of a range, for the commands that walk one day at a time.

#include "core/value.h"

#include <vector>

namespace kalmora::core {

/// Every day from `from` to `to`, both included, in order; none when `to` is before `from`.
std::vector<Date> daysBetween(const Date &from, const Date &to);

} // namespace kalmora::core
