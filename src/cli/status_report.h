// SPDX-License-Identifier: Apache-2.0
#pragma once
// What "contabiliza-pos status" prints of a month's status (posting/month_status.h): the
// text month grid with the days and points to look at and a summary, JSON objects, or CSV.

#include "posting/month_status.h"

#include <iosfwd>

namespace kalmora::cli {

/// The exit status of a status: 0 every day and point posted or with nothing to post, 1
/// something to post, pending or reversed, 2 an inconsistency.
int statusExit(const posting::MonthStatus &status);

/// The state's name for other tools: "posted", "to_post", "pending", "reversed", "nothing",
/// "inconsistent".
const char *stateName(posting::DayState state);

/// The month grid (a line for each point, a column for each day, a character for each
/// state; `utf8` chooses the symbols, else plain ASCII), its legend, a line for each day and
/// point neither posted nor without sales, with its figures, and a summary line.
void printStatusText(const posting::MonthStatus &status, bool utf8, std::ostream &out);

/// One JSON object a line for each day and point, then one summary object.
void printStatusJson(const posting::MonthStatus &status, std::ostream &out);

/// A header row, then one row for each day and point; RFC 4180 (CR LF, quoting).
void printStatusCsv(const posting::MonthStatus &status, std::ostream &out);

} // namespace kalmora::cli
