// SPDX-License-Identifier: Apache-2.0
// The Firebird driver against real embedded databases: types both ways, column
// descriptions, rows affected, procedure calls, the implicit and explicit transactions,
// failures, and what a disconnect leaves behind.
#include "driver/fb_driver.h"
#include "driver/scratch_database.h"
#include "support/value_printers.h"

#include <gtest/gtest.h>

namespace kalmora::driver {
using namespace core;
namespace {

using test::ScratchDatabase;

const std::vector<std::string> kSchema = {
    "create table T (I integer not null, S smallint, B bigint, V varchar(20), C char(5),"
    " U varchar(10) character set utf8, D date, TM time, TS timestamp, N numeric(15,4),"
    " N2 decimal(4,2), F float, DP double precision, TB blob sub_type text,"
    " BB blob sub_type binary)",
    "create procedure ADD_ROW (ID integer, NAME varchar(20), AMOUNT numeric(15,4))"
    " returns (TOTAL integer) as begin"
    " insert into T (I, V, N) values (:ID, :NAME, :AMOUNT); TOTAL = ID; end",
    "create procedure GEN (N integer) returns (K integer) as begin K = 0;"
    " while (K < N) do begin K = K + 1; insert into T (I) values (1000 + :K); suspend; end"
    " end",
    "create procedure TAKES_EACH_TYPE (I integer not null, S smallint, B bigint, V varchar(20),"
    " C char(5), U varchar(10) character set utf8, D date, TM time, TS timestamp,"
    " N numeric(15,4), N2 decimal(4,2), F float, DP double precision, TB blob sub_type text,"
    " BB blob sub_type binary) as begin end",
    "create exception E_GEN 'no more rows to give'",
    "create procedure GEN_FAILING returns (K integer) as begin K = 1;"
    " insert into T (I) values (2001); suspend; exception E_GEN; end",
};

class FbDriverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        driver_ = driver::getSQLDriverINTERBASE("GDS32.DLL", "");
        ASSERT_NE(driver_, nullptr);
        connection_ = driver_->createConnection();
        connection_->connect(db_.path(), "SYSDBA", "");
    }

    std::unique_ptr<driver::DriverCommand> prepared(const std::string &text)
    {
        auto command = connection_->createCommand();
        command->prepare(text);
        return command;
    }

    std::int64_t run(const std::string &text, const std::vector<core::Value> &params = {})
    {
        auto command = prepared(text);
        for (std::size_t i = 0; i < params.size(); ++i)
            command->setParameter(i, driver::parameterTypeOf(params[i]), params[i]);
        EXPECT_EQ(command->execute(), nullptr);
        return command->rowsAffected();
    }

    std::string count(const std::string &where = "")
    {
        return db_.text("select count(*) from T" + where).value_or("?");
    }

    ScratchDatabase db_{kSchema};
    std::unique_ptr<driver::Driver> driver_;
    std::unique_ptr<driver::DriverConnection> connection_;
};

struct RoundTrip
{
    const char *what;
    std::string column;
    ColumnDesc type;
    Value sent;
    Value read;
    std::optional<std::string> stored; // the server's own text of the stored value
};

ColumnDesc typed(ColumnType type, int width = 0)
{
    ColumnDesc desc;
    desc.type = type;
    desc.width = width;
    return desc;
}

