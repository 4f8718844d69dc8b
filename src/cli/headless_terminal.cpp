// SPDX-License-Identifier: Apache-2.0
#include "cli/headless_terminal.h"

#include <csignal>
#include <iostream>
#include <iterator>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

namespace kalmora::cli {

namespace {

// The signals that end a program from its terminal or by request. Whichever arrives while the
// password is being typed must not leave the terminal without echo for the shell after it.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};
constexpr std::size_t kSignalCount = std::size(kEndingSignals);

// What the signal handler needs, set before it is installed: the terminal's settings from
// before the prompt, and the actions the signals had.
termios g_saved{};
volatile std::sig_atomic_t g_echoOff = 0;
struct sigaction g_previous[kSignalCount];

void restoreTerminalAndRaise(int signal)
{
    if (g_echoOff != 0)
        ::tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
    // The Enter that ends the prompt's line was never typed.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, "\n", 1);
    // The signal's own action again, then the signal once more: on return from here it does
    // what it would have done (by default, end the program with the status a shell expects).
    for (std::size_t i = 0; i < kSignalCount; ++i)
        if (kEndingSignals[i] == signal)
            ::sigaction(signal, &g_previous[i], nullptr);
    ::raise(signal);
}

/// While it lives, the terminal's echo is off and the ending signals put the terminal back
/// before they take effect; when it goes (a return or an exception), both are undone. Signals
/// that were ignored stay ignored.
class QuietTerminal
{
public:
    QuietTerminal()
    {
        if (::tcgetattr(STDIN_FILENO, &g_saved) != 0)
            return;
        struct sigaction action
        {
        };
        action.sa_handler = restoreTerminalAndRaise;
        sigfillset(&action.sa_mask);
        for (std::size_t i = 0; i < kSignalCount; ++i) {
            ::sigaction(kEndingSignals[i], nullptr, &g_previous[i]);
            hooked_[i] = g_previous[i].sa_handler != SIG_IGN &&
                         ::sigaction(kEndingSignals[i], &action, nullptr) == 0;
        }
        termios quiet = g_saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        // Marked first: a signal between the two must find the settings to put back.
        g_echoOff = 1;
        if (::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) != 0)
            g_echoOff = 0;
    }
    ~QuietTerminal()
    {
        if (g_echoOff != 0)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_saved);
        g_echoOff = 0;
        for (std::size_t i = 0; i < kSignalCount; ++i)
            if (hooked_[i])
                ::sigaction(kEndingSignals[i], &g_previous[i], nullptr);
    }
    QuietTerminal(const QuietTerminal &) = delete;
    QuietTerminal &operator=(const QuietTerminal &) = delete;

private:
    bool hooked_[kSignalCount] = {};
};

} // namespace

TerminalWindow::TerminalWindow(std::ostream &out, std::ostream &status, bool showStatus)
    : out_(out), status_(status), showStatus_(showStatus)
{
}

void TerminalWindow::showBusy(const std::string &caption)
{
    if (showStatus_)
        status_ << caption << std::endl;
}

void TerminalWindow::showMessage(const std::string &text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out_ << '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out_ << text[i];
        }
    }
    out_ << std::endl;
}

void endPromptForSignal()
{
    if (g_echoOff == 0)
        return;
    ::tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
    g_echoOff = 0;
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, "\n", 1);
}

bool stdinIsTerminal()
{
    return ::isatty(STDIN_FILENO) == 1;
}

bool stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

std::optional<std::string> askPassword(const std::string &prompt)
{
    std::string password;
    bool read;
    {
        // The prompt shows once echo is off: what is typed after it is never seen.
        QuietTerminal quiet;
        std::cerr << prompt << std::flush;
        read = bool(std::getline(std::cin, password));
    }
    std::cerr << std::endl; // the Enter typed was not echoed
    if (!read)
        return std::nullopt;
    return password;
}

} // namespace kalmora::cli
