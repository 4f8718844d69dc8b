// SPDX-License-Identifier: Apache-2.0
// Saving the change log: the statements and parameters that reach the connection, the
// transaction around them, and what the database holds afterwards.
#include "core/errors.h"
#include "company_fixture.h"
#include "support/stand_in_driver.h"

#include <gmock/gmock.h>

using namespace kalmora;
using namespace kalmora::core;
using namespace kalmora::data;
using kalmora::test::CompanyTest;
using kalmora::test::valueText;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

namespace {

const char *const deleteText = "delete from \"AJUSTE_CIERRE\" \r\n"
                               "where\r\n"
                               " \"AJCI_ID\" = ? and\r\n"
                               " \"AJCI_FECINI\" = ? and\r\n"
                               " \"AJCI_FECFIN\" = ? and\r\n"
                               " \"AJCI_PORC\" = ? and\r\n"
                               " \"AJCI_FACTOR\" = ?\r\n";
const char *const insertText =
    "insert into \"AJUSTE_CIERRE\"\r\n"
    "  (\"AJCI_ID\", \"AJCI_FECINI\", \"AJCI_FECFIN\", \"AJCI_PORC\", \"AJCI_FACTOR\")\r\n"
    "values\r\n"
    "  (?, ?, ?, ?, ?)\r\n";

std::string paramsText(const test::StatementRecorder::Sent &sent)
{
    std::string text;
    for (const Param &param : sent.params)
        text += (text.empty() ? "" : "|") + valueText(param.value);
    return text;
}

const char *const allRates = "select AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR "
                             "from AJUSTE_CIERRE order by AJCI_ID";

/// A data set over a whole table of the test's own, saved through a provider of its own.
class TableDataSet : public ProviderDirectory
{
public:
    TableDataSet(TSQLConnection &connection, const std::string &table)
        : table_("T" + table, connection, table), provider_("P" + table, table_),
          dataSet_("C" + table, this)
    {
        dataSet_.setProviderName("P" + table);
    }
    ~TableDataSet() override { dataSet_.close(); }
    TDataSetProvider *findProvider(std::string_view) const override
    {
        return const_cast<TDataSetProvider *>(&provider_);
    }
    TClientDataSet &operator*() { return dataSet_; }
    TClientDataSet *operator->() { return &dataSet_; }

private:
    TSQLTable table_;
    TDataSetProvider provider_;
    TClientDataSet dataSet_;
};

class ApplyUpdatesTest : public CompanyTest
{
protected:
    /// Three rates of 10 December 2026 and one of the 11th.
    void threeRatesOfTheDay()
    {
        setRates({"1, DATE '2026-12-10', DATE '2026-12-10', 0, 0.8",
                  "2, DATE '2026-12-10', DATE '2026-12-10', 19, 0.8",
                  "3, DATE '2026-12-10', DATE '2026-12-10', 5, 0.8",
                  "4, DATE '2026-12-11', DATE '2026-12-11', 5, 0.8"});
    }

    /// A table DUPLICADOS with two equal rows (1, 'x') and (2, 'y'), opened in `copies` and
    /// changed there: (2, 'y') becomes (2, 'z'), (1, 'x') is deleted, which matches both of
    /// its rows, and (3, null) is appended.
    static void changeDuplicates(TClientDataSet &copies)
    {
        run({"recreate table DUPLICADOS (A integer, B varchar(10))",
             "insert into DUPLICADOS values (1, 'x')", "insert into DUPLICADOS values (1, 'x')",
             "insert into DUPLICADOS values (2, 'y')"});
        copies.open();
        copies.locate("A", Value{std::int64_t{2}});
        copies.edit();
        copies.fieldByName("B").setAsString("z");
        copies.post();
        copies.locate("A", Value{std::int64_t{1}});
        copies.deleteRecord(); // matches both (1, 'x') rows
        copies.append();
        copies.fieldByName("A").setAsInteger(3);
        copies.post();
    }