// What is bound reaches the column exactly (checked by the server's own text of it) and
// comes back as the same value through the driver.
TEST_F(FbDriverTest, ParametersRoundTripThroughEachColumnType)
{
    const std::string latin1 = "\xE1\xF1o \xC9";
    const std::string longText(60000, 'x');
    const Time time{(13 * 3600 + 5 * 60 + 7) * 10000u + 1234};
    const std::vector<RoundTrip> cases = {
        {"0.8 into NUMERIC(15,4) stays exact", "N", driver::parameterTypeOf(Decimal{8, 1}),
         Decimal{8, 1}, Decimal{8000, 4}, "0.8000"},
        {"negative decimal", "N", parameterTypeOf(Decimal{-1234567, 2}), Decimal{-1234567, 2},
         Decimal{-123456700, 4}, "-12345.6700"},
        {"integer into a decimal", "N", typed(ColumnType::Decimal), std::int64_t{19},
         Decimal{190000, 4}, "19.0000"},
        {"DECIMAL(4,2)", "N2", parameterTypeOf(Decimal{1999, 2}), Decimal{1999, 2},
         Decimal{1999, 2}, "19.99"},
        {"quotes and markers in text", "V", parameterTypeOf(Value("O'Hara ?\"")),
         std::string("O'Hara ?\""), std::string("O'Hara ?\""), "O'Hara ?\""},
        {"empty text is not null", "V", parameterTypeOf(Value("")), std::string(), std::string(),
         ""},
        {"8-bit bytes pass unchanged", "V", parameterTypeOf(Value(latin1)), latin1, latin1, latin1},
        {"CHAR comes back padded", "C", typed(ColumnType::FixedChar, 5), std::string("ab"),
         std::string("ab   "), "ab   "},
        {"date", "D", typed(ColumnType::Date), Date{2026, 10, 12}, Date{2026, 10, 12},
         "2026-10-12"},
        {"typed null", "D", typed(ColumnType::Date), std::monostate{}, std::monostate{},
         std::nullopt},
        {"typeless null", "V", parameterTypeOf(Value()), std::monostate{}, std::monostate{},
         std::nullopt},
        {"time of day", "TM", typed(ColumnType::Time), time, time, "13:05:07.1234"},
        {"timestamp", "TS", typed(ColumnType::Timestamp), Timestamp{{2026, 2, 28}, time},
         Timestamp{{2026, 2, 28}, time}, "2026-02-28 13:05:07.1234"},
        {"smallint", "S", typed(ColumnType::SmallInt), std::int64_t{-5}, std::int64_t{-5}, "-5"},
        {"bigint beyond double precision", "B", typed(ColumnType::LargeInt),
         std::int64_t{9007199254740993}, std::int64_t{9007199254740993}, "9007199254740993"},
        {"double", "DP", typed(ColumnType::Float), 0.1, 0.1, "0.1000000000000000"},
        {"text blob read whole", "TB", typed(ColumnType::TextBlob), longText, longText,
         std::to_string(longText.size())},
    };
    int id = 0;
    for (const RoundTrip &c : cases) {
        SCOPED_TRACE(c.what);
        ++id;
        auto insert = prepared("insert into T (I, " + c.column + ") values (?, ?)");
        insert->setParameter(0, typed(ColumnType::Integer), std::int64_t{id});
        insert->setParameter(1, c.type, c.sent);
        ASSERT_EQ(insert->execute(), nullptr);

        const std::string expr = c.column == "TB" ? "char_length(TB)" : c.column;
        EXPECT_EQ(db_.text("select " + expr + " from T where I = " + std::to_string(id)), c.stored);

        auto select = prepared("select " + c.column + " from T where I = ?");
        select->setParameter(0, typed(ColumnType::Integer), std::int64_t{id});
        auto cursor = select->execute();
        ASSERT_NE(cursor, nullptr);
        ASSERT_TRUE(cursor->next());
        EXPECT_EQ(cursor->value(0), c.read);
        EXPECT_EQ(cursor->isNull(0), isNull(c.read));
        EXPECT_FALSE(cursor->next());
    }
}

TEST_F(FbDriverTest, DescribesEachColumnType)
{
    struct Expected
    {
        const char *name;
        ColumnType type;
        int width, precision, scale;
        bool required;
    };
    const std::vector<Expected> expected = {
        {"I", ColumnType::Integer, 4, 0, 0, true},
        {"S", ColumnType::SmallInt, 2, 0, 0, false},
        {"B", ColumnType::LargeInt, 8, 0, 0, false},
        {"V", ColumnType::String, 20, 0, 0, false},
        {"C", ColumnType::FixedChar, 5, 0, 0, false},
        {"U", ColumnType::String, 10, 0, 0, false}, // characters, not bytes
        {"D", ColumnType::Date, 4, 0, 0, false},
        {"TM", ColumnType::Time, 4, 0, 0, false},
        {"TS", ColumnType::Timestamp, 8, 0, 0, false},
        {"N", ColumnType::Decimal, 8, 18, 4, false},
        {"N2", ColumnType::Decimal, 4, 9, 2, false},
        {"F", ColumnType::Float, 4, 0, 0, false},
        {"DP", ColumnType::Float, 8, 0, 0, false},
        {"TB", ColumnType::TextBlob, 8, 0, 0, false},
        {"BB", ColumnType::BinaryBlob, 8, 0, 0, false},
    };
    auto cursor = prepared("select * from T")->execute();
    ASSERT_NE(cursor, nullptr);
    const std::vector<core::ColumnDesc> &columns = cursor->columns();
    ASSERT_EQ(columns.size(), expected.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(columns[i].name, expected[i].name);
        EXPECT_EQ(columns[i].type, expected[i].type);
        EXPECT_EQ(columns[i].width, expected[i].width);
        EXPECT_EQ(columns[i].precision, expected[i].precision);
        EXPECT_EQ(columns[i].scale, expected[i].scale);
        EXPECT_EQ(columns[i].required, expected[i].required);
    }
    // An alias names its column.
    EXPECT_EQ(prepared("select I as PTVT_ID from T")->execute()->columns().at(0).name, "PTVT_ID");
}

