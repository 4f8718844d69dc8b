// SPDX-License-Identifier: Apache-2.0
#include "app/window_program.h"

#include "platform/stop_signals.h"
#include "app/application.h"
#include "app/main_window.h"

#include <QMetaObject>
#include <QPointer>
#include <unistd.h>

namespace kalmora::app {

namespace {

/// The window that SIGINT and SIGTERM close; null before it is made and after it is gone.
QPointer<Tfbrenvaldo> &stoppableWindow()
{
    static QPointer<Tfbrenvaldo> window;
    return window;
}

/// SIGINT and SIGTERM (a logout, a shutdown) close the window as Esc does, boxes first, on
/// the window's own thread; what is pending is dropped, as with Esc. Before the window
/// exists there is nothing to lose: the program ends.
void closeOnStopSignals()
{
    platform::handStopSignalsTo([](int signal) {
        QCoreApplication *application = QCoreApplication::instance();
        if (!application)
            ::_exit(128 + signal);
        QMetaObject::invokeMethod(
            application,
            [] {
                QApplication::closeAllWindows();
                if (Tfbrenvaldo *window = stoppableWindow())
                    window->close();
            },
            Qt::QueuedConnection);
    });
}

constexpr int kExitLimitSeconds = 5;

} // namespace

int runWindowProgram(int &argc, char **argv, const std::function<void(QApplication &)> &started)
{
    // Before the application object starts the display's threads.
    closeOnStopSignals();
    Application application(argc, argv);
    Application::setTitle(QStringLiteral("Contabilización ventas POS"));
    // The window class name, which X11 carries in WM_CLASS.
    QCoreApplication::setApplicationName(QStringLiteral("Tfbrenvaldo"));
    if (started)
        started(application);

    Tfbrenvaldo fbrenvaldo;
    stoppableWindow() = &fbrenvaldo;
    fbrenvaldo.show();
    const int status = Application::exec();
    // The exit handlers shut the database client down; they may not hold the process (and
    // the engine's locks, which every other program of the machine waits for).
    platform::limitExitTo(kExitLimitSeconds, status);
    return status;
}

} // namespace kalmora::app
