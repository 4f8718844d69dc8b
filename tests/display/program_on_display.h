// SPDX-License-Identifier: Apache-2.0
#pragma once
// The built program started as a user starts it, on a display of the tests: a demo
// installation of its own (the registry export naming an installation folder whose
// SERVIDORES.cfg offers one company server), the locale given, and nothing else of the
// test's environment that would change what it does.

#include "display/x_display.h"

#include <optional>
#include <string>

namespace kalmora::test {

/// LOCPATH for the Spanish locales that users have (es_CO.UTF-8, es_ES.UTF-8), compiled once
/// per test program from the C library's locale sources into a temporary folder.
const std::string &spanishLocales();

class ProgramOnDisplay
{
public:
    /// Starts the program on `display`, offering `serverEntry`, under `locale` (LANG and
    /// LC_ALL); throws std::runtime_error when it cannot start.
    ProgramOnDisplay(const std::string &display, const std::string &serverEntry,
                     const std::string &locale = "C");
    /// Stops the program if it still runs.
    ~ProgramOnDisplay();
    ProgramOnDisplay(const ProgramOnDisplay &) = delete;
    ProgramOnDisplay &operator=(const ProgramOnDisplay &) = delete;

    /// Waits for the program to end; its exit status, or nullopt when it is still running
    /// after `timeout` (or ended by a signal).
    std::optional<int> waitExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool running();
    /// Sends `signal` to the program, as a logout or "kill" does.
    void sendSignal(int signal);
    /// What the program wrote on its standard error.
    std::string errors() const;

private:
    std::string folder_;
    int pid_ = -1;
    std::optional<int> status_;
};

} // namespace kalmora::test
