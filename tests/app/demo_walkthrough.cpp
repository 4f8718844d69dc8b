// SPDX-License-Identifier: Apache-2.0
// Drives the program's window on the demo installation (scripts/run-demo.sh --prepare) as a
// user would, and saves a picture of the whole screen at each step into the folder given as
// the first argument: the login typed, the point-of-sale list open, the rates panel open, the
// message of a failed posting, and its error rows. Not a test: a way to look at the window on a
// real display (Xvfb).
#include "grids/db_grid_eh.h"
#include "grids/find_dialog.h"
#include "widgets/lookup_box.h"
#include "app/main_window.h"
#include "window_tool.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

namespace {

void typeText(QWindow *window, const QString &text)
{
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, window, Qt::Key(character.toUpper().unicode()),
                            QString(character), Qt::NoModifier);
}

/// Saves the whole screen, or only `area` of it when given.
void saveScreen(const QDir &folder, const char *name, const QRect &area = {})
{
    QTest::qWait(300);
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.isValid() ? area.width() : -1,
                     area.isValid() ? area.height() : -1)
        .save(folder.filePath(QString::fromLatin1(name)));
    std::printf("%s\n", qPrintable(folder.filePath(QString::fromLatin1(name))));
}

} // namespace

int main(int argc, char **argv)
{
    kalmora::test::WindowTool tool(argc, argv);
    const QDir &folder = tool.folder;
    kalmora::app::Tfbrenvaldo &window = tool.window;
    // A window left open (an unexpected error box) must not keep the walk going for ever.
    QTimer::singleShot(30000, [] {
        std::fputs("demo walkthrough: stuck, stopped\n", stderr);
        std::_Exit(2);
    });
    QTimer::singleShot(500, [&] {
        QWindow *handle = window.windowHandle();
        auto tab = [&] { QTest::keyClick(handle, Qt::Key_Tab); };
        tab();
        typeText(handle, QStringLiteral("SYSDBA"));
        tab();
        typeText(handle, QStringLiteral("demo"));
        tab();
        typeText(handle, QStringLiteral("01"));
        saveScreen(folder, "1-login.png");
        tab(); // leaves the company box: connects
        tab(); // to the point of sale
        saveScreen(folder, "2-connected.png");

        auto *box = window.findChild<kalmora::widgets::LookupBox *>(QStringLiteral("Pto"));
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(handle, Qt::Key_Down);
        QTest::keyClick(handle, Qt::Key_Down);
        saveScreen(folder, "3-list-open.png");
        QTest::keyClick(handle, Qt::Key_Escape);

        typeText(handle, QStringLiteral("fer"));
        // The message of the failed posting: pictured, then answered with Enter.
        QTimer::singleShot(500, [&] {
            saveScreen(folder, "4-message.png");
            if (QWidget *dialog = QApplication::activeModalWidget())
                QTest::keyClick(dialog->windowHandle(), Qt::Key_Return);
        });
        QTest::keyClick(handle, Qt::Key_F2);
        // The window alone, with its frame: the README's picture.
        saveScreen(folder, "5-failed-posting.png",
                   window.geometry().marginsAdded(window.windowHandle()->frameMargins()));
        // The find dialog over the error list, after a search for "cuenta".
        auto *errors = window.findChild<kalmora::grids::DBGridEh *>(QStringLiteral("DBGridEh1"));
        QTest::mouseClick(errors->viewport(), Qt::LeftButton, {}, errors->cellRect(0, 0).center());
        QTimer::singleShot(300, [&] {
            auto *dialog =
                qobject_cast<kalmora::grids::TDBGridEhFindDlg *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            QTest::keyClicks(dialog->cbText->lineEdit(), QStringLiteral("cuenta"));
            QTest::keyClick(dialog->cbText->lineEdit(), Qt::Key_Return);
            saveScreen(folder, "5b-find-dialog.png");
            dialog->reject();
        });
        QTest::keyClick(errors, Qt::Key_F, Qt::ControlModifier);
        // The day's rates, opened on their three default rows; quitting drops them unsaved.
        QTest::keyClick(handle, Qt::Key_F5);
        const QRect windowArea =
            window.geometry().marginsAdded(window.windowHandle()->frameMargins());
        saveScreen(folder, "6-rates-panel.png", windowArea);
        // The calendar of a date cell: the first row's "F.Desde", clicked twice, Alt+Down.
        auto *rates = window.findChild<kalmora::grids::DBGridEh *>(QStringLiteral("DBGridEh2"));
        QTest::mouseClick(rates->viewport(), Qt::LeftButton, {}, rates->cellRect(0, 0).center());
        QTest::mouseClick(rates->viewport(), Qt::LeftButton, {}, rates->cellRect(0, 0).center());
        QTest::keyClick(handle, Qt::Key_Down, Qt::AltModifier);
        saveScreen(folder, "7-rates-calendar.png", windowArea.adjusted(0, 0, 0, 120));
        QApplication::quit();
    });
    return kalmora::app::Application::exec();
}
