#include "app/window_program.h"

#include "app/application.h"
#include "app/main_window.h"

namespace kalmora::app {

int runWindowProgram(int &argc, char **argv, const std::function<void(QApplication &)> &started)
{
    Application application(argc, argv);
    Application::setTitle(QStringLiteral("Contabilización ventas POS"));
    // The window class name, which X11 carries in WM_CLASS.
    QCoreApplication::setApplicationName(QStringLiteral("Tfbrenvaldo"));
    if (started)
        started(application);

    Tfbrenvaldo fbrenvaldo;
    fbrenvaldo.show();
    return Application::exec();
}

} // namespace kalmora::app