    /// What the rates panel does on open: the day's rows deleted, default rows inserted.
    void replaceTheDay(const std::vector<std::pair<Decimal, std::int64_t>> &defaults)
    {
        TClientDataSet &rates = dm->CAjuste;
        rates.setFilter("AJCI_FECINI = '10/12/2026'");
        rates.setFiltered(true);
        rates.open();
        while (!rates.eof())
            rates.deleteRecord();
        for (const auto &[porc, id] : defaults) {
            rates.insert();
            dm->CAjusteAJCI_ID->setAsInteger(id);
            dm->CAjusteAJCI_FECINI->setAsDate(Date{2026, 12, 10});
            dm->CAjusteAJCI_FECFIN->setAsDate(Date{2026, 12, 10});
            dm->CAjusteAJCI_PORC->setAsCurrency(porc);
            dm->CAjusteAJCI_FACTOR->setAsCurrency(Decimal{8, 1});
            rates.post();
        }
        recorder.clear();
    }
};

} // namespace

// With nothing pending a save sends nothing at all, not even a transaction start.
TEST_F(ApplyUpdatesTest, NothingPendingSendsNothing)
{
    threeRatesOfTheDay();
    dm->CAjuste.open();
    dm->CAjuste.edit();
    dm->CAjusteAJCI_PORC->setAsString(dm->CAjusteAJCI_PORC->asString()); // unchanged
    recorder.clear();
    EXPECT_EQ(dm->CAjuste.applyUpdates(0), 0);
    EXPECT_TRUE(recorder.steps.empty());
}

// Replacing a day: three deletes identified by all five columns as fetched, then the three
// inserts, in one transaction that is committed; the database then holds the new rows (with
// keys from its trigger) and the change log is empty, the rows keeping AJCI_ID 0 in memory.
TEST_F(ApplyUpdatesTest, ReplacingADayInOneTransaction)
{
    threeRatesOfTheDay();
    replaceTheDay({{Decimal{0, 0}, 0}, {Decimal{19, 0}, 0}, {Decimal{5, 0}, 0}});
    EXPECT_EQ(dm->CAjuste.applyUpdates(0), 0);

    EXPECT_THAT(recorder.steps, ElementsAre("start", deleteText, deleteText, deleteText, insertText,
                                            insertText, insertText, "commit"));
    std::vector<std::string> params;
    for (const auto &sent : recorder.sent)
        params.push_back(paramsText(sent));
    // Deletes follow the order the server returned the rows in; inserts the order made.
    EXPECT_THAT(std::vector(params.begin(), params.begin() + 3),
                UnorderedElementsAre("1|2026-12-10|2026-12-10|0.0000|0.8000",
                                     "2|2026-12-10|2026-12-10|19.0000|0.8000",
                                     "3|2026-12-10|2026-12-10|5.0000|0.8000"));
    EXPECT_THAT(std::vector(params.begin() + 3, params.end()),
                ElementsAre("0|2026-12-10|2026-12-10|0.0000|0.8000",
                            "0|2026-12-10|2026-12-10|19.0000|0.8000",
                            "0|2026-12-10|2026-12-10|5.0000|0.8000"));
    const Param &factor = recorder.sent[3].params[4];
    EXPECT_EQ(factor.type.type, ColumnType::Decimal);
    EXPECT_EQ(factor.type.scale, 4);

    const std::vector<std::string> stored = rows(allRates);
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[0], "4|2026-12-11|2026-12-11|5.0000|0.8000");
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_THAT(stored[i], HasSubstr("|2026-12-10|2026-12-10|"));
    EXPECT_EQ(dm->CAjuste.changeCount(), 0);
    EXPECT_EQ(dm->CAjusteAJCI_ID->asInteger(), 0);
}

