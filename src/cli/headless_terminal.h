// SPDX-License-Identifier: Apache-2.0
#pragma once
// The terminal stand-in for the main window, for the headless post command: the busy
// panel, the day, the chosen point, the error grid and the plain message dialog of the
// connect step and the posting run, on standard output and standard error.

#include "core/message_sink.h"
#include "posting/busy_panel.h"
#include "posting/connect_step.h"
#include "posting/posting_run.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace kalmora::cli {

class TerminalWindow final : public posting::BusyPanel,
                             public posting::ConnectView,
                             public posting::PostingView,
                             public core::MessageSink
{
public:
    /// Messages go to `out`; busy captions to `status` when `showStatus` (a terminal).
    TerminalWindow(std::ostream &out, std::ostream &status, bool showStatus);

    void showBusy(const std::string &caption) override;
    void showBusy() override {}
    void hideBusy() override {}

    void enableDay(const core::Date &today) override { day_ = today; }
    void focusDay() override {}
    void enableExecute() override {}
    data::WaitCursor *hourglass() override { return nullptr; }

    core::Date day() const override { return day_; }
    std::optional<std::int64_t> chosenPoint() const override { return point_; }
    void enableErrorGrid() override {}

    /// Each line of `text` on its own line: a carriage return, a line feed or both start a
    /// new line, as in the plain message dialog.
    void showMessage(const std::string &text) override;

    void chooseDay(const core::Date &day) { day_ = day; }
    void choosePoint(std::int64_t id) { point_ = id; }

private:
    std::ostream &out_;
    std::ostream &status_;
    bool showStatus_;
    core::Date day_{};
    std::optional<std::int64_t> point_;
};

/// When the password prompt is showing: puts the terminal back as it was before it (echo on)
/// and ends the prompt's line; nothing otherwise. Safe to call from another thread, for a stop
/// signal taken while the prompt shows.
void endPromptForSignal();

/// A message sink that shows nothing: for a report that renders the run's result itself.
class SilentMessages final : public core::MessageSink
{
public:
    void showMessage(const std::string &) override {}
};

/// Whether standard input and standard error are terminals.
bool stdinIsTerminal();
bool stderrIsTerminal();

/// Asks for the password on standard error and reads a line from standard input with the
/// terminal's echo off; nullopt at end of input. The terminal is put back on every way out:
/// a return, an exception, and SIGINT, SIGTERM, SIGQUIT or SIGHUP, which then take effect as
/// they would have (by default ending the program by that signal).
std::optional<std::string> askPassword(const std::string &prompt);

} // namespace kalmora::cli
