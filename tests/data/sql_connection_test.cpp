// SPDX-License-Identifier: Apache-2.0
// The connection component: its settings checks and failure texts, connecting and
// disconnecting, connect on demand, implicit commits and the transactions of saves.
#include "driver/scratch_database.h"
#include "data/sql_connection.h"
#include "support/connection_probe.h"
#include "support/value_printers.h"

#include <functional>
#include <gtest/gtest.h>

namespace kalmora::data {
using namespace core;
using namespace driver;
namespace {

using test::ScratchDatabase;

const std::vector<std::string> kSchema = {
    "create table T (I integer not null, V varchar(20))",
    "create procedure GEN (N integer) returns (K integer) as begin K = 0;"
    " while (K < N) do begin K = K + 1; insert into T (I) values (1000 + :K); suspend; end"
    " end",
};

class RecordingWaitCursor : public WaitCursor
{
public:
    void begin() override { events += "begin "; }
    void end() override { events += "end "; }
    std::string events;
};

class RecordingClient : public ConnectionClient
{
public:
    void connectionClosing() override { ++closings; }
    int closings = 0;
};

std::string failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const core::Exception &e) {
        return e.what();
    }
    return "(no failure)";
}

TSQLConnection &pointedAt(TSQLConnection &connection, const std::string &database)
{
    connection.params().setValue("Database", database);
    connection.params().setValue("User_Name", "SYSDBA");
    return connection;
}

struct ConnectFailure
{
    const char *what;
    std::function<void(TSQLConnection &)> change;
    std::string message;
    bool hourglass; // the checks before loading the driver show none
};

// Each refusal of connect, with its exact text; the connection stays closed after each, and
// the hourglass comes back after those that showed it.
TEST(Connection, ConnectFailuresAndTheirTexts)
{
    ScratchDatabase db(kSchema);
    const std::vector<ConnectFailure> cases = {
        {"no driver name", [](TSQLConnection &c) { ConnectionProbe::setDriverName(c, ""); },
         "Missing DriverName property", false},
        {"no library name", [](TSQLConnection &c) { ConnectionProbe::setLibraryName(c, ""); },
         "Kalmora: DLL/Shared Library Name not Set", false},
        {"no vendor library", [](TSQLConnection &c) { ConnectionProbe::setVendorLib(c, ""); },
         "Kalmora: DLL/Shared Library Name not Set", false},
        {"no database", [](TSQLConnection &c) { c.params().setValue("Database", "   "); },
         "Missing Database property", false},
        {"unknown driver library",
         [](TSQLConnection &c) { ConnectionProbe::setLibraryName(c, "dbexpora.dll"); },
         "Unable to Load dbexpora.dll", true},
        {"unknown entry point",
         [](TSQLConnection &c) { ConnectionProbe::setGetDriverFunc(c, "getSQLDriverORACLE"); },
         "Unable to Find Procedure getSQLDriverORACLE", true},
        {"client library missing",
         [](TSQLConnection &c) { ConnectionProbe::setVendorLib(c, "libfbclient.so.99"); },
         "Unable to Load libfbclient.so.99", true},
    };
    for (const ConnectFailure &c : cases) {
        SCOPED_TRACE(c.what);
        TSQLConnection connection;
        RecordingWaitCursor cursor;
        connection.setWaitCursor(&cursor);
        pointedAt(connection, db.path());
        c.change(connection);
        EXPECT_EQ(failureOf([&] { connection.setConnected(true); }), c.message);
        EXPECT_FALSE(connection.connected());
        EXPECT_EQ(ConnectionProbe::state(connection), ConnectionState::Closed);
        EXPECT_EQ(cursor.events, c.hourglass ? "begin end " : "");
    }
}

// The server's refusal is composed from code 21 and the server's text.
TEST(Connection, RefusedDatabaseGivesTheComposedDriverMessage)
{
    TSQLConnection connection;
    pointedAt(connection, "/nonexistent-kalmora/datos/C1/kalmora.fdb");
    const std::string message = failureOf([&] { connection.setConnected(true); });
    const std::string head = "dbExpress Error: [0x0015]: Connection failed\r\nSQL Server Error: ";
    ASSERT_EQ(message.substr(0, head.size()), head) << message;
    EXPECT_NE(message.find("/nonexistent-kalmora/datos/C1/kalmora.fdb"), std::string::npos);
    EXPECT_FALSE(connection.connected());
}

