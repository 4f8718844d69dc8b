// SPDX-License-Identifier: Apache-2.0
#include "platform/date_locale.h"

#include <langinfo.h>
#include <locale.h>
#include <memory>

namespace kalmora::platform {

namespace {

struct LocaleFree
{
    void operator()(locale_t locale) const { freelocale(locale); }
};
using LocaleHandle = std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleFree>;

LocaleHandle timeLocale(const char *name)
{
    locale_t locale = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(nullptr));
    return LocaleHandle(locale == static_cast<locale_t>(nullptr) ? nullptr : locale);
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

/// The pattern text of one strftime conversion; nullopt for what a date pattern cannot say.
/// `unpadded`: the "-" or "_" flag, which writes day and month without a leading zero.
std::optional<std::string_view> fieldOf(char conversion, bool unpadded)
{
    switch (conversion) {
    case 'd':
        return unpadded ? "d" : "dd";
    case 'e':
        return "d";
    case 'm':
        return unpadded ? "m" : "mm";
    case 'y':
        return "yy";
    case 'Y':
        return "yyyy";
    case 'b':
    case 'h':
        return "mmm";
    case 'B':
        return "mmmm";
    case 'a':
        return "ddd";
    case 'A':
        return "dddd";
    case 'D':
        return "mm/dd/yy";
    case 'F':
        return "yyyy-mm-dd";
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<std::string> datePatternFromStrftime(std::string_view format)
{
    std::string pattern;
    std::string letters; // literal letters waiting to be written in quotes
    bool hasField = false;
    auto flushLetters = [&] {
        if (!letters.empty())
            pattern += '"' + letters + '"';
        letters.clear();
    };
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            if (isAsciiLetter(c)) {
                letters += c;
                continue;
            }
            flushLetters();
            if (c == '"')
                pattern += "'\"'";
            else if (c == '\'')
                pattern += "\"'\"";
            else
                pattern += c;
            continue;
        }
        flushLetters();
        ++i;
        bool unpadded = false;
        for (; i < format.size() &&
               std::string_view("-_0^#").find(format[i]) != std::string_view::npos;
             ++i)
            unpadded = format[i] == '-' || format[i] == '_' ? true
                       : format[i] == '0'                   ? false
                                                            : unpadded;
        char modifier = 0;
        if (i < format.size() && (format[i] == 'E' || format[i] == 'O'))
            modifier = format[i++];
        if (i >= format.size())
            return std::nullopt;
        const char conversion = format[i];
        // The C library takes E only on years and O only on numbers and month names; on
        // anything else it writes the conversion out as text, which is no date field.
        if ((modifier == 'E' && conversion != 'y' && conversion != 'Y') ||
            (modifier == 'O' &&
             std::string_view("bBhdemy").find(conversion) == std::string_view::npos))
            return std::nullopt;
        if (conversion == '%' || conversion == 'n' || conversion == 't') {
            pattern += conversion == '%' ? '%' : conversion == 'n' ? '\n' : '\t';
            continue;
        }
        const auto field = fieldOf(conversion, unpadded);
        if (!field)
            return std::nullopt;
        // Two fields of one letter side by side ("%d%e", "%Y%Y") would run together into one
        // longer field (a day name, an eight-letter year): empty quotes keep them apart.
        if (!pattern.empty() && pattern.back() == field->front())
            pattern += "\"\"";
        pattern += *field;
        hasField = true;
    }
    flushLetters();
    if (!hasField)
        return std::nullopt;
    return pattern;
}

char dateSeparatorOf(std::string_view pattern)
{
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '"' || c == '\'') {
            const std::size_t close = pattern.find(c, i + 1);
            if (close == std::string_view::npos)
                break;
            i = close;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (isAsciiLetter(c) || (c >= '0' && c <= '9') || byte >= 127 || byte < 32)
            continue;
        return c;
    }
    return '/';
}

kalmora::core::DateSettings readLocaleDateSettings()
{
    kalmora::core::DateSettings settings;
    const LocaleHandle user = timeLocale("");
    const LocaleHandle fallback = user ? nullptr : timeLocale("C");
    const locale_t names = user ? user.get() : fallback.get();
    if (names != nullptr) {
        for (std::size_t i = 0; i < 12; ++i) {
            const auto item = static_cast<nl_item>(i);
            settings.shortMonthNames[i] = nl_langinfo_l(ABMON_1 + item, names);
            settings.longMonthNames[i] = nl_langinfo_l(MON_1 + item, names);
        }
        for (std::size_t i = 0; i < 7; ++i) {
            const auto item = static_cast<nl_item>(i);
            settings.shortDayNames[i] = nl_langinfo_l(ABDAY_1 + item, names);
            settings.longDayNames[i] = nl_langinfo_l(DAY_1 + item, names);
        }
    }
    if (user) {
        if (const auto pattern = datePatternFromStrftime(nl_langinfo_l(D_FMT, user.get()))) {
            settings.shortPattern = *pattern;
            settings.separator = dateSeparatorOf(*pattern);
        }
    }
    return settings;
}

} // namespace kalmora::platform