// A procedure's declared parameter is read as the same type, and text as the same width, as
// a column of that type: a procedure call binds what the data sets hold.
TEST_F(FbDriverTest, DescribesProcedureParametersAsColumnsOfTheSameType)
{
    auto cursor = prepared("select * from T")->execute();
    ASSERT_NE(cursor, nullptr);
    const std::vector<core::ColumnDesc> &columns = cursor->columns();
    const std::vector<driver::ProcedureParam> &params =
        connection_->metaData().procedureParams("TAKES_EACH_TYPE");
    ASSERT_EQ(params.size(), columns.size());
    for (std::size_t i = 0; i < params.size(); ++i) {
        SCOPED_TRACE(columns[i].name);
        EXPECT_EQ(params[i].desc.name, columns[i].name);
        EXPECT_EQ(params[i].desc.type, columns[i].type);
        EXPECT_EQ(params[i].desc.width, columns[i].width);
        EXPECT_EQ(params[i].desc.scale, columns[i].scale);
        EXPECT_EQ(params[i].desc.required, columns[i].required);
    }
}

TEST_F(FbDriverTest, CountsRowsAffectedAndGivesCursorsOnlyForResults)
{
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(run("insert into T (I) values (?)", {std::int64_t{i}}), 1);
    EXPECT_EQ(run("update T set S = 7 where I <= ?", {std::int64_t{2}}), 2);
    EXPECT_EQ(run("delete from T where I = 99"), 0);
    EXPECT_EQ(run("delete from T"), 3);
    EXPECT_EQ(count(), "0");
}

// A statement prepared once and executed again keeps its message only while the values
// travel with the same types: other scales, other text lengths, nulls in between, a value
// the server refuses and an integer where a decimal went each still reach the columns as
// bound.
TEST_F(FbDriverTest, OneStatementExecutedWithValuesOfOtherTypesAndLengths)
{
    const struct
    {
        std::int64_t id;
        Value text, amount, day;
        const char *stored; // or null: the server refuses the row
    } rows[] = {
        {1, std::string("a"), Decimal{8, 1}, Date{2026, 12, 10}, "a|0.8000|2026-12-10"},
        {2, std::string("dieciseis letras"), Decimal{19, 0}, Value{}, "dieciseis letras|19.0000|"},
        {3, Value{}, std::int64_t{7}, Date{2026, 1, 2}, "|7.0000|2026-01-02"},
        {4, std::string(21, 'x'), Decimal{1, 4}, Date{2026, 1, 3}, nullptr},
        {5, std::string(), Decimal{-125, 2}, Date{2026, 1, 4}, "|-1.2500|2026-01-04"},
    };
    auto insert = prepared("insert into T (I, V, N, D) values (?, ?, ?, ?)");
    for (const auto &row : rows) {
        SCOPED_TRACE(row.id);
        insert->setParameter(0, typed(ColumnType::Integer), row.id);
        insert->setParameter(1, typed(ColumnType::String, 20), row.text);
        insert->setParameter(2, parameterTypeOf(row.amount), row.amount);
        insert->setParameter(3, typed(ColumnType::Date), row.day);
        if (!row.stored) {
            EXPECT_THROW(insert->execute(), DriverError);
            continue;
        }
        EXPECT_EQ(insert->execute(), nullptr);
        EXPECT_EQ(insert->rowsAffected(), 1);
        EXPECT_EQ(db_.text("select coalesce(V, '') || '|' || N || '|' || coalesce(D, '') from T "
                           "where I = " +
                           std::to_string(row.id)),
                  row.stored);
    }
    EXPECT_EQ(count(), "4");
}

