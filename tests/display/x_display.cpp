// SPDX-License-Identifier: Apache-2.0
#include "display/x_display.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace kalmora::test {

namespace {

/// Starts `argv` with the test program's environment and DISPLAY set to `display` (when not
/// empty); its process id.
int spawnWithDisplay(const std::vector<std::string> &argv, const std::string &display)
{
    std::vector<std::string> environment = environmentWithout({"DISPLAY"});
    if (!display.empty())
        environment.push_back("DISPLAY=" + display);
    return startTiedProcess(argv, environment);
}

void stopProcess(int pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}

std::string windowTitle(Display *display, Window window)
{
    const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, name, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        title.assign(reinterpret_cast<const char *>(data), count);
        XFree(data);
    }
    return title;
}

std::vector<Window> windowList(Display *display, const char *property)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::vector<Window> windows;
    if (XGetWindowProperty(display, DefaultRootWindow(display),
                           XInternAtom(display, property, False), 0, 4096, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data) {
        const auto *ids = reinterpret_cast<const Window *>(data);
        windows.assign(ids, ids + count);
        XFree(data);
    }
    return windows;
}

} // namespace

std::vector<std::string> environmentWithout(const std::vector<std::string_view> &names)
{
    std::vector<std::string> environment;
    for (char **entry = environ; *entry; ++entry) {
        const std::string_view variable(*entry);
        const std::string_view name = variable.substr(0, variable.find('='));
        if (std::find(names.begin(), names.end(), name) == names.end())
            environment.emplace_back(variable);
    }
    return environment;
}

int startTiedProcess(const std::vector<std::string> &argv,
                     const std::vector<std::string> &environment, const std::string &errorFile)
{
    std::vector<char *> args, envp;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    for (const std::string &entry : environment)
        envp.push_back(const_cast<char *>(entry.c_str()));
    envp.push_back(nullptr);
    const int errors =
        errorFile.empty() ? -1 : ::open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only calls that are safe between fork and exec.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        if (errors >= 0)
            ::dup2(errors, 2);
        ::execvpe(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    if (errors >= 0)
        ::close(errors);
    if (pid < 0)
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(errno));
    return pid;
}

bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// ---- VirtualDisplay

