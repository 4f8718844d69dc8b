// SPDX-License-Identifier: Apache-2.0
#pragma once
// The start of the tools that show the main window outside a test: the program's application
// object and title, the folder for their pictures (the first argument, else the current
// folder), and the window shown and active.

#include "app/application.h"
#include "app/main_window.h"

#include <QDir>
#include <QString>

namespace kalmora::test {

class WindowTool
{
public:
    WindowTool(int &argc, char **argv)
        : application(argc, argv),
          folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath())
    {
        app::Application::setTitle(QStringLiteral("Contabilización ventas POS"));
        window.show();
        window.activateWindow();
    }

    app::Application application;
    const QDir folder;
    app::Tfbrenvaldo window;
};

} // namespace kalmora::test
