// SPDX-License-Identifier: Apache-2.0
#include "core/date_format.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <vector>

// Decisions the pattern language leaves open:
// - The era letters g and G are always removed: there is no era calendar here, and a
//   calendar without eras has no era names to write.
// - Four or more d or m write the long day or month name.
// - Reading accepts either name (short or long) for mmm/mmmm, and a month number there too;
//   day names (ddd/dddd) must be one of the names but do not have to fit the date, so that
//   editing the day of a date shown with its day name is not refused.
// - A year read with one or two digits lies in the hundred years from fifty before the
//   current year to forty-nine after it (in 2026: 1976 to 2075); three or four digits are
//   taken as written, whatever the pattern's year field.
// - A pattern without a year reads the current year; one without a day or month reads 1.

namespace kalmora::core {

namespace {

DateSettings initialSettings()
{
    DateSettings settings;
    settings.shortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    settings.longMonthNames = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
    settings.shortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    settings.longDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                             "Thursday", "Friday", "Saturday"};
    return settings;
}

DateSettings &current()
{
    static DateSettings settings = initialSettings();
    return settings;
}

struct Token
{
    enum Kind { Text, Separator, Day, Month, Year } kind = Text;
    int count = 0;    // letters in the field
    std::string text; // Text: what is copied
};

bool isNumeric(const Token &t)
{
    return t.kind == Token::Year ||
           ((t.kind == Token::Day || t.kind == Token::Month) && t.count <= 2);
}

std::vector<Token> tokenize(std::string_view pattern)
{
    std::vector<Token> tokens;
    auto addText = [&](std::string_view text) {
        if (tokens.empty() || tokens.back().kind != Token::Text)
            tokens.push_back(Token{});
        tokens.back().text += text;
    };
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower == 'd' || lower == 'm' || lower == 'y' || lower == 'g') {
            std::size_t end = i;
            while (end < pattern.size() &&
                   std::tolower(static_cast<unsigned char>(pattern[end])) == lower)
                ++end;
            const int count = static_cast<int>(end - i);
            i = end;
            if (lower == 'g')
                continue;
            const Token::Kind kind = lower == 'd'   ? Token::Day
                                     : lower == 'm' ? Token::Month
                                                    : Token::Year;
            tokens.push_back(Token{kind, count, {}});
        } else if (c == '"' || c == '\'') {
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            addText(pattern.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == '/') {
            tokens.push_back(Token{Token::Separator, 1, {}});
            ++i;
        } else {
            addText(pattern.substr(i, 1));
            ++i;
        }
    }
    return tokens;
}

std::chrono::year_month_day calendarDay(const Date &day)
{
    return std::chrono::year_month_day{std::chrono::year{day.year},
                                       std::chrono::month{static_cast<unsigned>(day.month)},
                                       std::chrono::day{static_cast<unsigned>(day.day)}};
}

std::string digits(int value, int width)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

int currentYear()
{
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    return static_cast<int>(std::chrono::year_month_day{today}.year());
}

