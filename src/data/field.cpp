// SPDX-License-Identifier: Apache-2.0
#include "data/field.h"

#include "core/date_format.h"
#include "core/decimal_text.h"
#include "core/errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace kalmora::data {

namespace {

std::string quotedText(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

bool allBlank(std::string_view text)
{
    return text.find_first_not_of(' ') == std::string_view::npos;
}

std::string timeText(const core::Time &time)
{
    const std::uint32_t seconds = time.fractions / 10000;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%u:%02u:%02u", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return buffer;
}

std::optional<core::Time> parseTime(std::string_view text)
{
    unsigned parts[3] = {0, 0, 0};
    int count = 0;
    std::size_t i = 0;
    while (i < text.size() && count < 3) {
        const char *begin = text.data() + i;
        const char *end = text.data() + text.size();
        unsigned v = 0;
        const auto [next, ec] = std::from_chars(begin, end, v);
        if (ec != std::errc() || next == begin)
            return std::nullopt;
        parts[count++] = v;
        i = std::size_t(next - text.data());
        if (i < text.size()) {
            if (text[i] != ':')
                return std::nullopt;
            ++i;
            if (i == text.size())
                return std::nullopt;
        }
    }
    if (i != text.size() || count < 2 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return std::nullopt;
    return core::Time{(parts[0] * 3600 + parts[1] * 60 + parts[2]) * 10000};
}

core::Date dateOf(const core::Value &value)
{
    if (const auto *ts = std::get_if<core::Timestamp>(&value))
        return ts->date;
    return std::get<core::Date>(value);
}

} // namespace

// ---- TField

TField::TField(std::string fieldName, FieldType type, int size)
    : fieldName_(std::move(fieldName)), type_(type), size_(size)
{
}

const std::string &TField::displayName() const
{
    return displayLabel_.empty() ? fieldName_ : displayLabel_;
}

int TField::displayWidth() const
{
    switch (type_) {
    case FieldType::String:
    case FieldType::FixedChar:
        return size_;
    case FieldType::SmallInt:
        return 6;
    case FieldType::Integer:
        return 11;
    case FieldType::LargeInt:
        return 20;
    case FieldType::Date:
    case FieldType::Time:
        return 10;
    case FieldType::SQLTimeStamp:
        return 18;
    case FieldType::FMTBcd:
        return static_cast<const TFMTBCDField *>(this)->precision() + 2;
    default:
        return 10;
    }
}

core::Value TField::value() const
{
    if (!store_ || column_ < 0)
        return core::Value{};
    return store_->currentValue(column_);
}

bool TField::isNull() const
{
    return core::isNull(value());
}

std::string TField::asString() const
{
    const core::Value v = value();
    return core::isNull(v) ? std::string() : textOf(v);
}

std::int64_t TField::asInteger() const
{
    const core::Value v = value();
    if (core::isNull(v))
        return 0;
    if (const auto *i = std::get_if<std::int64_t>(&v))
        return *i;
    if (const auto *d = std::get_if<core::Decimal>(&v))
        return rescaled(*d, 0).value_or(core::Decimal{}).unscaled;
    if (const auto *s = std::get_if<std::string>(&v)) {
        std::int64_t n = 0;
        const auto [end, ec] = std::from_chars(s->data(), s->data() + s->size(), n);
        if (ec != std::errc() || end != s->data() + s->size())
            throw core::EDatabaseError(
                quotedText(*s) + " is not a valid integer value for field '" + displayName() + "'");
        return n;
    }
    failConversion("Integer");
}

void TField::setValue(const core::Value &value)
{
    if (!store_)
        throw core::EDatabaseError("Field '" + displayName() + "' has no dataset");
    store_->writeField(*this, assignedValue(value));
}

void TField::setAsString(std::string_view text)
{
    if (text.empty())
        setValue(core::Value{});
    else
        setValue(valueOfText(text));
}

void TField::setAsInteger(std::int64_t value)
{
    setValue(core::Value{value});
}

void TField::setAsDate(const core::Date &day)
{
    setValue(core::Value{day});
}

void TField::setAsCurrency(const core::Decimal &amount)
{
    const auto currency = rescaled(amount, 4);
    if (!currency)
        throw core::EDatabaseError(std::to_string(amount.unscaled) +
                                   " is not a valid value for field '" + displayName() + "'");
    setValue(core::Value{*currency});
}

std::string TField::textAt(std::size_t row) const
{
    const core::Value v = valueAt(row);
    return core::isNull(v) ? std::string() : textOf(v);
}

core::Value TField::valueAt(std::size_t row) const
{
    if (!store_ || column_ < 0)
        return core::Value{};
    return store_->shownValue(row, column_);
}

bool TField::acceptsChar(char) const
{
    return true;
}

core::Value TField::textValue(std::string_view text) const
{
    return text.empty() ? core::Value{} : valueOfText(text);
}

core::Value TField::assignedValue(const core::Value &value) const
{
    return core::isNull(value) ? core::Value{} : stored(value);
}

core::Value TField::stored(const core::Value &value) const
{
    if (const auto *s = std::get_if<std::string>(&value))
        return s->empty() ? core::Value{} : valueOfText(*s);
    return value;
}

void TField::failConversion(std::string_view typeName) const
{
    throw core::EDatabaseError("Invalid value for field '" + displayName() + "' of type " +
                               std::string(typeName));
}

// ---- TStringField

TStringField::TStringField(std::string fieldName, int size, FieldType type)
    : TField(std::move(fieldName), type, size)
{
}

std::string TStringField::textOf(const core::Value &value) const
{
    if (const auto *s = std::get_if<std::string>(&value))
        return *s;
    if (const auto *i = std::get_if<std::int64_t>(&value))
        return std::to_string(*i);
    return {};
}

core::Value TStringField::valueOfText(std::string_view text) const
{
    // A value longer than the field is cut to its size, as the field cannot hold more.
    if (size() > 0 && text.size() > std::size_t(size()))
        text = text.substr(0, std::size_t(size()));
    return core::Value{std::string(text)};
}

core::Value TStringField::stored(const core::Value &value) const
{
    if (const auto *i = std::get_if<std::int64_t>(&value))
        return valueOfText(std::to_string(*i));
    if (const auto *d = std::get_if<core::Decimal>(&value))
        return valueOfText(formatDecimal(*d, 18, core::currentDecimalSeparator()).value_or(""));
    if (const auto *day = std::get_if<core::Date>(&value))
        return valueOfText(formatDate(*day));
    if (const auto *s = std::get_if<std::string>(&value))
        return s->empty() ? core::Value{} : valueOfText(*s);
    failConversion("String");
}

// ---- TIntegerField

TIntegerField::TIntegerField(std::string fieldName, FieldType type)
    : TField(std::move(fieldName), type, 0)
{
}

std::int64_t TIntegerField::minValue() const
{
    switch (dataType()) {
    case FieldType::SmallInt:
        return std::numeric_limits<std::int16_t>::min();
    case FieldType::LargeInt:
        return std::numeric_limits<std::int64_t>::min();
    default:
        return std::numeric_limits<std::int32_t>::min();
    }
}

std::int64_t TIntegerField::maxValue() const
{
    switch (dataType()) {
    case FieldType::SmallInt:
        return std::numeric_limits<std::int16_t>::max();
    case FieldType::LargeInt:
        return std::numeric_limits<std::int64_t>::max();
    default:
        return std::numeric_limits<std::int32_t>::max();
    }
}

bool TIntegerField::acceptsChar(char c) const
{
    return (c >= '0' && c <= '9') || c == '+' || c == '-';
}

std::string TIntegerField::textOf(const core::Value &value) const
{
    if (const auto *i = std::get_if<std::int64_t>(&value))
        return std::to_string(*i);
    return {};
}

core::Value TIntegerField::valueOfText(std::string_view text) const
{
    std::string_view digits = text;
    while (!digits.empty() && digits.front() == ' ')
        digits.remove_prefix(1);
    while (!digits.empty() && digits.back() == ' ')
        digits.remove_suffix(1);
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
        throw core::EDatabaseError(quotedText(text) + " is not a valid integer value for field '" +
                                   displayName() + "'");
    return stored(core::Value{n});
}

core::Value TIntegerField::stored(const core::Value &value) const
{
    std::int64_t n = 0;
    if (const auto *i = std::get_if<std::int64_t>(&value)) {
        n = *i;
    } else if (const auto *d = std::get_if<core::Decimal>(&value)) {
        const auto whole = rescaled(*d, 0);
        if (!whole)
            failConversion(fieldTypeName(dataType()));
        n = whole->unscaled;
    } else if (const auto *s = std::get_if<std::string>(&value)) {
        return s->empty() ? core::Value{} : valueOfText(*s);
    } else {
        failConversion(fieldTypeName(dataType()));
    }
    if (n < minValue() || n > maxValue())
        throw core::EDatabaseError(
            core::formatGeneral(double(n)) + " is not a valid value for field '" + displayName() +
            "'. The allowed range is " + core::formatGeneral(double(minValue())) + " to " +
            core::formatGeneral(double(maxValue())));
    return core::Value{n};
}

// ---- TDateField

TDateField::TDateField(std::string fieldName) : TField(std::move(fieldName), FieldType::Date, 0) {}

std::string TDateField::textOf(const core::Value &value) const
{
    return formatDate(dateOf(value));
}

core::Value TDateField::valueOfText(std::string_view text) const
{
    const auto day = core::parseDate(text);
    if (!day)
        throw core::EConvertError(quotedText(text) + " is not a valid date");
    return core::Value{*day};
}

core::Value TDateField::stored(const core::Value &value) const
{
    if (std::holds_alternative<core::Date>(value) || std::holds_alternative<core::Timestamp>(value))
        return core::Value{dateOf(value)};
    if (const auto *s = std::get_if<std::string>(&value))
        return s->empty() ? core::Value{} : valueOfText(*s);
    failConversion("Date");
}

// ---- TFMTBCDField

TFMTBCDField::TFMTBCDField(std::string fieldName, int precision, int decimals)
    : TField(std::move(fieldName), FieldType::FMTBcd, decimals), precision_(precision)
{
}

bool TFMTBCDField::acceptsChar(char c) const
{
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == core::currentDecimalSeparator();
}

std::string TFMTBCDField::textOf(const core::Value &value) const
{
    if (const auto *d = std::get_if<core::Decimal>(&value))
        return formatDecimal(*d, precision_, core::currentDecimalSeparator())
            .value_or("BCD overflow");
    if (const auto *i = std::get_if<std::int64_t>(&value))
        return formatDecimal(core::Decimal{*i, 0}, precision_, core::currentDecimalSeparator())
            .value_or("BCD overflow");
    return {};
}

core::Value TFMTBCDField::valueOfText(std::string_view text) const
{
    const auto number = core::parseDecimal(text, core::currentDecimalSeparator());
    if (!number)
        throw core::EConvertError(std::string(text) + " is not a valid BCD value");
    return stored(core::Value{*number});
}

core::Value TFMTBCDField::stored(const core::Value &value) const
{
    core::Decimal d;
    if (const auto *dec = std::get_if<core::Decimal>(&value))
        d = *dec;
    else if (const auto *i = std::get_if<std::int64_t>(&value))
        d = core::Decimal{*i, 0};
    else if (const auto *s = std::get_if<std::string>(&value))
        return s->empty() ? core::Value{} : valueOfText(*s);
    else
        failConversion("FMTBcdField");
    const auto exact = rescaled(d, size());
    if (!exact)
        throw core::EConvertError(
            formatDecimal(d, 19, core::currentDecimalSeparator()).value_or("") +
            " is not a valid BCD value");
    return core::Value{*exact};
}

// ---- TFloatField

TFloatField::TFloatField(std::string fieldName) : TField(std::move(fieldName), FieldType::Float, 0)
{
}

std::string TFloatField::textOf(const core::Value &value) const
{
    const auto *d = std::get_if<double>(&value);
    if (!d)
        return {};
    std::string text = core::formatGeneral(*d);
    for (char &c : text)
        if (c == '.')
            c = core::currentDecimalSeparator();
    return text;
}

core::Value TFloatField::valueOfText(std::string_view text) const
{
    std::string copy(text);
    for (char &c : copy)
        if (c == core::currentDecimalSeparator())
            c = '.';
    // from_chars reads "." whatever the C library's locale says, which strtod does not.
    std::string_view number(copy);
    number.remove_prefix(std::min(number.size(), number.find_first_not_of(" \t\n\v\f\r")));
    if (number.size() > 1 && number[0] == '+' && number[1] != '-' && number[1] != '+')
        number.remove_prefix(1);
    double d = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), d);
    if (allBlank(copy) || error != std::errc() || end != number.data() + number.size() ||
        !std::isfinite(d))
        throw core::EConvertError(quotedText(text) +
                                  " is not a valid floating point value for field '" +
                                  displayName() + "'");
    return core::Value{d};
}