// MaxErrors 0: a row changed by another connection after the fetch fails with its text, the
// save stops there and is rolled back, the database is exactly as before, nothing is raised,
// and every change stays pending so the user can save again.
TEST_F(ApplyUpdatesTest, MaxErrorsZeroUndoesTheWholeSave)
{
    threeRatesOfTheDay();
    replaceTheDay({{Decimal{5, 0}, 0}});
    run({"update AJUSTE_CIERRE set AJCI_FACTOR = 0.9 where AJCI_ID = 2"});
    const std::vector<std::string> before = rows(allRates);

    EXPECT_EQ(dm->CAjuste.applyUpdates(0), 1);
    // The deletes go out in fetch order up to the changed row (AJCI_ID 2); the insert
    // after them is never sent.
    ASSERT_GE(recorder.sent.size(), 1u);
    const std::size_t sent = recorder.sent.size();
    EXPECT_LE(sent, 3u);
    EXPECT_THAT(paramsText(recorder.sent.back()), ::testing::StartsWith("2|"));
    std::vector<std::string> expected{"start"};
    expected.insert(expected.end(), sent, deleteText);
    expected.push_back("rollback");
    EXPECT_EQ(recorder.steps, expected);
    EXPECT_EQ(rows(allRates), before);
    EXPECT_EQ(dm->CAjuste.changeCount(), 4);
    ASSERT_EQ(dm->CAjuste.updateFailures().size(), 1u);
    const UpdateFailure &failure = dm->CAjuste.updateFailures()[0];
    EXPECT_EQ(failure.message, "Record not found or changed by another user");
    EXPECT_EQ(failure.response, ReconcileResponse::rrAbort);
    EXPECT_EQ(failure.row, sent - 1);
}

// MaxErrors -1: failed rows are skipped (a changed row, and an insert the server refuses with
// its own message) and the rest is committed; only the failed changes stay pending.
TEST_F(ApplyUpdatesTest, MaxErrorsMinusOneCommitsWhatSucceeded)
{
    threeRatesOfTheDay();
    replaceTheDay({{Decimal{5, 0}, 0}, {Decimal{7, 0}, 2}});
    run({"update AJUSTE_CIERRE set AJCI_FACTOR = 0.9 where AJCI_ID = 2"});

    EXPECT_EQ(dm->CAjuste.applyUpdates(-1), 2);
    EXPECT_THAT(recorder.steps, ElementsAre("start", deleteText, deleteText, deleteText, insertText,
                                            insertText, "commit"));
    const std::vector<std::string> stored = rows(allRates);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0], "2|2026-12-10|2026-12-10|19.0000|0.9000");
    EXPECT_EQ(stored[1], "4|2026-12-11|2026-12-11|5.0000|0.8000");
    EXPECT_THAT(stored[2], HasSubstr("|2026-12-10|2026-12-10|5.0000|0.8000"));

    ASSERT_EQ(dm->CAjuste.updateFailures().size(), 2u);
    EXPECT_EQ(dm->CAjuste.updateFailures()[0].message,
              "Record not found or changed by another user");
    EXPECT_EQ(dm->CAjuste.updateFailures()[0].response, ReconcileResponse::rrSkip);
    EXPECT_THAT(dm->CAjuste.updateFailures()[1].message, HasSubstr("PK_AJUSTE_CIERRE"));
    EXPECT_NE(dm->CAjuste.updateFailures()[1].errorCode, 0);
    EXPECT_EQ(dm->CAjuste.changeCount(), 2);
}

