// SPDX-License-Identifier: Apache-2.0
// Renders the main window in its three looks to PNG files in the folder given as the first
// argument: as it opens, with the busy panel, and with the rates panel. Not a test: a way to
// look at the window.
#include "app/main_window.h"
#include "window_tool.h"

#include <QDir>
#include <QTimer>
#include <QWidget>

int main(int argc, char **argv)
{
    kalmora::test::WindowTool tool(argc, argv);
    const QDir &folder = tool.folder;
    kalmora::app::Tfbrenvaldo &window = tool.window;
    QTimer::singleShot(500, [&] {
        window.grab().save(folder.filePath(QStringLiteral("window.png")));
        window.showBusy(std::string("Conectando a la base de datos 01 ..."));
        window.grab().save(folder.filePath(QStringLiteral("window-busy.png")));
        window.hideBusy();
        window.findChild<QWidget *>(QStringLiteral("AdvPanel1"))->show();
        QTimer::singleShot(200, [&] {
            window.grab().save(folder.filePath(QStringLiteral("window-rates.png")));
            QApplication::quit();
        });
    });
    return kalmora::app::Application::exec();
}
