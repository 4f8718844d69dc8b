// SPDX-License-Identifier: Apache-2.0
#pragma once
// Date rendering: a day becomes text through the user's short date pattern, and the same
// pattern reads it back. The settings come from the locale (src/platform) at start-up and
// again when the locale changes; tests set them directly.

#include "core/value.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kalmora::core {

struct DateSettings
{
    char separator = '/';                // the date separator ("/" when it cannot be read)
    std::string shortPattern = "m/d/yy"; // the short date pattern ("m/d/yy" when unreadable)
    std::array<std::string, 12> shortMonthNames;
    std::array<std::string, 12> longMonthNames;
    std::array<std::string, 7> shortDayNames; // Sunday first
    std::array<std::string, 7> longDayNames;  // Sunday first
};

/// The settings in force for the whole program.
const DateSettings &currentDateSettings();
void setCurrentDateSettings(DateSettings settings);

/// The day written with `pattern` (the pattern language of the short date format).
std::string formatDate(const Date &day, std::string_view pattern, const DateSettings &settings);
/// The day written with the current short date pattern.
std::string formatDate(const Date &day);
/// The day as YYYY-MM-DD: unambiguous whatever order the reader's dates take.
std::string isoDateText(const Date &day);

/// The day as three numbers in the field order `order` ("DMY", "MDY" or "YMD"; blanks
/// around it and case do not matter): two-digit day and month and a four-digit year, with
/// `separator` between them ("/" when it is a digit, a blank or not plain ASCII). nullopt
/// for any other order, and for a year that four digits cannot hold.
std::optional<std::string> formatDateInOrder(const Date &day, std::string_view order,
                                             char separator);

/// Reads text written with `pattern`; nullopt when the text is not a valid date.
std::optional<Date> parseDate(std::string_view text, std::string_view pattern,
                              const DateSettings &settings);
/// Reads text written with the current short date pattern.
std::optional<Date> parseDate(std::string_view text);

} // namespace kalmora::core
