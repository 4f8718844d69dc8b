// Two workstations posting (or reversing) the same day and point at the same moment: two
// headless commands through the private test server, both under way before either can take
// the day's invoices (or the voucher).
#include "data/sql_connection.h"
#include "platform/scoped_env.h"
#include "support/company_database.h"
#include "support/run_program.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <gmock/gmock.h>
#include <thread>

namespace kalmora::test {
namespace {

std::string env(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

/// A connection to `database` through the test server with the test login.
void pointAt(data::TSQLConnection &connection, const std::string &database)
{
    connection.params().setValue("Database", database);
    connection.params().setValue("User_Name", env("KALMORA_TEST_USER"));
    connection.params().setValue("Password", env("KALMORA_TEST_PASSWORD"));
}

std::string single(data::TSQLConnection &connection, const std::string &select)
{
    std::unique_ptr<data::DriverCursor> cursor = connection.openQuery(select);
    std::string text;
    if (cursor->next()) {
        const data::Value &value = cursor->value(0);
        if (const auto *number = std::get_if<std::int64_t>(&value))
            text = std::to_string(*number);
        else if (const auto *string = std::get_if<std::string>(&value))
            text = *string;
    }
    cursor->close();
    return text;
}

// Guards against a day posted twice, and against the engine's raw conflict text reaching
// the workstation that loses: one command posts and exits with 0, the other says plainly
// that another workstation is posting or has posted the day, and exits with 1 as when there
// is nothing to post.
TEST(ConcurrentPost, TwoWorkstationsAtOnceShowThatTheDayIsPostedOnce)
{
    const std::string server = env("KALMORA_TEST_SERVER");
    if (server.empty())
        GTEST_SKIP() << "no test server (scripts/test.sh starts one)";
    // The C.UTF-8 locale writes days as mm/dd/yy; the company reads them so.
    CompanyDatabase company({.invoices = 20, .days = 1, .dateOrder = "MDY"});
    const std::string day = *company.sql().value("select max(fact_fecha) from facturas");
    const std::string database = server + ":" + company.databasePath();
    const ScopedEnv locale("LC_ALL", "C.UTF-8");
    const ScopedEnv password("KALMORA_PASSWORD", env("KALMORA_TEST_PASSWORD"));
    const ScopedEnv display("DISPLAY", std::nullopt);

    // The test holds the day's invoices, so that both postings are under way, past their
    // check that there is something to post, before either can mark them.
    data::TSQLConnection gate;
    pointAt(gate, database);
    const data::TransactionDesc transaction{1, data::IsolationLevel::ReadCommitted};
    gate.startTransaction(transaction);
    gate.execute("update facturas set comp_id = comp_id where ptvt_id = 1");

    const std::vector<std::string> command{KALMORA_PROGRAM, "post",
                                           "--server",      server + ":" + company.serverEntry(),
                                           "--company",     company.code(),
                                           "--user",        env("KALMORA_TEST_USER"),
                                           "--date",        day,
                                           "--point-id",    "1"};
    ProgramResult first, second;
    std::thread one([&] { first = runProgram(command); });
    std::thread other([&] { second = runProgram(command); });

    // Each posting takes its voucher's key (a generator, seen at once by every connection)
    // after its check and before it marks the invoices.
    data::TSQLConnection watcher;
    pointAt(watcher, database);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    std::string keysTaken;
    while ((keysTaken = single(watcher, "select gen_id(gen_comprobantes, 0) from rdb$database")) !=
               "2" &&
           std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    gate.rollback(transaction);
    one.join();
    other.join();
    ASSERT_EQ(keysTaken, "2") << first.err << second.err;

    std::vector<ProgramResult> results{first, second};
    std::sort(results.begin(), results.end(), [](const ProgramResult &a, const ProgramResult &b) {
        return a.exitCode < b.exitCode;
    });
    EXPECT_EQ(results[0].exitCode, 0);
    EXPECT_EQ(results[0].out, "Comprobante contable correctamente generado.\n");
    EXPECT_EQ(results[0].err, "");
    EXPECT_EQ(results[1].exitCode, 1);
    EXPECT_EQ(results[1].out, "Las ventas de este día y punto de venta las está contabilizando o "
                              "ya las contabilizó otra estación de trabajo.\n");
    EXPECT_EQ(results[1].err, "");

    EXPECT_EQ(single(watcher, "select count(*) || trim(min(comp_estado)) from comprobantes"), "1D");
    EXPECT_EQ(single(watcher, "select count(*) from facturas where ptvt_id = 1 and terc_nit = "
                              "'900000001' and comp_id is distinct from (select min(comp_id) "
                              "from comprobantes)"),
              "0");
}

// Guards against a posting reversed twice when two workstations reverse it at the same
// moment: one command reverses it and exits with 0, the other is refused plainly (exit 1),
// and the books hold one reversal.
TEST(ConcurrentPost, TwoReversalsAtOnceReverseThePostingOnce)
{
    const std::string server = env("KALMORA_TEST_SERVER");
    if (server.empty())
        GTEST_SKIP() << "no test server (scripts/test.sh starts one)";
    CompanyDatabase company({.invoices = 5, .days = 1, .dateOrder = "MDY"});
    const std::string day = *company.sql().value("select max(fact_fecha) from facturas");
    const std::string database = server + ":" + company.databasePath();
    const ScopedEnv locale("LC_ALL", "C.UTF-8");
    const ScopedEnv password("KALMORA_PASSWORD", env("KALMORA_TEST_PASSWORD"));
    const ScopedEnv display("DISPLAY", std::nullopt);
    const std::vector<std::string> login{"--server",  server + ":" + company.serverEntry(),
                                         "--company", company.code(),
                                         "--user",    env("KALMORA_TEST_USER")};
    std::vector<std::string> post{KALMORA_PROGRAM, "post"};
    post.insert(post.end(), login.begin(), login.end());
    post.insert(post.end(), {"--date", day, "--point-id", "1"});
    ASSERT_EQ(runProgram(post).exitCode, 0);

    data::TSQLConnection watcher;
    pointAt(watcher, database);
    const std::string voucher = single(watcher, "select min(comp_id) from comprobantes");

    // The test holds the voucher's row, so that both reversals are under way, waiting for
    // it, before either can take it.
    data::TSQLConnection gate;
    pointAt(gate, database);
    const data::TransactionDesc transaction{1, data::IsolationLevel::ReadCommitted};
    gate.startTransaction(transaction);
    std::unique_ptr<data::DriverCursor> held = gate.openQuery(
        "select comp_id from comprobantes where comp_id = " + voucher + " with lock");
    ASSERT_TRUE(held->next());

    std::vector<std::string> reverse{KALMORA_PROGRAM, "reverse"};
    reverse.insert(reverse.end(), login.begin(), login.end());
    reverse.insert(reverse.end(), {"--voucher", voucher});
    ProgramResult first, second;
    std::thread one([&] { first = runProgram(reverse); });
    std::thread other([&] { second = runProgram(reverse); });

    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    std::string waiting;
    while (
        (waiting = single(watcher, "select count(*) from mon$statements where mon$state = 1 "
                                   "and mon$attachment_id <> current_connection and mon$sql_text "
                                   "containing 'revierte_contado'")) != "2" &&
        std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    held->close();
    gate.rollback(transaction);
    one.join();
    other.join();
    ASSERT_EQ(waiting, "2") << first.err << second.err;

    std::vector<ProgramResult> results{first, second};
    std::sort(results.begin(), results.end(), [](const ProgramResult &a, const ProgramResult &b) {
        return a.exitCode < b.exitCode;
    });
    EXPECT_EQ(results[0].exitCode, 0) << results[0].err;
    EXPECT_THAT(results[0].out, ::testing::HasSubstr("Comprobante " + voucher + " revertido"));
    EXPECT_EQ(results[1].exitCode, 1) << results[1].err;
    EXPECT_THAT(results[1].out,
                ::testing::AnyOf(::testing::HasSubstr("Otra estación de trabajo está revirtiendo"),
                                 ::testing::HasSubstr("ya fue revertido")));
    EXPECT_EQ(results[1].err, "");

    EXPECT_EQ(single(watcher, "select count(*) from comprobantes where comp_revierte = " + voucher),
              "1");
    EXPECT_EQ(single(watcher, "select count(*) from comprobantes"), "2");
}

} // namespace
} // namespace kalmora::test
