// SPDX-License-Identifier: Apache-2.0
#pragma once
// A window for the posting tests: it implements what the connect step and the posting run
// ask of the main window and keeps what a user would see (the busy panel and its caption,
// which controls are enabled, the day, the messages shown) plus the order of those events.

#include "core/message_sink.h"
#include "posting/busy_panel.h"
#include "posting/connect_step.h"
#include "posting/posting_run.h"

#include <optional>
#include <string>
#include <vector>

namespace kalmora::test {

class RecordingWindow final : public posting::BusyPanel,
                              public posting::ConnectView,
                              public posting::PostingView,
                              public core::MessageSink,
                              public data::WaitCursor
{
public:
    // BusyPanel
    void showBusy(const std::string &caption) override;
    void showBusy() override;
    void hideBusy() override;
    // ConnectView
    void enableDay(const core::Date &today) override;
    void focusDay() override;
    void enableExecute() override;
    data::WaitCursor *hourglass() override { return this; }
    // PostingView
    core::Date day() const override { return day_; }
    std::optional<std::int64_t> chosenPoint() const override { return point_; }
    void enableErrorGrid() override;
    // MessageSink
    void showMessage(const std::string &text) override;
    // WaitCursor
    void begin() override;
    void end() override;

    void chooseDay(const core::Date &day) { day_ = day; }
    void choosePoint(std::optional<std::int64_t> id) { point_ = id; }

    /// The busy panel's caption as designed, until the connect step sets its own.
    std::string busyCaption = "Generando informe. espere un momento...";
    bool busyShown = false;
    bool dayEnabled = false;
    bool executeEnabled = false;
    bool errorGridEnabled = false;
    bool hourglassShown = false;
    std::vector<std::string> messages;
    /// "busy", "hide busy", "day", "focus day", "execute", "error grid", "message",
    /// "hourglass", "arrow", in the order they happened.
    std::vector<std::string> events;

private:
    core::Date day_{2003, 1, 20};
    std::optional<std::int64_t> point_;
};

} // namespace kalmora::test
