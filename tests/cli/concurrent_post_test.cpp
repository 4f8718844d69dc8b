// SPDX-License-Identifier: Apache-2.0
// Two workstations posting (or reversing) the same day and point at the same moment: two
// headless commands through the private test server, both under way before either can take
// the day's invoices (or the voucher); and the limits of the waits for a workstation that
// holds them, or a server that never answers.
#include "platform/scoped_env.h"
#include "data/sql_connection.h"
#include "support/company_database.h"
#include "support/environment.h"
#include "support/run_program.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gmock/gmock.h>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kalmora::test {
namespace {

/// A connection to `database` through the test server with the test login.
void pointAt(data::TSQLConnection &connection, const std::string &database)
{
    connection.params().setValue("Database", database);
    connection.params().setValue("User_Name", env("KALMORA_TEST_USER"));
    connection.params().setValue("Password", env("KALMORA_TEST_PASSWORD"));
}

/// A server on loopback that accepts connections (the kernel queues them) and never answers
/// them; closed with the object.
class SilentListener
{
public:
    SilentListener() : socket_(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (socket_ >= 0 && ::bind(socket_, reinterpret_cast<sockaddr *>(&address), length) == 0 &&
            ::listen(socket_, 8) == 0 &&
            ::getsockname(socket_, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~SilentListener()
    {
        if (socket_ >= 0)
            ::close(socket_);
    }
    SilentListener(const SilentListener &) = delete;
    SilentListener &operator=(const SilentListener &) = delete;

    /// The port it listens on; none when it could not listen.
    std::optional<int> port() const { return port_; }

private:
    int socket_;
    std::optional<int> port_;
};

std::string single(data::TSQLConnection &connection, const std::string &select)
{
    std::unique_ptr<driver::DriverCursor> cursor = connection.openQuery(select);
    std::string text;
    if (cursor->next()) {
        const core::Value &value = cursor->value(0);
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
    const driver::TransactionDesc transaction{1, driver::IsolationLevel::ReadCommitted};
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
    const driver::TransactionDesc transaction{1, driver::IsolationLevel::ReadCommitted};
    gate.startTransaction(transaction);
    std::unique_ptr<driver::DriverCursor> held = gate.openQuery(
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

// Guards against a posting that waited without limit for the day's invoices held by another
// workstation's open transaction: it gives up within its lock timeout and says plainly that
// another workstation is posting the day (status 1), having stored nothing.
TEST(ConcurrentPost, APostingBlockedByAnotherWorkstationGivesUpWithinItsLockTimeout)
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

    data::TSQLConnection gate;
    pointAt(gate, database);
    const driver::TransactionDesc transaction{1, driver::IsolationLevel::ReadCommitted};
    gate.startTransaction(transaction);
    gate.execute("update facturas set comp_id = comp_id where ptvt_id = 1");

    const auto started = std::chrono::steady_clock::now();
    const ProgramResult result =
        runProgram({KALMORA_PROGRAM, "post", "--server", server + ":" + company.serverEntry(),
                    "--company", company.code(), "--user", env("KALMORA_TEST_USER"), "--date", day,
                    "--point-id", "1", "--lock-timeout", "2"});
    const auto waited = std::chrono::steady_clock::now() - started;
    gate.rollback(transaction);
    const std::string vouchers = single(gate, "select count(*) from comprobantes");

    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out, "Las ventas de este día y punto de venta las está contabilizando o "
                          "ya las contabilizó otra estación de trabajo.\n");
    EXPECT_EQ(result.err, "");
    // The engine's lock manager counts the timeout in whole-second ticks.
    EXPECT_GE(waited, std::chrono::seconds(1));
    EXPECT_LT(waited, std::chrono::seconds(15));
    EXPECT_EQ(vouchers, "0");
}

// Guards against a command held for minutes by a server that accepts the connection and never
// answers: it gives up within its connect timeout, with a failure (status 3).
TEST(WaitLimits, AServerThatNeverAnswersIsLeftWithinTheConnectTimeout)
{
    const SilentListener listener;
    ASSERT_TRUE(listener.port()) << "no loopback listener";
    const std::string port = std::to_string(*listener.port());
    const ScopedEnv password("KALMORA_PASSWORD", "x");
    const ScopedEnv display("DISPLAY", std::nullopt);

    // The kernel accepts the connections into the backlog; nobody ever answers them.
    const auto started = std::chrono::steady_clock::now();
    const ProgramResult result = runProgram(
        {KALMORA_PROGRAM, "post", "--server", "127.0.0.1/" + port + ":/nowhere", "--company", "01",
         "--user", "SYSDBA", "--point-id", "1", "--connect-timeout", "2"});
    const auto waited = std::chrono::steady_clock::now() - started;

    EXPECT_EQ(result.exitCode, 3) << result.out << result.err;
    EXPECT_NE(result.err, "");
    EXPECT_LT(waited, std::chrono::seconds(10)) << result.err;
}

// Guards against a command that ignored Ctrl+C and SIGTERM while the database client waited
// (the client catches both): each ends it at once, with a line that says so, by the signal.
TEST(WaitLimits, CtrlCAndSigtermEndACommandAtOnce)
{
    const SilentListener listener;
    ASSERT_TRUE(listener.port()) << "no loopback listener";
    const std::string server = "127.0.0.1/" + std::to_string(*listener.port()) + ":/x";
    const ScopedEnv password("KALMORA_PASSWORD", "x");
    const ScopedEnv display("DISPLAY", std::nullopt);

    for (const auto &[signal, name] :
         {std::pair{SIGINT, "SIGINT"}, std::pair{SIGTERM, "SIGTERM"}}) {
        SCOPED_TRACE(name);
        const std::string errors = "/tmp/kalmora-stop-" + std::to_string(::getpid()) + ".txt";
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int file = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(file, 2);
            ::execl(KALMORA_PROGRAM, KALMORA_PROGRAM, "post", "--server", server.c_str(),
                    "--company", "01", "--user", "SYSDBA", "--point-id", "1", "--connect-timeout",
                    "60", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ASSERT_GT(pid, 0);
        // Under way: connecting, the client loaded and waiting for the server.
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        ::kill(pid, signal);
        const auto sent = std::chrono::steady_clock::now();
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(1));
        // Ended by the signal itself, as a shell expects (it shows 130 or 143).
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), signal);
        std::ifstream in(errors);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(text, std::string("contabiliza-pos post: interrumpido por ") + name +
                            "; lo que no se había confirmado no se guardó\n");
        ::unlink(errors.c_str());
    }
}

// The limits' options and variables take whole seconds above 0; anything else is a usage
// error that names it.
TEST(WaitLimits, LimitsThatAreNotWholeSecondsAreUsageErrors)
{
    const ScopedEnv display("DISPLAY", std::nullopt);
    struct Case
    {
        std::vector<std::string> options;
        const char *variable;
        const char *value;
        const char *named;
    };
    for (const Case &c : {Case{{"--connect-timeout", "0"}, nullptr, nullptr, "--connect-timeout"},
                          Case{{"--lock-timeout", "1.5"}, nullptr, nullptr, "--lock-timeout"},
                          Case{{"--lock-timeout", "-3"}, nullptr, nullptr, "--lock-timeout"},
                          Case{{}, "KALMORA_LOCK_TIMEOUT", "abc", "KALMORA_LOCK_TIMEOUT"},
                          Case{{}, "KALMORA_CONNECT_TIMEOUT", "", "KALMORA_CONNECT_TIMEOUT"}}) {
        SCOPED_TRACE(c.named);
        std::optional<ScopedEnv> variable;
        if (c.variable)
            variable.emplace(c.variable, c.value);
        std::vector<std::string> command{KALMORA_PROGRAM, "post", "--server", "/nowhere",
                                         "--company",     "01",   "--user",   "SYSDBA",
                                         "--point-id",    "1"};
        command.insert(command.end(), c.options.begin(), c.options.end());
        const ProgramResult result = runProgram(command);
        EXPECT_EQ(result.exitCode, 64);
        EXPECT_THAT(result.err, ::testing::HasSubstr(c.named));
    }
}

} // namespace
} // namespace kalmora::test