// A null value as fetched is matched with "is null" and takes no parameter; an update of one
// column sends one SET line, then the WHERE lines, with the new value first.
TEST_F(ApplyUpdatesTest, NullMatchAndSingleColumnUpdate)
{
    setRates({"1, DATE '2026-12-10', DATE '2026-12-10', NULL, 0.8",
              "2, DATE '2026-12-10', DATE '2026-12-10', 19, 0.8"});
    TClientDataSet &rates = dm->CAjuste;
    rates.open();
    ASSERT_TRUE(rates.locate("AJCI_ID", Value{std::int64_t{1}}));
    rates.deleteRecord();
    ASSERT_TRUE(rates.locate("AJCI_ID", Value{std::int64_t{2}}));
    rates.edit();
    dm->CAjusteAJCI_FACTOR->setAsString("0.9");
    rates.post();
    recorder.clear();

    EXPECT_EQ(rates.applyUpdates(0), 0);
    ASSERT_EQ(recorder.sent.size(), 2u);
    EXPECT_EQ(recorder.sent[0].text, "delete from \"AJUSTE_CIERRE\" \r\n"
                                     "where\r\n"
                                     " \"AJCI_ID\" = ? and\r\n"
                                     " \"AJCI_FECINI\" = ? and\r\n"
                                     " \"AJCI_FECFIN\" = ? and\r\n"
                                     " \"AJCI_PORC\" is null and\r\n"
                                     " \"AJCI_FACTOR\" = ?\r\n");
    EXPECT_EQ(paramsText(recorder.sent[0]), "1|2026-12-10|2026-12-10|0.8000");
    EXPECT_EQ(recorder.sent[1].text, "update \"AJUSTE_CIERRE\"  set\r\n"
                                     " \"AJCI_FACTOR\" = ?\r\n"
                                     "where\r\n"
                                     " \"AJCI_ID\" = ? and\r\n"
                                     " \"AJCI_FECINI\" = ? and\r\n"
                                     " \"AJCI_FECFIN\" = ? and\r\n"
                                     " \"AJCI_PORC\" = ? and\r\n"
                                     " \"AJCI_FACTOR\" = ?\r\n");
    EXPECT_EQ(paramsText(recorder.sent[1]), "0.9000|2|2026-12-10|2026-12-10|19.0000|0.8000");
    EXPECT_THAT(rows(allRates), ElementsAre("2|2026-12-10|2026-12-10|19.0000|0.9000"));
}

// A save prepares each statement once for the rows it fits: rows of one kind whose texts
// differ (a key fetched null or not, another column changed) each get their own statement,
// in the order the changes were made, and every row reaches the database.
TEST_F(ApplyUpdatesTest, RowsOfOneKindWithOtherTextsInOneSave)
{
    setRates({"1, DATE '2026-12-10', DATE '2026-12-10', NULL, 0.8",
              "2, DATE '2026-12-10', DATE '2026-12-10', 19, 0.8",
              "3, DATE '2026-12-10', DATE '2026-12-10', 5, 0.8",
              "4, DATE '2026-12-10', DATE '2026-12-10', 0, 0.8",
              "5, DATE '2026-12-10', DATE '2026-12-10', 10, 0.8"});
    TClientDataSet &rates = dm->CAjuste;
    rates.open();
    const auto change = [&](std::int64_t id, TField *field, const char *text) {
        ASSERT_TRUE(rates.locate("AJCI_ID", Value{id}));
        rates.edit();
        field->setAsString(text);
        rates.post();
    };
    const auto remove = [&](std::int64_t id) {
        ASSERT_TRUE(rates.locate("AJCI_ID", Value{id}));
        rates.deleteRecord();
    };
    remove(2);
    change(3, dm->CAjusteAJCI_FACTOR, "0.9");
    remove(1);
    change(4, dm->CAjusteAJCI_PORC, "7");
    change(5, dm->CAjusteAJCI_FACTOR, "0.6");
    recorder.clear();

    EXPECT_EQ(rates.applyUpdates(0), 0);
    ASSERT_EQ(recorder.sent.size(), 5u);
    const std::string where = "where\r\n"
                              " \"AJCI_ID\" = ? and\r\n"
                              " \"AJCI_FECINI\" = ? and\r\n"
                              " \"AJCI_FECFIN\" = ? and\r\n";
    const std::string factorUpdate = "update \"AJUSTE_CIERRE\"  set\r\n"
                                     " \"AJCI_FACTOR\" = ?\r\n" +
                                     where +
                                     " \"AJCI_PORC\" = ? and\r\n"
                                     " \"AJCI_FACTOR\" = ?\r\n";
    EXPECT_EQ(recorder.sent[0].text, deleteText);
    EXPECT_EQ(recorder.sent[1].text, factorUpdate);
    EXPECT_EQ(recorder.sent[2].text, "delete from \"AJUSTE_CIERRE\" \r\n" + where +
                                         " \"AJCI_PORC\" is null and\r\n"
                                         " \"AJCI_FACTOR\" = ?\r\n");
    EXPECT_EQ(recorder.sent[3].text, "update \"AJUSTE_CIERRE\"  set\r\n"
                                     " \"AJCI_PORC\" = ?\r\n" +
                                         where +
                                         " \"AJCI_PORC\" = ? and\r\n"
                                         " \"AJCI_FACTOR\" = ?\r\n");
    EXPECT_EQ(recorder.sent[4].text, factorUpdate);
    EXPECT_EQ(paramsText(recorder.sent[2]), "1|2026-12-10|2026-12-10|0.8000");
    EXPECT_EQ(paramsText(recorder.sent[4]), "0.6000|5|2026-12-10|2026-12-10|10.0000|0.8000");
    EXPECT_THAT(rows(allRates), ElementsAre("3|2026-12-10|2026-12-10|5.0000|0.9000",
                                            "4|2026-12-10|2026-12-10|7.0000|0.8000",
                                            "5|2026-12-10|2026-12-10|10.0000|0.6000"));
    EXPECT_EQ(rates.changeCount(), 0);
}

