#include "cli/headless_terminal.h"

#include <iostream>
#include <termios.h>
#include <unistd.h>

namespace kalmora::cli {

namespace {

/// Turns the terminal's echo off for its lifetime.
class EchoOff
{
public:
    EchoOff()
    {
        if (::tcgetattr(STDIN_FILENO, &saved_) != 0)
            return;
        termios quiet = saved_;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        active_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (active_)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    }
    EchoOff(const EchoOff &) = delete;
    EchoOff &operator=(const EchoOff &) = delete;

private:
    termios saved_{};
    bool active_ = false;
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
    std::cerr << prompt << std::flush;
    std::string password;
    bool read;
    {
        EchoOff echoOff;
        read = bool(std::getline(std::cin, password));
    }
    std::cerr << std::endl; // the Enter typed was not echoed
    if (!read)
        return std::nullopt;
    return password;
}

} // namespace kalmora::cli