// Inside a save the count is asked of the server after the statement, and is the count of
// the last execute of that statement.
TEST_F(FbDriverTest, CountsRowsAffectedInsideAnExplicitTransaction)
{
    const TransactionDesc save{1, IsolationLevel::ReadCommitted};
    connection_->beginTransaction(save);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(run("insert into T (I) values (?)", {std::int64_t{i}}), 1);
    auto update = prepared("update T set S = 1 where I <= ?");
    update->setParameter(0, typed(ColumnType::Integer), std::int64_t{3});
    update->execute();
    update->setParameter(0, typed(ColumnType::Integer), std::int64_t{2});
    update->execute();
    EXPECT_EQ(update->rowsAffected(), 2);
    EXPECT_EQ(update->rowsAffected(), 2);
    EXPECT_EQ(run("delete from T where I = 99"), 0);
    connection_->commit(save);
    EXPECT_EQ(update->rowsAffected(), 2);
}

TEST_F(FbDriverTest, CallsAProcedureByNameWithItsDeclaredParameters)
{
    const std::vector<driver::ProcedureParam> &params =
        connection_->metaData().procedureParams("ADD_ROW");
    ASSERT_EQ(params.size(), 4u);
    EXPECT_EQ(params[0].desc.name, "ID");
    EXPECT_EQ(params[0].desc.type, ColumnType::Integer);
    EXPECT_EQ(params[1].desc.name, "NAME");
    EXPECT_EQ(params[1].desc.type, ColumnType::String);
    EXPECT_EQ(params[1].desc.width, 20);
    EXPECT_EQ(params[2].desc.type, ColumnType::Decimal);
    EXPECT_EQ(params[2].desc.precision, 15);
    EXPECT_EQ(params[2].desc.scale, 4);
    EXPECT_FALSE(params[2].output);
    EXPECT_EQ(params[3].desc.name, "TOTAL");
    EXPECT_TRUE(params[3].output);
    EXPECT_TRUE(connection_->metaData().procedureParams("NO_SUCH_PROC").empty());

    auto call = connection_->createCommand();
    call->prepareProcedure("ADD_ROW");
    ASSERT_EQ(call->parameterCount(), 3u);
    call->setParameter(0, params[0].desc, std::int64_t{42});
    call->setParameter(1, params[1].desc, std::string("caja 1"));
    call->setParameter(2, params[2].desc, Decimal{25, 1});
    EXPECT_EQ(call->execute(), nullptr);
    // Committed as the call finished: another attachment sees it.
    EXPECT_EQ(db_.text("select V || '|' || N from T where I = 42"), "caja 1|2.5000");
}

// Outside a save a query's work is committed once its cursor has been read to the end, and
// a cursor given up half-way takes its work back with it.
TEST_F(FbDriverTest, ImplicitTransactionCommitsAtTheEndOfAQuery)
{
    {
        auto command = prepared("select K from GEN(3)");
        auto cursor = command->execute();
        int rows = 0;
        while (cursor->next())
            ++rows;
        EXPECT_EQ(rows, 3);
        EXPECT_EQ(count(" where I > 1000"), "3"); // cursor still alive
    }
    {
        auto cursor = prepared("select K from GEN(5)")->execute();
        ASSERT_TRUE(cursor->next());
    }
    EXPECT_EQ(count(" where I > 1000"), "3");

    auto cursor = prepared("select K from GEN(2)")->execute();
    ASSERT_TRUE(cursor->next());
    cursor->close();
    EXPECT_NE(count(" where I > 1000"), "3");
    EXPECT_FALSE(cursor->next());
}

// A query whose fetch fails has not finished: closing its cursor afterwards, as a data set
// does on the way out, takes back the work it did before the failure instead of committing it.
TEST_F(FbDriverTest, FailedFetchTakesTheQueryWorkBack)
{
    auto cursor = prepared("select K from GEN_FAILING")->execute();
    ASSERT_TRUE(cursor->next());
    try {
        cursor->next();
        FAIL() << "the failing fetch gave a row";
    } catch (const DriverError &e) {
        EXPECT_NE(e.serverText().find("no more rows to give"), std::string::npos) << e.serverText();
    }
    try {
        cursor->close();
    } catch (const DriverError &) {
        // Either way, nothing of the query may be committed.
    }
    cursor.reset();
    EXPECT_EQ(count(" where I > 2000"), "0");
}

