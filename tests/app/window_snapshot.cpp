// SPDX-License-Identifier: Apache-2.0
// Renders the main window in its three looks to PNG files in the folder given as the first
// argument: as it opens, with the busy panel, and with the rates panel. Not a test: a way to
// look at the window.
#include "app/application.h"
#include "app/main_window.h"

#include <QDir>
#include <QTimer>
#include <QWidget>

int main(int argc, char **argv)
{
    kalmora::app::Application application(argc, argv);
    kalmora::app::Application::setTitle(QStringLiteral("Contabilización ventas POS"));
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    kalmora::app::Tfbrenvaldo window;
    window.show();
    window.activateWindow();
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
