// SPDX-License-Identifier: Apache-2.0
// The in-memory engine: what the change log turns into a delta, and what a merge keeps.
#include "data/memory_table.h"

#include <gtest/gtest.h>

using namespace kalmora;
using namespace kalmora::core;
using namespace kalmora::data;

namespace {

std::vector<TableColumn> twoColumns()
{
    return {TableColumn{core::ColumnDesc{"ID", ColumnType::Integer}},
            TableColumn{core::ColumnDesc{"NAME", ColumnType::String, 10}}};
}

Value i(std::int64_t v)
{
    return Value{v};
}
Value s(const char *v)
{
    return Value{std::string(v)};
}

/// Three fetched rows: (1,a) (2,b) (3,c).
MemoryTable fetched()
{
    RowStore rows(2);
    for (const auto &[id, name] : {std::pair{1, "a"}, {2, "b"}, {3, "c"}}) {
        const std::span<core::Value> row = rows.append();
        row[0] = i(id);
        row[1] = s(name);
    }
    MemoryTable table;
    table.load(twoColumns(), std::move(rows));
    return table;
}

std::vector<UpdateKind> kinds(const Delta &delta)
{
    std::vector<UpdateKind> result;
    for (const DeltaRow &row : delta.rows)
        result.push_back(row.kind);
    return result;
}

} // namespace

// A save must send changes in the order they were made, so that a row deleted before an
// identical row is inserted cannot be matched twice; a row inserted and deleted again, or
// edited back to its fetched values, sends nothing.
TEST(MemoryTable, DeltaListsChangesInTheOrderMadeAndDropsUndoneOnes)
{
    MemoryTable table = fetched();
    const RecordId second = table.shownRecord(1);
    table.remove(second); // (2,b) deleted first

    const RecordId added = table.insertPending(0);
    table.post(added, {i(2), s("b")}); // an identical row inserted after

    const RecordId ghost = table.insertPending(0);
    table.post(ghost, {i(9), s("z")});
    table.remove(ghost); // never reaches the server

    const RecordId third = table.allRecords().back();
    table.post(third, {i(3), s("changed")});
    table.post(third, {i(3), s("c")}); // back to its fetched values

    const Delta delta = table.delta();
    EXPECT_EQ(kinds(delta), (std::vector{UpdateKind::ukDelete, UpdateKind::ukInsert}));
    EXPECT_EQ(delta.rows[0].fetched, (std::vector{i(2), s("b")}));
    EXPECT_EQ(delta.rows[1].current, (std::vector{i(2), s("b")}));
    EXPECT_EQ(table.shownCount(), 3u);
}

// A modified row carries its values as fetched and marks only the changed columns; deleting
// it afterwards still identifies it by the values as fetched, not the edited ones.
TEST(MemoryTable, ModifiedRowsKeepTheirFetchedValues)
{
    MemoryTable table = fetched();
    const RecordId first = table.shownRecord(0);
    const RecordId second = table.shownRecord(1);
    table.post(first, {i(1), s("A")});
    table.post(second, {i(2), s("B")});
    table.remove(second);

    const Delta delta = table.delta();
    ASSERT_EQ(kinds(delta), (std::vector{UpdateKind::ukModify, UpdateKind::ukDelete}));
    EXPECT_EQ(delta.rows[0].fetched, (std::vector{i(1), s("a")}));
    EXPECT_EQ(delta.rows[0].current, (std::vector{i(1), s("A")}));
    EXPECT_EQ(delta.rows[0].changed, (std::vector{false, true}));
    EXPECT_EQ(delta.rows[1].fetched, (std::vector{i(2), s("b")}));
}

// After a partial save only the applied changes become part of the data as fetched: the
// failed ones stay pending, with their original values, for the next save.
TEST(MemoryTable, MergeOfSomeRecordsKeepsTheOthersPending)
{
    MemoryTable table = fetched();
    const RecordId first = table.shownRecord(0);
    const RecordId second = table.shownRecord(1);
    table.post(first, {i(1), s("A")});
    table.post(second, {i(2), s("B")});

    const std::vector<RecordId> applied{first};
    table.merge(applied);

    const Delta delta = table.delta();
    ASSERT_EQ(delta.rows.size(), 1u);
    EXPECT_EQ(delta.rows[0].record, second);
    EXPECT_EQ(delta.rows[0].fetched, (std::vector{i(2), s("b")}));
    // The merged row is fetched data now: editing it again compares with the new values.
    table.post(first, {i(1), s("a")});
    EXPECT_EQ(table.changeCount(), 2u);
}

// The filter limits the shown rows but never the change log; a row being inserted stays
// shown until it is posted, and a posted row that fails the filter leaves the view.
TEST(MemoryTable, FilterLimitsShownRowsOnly)
{
    MemoryTable table = fetched();
    table.setFilter([](std::span<const Value> row) { return std::get<std::int64_t>(row[0]) >= 2; });
    ASSERT_EQ(table.shownCount(), 2u);

    const RecordId added = table.insertPending(0);
    EXPECT_EQ(table.shownCount(), 3u);
    EXPECT_FALSE(table.post(added, {i(0), s("hidden")}));
    EXPECT_EQ(table.shownCount(), 2u);
    EXPECT_EQ(table.allRecords().size(), 4u);
    EXPECT_EQ(table.changeCount(), 1u);

    table.setFilter(nullptr);
    EXPECT_EQ(table.shownCount(), 4u);
    EXPECT_EQ(table.row(table.shownRecord(1))[1], s("hidden")); // placed before (2,b)
}