core::Value TFloatField::stored(const core::Value &value) const
{
    if (const auto *i = std::get_if<std::int64_t>(&value))
        return core::Value{double(*i)};
    if (const auto *d = std::get_if<core::Decimal>(&value))
        return core::Value{double(d->unscaled) / std::pow(10.0, d->scale)};
    if (std::holds_alternative<double>(value))
        return value;
    return TField::stored(value);
}

// ---- TTimeField

TTimeField::TTimeField(std::string fieldName) : TField(std::move(fieldName), FieldType::Time, 0) {}

std::string TTimeField::textOf(const core::Value &value) const
{
    if (const auto *t = std::get_if<core::Time>(&value))
        return timeText(*t);
    return {};
}

core::Value TTimeField::valueOfText(std::string_view text) const
{
    const auto time = parseTime(text);
    if (!time)
        throw core::EConvertError(quotedText(text) + " is not a valid time");
    return core::Value{*time};
}

// ---- TSQLTimeStampField

TSQLTimeStampField::TSQLTimeStampField(std::string fieldName)
    : TField(std::move(fieldName), FieldType::SQLTimeStamp, 0)
{
}

std::string TSQLTimeStampField::textOf(const core::Value &value) const
{
    const auto *ts = std::get_if<core::Timestamp>(&value);
    if (!ts)
        return {};
    std::string text = formatDate(ts->date);
    if (ts->time.fractions != 0)
        text += " " + timeText(ts->time);
    return text;
}

