// SPDX-License-Identifier: Apache-2.0
#include "core/decimal_text.h"

#include <charconv>
#include <limits>

namespace kalmora::core {

namespace {

char g_separator = '.';

// A value scaled by a power of ten, or digits read before the range check, can pass 64 bits;
// GCC's 128-bit integer (an extension) holds them.
__extension__ using Wide = __int128;

Wide power10(int n)
{
    Wide p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

std::string digitsOf(Wide v)
{
    if (v == 0)
        return "0";
    std::string s;
    while (v > 0) {
        s.insert(s.begin(), char('0' + int(v % 10)));
        v /= 10;
    }
    return s;
}

} // namespace

char currentDecimalSeparator()
{
    return g_separator;
}

void setCurrentDecimalSeparator(char separator)
{
    g_separator = separator;
}

std::optional<std::string> formatDecimal(const Decimal &value, int precision, char separator)
{
    const bool negative = value.unscaled < 0;
    Wide magnitude = negative ? -Wide(value.unscaled) : Wide(value.unscaled);
    int scale = value.scale;
    if (scale < 0) {
        magnitude *= power10(-scale);
        scale = 0;
    }
    // Drop trailing zeros of the fraction first: they are not significant.
    while (scale > 0 && magnitude % 10 == 0) {
        magnitude /= 10;
        --scale;
    }
    std::string digits = digitsOf(magnitude);
    int significant = int(digits.size());
    if (magnitude != 0 && significant > precision) {
        const int drop = std::min(significant - precision, scale);
        if (drop > 0) {
            const Wide unit = power10(drop);
            const Wide rest = magnitude % unit;
            magnitude /= unit;
            if (rest * 2 >= unit)
                ++magnitude;
            scale -= drop;
            while (scale > 0 && magnitude % 10 == 0) {
                magnitude /= 10;
                --scale;
            }
            digits = digitsOf(magnitude);
        }
    }
    const int wholeDigits = int(digits.size()) - scale;
    if (wholeDigits > precision)
        return std::nullopt;
    if (int(digits.size()) <= scale)
        digits.insert(0, std::size_t(scale - int(digits.size()) + 1), '0');
    std::string text = negative && magnitude != 0 ? "-" : "";
    text += digits.substr(0, digits.size() - std::size_t(scale));
    if (scale > 0) {
        text += separator;
        text += digits.substr(digits.size() - std::size_t(scale));
    }
    return text;
}

std::optional<Decimal> parseDecimal(std::string_view text, char separator)
{
    std::size_t i = 0, end = text.size();
    while (i < end && text[i] == ' ')
        ++i;
    while (end > i && text[end - 1] == ' ')
        --end;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    Wide magnitude = 0;
    int scale = 0, digits = 0;
    bool afterSeparator = false;
    for (; i < end; ++i) {
        const char c = text[i];
        if (c == separator && !afterSeparator) {
            afterSeparator = true;
            continue;
        }
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > Wide(std::numeric_limits<std::int64_t>::max()))
            return std::nullopt;
        ++digits;
        if (afterSeparator)
            ++scale;
    }
    if (digits == 0)
        return std::nullopt;
    return Decimal{std::int64_t(negative ? -magnitude : magnitude), scale};
}

std::optional<Decimal> rescaled(const Decimal &value, int scale)
{
    Wide v = value.unscaled;
    if (scale - value.scale > 19) {
        // More than 19 digits added: anything but 0 passes 64 bits (and the power of ten could
        // pass even the wide type).
        if (v != 0)
            return std::nullopt;
    } else if (scale >= value.scale) {
        v *= power10(scale - value.scale);
    } else if (value.scale - scale > 19) {
        // Dropping more than 19 digits leaves 0: no 64-bit value reaches half of 10^20, and
        // so large a power of ten could overflow even the wide type.
        v = 0;
    } else {
        const Wide unit = power10(value.scale - scale);
        const bool negative = v < 0;
        Wide magnitude = negative ? -v : v;
        const Wide rest = magnitude % unit;
        magnitude /= unit;
        if (rest * 2 >= unit)
            ++magnitude;
        v = negative ? -magnitude : magnitude;
    }
    if (v > Wide(std::numeric_limits<std::int64_t>::max()) ||
        v < Wide(std::numeric_limits<std::int64_t>::min()))
        return std::nullopt;
    return Decimal{std::int64_t(v), scale};
}

int compareDecimals(const Decimal &a, const Decimal &b)
{
    if (a.scale < b.scale)
        return -compareDecimals(b, a);
    // b is brought to a's scale. A 64-bit value times 10^19 still fits in the wide type; with
    // more decimals between them, b (unless zero) outweighs any 64-bit a, whose size is below
    // 10^19, and only the signs decide.
    const long long shift = static_cast<long long>(a.scale) - b.scale;
    if (shift > 19 && b.unscaled != 0)
        return b.unscaled > 0 ? -1 : 1;
    const Wide x = a.unscaled;
    const Wide y = shift > 19 ? 0 : Wide(b.unscaled) * power10(static_cast<int>(shift));
    return x < y ? -1 : (x > y ? 1 : 0);
}

std::string formatGeneral(double value)
{
    // to_chars, unlike printf, writes "." whatever the C library's locale says.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

} // namespace kalmora::core
