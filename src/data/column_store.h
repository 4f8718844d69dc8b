// SPDX-License-Identifier: Apache-2.0
#pragma once
// The rows of a data set held column by column, compactly: per column a null bitmap and the
// values in the narrowest form that keeps them exactly (integers at the column's width, days
// as day numbers, decimals as 64-bit integers at the column's scale, times, timestamps and
// doubles as themselves), text apart in blocks of bytes. A value that does not fit its
// column's form (another kind, a decimal of another scale, an integer too wide) is kept whole
// beside the column, so that every value reads back exactly as it was stored. Growing never
// moves what is stored: the values lie in blocks of a fixed number of rows.

#include "core/value.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kalmora::data {

class ColumnStore
{
public:
    /// Adds a column of `desc`'s type; only while the store holds no row.
    void addColumn(const core::ColumnDesc &desc);
    std::size_t width() const { return columns_.size(); }
    std::size_t size() const { return rows_; }

    /// Adds a row of nulls and returns its index.
    std::size_t appendRow();
    void set(std::size_t row, std::size_t column, const core::Value &value);
    /// Makes every value of `row` null.
    void clearRow(std::size_t row);

    bool isNull(std::size_t row, std::size_t column) const;
    core::Value get(std::size_t row, std::size_t column) const;
    /// Reads a value into `out`, reusing its text buffer.
    void read(std::size_t row, std::size_t column, core::Value &out) const;

    /// A constant in one column's own form, to compare the column's values with it where
    /// they are stored. Made only where that form orders exactly as the values do: integers
    /// with an integer, decimals with a decimal of the column's scale, days with a day, times
    /// with a time.
    struct Key
    {
        std::size_t column = 0;
        std::int64_t raw = 0;
    };
    std::optional<Key> keyFor(std::size_t column, const core::Value &constant) const;
    /// How the value of `row` orders against `key`; Beside for a value kept beside the
    /// column, which must be read and compared in full.
    enum class Order : std::int8_t { Less, Equal, Greater, Null, Beside };
    Order compare(std::size_t row, const Key &key) const;

private:
    /// How a column holds its values.
    enum class Form : std::uint8_t { Int32, Int64, Scaled, Day, Time, Stamp, Double, Text };
    static constexpr std::size_t blockRows = 4096;

    /// Fixed-size cells of one column, `blockRows` to a block.
    struct Cells
    {
        std::size_t cellBytes = 8;
        std::vector<std::unique_ptr<unsigned char[]>> blocks;
        unsigned char *at(std::size_t row) const
        {
            return blocks[row / blockRows].get() + row % blockRows * cellBytes;
        }
    };

    struct Column
    {
        Form form = Form::Int64;
        int scale = 0;
        Cells cells;
        std::vector<std::uint64_t> nulls;                    // one bit a row, set for null
        std::unordered_map<std::size_t, core::Value> others; // values that do not fit the form
    };

    /// Stores `value` in the column's form; false when it does not fit.
    bool setCompact(Column &column, std::size_t row, const core::Value &value);
    void setNull(Column &column, std::size_t row, bool null);
    /// Copies text into the text blocks; the cell keeps where.
    void storeText(unsigned char *cell, const std::string &text);
    std::string_view textAt(const unsigned char *cell) const;

    std::vector<Column> columns_;
    std::size_t rows_ = 0;
    // Text: each value a 4-byte length and its bytes, in blocks of at least textBlockBytes.
    static constexpr std::size_t textBlockBytes = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> textBlocks_;
    std::size_t textUsed_ = 0; // in the last block
    std::size_t textCapacity_ = 0;
};

} // namespace kalmora::data
