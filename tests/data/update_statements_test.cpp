// SPDX-License-Identifier: Apache-2.0
// The statements of a save as built from the delta, independent of any database.
#include "core/errors.h"
#include "data/update_statements.h"

#include <gtest/gtest.h>

using namespace kalmora;
using namespace kalmora::core;
using namespace kalmora::data;

namespace {

std::vector<TableColumn> columns()
{
    return {TableColumn{core::ColumnDesc{"ID", ColumnType::Integer}},
            TableColumn{core::ColumnDesc{"NOTE", ColumnType::TextBlob}},
            TableColumn{core::ColumnDesc{"AMOUNT", ColumnType::Decimal, 8, 15, 4}}};
}

DeltaRow deleted(std::vector<core::Value> fetched)
{
    DeltaRow row;
    row.kind = UpdateKind::ukDelete;
    row.fetched = std::move(fetched);
    return row;
}

} // namespace

// Object names: quoted part by part, left alone when already quoted, bare without a quote
// character.
TEST(UpdateStatements, TableNameWrittenForm)
{
    const struct
    {
        const char *name, *quote, *expected;
    } cases[] = {
        {"AJUSTE_CIERRE", "\"", "\"AJUSTE_CIERRE\""},
        {"OWNER.TABLA", "\"", "\"OWNER\".\"TABLA\""},
        {"\"Mixed\"", "\"", "\"Mixed\""},
        {"`TABLA", "\"", "`TABLA"},
        {"TABLA", "", "TABLA"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(writtenTableName(c.name, c.quote), c.expected) << c.name;
}

// Blobs never identify a row, and a null value as fetched is matched with "is null" and
// takes no parameter; a decimal parameter carries the precision of its own digits.
TEST(UpdateStatements, WhereLinesSkipBlobsAndMatchNulls)
{
    const auto statement = updateStatement(
        columns(),
        deleted({core::Value{std::int64_t{7}}, core::Value{std::string("text")}, core::Value{}}),
        "T", "\"");
    ASSERT_TRUE(statement);
    EXPECT_EQ(statement->text,
              "delete from T \r\nwhere\r\n \"ID\" = ? and\r\n \"AMOUNT\" is null\r\n");
    ASSERT_EQ(statement->params.size(), 1u);
    EXPECT_EQ(statement->params[0].value, Value{std::int64_t{7}});

    const auto withAmount = updateStatement(
        columns(), deleted({core::Value{}, core::Value{}, core::Value{Decimal{8000, 4}}}), "T",
        "\"");
    ASSERT_EQ(withAmount->params.size(), 1u);
    EXPECT_EQ(withAmount->params[0].type.type, ColumnType::Decimal);
    EXPECT_EQ(withAmount->params[0].type.precision, 4);
    EXPECT_EQ(withAmount->params[0].type.scale, 4);
}

// A row that nothing identifies cannot be saved: the failure names no key (two spaces after
// the full stop).
TEST(UpdateStatements, NoIdentifyingColumnFails)
{
    std::vector<TableColumn> onlyBlob{TableColumn{core::ColumnDesc{"NOTE", ColumnType::TextBlob}}};
    try {
        updateStatement(onlyBlob, deleted({Value{std::string("x")}}), "T", "\"");
        FAIL() << "no failure";
    } catch (const kalmora::core::EDatabaseError &e) {
        EXPECT_STREQ(e.what(), "Unable to find record.  No key specified");
    }
}

// A modified row whose values equal those fetched sends nothing; an inserted row names only
// the columns it was given.
TEST(UpdateStatements, UnchangedModifySendsNothingAndInsertNamesGivenColumns)
{
    DeltaRow same;
    same.kind = UpdateKind::ukModify;
    same.fetched = same.current = {core::Value{std::int64_t{1}}, core::Value{}, core::Value{}};
    same.changed = {false, false, false};
    EXPECT_FALSE(updateStatement(columns(), same, "T", "\""));

    DeltaRow inserted;
    inserted.kind = UpdateKind::ukInsert;
    inserted.current = {Value{std::int64_t{1}}, Value{}, Value{Decimal{190000, 4}}};
    inserted.changed = {true, false, true};
    const auto statement = updateStatement(columns(), inserted, "T", "\"");
    EXPECT_EQ(statement->text, "insert into T\r\n  (\"ID\", \"AMOUNT\")\r\nvalues\r\n  (?, ?)\r\n");
    EXPECT_EQ(statement->params.size(), 2u);
}