// With the design-time parameters (no database shipped), everything that needs the
// database asks for it instead of reaching some workstation's file or a secret.
TEST(Connection, BeforeTheConnectStepEveryUseAsksForTheDatabase)
{
    TSQLConnection connection;
    EXPECT_EQ(connection.params().value("Password"), "");
    const std::vector<std::function<void()>> uses = {
        [&] { connection.setConnected(true); },
        [&] { connection.open(); },
        [&] { connection.execute("delete from AJUSTE_CIERRE"); },
        [&] { connection.openQuery("select * from PUNTO_VENTA"); },
        [&] { connection.startTransaction(driver::TransactionDesc{}); },
        [&] { connection.procedureParams("CONTABILIZA_PENDIENTE"); },
        [&] { connection.createCommand(); },
    };
    for (const auto &use : uses)
        EXPECT_EQ(failureOf(use), "Missing Database property");
    EXPECT_FALSE(connection.connected());
    EXPECT_EQ(failureOf([&] { connection.commit(driver::TransactionDesc{}); }),
              "There is no active transaction");
}

TEST(Connection, ConnectsDisconnectsAndReconnects)
{
    ScratchDatabase db(kSchema);
    TSQLConnection connection;
    RecordingWaitCursor cursor;
    RecordingClient client;
    connection.setWaitCursor(&cursor);
    connection.addClient(&client);
    // Leading blanks of the server entry go; the rest is the path.
    pointedAt(connection, "  " + db.path());

    connection.setConnected(true);
    EXPECT_TRUE(connection.connected());
    EXPECT_EQ(ConnectionProbe::state(connection), ConnectionState::Open);
    EXPECT_EQ(connection.quoteChar(), "\"");
    EXPECT_EQ(connection.quotedName("AJUSTE_CIERRE"), "\"AJUSTE_CIERRE\"");
    EXPECT_TRUE(ConnectionProbe::transactionsSupported(connection));
    EXPECT_EQ(cursor.events, "begin end ");
    EXPECT_EQ(db.otherAttachments(), 1);

    // Setting the present value does nothing: parameters changed meanwhile wait.
    connection.params().setValue("Database", "/elsewhere/kalmora.fdb");
    connection.setConnected(true);
    EXPECT_EQ(cursor.events, "begin end ");
    EXPECT_EQ(client.closings, 0);

    connection.setConnected(false);
    EXPECT_FALSE(connection.connected());
    EXPECT_EQ(ConnectionProbe::state(connection), ConnectionState::Closed);
    EXPECT_EQ(client.closings, 1);
    EXPECT_EQ(db.otherAttachments(), 0);
    connection.setConnected(false);
    EXPECT_EQ(client.closings, 1);

    // Now the changed parameter counts.
    EXPECT_NE(failureOf([&] { connection.setConnected(true); }).find("/elsewhere/kalmora.fdb"),
              std::string::npos);
    pointedAt(connection, db.path()).setConnected(true);
    EXPECT_TRUE(connection.connected());
    connection.removeClient(&client);
}

// Outside a save each statement is committed when it has finished: another connection
// sees the work at once.
TEST(Connection, StatementsAreCommittedAsTheyFinish)
{
    ScratchDatabase db(kSchema);
    TSQLConnection connection;
    pointedAt(connection, db.path());

    // Connect on demand.
    EXPECT_EQ(connection.execute(
                  "insert into T (I, V) values (?, ?)",
                  {{driver::parameterTypeOf(core::Value(std::int64_t{1})), std::int64_t{1}},
                   {driver::parameterTypeOf(core::Value("it's")), std::string("it's")}}),
              1);
    EXPECT_TRUE(connection.connected());
    EXPECT_EQ(db.text("select V from T where I = 1"), "it's");

    auto cursor = connection.openQuery("select K from GEN(4)");
    ASSERT_NE(cursor, nullptr);
    while (cursor->next()) {
    }
    EXPECT_EQ(db.text("select count(*) from T where I > 1000"), "4");
    EXPECT_EQ(connection.openQuery("delete from T where I > 1000"), nullptr);
    EXPECT_EQ(db.text("select count(*) from T"), "1");
    EXPECT_EQ(ConnectionProbe::transactionsStarted(connection), 0);
}