char fold(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool matchesAt(std::string_view text, std::size_t pos, std::string_view word)
{
    if (word.empty() || text.size() - pos < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (fold(text[pos + i]) != fold(word[i]))
            return false;
    return true;
}

/// The index of the longest of `lists`' names found at `pos`, and its length.
template <std::size_t N>
std::optional<std::pair<int, std::size_t>> nameAt(std::string_view text, std::size_t pos,
                                                  const std::array<std::string, N> &shortNames,
                                                  const std::array<std::string, N> &longNames)
{
    std::optional<std::pair<int, std::size_t>> best;
    for (const auto *names : {&shortNames, &longNames})
        for (std::size_t i = 0; i < N; ++i)
            if (matchesAt(text, pos, (*names)[i]) && (!best || (*names)[i].size() > best->second))
                best = std::pair{static_cast<int>(i), (*names)[i].size()};
    return best;
}

class Reader
{
public:
    explicit Reader(std::string_view text) : text_(text) {}

    void skipBlanks()
    {
        while (pos_ < text_.size() && text_[pos_] == ' ')
            ++pos_;
    }
    bool atEnd() const { return pos_ == text_.size(); }
    bool take(char c)
    {
        if (pos_ < text_.size() && fold(text_[pos_]) == fold(c)) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool digitNext() const
    {
        return pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]));
    }
    /// One to `maxDigits` digits: the number and how many digits it had.
    std::optional<std::pair<int, int>> number(int maxDigits)
    {
        int value = 0;
        int count = 0;
        while (count < maxDigits && digitNext()) {
            value = value * 10 + (text_[pos_++] - '0');
            ++count;
        }
        return count == 0 ? std::nullopt : std::optional(std::pair{value, count});
    }
    template <std::size_t N>
    std::optional<int> name(const std::array<std::string, N> &shortNames,
                            const std::array<std::string, N> &longNames)
    {
        const auto found = nameAt(text_, pos_, shortNames, longNames);
        if (!found)
            return std::nullopt;
        pos_ += found->second;
        return found->first;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

int windowedYear(int twoDigits)
{
    const int base = currentYear() - 50;
    int year = base / 100 * 100 + twoDigits;
    if (year < base)
        year += 100;
    return year;
}

} // namespace

const DateSettings &currentDateSettings()
{
    return current();
}

void setCurrentDateSettings(DateSettings settings)
{
    current() = std::move(settings);
}

std::string formatDate(const Date &day, std::string_view pattern, const DateSettings &settings)
{
    std::string out;
    const unsigned weekday =
        std::chrono::weekday{std::chrono::sys_days{calendarDay(day)}}.c_encoding();
    for (const Token &token : tokenize(pattern)) {
        switch (token.kind) {
        case Token::Text:
            out += token.text;
            break;
        case Token::Separator:
            out += settings.separator;
            break;
        case Token::Day:
            out += token.count <= 2   ? digits(day.day, token.count)
                   : token.count == 3 ? settings.shortDayNames[weekday]
                                      : settings.longDayNames[weekday];
            break;
        case Token::Month: {
            const auto month = static_cast<std::size_t>((day.month + 11) % 12);
            out += token.count <= 2   ? digits(day.month, token.count)
                   : token.count == 3 ? settings.shortMonthNames[month]
                                      : settings.longMonthNames[month];
            break;
        }
        case Token::Year:
            out +=
                token.count <= 2 ? digits(((day.year % 100) + 100) % 100, 2) : digits(day.year, 4);
            break;
        }
    }
    return out;
}

std::string isoDateText(const Date &day)
{
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

std::string formatDate(const Date &day)
{
    return formatDate(day, current().shortPattern, current());
}

std::optional<std::string> formatDateInOrder(const Date &day, std::string_view order,
                                             char separator)
{
    // Read as the company database reads its configured order: trimmed, in upper case.
    const std::size_t first = order.find_first_not_of(' ');
    const std::size_t last = order.find_last_not_of(' ');
    std::string fields;
    if (first != std::string_view::npos)
        for (const char c : order.substr(first, last - first + 1))
            fields += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if ((fields != "DMY" && fields != "MDY" && fields != "YMD") || day.year < 1 || day.year > 9999)
        return std::nullopt;
    const bool plain =
        separator > ' ' && separator < 127 && !std::isdigit(static_cast<unsigned char>(separator));
    const char between = plain ? separator : '/';
    std::string out;
    for (const char field : fields) {
        if (!out.empty())
            out += between;
        out += field == 'D'   ? digits(day.day, 2)
               : field == 'M' ? digits(day.month, 2)
                              : digits(day.year, 4);
    }
    return out;
}

std::optional<Date> parseDate(std::string_view text, std::string_view pattern,
                              const DateSettings &settings)
{
    const std::vector<Token> tokens = tokenize(pattern);
    Reader in(text);
    std::optional<int> day, month, year;
    in.skipBlanks();
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token &token = tokens[k];
        if (token.kind == Token::Text) {
            for (char c : token.text) {
                if (c == ' ')
                    in.skipBlanks();
                else if (!in.take(c))
                    return std::nullopt;
            }
            continue;
        }
        if (token.kind == Token::Separator) {
            if (!in.take(settings.separator))
                return std::nullopt;
            continue;
        }
        in.skipBlanks();
        if (!isNumeric(token)) {
            if (token.kind == Token::Month && !in.digitNext()) {
                month = in.name(settings.shortMonthNames, settings.longMonthNames);
                if (!month)
                    return std::nullopt;
                ++*month;
                continue;
            }
            if (token.kind == Token::Day) {
                if (!in.name(settings.shortDayNames, settings.longDayNames))
                    return std::nullopt;
                continue;
            }
        }
        // Fields written side by side ("yyyymmdd") are told apart by their widths.
        const bool packed = k + 1 < tokens.size() && isNumeric(tokens[k + 1]);
        const int width = token.kind == Token::Year ? (token.count <= 2 && packed ? 2 : 4) : 2;
        const auto number = in.number(width);
        if (!number)
            return std::nullopt;
        if (token.kind == Token::Day)
            day = number->first;
        else if (token.kind == Token::Month)
            month = number->first;
        else
            year = number->second <= 2 ? windowedYear(number->first) : number->first;
    }
    in.skipBlanks();
    if (!in.atEnd())
        return std::nullopt;

    const Date result{year.value_or(currentYear()), month.value_or(1), day.value_or(1)};
    if (result.year < 1 || result.year > 9999 || result.month < 1 || result.month > 12 ||
        result.day < 1 || !calendarDay(result).ok())
        return std::nullopt;
    return result;
}

std::optional<Date> parseDate(std::string_view text)
{
    return parseDate(text, current().shortPattern, current());
}

} // namespace kalmora::core