// A statement that changes several rows is undone at once and ends the save: nothing after
// it is sent, nothing of the save counts as applied, and the change log keeps every change,
// whatever the tolerance.
TEST_F(ApplyUpdatesTest, SeveralRowsAffectedEndsTheSaveAndKeepsEveryChange)
{
    TableDataSet copies(dm->Kalmora, "DUPLICADOS");
    changeDuplicates(*copies);
    const std::vector<std::string> before = rows("select A, B from DUPLICADOS");

    for (int maxErrors : {0, -1}) {
        recorder.clear();
        EXPECT_EQ(copies->applyUpdates(maxErrors), 1) << maxErrors;
        ASSERT_EQ(recorder.steps.size(), 4u) << maxErrors;
        EXPECT_EQ(recorder.steps[0], "start");
        EXPECT_THAT(recorder.steps[1], ::testing::StartsWith("update \"DUPLICADOS\""));
        EXPECT_THAT(recorder.steps[2], ::testing::StartsWith("delete from \"DUPLICADOS\""));
        EXPECT_EQ(recorder.steps[3], "rollback");
        EXPECT_EQ(rows("select A, B from DUPLICADOS"), before);
        EXPECT_EQ(copies->changeCount(), 3);
        ASSERT_EQ(copies->updateFailures().size(), 1u);
        EXPECT_EQ(copies->updateFailures()[0].message, "Update affected more than 1 record.");
        EXPECT_EQ(copies->updateFailures()[0].response, ReconcileResponse::rrAbort);
    }
}

// Guards against a save that commits after a statement changed several rows because the
// rollback meant to undo them failed (a connection lost at that moment): with no limit on
// failures the save would go on to its commit. Nothing reaches the database, and the change
// log keeps every change.
TEST_F(ApplyUpdatesTest, AFailedRollbackAfterSeveralRowsChangedCommitsNothing)
{
    test::useStandInDriver(dm->Kalmora);
    struct ClearFaults
    {
        ~ClearFaults() { test::standInFaults() = {}; }
    } clearFaults;
    TableDataSet copies(dm->Kalmora, "DUPLICADOS");
    changeDuplicates(*copies);
    const std::vector<std::string> before = rows("select A, B from DUPLICADOS");
    recorder.clear();
    test::standInFaults().rollbackFails = true;

    try {
        copies->applyUpdates(-1);
        FAIL() << "no failure";
    } catch (const core::EOleException &e) {
        // The lost connection's text, without its last full stop.
        EXPECT_EQ(e.message(), "SQL Server Error: Unable to complete network request to host "
                               "\"db1\".\n-Error writing data to the connection");
    }
    ASSERT_GE(recorder.steps.size(), 3u);
    EXPECT_THAT(recorder.steps[1], ::testing::StartsWith("update \"DUPLICADOS\""));
    EXPECT_THAT(recorder.steps[2], ::testing::StartsWith("delete from \"DUPLICADOS\""));
    EXPECT_THAT(recorder.steps, ::testing::Not(::testing::Contains("commit")));
    EXPECT_EQ(rows("select A, B from DUPLICADOS"), before);
    EXPECT_EQ(copies->changeCount(), 3);
    // Detaching ends the transaction that the failed rollbacks left open.
    test::standInFaults().rollbackFails = false;
    dm->Kalmora.setConnected(false);
    EXPECT_EQ(rows("select A, B from DUPLICADOS"), before);
}