TEST_F(FbDriverTest, ExplicitTransactionHoldsItsStatementsUntilItEnds)
{
    const TransactionDesc save{7, IsolationLevel::ReadCommitted};
    connection_->beginTransaction(save);
    EXPECT_TRUE(connection_->inTransaction());
    run("insert into T (I) values (1)");
    EXPECT_EQ(count(), "0");
    try {
        connection_->beginTransaction(save);
        FAIL() << "a second transaction started";
    } catch (const DriverError &e) {
        EXPECT_EQ(e.code(), ResultCode::TransactionActive);
    }
    connection_->rollback(save);
    EXPECT_FALSE(connection_->inTransaction());
    EXPECT_EQ(count(), "0");

    connection_->beginTransaction(save);
    run("insert into T (I) values (2)");
    try {
        connection_->commit(driver::TransactionDesc{8});
        FAIL() << "committed another transaction's id";
    } catch (const DriverError &e) {
        EXPECT_EQ(e.code(), ResultCode::InvalidTransactionId);
    }
    connection_->commit(save);
    EXPECT_EQ(count(" where I = 2"), "1");
}

TEST_F(FbDriverTest, ReportsFailuresWithCodeAndServerText)
{
    try {
        prepared("select * from NOSUCH");
        FAIL() << "prepared a query on a missing table";
    } catch (const DriverError &e) {
        EXPECT_GT(e.code(), 100);
        EXPECT_NE(e.serverText().find("Table unknown"), std::string::npos) << e.serverText();
        EXPECT_EQ(std::string(e.what()), "SQL Server Error: " + e.serverText());
        EXPECT_EQ(connection_->lastErrorText(), e.serverText());
    }

    auto insert = prepared("insert into T (I, V) values (?, ?)");
    try {
        insert->setParameter(2, typed(ColumnType::Integer), std::int64_t{1});
        FAIL() << "bound a third parameter";
    } catch (const DriverError &e) {
        EXPECT_EQ(e.code(), ResultCode::OutOfRange);
    }
    insert->setParameter(0, typed(ColumnType::Integer), std::int64_t{1});
    try {
        insert->execute();
        FAIL() << "executed with a parameter unbound";
    } catch (const DriverError &e) {
        EXPECT_STREQ(e.what(), "dbExpress Error: dbExpress Error [0x000B]: Parameter Not Set");
    }
    // A statement the server refuses leaves nothing behind, and the connection goes on.
    insert->setParameter(0, typed(ColumnType::Integer), std::monostate{});
    insert->setParameter(1, typed(ColumnType::String, 3), std::string("abc"));
    EXPECT_THROW(insert->execute(), DriverError);
    insert->setParameter(0, typed(ColumnType::Integer), std::int64_t{5});
    EXPECT_EQ(insert->execute(), nullptr);
    EXPECT_EQ(count(), "1");
}

TEST(FbDriver, RefusedAttachIsConnectionFailedWithTheServerText)
{
    auto driver = driver::getSQLDriverINTERBASE("gds32.dll", "");
    ASSERT_NE(driver, nullptr);
    auto connection = driver->createConnection();
    try {
        connection->connect("/nonexistent-kalmora/datos/X/kalmora.fdb", "SYSDBA", "");
        FAIL() << "attached a missing file";
    } catch (const DriverError &e) {
        EXPECT_EQ(e.code(), ResultCode::ConnectionFailed);
        EXPECT_NE(e.serverText().find("/nonexistent-kalmora/datos/X/kalmora.fdb"),
                  std::string::npos)
            << e.serverText();
    }
    EXPECT_THROW(connection->createCommand(), DriverError);
    EXPECT_EQ(driver::getSQLDriverINTERBASE("libnosuchclient.so.9", ""), nullptr);
}

// A disconnect ends every transaction the connection has alive and detaches, even with a
// cursor half read and a save open; the objects left over fail instead of crashing.
TEST_F(FbDriverTest, DisconnectDetachesWithCursorAndTransactionAlive)
{
    run("insert into T (I) values (1)");
    run("insert into T (I) values (2)");
    auto cursor = prepared("select I from T")->execute();
    ASSERT_TRUE(cursor->next());
    auto command = prepared("select I from T");
    connection_->beginTransaction(driver::TransactionDesc{});
    run("insert into T (I) values (3)");

    EXPECT_EQ(db_.otherAttachments(), 1);
    connection_->disconnect();
    EXPECT_EQ(db_.otherAttachments(), 0);
    EXPECT_EQ(count(), "2");
    EXPECT_FALSE(connection_->inTransaction());
    EXPECT_THROW(command->execute(), DriverError);
    EXPECT_THROW(cursor->next(), DriverError);
    EXPECT_THROW(connection_->createCommand(), DriverError);
}

} // namespace
} // namespace kalmora::driver