VirtualDisplay::VirtualDisplay()
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
    ::fcntl(pipe[0], F_SETFD, FD_CLOEXEC);
    server_ = spawnWithDisplay({"Xvfb", "-displayfd", std::to_string(pipe[1]), "-screen", "0",
                                "1024x768x24", "-nolisten", "tcp", "-noreset"},
                               "");
    ::close(pipe[1]);
    // Xvfb writes its display number once it accepts clients.
    std::string number;
    char c = 0;
    while (::read(pipe[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(pipe[0]);
    if (number.empty()) {
        stopProcess(server_);
        throw std::runtime_error("Xvfb did not start");
    }
    name_ = ":" + number;
    manager_ = spawnWithDisplay({"openbox", "--sm-disable"}, name_);
    // The window manager is there once it announces itself on the root window.
    Display *probe = XOpenDisplay(name_.c_str());
    const bool managed =
        probe && waitUntil([&] { return !windowList(probe, "_NET_SUPPORTING_WM_CHECK").empty(); });
    if (probe)
        XCloseDisplay(probe);
    if (!managed) {
        stopProcess(manager_);
        stopProcess(server_);
        throw std::runtime_error("openbox did not start on " + name_);
    }
}

VirtualDisplay::~VirtualDisplay()
{
    stopProcess(manager_);
    stopProcess(server_);
}

// ---- XClient

XClient::XClient(const std::string &display) : display_(XOpenDisplay(display.c_str()))
{
    // A window may go between being listed and being asked about: such a request fails
    // and answers nothing, instead of Xlib's default of ending the test program.
    XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    int event = 0, error = 0, major = 0, minor = 0;
    if (!display_ || !XTestQueryExtension(display_, &event, &error, &major, &minor))
        throw std::runtime_error("no XTest on display " + display);
}

XClient::~XClient()
{
    XCloseDisplay(display_);
}

void XClient::press(unsigned long keysym, bool down)
{
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    if (code == 0)
        throw std::runtime_error("no key for keysym " + std::to_string(keysym));
    XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
    XSync(display_, False);
    // A person's keys come some milliseconds apart; the program reads them as they come.
    std::this_thread::sleep_for(std::chrono::milliseconds(8));
}

void XClient::key(std::string_view chord)
{
    std::vector<KeySym> keys;
    while (!chord.empty()) {
        const std::size_t plus = chord.find('+', 1);
        const std::string name(chord.substr(0, plus));
        chord.remove_prefix(plus == std::string_view::npos ? chord.size() : plus + 1);
        KeySym keysym = NoSymbol;
        if (name == "ctrl")
            keysym = XK_Control_L;
        else if (name == "shift")
            keysym = XK_Shift_L;
        else if (name == "alt")
            keysym = XK_Alt_L;
        else
            keysym = XStringToKeysym(name.c_str());
        if (keysym == NoSymbol)
            throw std::runtime_error("no keysym named " + name);
        keys.push_back(keysym);
    }
    for (const KeySym keysym : keys)
        press(keysym, true);
    for (auto keysym = keys.rbegin(); keysym != keys.rend(); ++keysym)
        press(*keysym, false);
}

void XClient::type(std::string_view text)
{
    for (const char c : text) {
        // The keysyms of printable ASCII are the characters' codes.
        const auto keysym = KeySym(static_cast<unsigned char>(c));
        const KeyCode code = XKeysymToKeycode(display_, keysym);
        const bool shifted = code != 0 && XkbKeycodeToKeysym(display_, code, 0, 0) != keysym;
        if (shifted)
            press(XK_Shift_L, true);
        press(keysym, true);
        press(keysym, false);
        if (shifted)
            press(XK_Shift_L, false);
    }
}

void XClient::click(QPoint screen, unsigned button)
{
    // The pointer comes from one pixel away, so that the window under it sees it arrive.
    XTestFakeMotionEvent(display_, -1, screen.x() + 1, screen.y() + 1, CurrentTime);
    XSync(display_, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    XTestFakeMotionEvent(display_, -1, screen.x(), screen.y(), CurrentTime);
    XSync(display_, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XSync(display_, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XSync(display_, False);
}

std::vector<WindowId> XClient::windowsTitled(std::string_view title) const
{
    std::vector<WindowId> found;
    for (const Window window : windowList(display_, "_NET_CLIENT_LIST"))
        if (windowTitle(display_, window) == title)
            found.push_back(window);
    return found;
}

int XClient::dropDownsShown() const
{
    Window root = 0, parent = 0;
    Window *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
        return 0;
    int shown = 0;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        // The window manager keeps tiny windows of its own off the screen.
        if (XGetWindowAttributes(display_, children[i], &attributes) &&
            attributes.map_state == IsViewable && attributes.override_redirect &&
            attributes.width > 1 && attributes.height > 1 && attributes.x >= 0 && attributes.y >= 0)
            ++shown;
    }
    if (children)
        XFree(children);
    return shown;
}

WindowId XClient::activeWindow() const
{
    const std::vector<Window> active = windowList(display_, "_NET_ACTIVE_WINDOW");
    return active.empty() ? 0 : active.front();
}

QRect XClient::geometry(WindowId window) const
{
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display_, window, &root, &x, &y, &width, &height, &border, &depth))
        return {};
    XTranslateCoordinates(display_, window, root, 0, 0, &x, &y, &child);
    return {x, y, int(width), int(height)};
}

QImage XClient::grab(const QRect &area) const
{
    XImage *shot = XGetImage(display_, DefaultRootWindow(display_), area.x(), area.y(),
                             unsigned(area.width()), unsigned(area.height()), AllPlanes, ZPixmap);
    if (!shot)
        return {};
    QImage image(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            image.setPixel(x, y, QRgb(0xff000000u | XGetPixel(shot, x, y)));
    XDestroyImage(shot);
    return image;
}

std::string XClient::clipboardText() const
{
    const Window requestor =
        XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(display_, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    const Atom property = XInternAtom(display_, "KALMORA_TEST_CLIPBOARD", False);
    XConvertSelection(display_, clipboard, utf8, property, requestor, CurrentTime);
    XFlush(display_);
    XEvent event{};
    const bool answered = waitUntil(
        [&] { return XCheckTypedWindowEvent(display_, requestor, SelectionNotify, &event); },
        std::chrono::seconds(1));
    std::string text;
    if (answered && event.xselection.property != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(display_, requestor, property, 0, 65536, True, AnyPropertyType,
                               &type, &format, &count, &after, &data) == Success &&
            data) {
            text.assign(reinterpret_cast<const char *>(data), count);
            XFree(data);
        }
    }
    XDestroyWindow(display_, requestor);
    return text;
}

} // namespace kalmora::test