// Guards against the width at which a string column stops identifying a row moving: a
// column of 8 192 characters or more is left out of the WHERE (as text or fixed text), one
// of 8 191 is compared like any other.
TEST_F(ApplyUpdatesTest, StringColumnsOf8192CharactersOrMoreAreLeftOutOfTheWhere)
{
    // UTF8 holds at most 8 191 characters in a column; the wider ones are single-byte.
    run({"recreate table ANCHOS (ID integer, N8191 varchar(8191), W8192 varchar(8192) "
         "character set none, F8192 char(8192) character set none)",
         "insert into ANCHOS values (1, 'a', 'b', 'c')"});
    TableDataSet wide(dm->Kalmora, "ANCHOS");
    wide->open();
    wide->edit();
    wide->fieldByName("N8191").setAsString("a2");
    wide->post();
    recorder.clear();

    EXPECT_EQ(wide->applyUpdates(0), 0);
    ASSERT_EQ(recorder.sent.size(), 1u);
    EXPECT_EQ(recorder.sent[0].text, "update \"ANCHOS\"  set\r\n"
                                     " \"N8191\" = ?\r\n"
                                     "where\r\n"
                                     " \"ID\" = ? and\r\n"
                                     " \"N8191\" = ?\r\n");
    EXPECT_EQ(paramsText(recorder.sent[0]), "a2|1|a");
    EXPECT_THAT(rows("select ID, N8191, W8192, trim(F8192) from ANCHOS"), ElementsAre("1|a2|b|c"));
}

// Guards against an inserted row that nothing was assigned to being dropped or refused: it
// is saved with a null in every column.
TEST_F(ApplyUpdatesTest, AnInsertedRowGivenNoValueIsSavedWithNulls)
{
    run({"recreate table NULOS (A integer, B varchar(10), C date, D numeric(15,4))"});
    TableDataSet empty(dm->Kalmora, "NULOS");
    empty->open();
    empty->insert();
    empty->post();
    recorder.clear();

    EXPECT_EQ(empty->applyUpdates(0), 0);
    EXPECT_THAT(recorder.steps, ElementsAre("start",
                                            "insert into \"NULOS\"\r\n"
                                            "  (\"A\", \"B\", \"C\", \"D\")\r\n"
                                            "values\r\n"
                                            "  (?, ?, ?, ?)\r\n",
                                            "commit"));
    EXPECT_EQ(paramsText(recorder.sent[0]), "null|null|null|null");
    EXPECT_THAT(rows("select A, B, C, D from NULOS"), ElementsAre("null|null|null|null"));
    EXPECT_EQ(empty->changeCount(), 0);
}

// Disconnecting keeps the data set's rows and pending changes; opening it again fetches
// nothing, and the save connects on demand and sends them.
TEST_F(ApplyUpdatesTest, ClosedConnectionKeepsRowsAndChanges)
{
    setRates({"1, DATE '2026-12-10', DATE '2026-12-10', 0, 0.8",
              "2, DATE '2026-12-10', DATE '2026-12-10', 19, 0.8"});
    TClientDataSet &rates = dm->CAjuste;
    rates.open();
    ASSERT_TRUE(rates.locate("AJCI_ID", Value{std::int64_t{1}}));
    rates.deleteRecord();
    dm->Kalmora.setConnected(false);

    EXPECT_TRUE(rates.active());
    EXPECT_EQ(rates.recordCount(), 1);
    EXPECT_EQ(rates.changeCount(), 1);
    recorder.clear();
    rates.open();
    EXPECT_TRUE(recorder.steps.empty());

    EXPECT_EQ(rates.applyUpdates(0), 0);
    EXPECT_THAT(recorder.steps, ElementsAre("start", deleteText, "commit"));
    EXPECT_THAT(rows(allRates), ElementsAre("2|2026-12-10|2026-12-10|19.0000|0.8000"));
}