TEST(Connection, SaveTransactionCommitsOrRollsBackAsAWhole)
{
    ScratchDatabase db(kSchema);
    TSQLConnection connection;
    pointedAt(connection, db.path());
    const TransactionDesc save{1, connection.transIsolation()};

    connection.startTransaction(save); // connects on demand
    EXPECT_TRUE(connection.inTransaction());
    EXPECT_EQ(ConnectionProbe::transactionsStarted(connection), 1);
    connection.execute("insert into T (I) values (1)");
    connection.execute("insert into T (I) values (2)");
    EXPECT_EQ(db.text("select count(*) from T"), "0");
    connection.rollback(save);
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(db.text("select count(*) from T"), "0");
    EXPECT_EQ(failureOf([&] { connection.rollback(save); }), "There is no active transaction");
    EXPECT_EQ(failureOf([&] { connection.commit(save); }), "There is no active transaction");

    connection.startTransaction(save);
    connection.execute("insert into T (I) values (3)");
    connection.commit(save);
    EXPECT_EQ(db.text("select count(*) from T"), "1");

    // A disconnect in the middle of a save keeps none of it and forgets the transaction.
    connection.startTransaction(save);
    connection.execute("insert into T (I) values (4)");
    connection.setConnected(false);
    EXPECT_EQ(ConnectionProbe::transactionsStarted(connection), 0);
    EXPECT_EQ(db.text("select count(*) from T"), "1");
}

// A server failure of a statement reaches the caller as the server's text, and a failure
// inside a save leaves the save open for the caller to end.
TEST(Connection, StatementFailuresCarryTheServerText)
{
    ScratchDatabase db(kSchema);
    TSQLConnection connection;
    pointedAt(connection, db.path());
    const std::string message = failureOf([&] { connection.execute("update NOSUCH set A = 1"); });
    EXPECT_EQ(message.rfind("SQL Server Error: Dynamic SQL Error", 0), 0u) << message;
    EXPECT_NE(message.find("NOSUCH"), std::string::npos);
    EXPECT_EQ(ConnectionProbe::lastErrorText(connection),
              message.substr(std::string("SQL Server Error: ").size()));
    EXPECT_EQ(ConnectionProbe::state(connection), ConnectionState::Open);

    const TransactionDesc save{};
    connection.startTransaction(save);
    connection.execute("insert into T (I) values (1)");
    EXPECT_THROW(connection.execute("insert into T (I) values (null)"), DriverError);
    EXPECT_TRUE(connection.inTransaction());
    connection.commit(save);
    EXPECT_EQ(db.text("select count(*) from T"), "1");
}

// A read-only snapshot (the status command's transaction) refuses every change and keeps
// seeing the rows as they were when it started, whatever another connection commits.
TEST(Connection, ReadOnlySnapshotRefusesChangesAndKeepsItsView)
{
    ScratchDatabase db(kSchema);
    TSQLConnection connection;
    pointedAt(connection, db.path());
    connection.execute("insert into T (I) values (1)");
    TransactionDesc look{1, IsolationLevel::RepeatableRead};
    look.readOnly = true;
    connection.startTransaction(look);
    EXPECT_THROW(connection.execute("insert into T (I) values (2)"), DriverError);
    db.execute({"insert into T (I) values (3)"});
    const auto count = [&] {
        auto cursor = connection.openQuery("select count(*) from T");
        cursor->next();
        const Value value = cursor->value(0);
        cursor->close();
        return value;
    };
    EXPECT_EQ(count(), Value(std::int64_t{1}));
    connection.rollback(look);
    EXPECT_EQ(count(), Value(std::int64_t{2}));
}

} // namespace
} // namespace kalmora::data
