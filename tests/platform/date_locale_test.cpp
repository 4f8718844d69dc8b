// SPDX-License-Identifier: Apache-2.0
// The date settings read from the C library's locale: the strftime date format translated
// into the pattern language, its separator, and the names.
#include "core/date_format.h"
#include "platform/date_locale.h"
#include "platform/scoped_env.h"

#include <ctime>
#include <gtest/gtest.h>
#include <langinfo.h>
#include <locale.h>

namespace {

using kalmora::core::Date;
using kalmora::platform::datePatternFromStrftime;
using kalmora::platform::dateSeparatorOf;
using kalmora::platform::readLocaleDateSettings;
using kalmora::test::ScopedEnv;

/// What the C library writes for `day` with `format` under `localeName`'s LC_TIME.
std::string libraryDate(const char *format, const Date &day, const char *localeName)
{
    locale_t locale = newlocale(LC_TIME_MASK, localeName, static_cast<locale_t>(nullptr));
    std::tm tm{};
    tm.tm_year = day.year - 1900;
    tm.tm_mon = day.month - 1;
    tm.tm_mday = day.day;
    tm.tm_isdst = -1;
    std::mktime(&tm); // fills in the weekday
    char buffer[128];
    const std::size_t n = strftime_l(buffer, sizeof buffer, format, &tm, locale);
    freelocale(locale);
    return std::string(buffer, n);
}

// Guards: each strftime date code maps to the field that writes the same thing; literal
// letters and quotes are quoted so that they are not taken for fields; what a date pattern
// cannot say falls back (nullopt).
TEST(DateLocale, StrftimeFormatsTranslate)
{
    const struct
    {
        const char *format;
        std::optional<std::string> pattern;
        char separator;
    } cases[] = {
        {"%m/%d/%y", "mm/dd/yy", '/'},
        {"%d.%m.%Y", "dd.mm.yyyy", '.'},
        {"%Y-%m-%d", "yyyy-mm-dd", '-'},
        {"%F", "yyyy-mm-dd", '-'},
        {"%D", "mm/dd/yy", '/'},
        {"%e/%m/%Y", "d/mm/yyyy", '/'},
        {"%-d/%-m/%Y", "d/m/yyyy", '/'},
        {"%Od.%Om.%EY", "dd.mm.yyyy", '.'},
        {"%a %d %b %Y", "ddd dd mmm yyyy", ' '},
        {"%A, %B %e, %Y", "dddd, mmmm d, yyyy", ','},
        {"%d de %B de %Y", "dd \"de\" mmmm \"de\" yyyy", ' '},
        {"%Y年%m月%d日", "yyyy年mm月dd日", '/'},
        {"%d%%%m'%y\"", "dd%mm\"'\"yy'\"'", '%'},
        {"%H:%M", std::nullopt, '/'},
        {"%5d", std::nullopt, '/'},
        {"%d %j", std::nullopt, '/'},
        {"%%d", std::nullopt, '/'},
        {"", std::nullopt, '/'},
        {"%", std::nullopt, '/'},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.format);
        const auto pattern = datePatternFromStrftime(c.format);
        EXPECT_EQ(pattern, c.pattern);
        if (pattern) {
            EXPECT_EQ(dateSeparatorOf(*pattern), c.separator);
        }
    }
}

// Guards: a translated pattern writes exactly what the C library writes with the original
// format, for every code the translation knows (%e differs only in its padding blank).
TEST(DateLocale, TranslatedPatternsWriteWhatTheLibraryWrites)
{
    ScopedEnv all("LC_ALL", std::nullopt);
    ScopedEnv time("LC_TIME", "C");
    const auto settings = readLocaleDateSettings();
    for (const char *format : {"%m/%d/%y", "%d.%m.%Y", "%F", "%D", "%-d/%-m/%Y", "%a %d %b %Y",
                               "%A, %B %d, %Y", "%d de %B de %Y", "%d%%%m'%y\""}) {
        const auto pattern = datePatternFromStrftime(format);
        ASSERT_TRUE(pattern) << format;
        for (const Date day : {Date{2026, 1, 5}, Date{1999, 12, 31}, Date{2008, 7, 19}})
            EXPECT_EQ(formatDate(day, *pattern, settings), libraryDate(format, day, "C")) << format;
    }
}