core::Value TSQLTimeStampField::valueOfText(std::string_view text) const
{
    // The short date may hold blanks itself ("d mmm yyyy", "yyyy. mm. dd."): the text is a
    // day alone, or a day and the time after its last blank.
    if (const auto day = core::parseDate(text))
        return core::Value{core::Timestamp{*day, core::Time{}}};
    const std::size_t space = text.rfind(' ');
    if (space != std::string_view::npos) {
        const auto day = core::parseDate(text.substr(0, space));
        const auto time = parseTime(text.substr(space + 1));
        if (day && time)
            return core::Value{core::Timestamp{*day, *time}};
    }
    throw core::EConvertError(quotedText(text) + " is not a valid date and time");
}

core::Value TSQLTimeStampField::stored(const core::Value &value) const
{
    if (const auto *day = std::get_if<core::Date>(&value))
        return core::Value{core::Timestamp{*day, core::Time{}}};
    return TField::stored(value);
}

// ---- TBlobField

TBlobField::TBlobField(std::string fieldName, FieldType type)
    : TField(std::move(fieldName), type, 0)
{
}

std::string TBlobField::textOf(const core::Value &value) const
{
    if (const auto *s = std::get_if<std::string>(&value))
        return *s;
    return {};
}

core::Value TBlobField::valueOfText(std::string_view text) const
{
    return core::Value{std::string(text)};
}

