// SPDX-License-Identifier: Apache-2.0
// Dates written with the short date pattern and read back with it, as the posting call,
// the rates filter and the date cells use them.
#include "core/date_format.h"

#include <chrono>
#include <gtest/gtest.h>
#include <ostream>

namespace kalmora::core {
void PrintTo(const Date &d, std::ostream *os)
{
    *os << d.year << '-' << d.month << '-' << d.day;
}
} // namespace kalmora::core

namespace {

using kalmora::core::Date;
using kalmora::core::DateSettings;
using kalmora::core::formatDate;
using kalmora::core::parseDate;

/// Spanish names and "-" as separator, so that every name and separator in the output
/// visibly comes from the settings.
DateSettings spanish()
{
    DateSettings s;
    s.separator = '-';
    s.shortPattern = "dd/mm/yyyy";
    s.shortMonthNames = {"ene", "feb", "mar", "abr", "may", "jun",
                         "jul", "ago", "sep", "oct", "nov", "dic"};
    s.longMonthNames = {"enero", "febrero", "marzo",      "abril",   "mayo",      "junio",
                        "julio", "agosto",  "septiembre", "octubre", "noviembre", "diciembre"};
    s.shortDayNames = {"dom", "lun", "mar", "mié", "jue", "vie", "sáb"};
    s.longDayNames = {"domingo", "lunes", "martes", "miércoles", "jueves", "viernes", "sábado"};
    return s;
}

int thisYear()
{
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    return static_cast<int>(std::chrono::year_month_day{today}.year());
}

// Guards: each field of the pattern language, quoted text, the separator, era letters and
// copied characters; a wrong field shows the user (and sends the database) a wrong day.
TEST(DateFormat, PatternFields)
{
    const DateSettings s = spanish();
    const Date monday{2026, 1, 5};
    const struct
    {
        const char *pattern;
        Date day;
        const char *text;
    } cases[] = {
        {"d/m/yy", monday, "5-1-26"},
        {"dd/mm/yyyy", monday, "05-01-2026"},
        {"DD.MM.YYYY", monday, "05.01.2026"},
        {"dD/Mm/yY", monday, "05-01-26"},
        {"y yy yyy yyyyy", {2005, 12, 31}, "05 05 2005 2005"},
        {"yyyy", {987, 3, 1}, "0987"},
        {"mmm d, yyyy", monday, "ene 5, 2026"},
        {"dddd d 'de' mmmm 'de' yyyy", monday, "lunes 5 de enero de 2026"},
        {"ddd dd-MMM", {2026, 2, 28}, "sáb 28-feb"},
        {"ddddd mmmmm", {2026, 12, 2}, "miércoles diciembre"},
        {"\"day\" d 'mm' m", monday, "day 5 mm 1"},
        {"'/' d/m \"/\"", monday, "/ 5-1 /"},
        {"d 'unterminated", monday, "5 unterminated"},
        {"gg yyyy/m/d G", monday, " 2026-1-5 "},
        {"d.m.yy h:n a", monday, "5.1.26 h:n a"},
        {"", monday, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatDate(c.day, c.pattern, s), c.text) << c.pattern;
}

// Guards: text read back with a pattern gives the day the user meant, and anything that is
// not a real day is refused rather than moved to another day.
TEST(DateFormat, ReadingBack)
{
    const DateSettings s = spanish();
    const struct
    {
        const char *text;
        const char *pattern;
        std::optional<Date> day;
    } cases[] = {
        {"5-1-26", "d/m/yy", Date{2026, 1, 5}},
        {"05-01-2026", "dd/mm/yyyy", Date{2026, 1, 5}},
        {"  5- 1-2026 ", "dd/mm/yyyy", Date{2026, 1, 5}},
        {"5-1-2026", "d/m/yy", Date{2026, 1, 5}},
        {"29-2-2024", "d/m/yyyy", Date{2024, 2, 29}},
        {"ENERO 5, 2026", "mmmm d, yyyy", Date{2026, 1, 5}},
        {"Dic 24, 2026", "mmmm d, yyyy", Date{2026, 12, 24}},
        {"12 24, 2026", "mmm d, yyyy", Date{2026, 12, 24}},
        {"lunes 5 de enero de 2026", "dddd d 'de' mmmm 'de' yyyy", Date{2026, 1, 5}},
        {"martes 5 DE Enero de 2026", "dddd d 'de' mmmm 'de' yyyy", Date{2026, 1, 5}},
        {"funes 5 de enero de 2026", "dddd d 'de' mmmm 'de' yyyy", std::nullopt},
        {"20260105", "yyyymmdd", Date{2026, 1, 5}},
        {"260105", "yymmdd", Date{2026, 1, 5}},
        {"2026-01-05", "gg yyyy/mm/dd", Date{2026, 1, 5}},
        {"31-2-2026", "d/m/yyyy", std::nullopt},
        {"29-2-2026", "d/m/yyyy", std::nullopt},
        {"1-13-2026", "d/m/yyyy", std::nullopt},
        {"0-1-2026", "d/m/yyyy", std::nullopt},
        {"1-1-0", "d/m/yyyy", Date{2000, 1, 1}},
        {"1-1-0000", "d/m/yyyy", std::nullopt},
        {"5/1/2026", "d/m/yyyy", std::nullopt},
        {"5-1-2026x", "d/m/yyyy", std::nullopt},
        {"5-1", "d/m/yyyy", std::nullopt},
        {"", "d/m/yyyy", std::nullopt},
        {"xyz 5, 2026", "mmm d, yyyy", std::nullopt},
        {"5-123-2026", "d/m/yyyy", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseDate(c.text, c.pattern, s), c.day) << c.text << " with " << c.pattern;
}

// Guards: two-digit years must land in the hundred years around today (fifty back, 49
// ahead), so "99" is not read as 2099 nor "10" as 1910.
TEST(DateFormat, TwoDigitYearsLieAroundThisYear)
{
    const DateSettings s = spanish();
    const int year = thisYear();
    for (int yy = 0; yy < 100; ++yy) {
        const auto day = parseDate("1-1-" + std::to_string(yy), "d/m/yy", s);
        ASSERT_TRUE(day) << yy;
        EXPECT_EQ(day->year % 100, yy);
        EXPECT_GE(day->year, year - 50);
        EXPECT_LE(day->year, year + 49);
    }
}

// Guards: whatever the system writes with a pattern it must read back as the same day
// (the rates filter and the date cells depend on it).
TEST(DateFormat, WrittenDatesReadBack)
{
    const DateSettings s = spanish();
    const int year = thisYear();
    for (const char *pattern : {"dd/mm/yyyy", "m/d/yy", "yyyy-mm-dd", "dddd, d 'de' mmmm 'de' yyyy",
                                "ddd dd/mmm/yy", "yyyymmdd"}) {
        for (auto day = std::chrono::sys_days{std::chrono::year{year - 1} / 1 / 1};
             day < std::chrono::sys_days{std::chrono::year{year + 1} / 3 / 1};
             day += std::chrono::days{1}) {
            const std::chrono::year_month_day ymd{day};
            const Date date{static_cast<int>(ymd.year()), static_cast<int>(unsigned(ymd.month())),
                            static_cast<int>(unsigned(ymd.day()))};
            const std::string text = formatDate(date, pattern, s);
            ASSERT_EQ(parseDate(text, pattern, s), date) << pattern << ": " << text;
        }
    }
}

// Guards: until the locale has been read, the program writes with the fallbacks ("m/d/yy",
// "/"); once settings are set, the current pattern and names are used for both directions.
TEST(DateFormat, CurrentSettings)
{
    const DateSettings before = kalmora::core::currentDateSettings();
    EXPECT_EQ(before.shortPattern, "m/d/yy");
    EXPECT_EQ(before.separator, '/');
    EXPECT_EQ(formatDate(Date{2026, 1, 5}), "1/5/26");
    EXPECT_EQ(formatDate(Date{2026, 1, 5}, "mmmm ddd", before), "January Mon");

    DateSettings s = spanish();
    kalmora::core::setCurrentDateSettings(s);
    EXPECT_EQ(formatDate(Date{2026, 1, 5}), "05-01-2026");
    EXPECT_EQ(parseDate("05-01-2026"), (Date{2026, 1, 5}));
    EXPECT_EQ(parseDate("1/5/26"), std::nullopt);
    kalmora::core::setCurrentDateSettings(before);
}

} // namespace