// A save that cannot start (the database cannot be reached) fails across the provider
// boundary, without trailing full stops or blanks, and keeps the change log to save later.
TEST_F(ApplyUpdatesTest, SaveThatCannotStartKeepsTheChanges)
{
    setRates({"1, DATE '2026-12-10', DATE '2026-12-10', 0, 0.8"});
    TClientDataSet &rates = dm->CAjuste;
    rates.open();
    rates.deleteRecord();
    dm->Kalmora.setConnected(false);
    dm->Kalmora.params().setValue("Database", company().serverEntry() + "/datos/NADA/kalmora.fdb");
    recorder.clear();

    try {
        rates.applyUpdates(0);
        FAIL() << "no failure";
    } catch (const core::EOleException &e) {
        const std::string message = e.message();
        ASSERT_FALSE(message.empty());
        EXPECT_NE(message.back(), '.');
        EXPECT_GT(static_cast<unsigned char>(message.back()), 32);
        EXPECT_THAT(message, HasSubstr("NADA"));
    }
    EXPECT_TRUE(recorder.steps.empty());
    EXPECT_EQ(rates.changeCount(), 1);
    EXPECT_THAT(rows(allRates), ElementsAre("1|2026-12-10|2026-12-10|0.0000|0.8000"));
}

// A commit the server refuses fails the save across the provider boundary and ends its
// transaction: the change log stays pending, and the next save starts and commits its own
// transaction instead of joining one left open.
TEST_F(ApplyUpdatesTest, RefusedCommitEndsTheTransaction)
{
    setRates({});
    run({"create or alter exception E_SIN_COMMIT 'commit refused'",
         "create or alter trigger T_SIN_COMMIT on transaction commit as begin"
         " if (exists(select 1 from AJUSTE_CIERRE where AJCI_PORC = 99)) then"
         " exception E_SIN_COMMIT; end"});
    struct DropTrigger
    {
        ~DropTrigger() { run({"drop trigger T_SIN_COMMIT", "drop exception E_SIN_COMMIT"}); }
    } dropTrigger;
    TClientDataSet &rates = dm->CAjuste;
    rates.open();
    rates.insert();
    dm->CAjusteAJCI_ID->setAsInteger(0);
    dm->CAjusteAJCI_FECINI->setAsDate(Date{2026, 12, 10});
    dm->CAjusteAJCI_FECFIN->setAsDate(Date{2026, 12, 10});
    dm->CAjusteAJCI_PORC->setAsString("99");
    dm->CAjusteAJCI_FACTOR->setAsString("0.8");
    rates.post();
    recorder.clear();

    try {
        rates.applyUpdates(-1);
        FAIL() << "no failure";
    } catch (const core::EOleException &e) {
        EXPECT_THAT(e.message(), HasSubstr("commit refused"));
    }
    EXPECT_THAT(recorder.steps, ElementsAre("start", insertText, "rollback"));
    EXPECT_FALSE(dm->Kalmora.inTransaction());
    EXPECT_EQ(rates.changeCount(), 1);
    EXPECT_TRUE(rows(allRates).empty());

    rates.edit();
    dm->CAjusteAJCI_PORC->setAsString("98");
    rates.post();
    recorder.clear();
    EXPECT_EQ(rates.applyUpdates(-1), 0);
    EXPECT_THAT(recorder.steps, ElementsAre("start", insertText, "commit"));
    ASSERT_EQ(rows(allRates).size(), 1u);
    EXPECT_THAT(rows(allRates)[0], HasSubstr("|2026-12-10|2026-12-10|98.0000|0.8000"));
}
