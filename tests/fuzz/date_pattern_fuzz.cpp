// SPDX-License-Identifier: Apache-2.0
// Fuzz target: the locale's date format (strftime) made into a date pattern, and days written
// and read with it. Input: the format, a NUL, then a text to read as a day.
#include "core/date_format.h"
#include "platform/date_locale.h"
#include "fuzz_check.h"

#include <cctype>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

using namespace kalmora;
using namespace kalmora::core;
using kalmora::fuzz::check;

namespace {

void checkDay(const std::optional<Date> &day)
{
    if (!day)
        return;
    const std::chrono::year_month_day calendar{
        std::chrono::year{day->year}, std::chrono::month{static_cast<unsigned>(day->month)},
        std::chrono::day{static_cast<unsigned>(day->day)}};
    check(day->year >= 1 && day->year <= 9999 && calendar.ok(), "a day read is a calendar day");
}

/// Whether the C library writes `format` as the pattern does: every conversion without flags
/// but "-" (the others are dropped by design), and no %e (padded with a blank).
bool writtenAlike(std::string_view format)
{
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        for (++i; i < format.size() && format[i] == '-'; ++i) {
        }
        if (i < format.size() &&
            std::string_view("_0^#e").find(format[i]) != std::string_view::npos)
            return false;
    }
    return true;
}

std::string libraryDate(const std::string &format, const Date &day)
{
    std::tm tm{};
    tm.tm_year = day.year - 1900;
    tm.tm_mon = day.month - 1;
    tm.tm_mday = day.day;
    const std::chrono::sys_days days{std::chrono::year_month_day{
        std::chrono::year{day.year}, std::chrono::month{static_cast<unsigned>(day.month)},
        std::chrono::day{static_cast<unsigned>(day.day)}}};
    tm.tm_wday = static_cast<int>(std::chrono::weekday{days}.c_encoding());
    std::vector<char> buffer(format.size() * 16 + 64);
    const std::size_t n = std::strftime(buffer.data(), buffer.size(), format.c_str(), &tm);
    return std::string(buffer.data(), n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view input = kalmora::fuzz::text(data, size);
    const std::string format(kalmora::fuzz::takePart(input));
    const std::string_view typed = input;

    const auto translated = kalmora::platform::datePatternFromStrftime(format);
    // A format that is not translated is tried as a pattern itself, so that any pattern
    // reaches the writing and the reading.
    const std::string pattern = translated ? *translated : format;
    core::DateSettings settings = currentDateSettings();
    settings.separator = kalmora::platform::dateSeparatorOf(pattern);
    const auto separator = static_cast<unsigned char>(settings.separator);
    check(settings.separator == '/' ||
              (separator >= 32 && separator < 127 && !std::isalnum(separator) &&
               settings.separator != '"' && settings.separator != '\''),
          "the separator is one printable sign");

    const Date days[] = {Date{1, 1, 1}, Date{1999, 12, 31}, Date{2024, 2, 29}, Date{2026, 12, 10},
                         Date{9999, 12, 31}};
    for (const Date &day : days)
        checkDay(parseDate(formatDate(day, pattern, settings), pattern, settings));
    checkDay(core::parseDate(typed, pattern, settings));

    if (translated && writtenAlike(format)) {
        // The pattern's "/" is the separator; the C library writes the slash itself.
        settings.separator = '/';
        for (const Date &day : days)
            if (day.year >= 1000)
                check(formatDate(day, pattern, settings) == libraryDate(format, day),
                      "a translated format writes what the C library writes");
    }
    return 0;
}
