// SPDX-License-Identifier: Apache-2.0
#include "recording_window.h"

namespace kalmora::test {

void RecordingWindow::showBusy(const std::string &caption)
{
    busyCaption = caption;
    showBusy();
}

void RecordingWindow::showBusy()
{
    busyShown = true;
    events.push_back("busy");
}

void RecordingWindow::hideBusy()
{
    busyShown = false;
    events.push_back("hide busy");
}

void RecordingWindow::enableDay(const core::Date &today)
{
    dayEnabled = true;
    day_ = today;
    events.push_back("day");
}

void RecordingWindow::focusDay()
{
    events.push_back("focus day");
}

void RecordingWindow::enableExecute()
{
    executeEnabled = true;
    events.push_back("execute");
}

void RecordingWindow::enableErrorGrid()
{
    errorGridEnabled = true;
    events.push_back("error grid");
}

void RecordingWindow::showMessage(const std::string &text)
{
    messages.push_back(text);
    events.push_back("message");
}

void RecordingWindow::begin()
{
    hourglassShown = true;
    events.push_back("hourglass");
}

void RecordingWindow::end()
{
    hourglassShown = false;
    events.push_back("arrow");
}

} // namespace kalmora::test
