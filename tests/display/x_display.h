// SPDX-License-Identifier: Apache-2.0
#pragma once
// A real X display for the tests: Xvfb with the openbox window manager, and a client of it
// that uses keys and the mouse through XTest, as a person's keyboard and mouse do (a modifier
// key sends its own press first, the window manager gives the focus, a drop-down list is a
// window of its own), finds the top-level windows by their titles, and reads the screen.

#include <QImage>
#include <QRect>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

using Display = struct _XDisplay;

namespace kalmora::test {

/// Starts `argv` (looked up in PATH) with exactly `environment`, its standard error into
/// `errorFile` when one is named. The process is killed when the test program ends, however
/// it ends (a time-out of the test runner included). Its process id.
int startTiedProcess(const std::vector<std::string> &argv,
                     const std::vector<std::string> &environment,
                     const std::string &errorFile = {});

/// The test program's environment without the variables named in `names`.
std::vector<std::string> environmentWithout(const std::vector<std::string_view> &names);

/// Polls `condition` every 20 ms until it holds or `timeout` has passed; whether it held.
bool waitUntil(const std::function<bool()> &condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

/// Xvfb on a free display number, 1024 × 768 at 24 bits, and openbox managing it; both
/// stopped with the object. Throws std::runtime_error when either does not start.
class VirtualDisplay
{
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    /// ":N", for DISPLAY.
    const std::string &name() const { return name_; }

private:
    std::string name_;
    int server_ = -1;  // Xvfb's process id
    int manager_ = -1; // openbox's
};

using WindowId = unsigned long;

/// One connection to the display, for the test's hands and eyes.
class XClient
{
public:
    explicit XClient(const std::string &display);
    ~XClient();
    XClient(const XClient &) = delete;
    XClient &operator=(const XClient &) = delete;

    /// Presses and releases a chord, modifiers first: "F5", "Escape", "ctrl+Return",
    /// "alt+Down", "ctrl+shift+Return", "ctrl+f". Key names are X keysym names.
    void key(std::string_view chord);
    /// Types each character as its key, with Shift where the keyboard map needs it.
    void type(std::string_view text);
    /// A click at a point of the screen: button 1 is the left one, 2 the middle one.
    void click(QPoint screen, unsigned button = 1);

    /// The managed top-level windows whose title is `title`, in the window manager's order.
    std::vector<WindowId> windowsTitled(std::string_view title) const;
    /// How many drop-downs (lists, calendars: windows that bypass the window manager) are
    /// shown.
    int dropDownsShown() const;
    /// The window that the window manager made active (0 for none).
    WindowId activeWindow() const;
    /// A window's client area in screen coordinates.
    QRect geometry(WindowId window) const;
    /// What the screen shows in `area` (popups and boxes over it included).
    QImage grab(const QRect &area) const;
    /// The text on the clipboard (the CLIPBOARD selection as UTF-8), empty when no program
    /// offers one within a second.
    std::string clipboardText() const;

private:
    void press(unsigned long keysym, bool down);
    Display *display_ = nullptr;
};

} // namespace kalmora::test
