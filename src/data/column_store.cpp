// SPDX-License-Identifier: Apache-2.0
#include "data/column_store.h"

#include <cstring>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace kalmora::data {

namespace {

bool leapYear(std::int64_t year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

/// Whether `day` names a day of the proleptic Gregorian calendar that a day number holds.
bool validDay(const core::Date &day)
{
    static constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day.month < 1 || day.month > 12 || day.day < 1 || day.year < -5000000 || day.year > 5000000)
        return false;
    const int length = lengths[day.month - 1] + (day.month == 2 && leapYear(day.year) ? 1 : 0);
    return day.day <= length;
}

// Days since 1970-01-01 and back, by eras of 400 years.
std::int32_t dayNumber(const core::Date &day)
{
    const std::int64_t y = std::int64_t{day.year} - (day.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear =
        (153 * (day.month + (day.month > 2 ? -3 : 9)) + 2) / 5 + day.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int32_t>(era * 146097 + dayOfEra - 719468);
}

core::Date dateOf(std::int32_t number)
{
    const std::int64_t z = std::int64_t{number} + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return core::Date{static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

template <class T> T load(const unsigned char *cell)
{
    T value;
    std::memcpy(&value, cell, sizeof value);
    return value;
}

template <class T> void store(unsigned char *cell, T value)
{
    std::memcpy(cell, &value, sizeof value);
}

} // namespace

void ColumnStore::addColumn(const core::ColumnDesc &desc)
{
    if (rows_ != 0)
        throw std::logic_error("ColumnStore::addColumn with rows stored");
    Column column;
    switch (desc.type) {
    case core::ColumnType::SmallInt:
    case core::ColumnType::Integer:
        column.form = Form::Int32;
        column.cells.cellBytes = 4;
        break;
    case core::ColumnType::LargeInt:
        column.form = Form::Int64;
        break;
    case core::ColumnType::Decimal:
        column.form = Form::Scaled;
        column.scale = desc.scale;
        break;
    case core::ColumnType::Date:
        column.form = Form::Day;
        column.cells.cellBytes = 4;
        break;
    case core::ColumnType::Time:
        column.form = Form::Time;
        column.cells.cellBytes = 4;
        break;
    case core::ColumnType::Timestamp:
        column.form = Form::Stamp;
        break;
    case core::ColumnType::Float:
        column.form = Form::Double;
        break;
    case core::ColumnType::String:
    case core::ColumnType::FixedChar:
    case core::ColumnType::TextBlob:
    case core::ColumnType::BinaryBlob:
        column.form = Form::Text;
        break;
    }
    columns_.push_back(std::move(column));
}

std::size_t ColumnStore::appendRow()
{
    const std::size_t row = rows_;
    for (Column &column : columns_) {
        if (row % blockRows == 0)
            column.cells.blocks.push_back(
                std::make_unique<unsigned char[]>(blockRows * column.cells.cellBytes));
        if (row % 64 == 0)
            column.nulls.push_back(~std::uint64_t{0});
        else
            column.nulls.back() |= std::uint64_t{1} << (row % 64);
    }
    ++rows_;
    return row;
}

void ColumnStore::setNull(Column &column, std::size_t row, bool null)
{
    const std::uint64_t bit = std::uint64_t{1} << (row % 64);
    if (null)
        column.nulls[row / 64] |= bit;
    else
        column.nulls[row / 64] &= ~bit;
}

void ColumnStore::set(std::size_t row, std::size_t index, const core::Value &value)
{
    Column &column = columns_[index];
    if (!column.others.empty())
        column.others.erase(row);
    if (core::isNull(value)) {
        setNull(column, row, true);
        return;
    }
    setNull(column, row, false);
    if (!setCompact(column, row, value)) {
        // Marked null in the bitmap, present beside it: read from there.
        setNull(column, row, true);
        column.others.insert_or_assign(row, value);
    }
}

bool ColumnStore::setCompact(Column &column, std::size_t row, const core::Value &value)
{
    unsigned char *cell = column.cells.at(row);
    switch (column.form) {
    case Form::Int32: {
        const auto *v = std::get_if<std::int64_t>(&value);
        if (!v || *v < std::numeric_limits<std::int32_t>::min() ||
            *v > std::numeric_limits<std::int32_t>::max())
            return false;
        store(cell, static_cast<std::int32_t>(*v));
        return true;
    }
    case Form::Int64: {
        const auto *v = std::get_if<std::int64_t>(&value);
        if (!v)
            return false;
        store(cell, *v);
        return true;
    }
    case Form::Scaled: {
        const auto *v = std::get_if<core::Decimal>(&value);
        if (!v || v->scale != column.scale)
            return false;
        store(cell, v->unscaled);
        return true;
    }
    case Form::Day: {
        const auto *v = std::get_if<core::Date>(&value);
        if (!v || !validDay(*v))
            return false;
        store(cell, dayNumber(*v));
        return true;
    }
    case Form::Time: {
        const auto *v = std::get_if<core::Time>(&value);
        if (!v)
            return false;
        store(cell, v->fractions);
        return true;
    }
    case Form::Stamp: {
        const auto *v = std::get_if<core::Timestamp>(&value);
        if (!v || !validDay(v->date))
            return false;
        store(cell, dayNumber(v->date));
        store(cell + 4, v->time.fractions);
        return true;
    }
    case Form::Double: {
        const auto *v = std::get_if<double>(&value);
        if (!v)
            return false;
        store(cell, *v);
        return true;
    }
    case Form::Text: {
        const auto *v = std::get_if<std::string>(&value);
        if (!v || v->size() > std::numeric_limits<std::uint32_t>::max() - sizeof(std::uint32_t))
            return false;
        storeText(cell, *v);
        return true;
    }
    }
    return false;
}

void ColumnStore::storeText(unsigned char *cell, const std::string &text)
{
    const std::size_t needed = sizeof(std::uint32_t) + text.size();
    if (textBlocks_.empty() || textUsed_ + needed > textCapacity_) {
        if (textBlocks_.size() >= std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("ColumnStore: too many text blocks");
        textCapacity_ = std::max(textBlockBytes, needed);
        textBlocks_.push_back(std::make_unique<char[]>(textCapacity_));
        textUsed_ = 0;
    }
    char *place = textBlocks_.back().get() + textUsed_;
    const auto length = static_cast<std::uint32_t>(text.size());
    std::memcpy(place, &length, sizeof length);
    std::memcpy(place + sizeof length, text.data(), text.size());
    store(cell, static_cast<std::uint32_t>(textBlocks_.size() - 1));
    store(cell + 4, static_cast<std::uint32_t>(textUsed_));
    textUsed_ += needed;
}

std::string_view ColumnStore::textAt(const unsigned char *cell) const
{
    const char *place =
        textBlocks_[load<std::uint32_t>(cell)].get() + load<std::uint32_t>(cell + 4);
    std::uint32_t length;
    std::memcpy(&length, place, sizeof length);
    return {place + sizeof length, length};
}

void ColumnStore::clearRow(std::size_t row)
{
    for (Column &column : columns_) {
        if (!column.others.empty())
            column.others.erase(row);
        setNull(column, row, true);
    }
}

bool ColumnStore::isNull(std::size_t row, std::size_t index) const
{
    const Column &column = columns_[index];
    const bool marked = (column.nulls[row / 64] >> (row % 64)) & 1;
    return marked && (column.others.empty() || !column.others.count(row));
}

core::Value ColumnStore::get(std::size_t row, std::size_t column) const
{
    core::Value value;
    read(row, column, value);
    return value;
}

void ColumnStore::read(std::size_t row, std::size_t index, core::Value &out) const
{
    const Column &column = columns_[index];
    if ((column.nulls[row / 64] >> (row % 64)) & 1) {
        const auto other = column.others.empty() ? column.others.end() : column.others.find(row);
        if (other != column.others.end())
            out = other->second;
        else
            out = std::monostate{};
        return;
    }
    const unsigned char *cell = column.cells.at(row);
    switch (column.form) {
    case Form::Int32:
        out = std::int64_t{load<std::int32_t>(cell)};
        return;
    case Form::Int64:
        out = load<std::int64_t>(cell);
        return;
    case Form::Scaled:
        out = core::Decimal{load<std::int64_t>(cell), column.scale};
        return;
    case Form::Day:
        out = dateOf(load<std::int32_t>(cell));
        return;
    case Form::Time:
        out = core::Time{load<std::uint32_t>(cell)};
        return;
    case Form::Stamp:
        out = core::Timestamp{dateOf(load<std::int32_t>(cell)),
                              core::Time{load<std::uint32_t>(cell + 4)}};
        return;
    case Form::Double:
        out = load<double>(cell);
        return;
    case Form::Text: {
        const std::string_view text = textAt(cell);
        if (auto *slot = std::get_if<std::string>(&out))
            slot->assign(text);
        else
            out = std::string(text);
        return;
    }
    }
}

std::optional<ColumnStore::Key> ColumnStore::keyFor(std::size_t index,
                                                    const core::Value &constant) const
{
    const Column &column = columns_[index];
    switch (column.form) {
    case Form::Int32:
    case Form::Int64:
        if (const auto *v = std::get_if<std::int64_t>(&constant))
            return Key{index, *v};
        break;
    case Form::Scaled:
        if (const auto *v = std::get_if<core::Decimal>(&constant); v && v->scale == column.scale)
            return Key{index, v->unscaled};
        break;
    case Form::Day:
        if (const auto *v = std::get_if<core::Date>(&constant); v && validDay(*v))
            return Key{index, dayNumber(*v)};
        break;
    case Form::Time:
        if (const auto *v = std::get_if<core::Time>(&constant))
            return Key{index, v->fractions};
        break;
    default:
        break;
    }
    return std::nullopt;
}

ColumnStore::Order ColumnStore::compare(std::size_t row, const Key &key) const
{
    const Column &column = columns_[key.column];
    if ((column.nulls[row / 64] >> (row % 64)) & 1)
        return column.others.empty() || !column.others.count(row) ? Order::Null : Order::Beside;
    const unsigned char *cell = column.cells.at(row);
    std::int64_t raw = 0;
    switch (column.form) {
    case Form::Int32:
    case Form::Day:
        raw = load<std::int32_t>(cell);
        break;
    case Form::Time:
        raw = load<std::uint32_t>(cell);
        break;
    default:
        raw = load<std::int64_t>(cell);
        break;
    }
    return raw < key.raw ? Order::Less : raw == key.raw ? Order::Equal : Order::Greater;
}

} // namespace kalmora::data
