// SPDX-License-Identifier: Apache-2.0
// The compact column store: every value reads back exactly as it was stored, whether it fits
// its column's compact form or is kept beside it, across blocks and after rewrites.
#include "data/column_store.h"

#include <gtest/gtest.h>
#include <limits>

using namespace kalmora;
using namespace kalmora::core;
using namespace kalmora::data;

namespace {

struct RoundTrip
{
    const char *what;
    ColumnDesc column;
    Value value;
};

ColumnDesc decimal(int scale)
{
    return ColumnDesc{"D", ColumnType::Decimal, 8, 18, scale};
}

} // namespace

TEST(ColumnStore, EveryValueReadsBackAsStored)
{
    const RoundTrip cases[] = {
        {"integer", {"I", ColumnType::Integer}, core::Value{std::int64_t{-2147483648}}},
        {"integer too wide for its column",
         {"I", ColumnType::Integer},
         Value{std::int64_t{1} << 40}},
        {"big integer",
         {"L", ColumnType::LargeInt},
         Value{std::numeric_limits<std::int64_t>::min()}},
        {"decimal at the column's scale", decimal(4), Value{Decimal{-123456789, 4}}},
        {"decimal at another scale", decimal(4), Value{Decimal{15, 1}}},
        {"day", {"F", ColumnType::Date}, Value{Date{2026, 2, 28}}},
        {"leap day", {"F", ColumnType::Date}, Value{Date{2024, 2, 29}}},
        {"day before the epoch", {"F", ColumnType::Date}, Value{Date{1, 1, 1}}},
        {"day no calendar has", {"F", ColumnType::Date}, Value{Date{2026, 2, 30}}},
        {"time", {"T", ColumnType::Time}, Value{Time{863999999}}},
        {"timestamp", {"S", ColumnType::Timestamp}, Value{Timestamp{{1999, 12, 31}, Time{1}}}},
        {"double", {"R", ColumnType::Float}, Value{-0.1}},
        {"text", {"C", ColumnType::String, 20}, Value{std::string("Tienda D'Angelo")}},
        {"empty text", {"C", ColumnType::String, 20}, Value{std::string()}},
        {"text in an integer column", {"I", ColumnType::Integer}, Value{std::string("7")}},
        {"null", {"I", ColumnType::Integer}, Value{}},
    };
    for (const RoundTrip &c : cases) {
        SCOPED_TRACE(c.what);
        ColumnStore store;
        store.addColumn(c.column);
        const std::size_t row = store.appendRow();
        store.set(row, 0, c.value);
        EXPECT_EQ(store.get(row, 0), c.value);
        EXPECT_EQ(store.isNull(row, 0), isNull(c.value));
        // Rewritten with a plain value of the column, then cleared: nothing of it stays.
        store.clearRow(row);
        EXPECT_TRUE(store.isNull(row, 0));
        EXPECT_EQ(store.get(row, 0), Value{});
    }
}

// Many rows over several blocks, rewritten in place: each keeps its own values, texts of
// every length included, and a new row starts null.
TEST(ColumnStore, RowsKeepTheirValuesAcrossBlocksAndRewrites)
{
    ColumnStore store;
    store.addColumn({"ID", ColumnType::Integer});
    store.addColumn({"NAME", ColumnType::String, 100000});
    store.addColumn({"AMOUNT", ColumnType::Decimal, 8, 18, 2});
    const auto name = [](std::size_t row) {
        return std::string(row % 70000 == 1 ? 70000 : row % 13, 'a' + char(row % 26));
    };
    constexpr std::size_t rows = 10000;
    for (std::size_t row = 0; row < rows; ++row) {
        ASSERT_EQ(store.appendRow(), row);
        store.set(row, 0, core::Value{std::int64_t(row)});
        if (row % 3)
            store.set(row, 1, core::Value{name(row)});
        store.set(row, 2, (core::Value{Decimal{std::int64_t(row) * 100 + 1, 2}}));
    }
    for (std::size_t row = 0; row < rows; row += 7)
        store.set(row, 1, core::Value{name(row) + "!"});
    for (std::size_t row = 0; row < rows; ++row) {
        ASSERT_EQ(store.get(row, 0), core::Value{std::int64_t(row)});
        const Value expected = row % 7 == 0 ? Value{name(row) + "!"}
                               : row % 3    ? Value{name(row)}
                                            : Value{};
        ASSERT_EQ(store.get(row, 1), expected) << "row " << row;
        ASSERT_EQ(store.get(row, 2), (core::Value{Decimal{std::int64_t(row) * 100 + 1, 2}}));
    }
    const std::size_t added = store.appendRow();
    for (std::size_t column = 0; column < store.width(); ++column)
        EXPECT_TRUE(store.isNull(added, column));
}

// A constant compared where the values are stored orders as the values do, and a value kept
// beside its column is left to be compared in full.
TEST(ColumnStore, StoredComparisonOrdersAsTheValues)
{
    ColumnStore store;
    store.addColumn({"F", ColumnType::Date});
    for (const Value &day : {Value{Date{2026, 12, 9}}, Value{Date{2026, 12, 10}},
                             Value{Date{2026, 12, 11}}, Value{}, Value{Date{2026, 2, 30}}})
        store.set(store.appendRow(), 0, day);
    const std::optional<ColumnStore::Key> key = store.keyFor(0, core::Value{Date{2026, 12, 10}});
    ASSERT_TRUE(key);
    using Order = ColumnStore::Order;
    const Order expected[] = {Order::Less, Order::Equal, Order::Greater, Order::Null,
                              Order::Beside};
    for (std::size_t row = 0; row < store.size(); ++row)
        EXPECT_EQ(store.compare(row, *key), expected[row]) << "row " << row;
    EXPECT_FALSE(store.keyFor(0, core::Value{std::string("2026-12-10")}));
}
