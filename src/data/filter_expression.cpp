// SPDX-License-Identifier: Apache-2.0
#include "data/filter_expression.h"

#include "core/decimal_text.h"
#include "core/errors.h"
#include "data/field.h"

#include <cctype>

namespace kalmora::data {

namespace {

template <class T> int order(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

[[noreturn]] void badFilter(std::string_view text)
{
    throw core::EDBClient("Filter expression incorrectly formatted: " + std::string(text));
}

bool identifierChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

// The readers below take the whole filter text and the position to read from, which they
// move past what they read; a malformed text raises the error that names it whole.

void skipBlanks(std::string_view text, std::size_t &i)
{
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
}

/// A name between square brackets, or a run of identifier characters (possibly none).
std::string readFieldName(std::string_view text, std::size_t &i)
{
    if (i < text.size() && text[i] == '[') {
        const std::size_t close = text.find(']', i);
        if (close == std::string_view::npos)
            badFilter(text);
        std::string name(text.substr(i + 1, close - i - 1));
        i = close + 1;
        return name;
    }
    const std::size_t start = i;
    while (i < text.size() && identifierChar(text[i]))
        ++i;
    return std::string(text.substr(start, i - start));
}

/// A comparison operator, the two-character ones first; empty when there is none.
std::string readOperator(std::string_view text, std::size_t &i)
{
    for (std::string_view op : {"<>", "<=", ">=", "=", "<", ">"}) {
        if (text.substr(i, op.size()) == op) {
            i += op.size();
            return std::string(op);
        }
    }
    return {};
}

/// A constant between single quotes, each doubled quote inside standing for one; `i` is at
/// the opening quote.
std::string readQuotedConstant(std::string_view text, std::size_t &i)
{
    std::string constant;
    ++i;
    while (i < text.size()) {
        if (text[i] == '\'') {
            if (i + 1 < text.size() && text[i + 1] == '\'') {
                constant += '\'';
                i += 2;
                continue;
            }
            ++i;
            return constant;
        }
        constant += text[i++];
    }
    badFilter(text);
}

/// An unquoted constant: a number with a full stop, up to the next blank.
std::string readNumberConstant(std::string_view text, std::size_t &i)
{
    const std::size_t start = i;
    while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    std::string constant(text.substr(start, i - start));
    if (!core::parseDecimal(constant, '.'))
        badFilter(text);
    return constant;
}

} // namespace

std::optional<int> compareValues(const core::Value &a, const core::Value &b)
{
    if (isNull(a) || isNull(b))
        return std::nullopt;
    const auto *ia = std::get_if<std::int64_t>(&a);
    const auto *ib = std::get_if<std::int64_t>(&b);
    const auto *da = std::get_if<core::Decimal>(&a);
    const auto *db = std::get_if<core::Decimal>(&b);
    if ((ia || da) && (ib || db))
        return compareDecimals(da ? *da : core::Decimal{*ia, 0}, db ? *db : core::Decimal{*ib, 0});
    if (a.index() != b.index())
        return std::nullopt;
    return std::visit(
        [&](const auto &x) -> std::optional<int> {
            using T = std::decay_t<decltype(x)>;
            const T &y = std::get<T>(b);
            if constexpr (std::is_same_v<T, std::monostate>)
                return 0;
            else if constexpr (std::is_same_v<T, core::Decimal>)
                return compareDecimals(x, y);
            else
                return order(x, y);
        },
        a);
}

FilterCondition parseFilter(std::string_view text)
{
    FilterCondition condition;
    std::size_t i = 0;
    skipBlanks(text, i);
    condition.fieldName = readFieldName(text, i);
    skipBlanks(text, i);
    condition.op = readOperator(text, i);
    skipBlanks(text, i);
    if (condition.fieldName.empty() || condition.op.empty() || i >= text.size())
        badFilter(text);
    condition.quoted = text[i] == '\'';
    condition.constant =
        condition.quoted ? readQuotedConstant(text, i) : readNumberConstant(text, i);
    skipBlanks(text, i);
    if (i != text.size())
        badFilter(text);
    return condition;
}

MemoryTable::RowFilter makeRowFilter(const FilterCondition &condition, const TField &field,
                                     int column)
{
    // A quoted constant is read the way the field reads typed text (dates in the short date
    // format); a plain number is a decimal with a full stop.
    // A text field compares with the constant as written, never cut to the field's size.
    const bool text = fieldTypeClass(field.dataType()) == FieldTypeClass::String;
    const core::Value constant =
        condition.quoted
            ? (text ? core::Value{condition.constant} : field.textValue(condition.constant))
            : field.assignedValue(core::Value{*core::parseDecimal(condition.constant, '.')});
    enum class Op { Equal, Unequal, Less, Greater, LessOrEqual, GreaterOrEqual };
    const std::string &written = condition.op;
    const Op op = written == "="    ? Op::Equal
                  : written == "<>" ? Op::Unequal
                  : written == "<"  ? Op::Less
                  : written == ">"  ? Op::Greater
                  : written == "<=" ? Op::LessOrEqual
                                    : Op::GreaterOrEqual;
    const auto accepts = [op](int c) {
        switch (op) {
        case Op::Equal:
            return c == 0;
        case Op::Unequal:
            return c != 0;
        case Op::Less:
            return c < 0;
        case Op::Greater:
            return c > 0;
        case Op::LessOrEqual:
            return c <= 0;
        case Op::GreaterOrEqual:
            break;
        }
        return c >= 0;
    };
    const auto test = [constant, accepts](const core::Value &value) {
        const std::optional<int> c = compareValues(value, constant);
        return c && accepts(*c);
    };
    return MemoryTable::RowFilter(std::size_t(column), test,
                                  RowFilter::Comparison{constant, accepts});
}

} // namespace kalmora::data