// Guards: under the C locale the settings are its own; a locale that is not installed gives
// the fallbacks ("/", "m/d/yy") with the C names, not empty names.
TEST(DateLocale, ReadsTheCLocaleAndFallsBack)
{
    ScopedEnv all("LC_ALL", std::nullopt);
    {
        ScopedEnv time("LC_TIME", "C");
        const auto s = readLocaleDateSettings();
        EXPECT_EQ(s.shortPattern, "mm/dd/yy");
        EXPECT_EQ(s.separator, '/');
        EXPECT_EQ(s.shortMonthNames[0], "Jan");
        EXPECT_EQ(s.longMonthNames[11], "December");
        EXPECT_EQ(s.shortDayNames[0], "Sun");
        EXPECT_EQ(s.longDayNames[6], "Saturday");
    }
    {
        ScopedEnv time("LC_TIME", "xx_NOWHERE.UTF-8");
        const auto s = readLocaleDateSettings();
        EXPECT_EQ(s.shortPattern, "m/d/yy");
        EXPECT_EQ(s.separator, '/');
        EXPECT_EQ(s.longMonthNames[0], "January");
        EXPECT_EQ(s.longDayNames[1], "Monday");
    }
}

// Guards: for every locale installed here, the settings read write a day as the locale's
// own %x does, so the user sees the date the way the rest of the desktop shows it.
TEST(DateLocale, InstalledLocalesWriteLikeTheirOwnDateFormat)
{
    ScopedEnv all("LC_ALL", std::nullopt);
    int tried = 0;
    for (const char *name : {"C", "C.UTF-8", "POSIX", "es_CO.UTF-8", "es_ES.UTF-8", "de_DE.UTF-8",
                             "en_US.UTF-8", "en_GB.UTF-8", "fr_FR.UTF-8", "ja_JP.UTF-8"}) {
        locale_t probe = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(nullptr));
        if (probe == static_cast<locale_t>(nullptr))
            continue;
        const std::string format = nl_langinfo_l(D_FMT, probe);
        freelocale(probe);
        if (!datePatternFromStrftime(format))
            continue; // a format the pattern language cannot say keeps the fallback
        ++tried;
        ScopedEnv time("LC_TIME", name);
        const auto s = readLocaleDateSettings();
        // Two-digit days: %e pads a day below 10 with a blank, the pattern's d does not.
        for (const Date day : {Date{2026, 1, 15}, Date{2031, 11, 23}})
            EXPECT_EQ(formatDate(day, s.shortPattern, s), libraryDate("%x", day, name)) << name;
    }
    EXPECT_GE(tried, 1);
}

} // namespace

namespace {

// Guards: formats the C library writes otherwise than their translation would: two fields of
// one letter side by side ran together into one longer field ("%d%e" became a day name), an E
// or O modifier where the library takes none was dropped although the library then writes
// the conversion out as text, and DEL was taken for a separator.
TEST(DateLocale, FieldsSideBySideModifiersAndControlSigns)
{
    ScopedEnv all("LC_ALL", std::nullopt);
    ScopedEnv time("LC_TIME", "C");
    const auto settings = readLocaleDateSettings();
    for (const char *format : {"%d%d", "%Y%Y", "%b%m", "%D%y", "%F%d", "%m%B", "%OB%Om"}) {
        SCOPED_TRACE(format);
        const auto pattern = datePatternFromStrftime(format);
        ASSERT_TRUE(pattern);
        for (const Date day : {Date{2026, 12, 10}, Date{1999, 11, 30}})
            EXPECT_EQ(formatDate(day, *pattern, settings), libraryDate(format, day, "C"));
    }

    const struct
    {
        const char *format;
        std::optional<std::string> pattern;
    } modifiers[] = {
        {"%EY", "yyyy"},       {"%Ey", "yy"},         {"%Ob", "mmm"},        {"%Oe", "d"},
        {"%Ed", std::nullopt}, {"%Em", std::nullopt}, {"%Oa", std::nullopt}, {"%OY", std::nullopt},
        {"%ED", std::nullopt}, {"%E%", std::nullopt},
    };
    for (const auto &c : modifiers)
        EXPECT_EQ(datePatternFromStrftime(c.format), c.pattern) << c.format;

    EXPECT_EQ(dateSeparatorOf("dd\x7fmm-yyyy"), '-');
}

} // namespace
