// SPDX-License-Identifier: Apache-2.0
// Start-up to the first paint: the program's window as main() starts it (its application
// object, the window with every control, the installation files it reads) against a bare Qt Widgets
// window (an application object and an empty window of the same size), each in a fresh process on
// the offscreen platform, paired in every iteration. A child reports the moment its first paint is
// done on the monotonic clock, which every process shares, and ends there. Limit: 1.3x.
//
// The same pairing also times a bare window that shows one line of text in the window's font,
// without a limit: the first text of any window waits for the system's font configuration, the
// font database and one font, which the empty window never loads. That quotient is the part of
// the window's that no window with text can do without.

#include "app/fonts.h"
#include "app/window_program.h"
#include "paired_timing.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

std::int64_t monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

/// Ends the process once the first paint of any widget has been done: the rest of that paint
/// cycle runs before the zero timer fires.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, [] {
                std::printf("%lld\n", static_cast<long long>(monotonicNanoseconds()));
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

/// The program's start in its window, as main() makes it.
int ourWindow(int argc, char **argv)
{
    FirstPaint firstPaint;
    return kalmora::app::runWindowProgram(argc, argv, [&](QApplication &application) {
        application.installEventFilter(&firstPaint);
    });
}

/// An empty window of the program's window's size; `withText`, it shows one line of text in
/// the window's font.
int bareWindow(int argc, char **argv, bool withText)
{
    QApplication application(argc, argv);
    FirstPaint firstPaint;
    application.installEventFilter(&firstPaint);
    QWidget window;
    window.resize(358, 371);
    std::optional<QLabel> text;
    if (withText) {
        window.setFont(kalmora::app::windowFont());
        text.emplace(QStringLiteral("Origen:"), &window);
        text->move(16, 16);
    }
    window.show();
    return QApplication::exec();
}

/// An installation for the window: the registry file naming a folder whose server list
/// offers one server.
struct Installation
{
    Installation()
    {
        char pattern[] = "/tmp/kalmora-startup-bench.XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("no scratch folder");
        folder = pattern;
        std::ofstream(folder / "SERVIDORES.cfg") << "localhost\r\n";
        std::ofstream(folder / "hklm.reg")
            << "Windows Registry Editor Version 5.00\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\r\n\"Directorio\"=\""
            << folder.string() << "\"\r\n";
    }
    ~Installation() { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

std::string &self()
{
    static std::string path;
    return path;
}

/// Seconds from the start of a child until its first paint is done.
double startToFirstPaint(const char *side)
{
    static const Installation installation;
    const std::string registry = (installation.folder / "hklm.reg").string();
    setenv("KALMORA_HKLM", registry.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    int out[2];
    if (pipe(out) != 0)
        throw std::runtime_error("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    // What a child says on its way (Qt's notes about the environment) is not measured.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string flag = "--first-paint";
    std::string which = side;
    char *args[] = {self().data(), flag.data(), which.data(), nullptr};
    pid_t child = 0;
    const std::int64_t start = monotonicNanoseconds();
    const int spawned = posix_spawn(&child, self().c_str(), &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        throw std::runtime_error("the child did not start");
    }
    std::string printed;
    char buffer[64];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        printed.append(buffer, std::size_t(n));
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || printed.empty())
        throw std::runtime_error(std::string("the ") + side + " window did not paint");
    return double(std::stoll(printed) - start) / 1e9;
}

/// `side` against the bare window, both started afresh in every iteration.
void againstTheBareWindow(benchmark::State &state, const char *side)
{
    kalmora::bench::PairedTiming timing;
    for (auto _ : state) {
        timing.measure(state, {{}, {}, [side] { return startToFirstPaint(side); }},
                       {{}, {}, [] { return startToFirstPaint("bare"); }});
    }
    timing.report(state);
}

void BM_StartupToFirstPaint(benchmark::State &state)
{
    againstTheBareWindow(state, "ours");
}
BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Iterations(10)->Repetitions(5);

void BM_OneTextToFirstPaint(benchmark::State &state)
{
    againstTheBareWindow(state, "text");
}
BENCHMARK(BM_OneTextToFirstPaint)->UseManualTime()->Iterations(10)->Repetitions(5);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--first-paint") == 0) {
        int qtArgc = 1;
        if (std::strcmp(argv[2], "ours") == 0)
            return ourWindow(qtArgc, argv);
        return bareWindow(qtArgc, argv, std::strcmp(argv[2], "text") == 0);
    }
    self() = std::filesystem::canonical("/proc/self/exe").string();
    return kalmora::bench::runBenchmarks(
        argc, argv, {{"BM_StartupToFirstPaint", "start-up to the first paint", 1.3}});
}
