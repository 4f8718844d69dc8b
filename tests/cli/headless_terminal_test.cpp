// SPDX-License-Identifier: Apache-2.0
// The password prompt of "contabiliza-pos post" on a terminal (a pseudo-terminal made here):
// what is typed is not shown, and however the prompt is left (a line, the end of input,
// Ctrl+C, Ctrl+\, a termination request) the terminal is handed back as it was, so that the
// shell after it still shows what is typed.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>
#include <vector>

extern char **environ;

namespace {

const std::string kPrompt = "Contraseña: ";

/// How a run ended: by a signal, or by exiting with a status.
struct Ending
{
    int signal = 0;
    int exitCode = -1;
    bool operator==(const Ending &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Ending &ending)
{
    return ending.signal != 0 ? out << "signal " << ending.signal
                              : out << "exit " << ending.exitCode;
}

/// The program run on a fresh pseudo-terminal as its controlling terminal. The test keeps the
/// terminal's own side open too, to read its settings after the program has gone.
class TerminalRun
{
public:
    TerminalRun()
    {
        if (::openpty(&master_, &terminal_, nullptr, nullptr, nullptr) != 0)
            throw std::runtime_error(std::string("openpty: ") + std::strerror(errno));
        ::tcgetattr(terminal_, &before_);
    }
    ~TerminalRun()
    {
        if (child_ > 0) {
            ::kill(child_, SIGKILL);
            ::waitpid(child_, nullptr, 0);
        }
        ::close(master_);
        ::close(terminal_);
    }
    TerminalRun(const TerminalRun &) = delete;
    TerminalRun &operator=(const TerminalRun &) = delete;

    void start(std::vector<std::string> args)
    {
        std::vector<char *> argv;
        for (std::string &arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        // No password from the environment: the program asks for it on the terminal.
        std::vector<char *> env;
        for (char **variable = environ; *variable != nullptr; ++variable)
            if (std::string_view(*variable).find("KALMORA_PASSWORD=") != 0)
                env.push_back(*variable);
        env.push_back(nullptr);
        child_ = ::fork();
        if (child_ < 0)
            throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
        if (child_ == 0) {
            // Ctrl+\ would otherwise leave a core file behind.
            const rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            ::close(master_);
            if (::login_tty(terminal_) != 0)
                ::_exit(126);
            ::execve(argv[0], argv.data(), env.data());
            ::_exit(127);
        }
    }

    /// Waits until the prompt is shown and the terminal no longer echoes; false when that
    /// does not happen in a minute.
    bool awaitPrompt()
    {
        for (int tries = 0; tries < 6000; ++tries) {
            readOutput(10);
            termios now{};
            if (output_.find(kPrompt) != std::string::npos && ::tcgetattr(terminal_, &now) == 0 &&
                (now.c_lflag & ECHO) == 0)
                return true;
        }
        return false;
    }

    /// Types `keys` on the terminal.
    void type(std::string_view keys) const
    {
        if (::write(master_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size()))
            throw std::runtime_error("cannot type on the terminal");
    }
    void signal(int number) const { ::kill(child_, number); }

    /// Waits for the program to end (a minute at most, then it is killed).
    Ending end()
    {
        int status = 0;
        for (int tries = 0; tries < 6000; ++tries) {
            readOutput(10);
            if (::waitpid(child_, &status, WNOHANG) == child_) {
                child_ = -1;
                readOutput(0);
                if (WIFSIGNALED(status))
                    return Ending{WTERMSIG(status), -1};
                return Ending{0, WEXITSTATUS(status)};
            }
        }
        return Ending{SIGKILL, -1};
    }

    /// The terminal's local modes (echo among them) now, and as they were before the run.
    tcflag_t localModes() const
    {
        termios now{};
        ::tcgetattr(terminal_, &now);
        return now.c_lflag;
    }
    tcflag_t localModesBefore() const { return before_.c_lflag; }

    /// What the program wrote on the terminal after its prompt.
    std::string afterPrompt() const
    {
        const std::size_t at = output_.find(kPrompt);
        return at == std::string::npos ? std::string() : output_.substr(at + kPrompt.size());
    }

private:
    void readOutput(int waitMilliseconds)
    {
        pollfd ready{master_, POLLIN, 0};
        while (::poll(&ready, 1, waitMilliseconds) > 0 && (ready.revents & POLLIN) != 0) {
            char buffer[4096];
            const ssize_t got = ::read(master_, buffer, sizeof buffer);
            if (got <= 0)
                return;
            output_.append(buffer, static_cast<std::size_t>(got));
            waitMilliseconds = 0;
        }
    }

    int master_ = -1;
    int terminal_ = -1;
    pid_t child_ = -1;
    termios before_{};
    std::string output_;
};

// Guards: a way out of the prompt that leaves the terminal without echo (the shell after it
// then hides every command typed), a signal that no longer ends the program as it should, and
// a prompt that shows what is typed.
TEST(HeadlessTerminal, EveryWayOutOfThePromptGivesTheTerminalBack)
{
    const struct
    {
        const char *what;
        std::function<void(TerminalRun &)> leave;
        Ending ending;
    } cases[] = {
        {"Ctrl+C", [](TerminalRun &run) { run.type("\x03"); }, {SIGINT, -1}},
        {"Ctrl+\\", [](TerminalRun &run) { run.type("\x1c"); }, {SIGQUIT, -1}},
        {"termination request", [](TerminalRun &run) { run.signal(SIGTERM); }, {SIGTERM, -1}},
        {"hang-up", [](TerminalRun &run) { run.signal(SIGHUP); }, {SIGHUP, -1}},
        // An empty password is refused as a usage error, before any connection.
        {"Enter alone", [](TerminalRun &run) { run.type("\r"); }, {0, 64}},
        {"end of input (Ctrl+D)", [](TerminalRun &run) { run.type("\x04"); }, {0, 64}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TerminalRun run;
        run.start({KALMORA_PROGRAM, "post", "--server", "/nonexistent", "--company", "01", "--user",
                   "SYSDBA", "--point-id", "1"});
        ASSERT_TRUE(run.awaitPrompt()) << "no prompt with echo off; shown: " << run.afterPrompt();
        c.leave(run);
        EXPECT_EQ(run.end(), c.ending);
        EXPECT_EQ(run.localModes(), run.localModesBefore());
        EXPECT_TRUE(run.localModes() & ECHO);
        // The shell's prompt that follows starts on a line of its own.
        EXPECT_EQ(run.afterPrompt().substr(0, 2), "\r\n");
    }
}

} // namespace