// ---- Fields made from a result

std::unique_ptr<TField> makeField(const core::ColumnDesc &column)
{
    std::unique_ptr<TField> field;
    switch (column.type) {
    case core::ColumnType::SmallInt:
        field = std::make_unique<TSmallintField>(column.name);
        break;
    case core::ColumnType::Integer:
        field = std::make_unique<TIntegerField>(column.name);
        break;
    case core::ColumnType::LargeInt:
        field = std::make_unique<TLargeintField>(column.name);
        break;
    case core::ColumnType::String:
        field = std::make_unique<TStringField>(column.name, column.width);
        break;
    case core::ColumnType::FixedChar:
        field = std::make_unique<TStringField>(column.name, column.width, FieldType::FixedChar);
        break;
    case core::ColumnType::Date:
        field = std::make_unique<TDateField>(column.name);
        break;
    case core::ColumnType::Time:
        field = std::make_unique<TTimeField>(column.name);
        break;
    case core::ColumnType::Timestamp:
        field = std::make_unique<TSQLTimeStampField>(column.name);
        break;
    case core::ColumnType::Decimal:
        field = std::make_unique<TFMTBCDField>(
            column.name, column.precision > 0 ? column.precision : 18, column.scale);
        break;
    case core::ColumnType::Float:
        field = std::make_unique<TFloatField>(column.name);
        break;
    case core::ColumnType::TextBlob:
        field = std::make_unique<TBlobField>(column.name, FieldType::Memo);
        break;
    case core::ColumnType::BinaryBlob:
        field = std::make_unique<TBlobField>(column.name, FieldType::Blob);
        break;
    }
    field->setRequired(column.required);
    return field;
}

} // namespace kalmora::data
