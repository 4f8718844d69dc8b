// SPDX-License-Identifier: Apache-2.0
// How messages and failures reach the user: the failure display
// behind every event handler, the plain message dialog's layout, keys and clipboard copy, and
// the confirmation dialog built the same way.
#include "core/errors.h"
#include "grids/confirmation.h"
#include "app/application.h"
#include "app/failure_display.h"
#include "app/message_dialog.h"
#include "app/message_seam.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace {

using kalmora::app::MessageDialog;
using kalmora::app::MessageRecorder;
using kalmora::app::MessageWindow;
using kalmora::app::ShownMessage;

const QString kTitle = QStringLiteral("Contabilización ventas POS");

// Guards against a failure in a handler stopping the event loop, showing the wrong text, or
// a silent abort being shown.
TEST(FailureDisplay, FailuresEscapingHandlersAreShownAndTheLoopGoesOn)
{
    struct Throwing : QObject
    {
        std::vector<int> handled;
        bool event(QEvent *event) override
        {
            const int kind = int(event->type()) - QEvent::User;
            handled.push_back(kind);
            switch (kind) {
            case 1:
                throw kalmora::core::EDatabaseError("CPuntos: Cannot perform this operation on a "
                                                    "closed dataset");
            case 2:
                throw kalmora::core::EAbort();
            case 3:
                throw std::runtime_error("std::bad_alloc");
            default:
                return true;
            }
        }
    } receiver;
    MessageRecorder recorder;
    for (int kind = 1; kind <= 4; ++kind)
        QCoreApplication::postEvent(&receiver, new QEvent(QEvent::Type(QEvent::User + kind)));
    QCoreApplication::processEvents();

    EXPECT_EQ(receiver.handled, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(recorder.shown(),
              (std::vector<ShownMessage>{
                  {MessageWindow::ErrorBox,
                   QStringLiteral("CPuntos: Cannot perform this operation on a closed dataset.")},
                  {MessageWindow::ErrorBox, QStringLiteral("std::bad_alloc.")}}));
}

struct DialogUnits
{
    int averageWidth;
    int height;
};

DialogUnits unitsOf(const QFont &font)
{
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(
                QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                52,
            metrics.height()};
}

/// The width of one line of text.
int advance(const QFont &font, const QString &text)
{
    return QFontMetrics(font).horizontalAdvance(text);
}

int rounded(double value)
{
    return int(std::floor(value + 0.5));
}

/// Checks the dialog's layout for a text block of `block` (width and height).
void expectLayout(const MessageDialog &dialog, QSize block)
{
    const DialogUnits units = unitsOf(dialog.font());
    const int margin = rounded(8.0 * units.averageWidth / 4);
    const int top = rounded(8.0 * units.height / 8);
    const int spacing = rounded(10.0 * units.height / 8);
    const int buttonHeight = rounded(14.0 * units.height / 8);
    const int buttonWidth =
        std::max(rounded(50.0 * units.averageWidth / 4),
                 QFontMetrics(dialog.font()).horizontalAdvance(QStringLiteral("OK")) + 8);
    const QSize client(std::max(block.width(), buttonWidth) + 2 * margin,
                       block.height() + buttonHeight + spacing + 2 * top);

    EXPECT_EQ(dialog.size(), client);
    EXPECT_EQ(dialog.minimumSize(), client); // a fixed frame
    EXPECT_EQ(dialog.maximumSize(), client);
    EXPECT_EQ(dialog.findChild<QWidget *>(QStringLiteral("Message"))->geometry(),
              QRect(QPoint(margin, top), block));
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("OK"));
    EXPECT_EQ(ok->geometry(), QRect((client.width() - buttonWidth) / 2,
                                    block.height() + top + spacing, buttonWidth, buttonHeight));
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ok->isDefault());

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(dialog.pos(), QPoint((screen.width() - client.width()) / 2,
                                   (screen.height() - client.height()) / 2));
    EXPECT_EQ(dialog.windowTitle(), kTitle);
}

// Guards against a dialog narrower than its button, lines not broken at a carriage return,
// or a long message not wrapped at half the screen width.
TEST(MessageDialog, LayoutFollowsTheTextAndTheFontUnits)
{
    {
        SCOPED_TRACE("shorter than the button");
        MessageDialog dialog(QStringLiteral("Hola"));
        expectLayout(dialog, QSize(advance(dialog.font(), QStringLiteral("Hola")),
                                   QFontMetrics(dialog.font()).height()));
    }
    {
        SCOPED_TRACE("two lines joined by a carriage return");
        const QString first =
            QStringLiteral("Se presentaron los siguientes errores en la contabilización:");
        const QString second = QStringLiteral("Verifique la definición de la interfaz relacionada");
        MessageDialog dialog(first + QLatin1Char('\r') + second);
        const QSize block(std::max(advance(dialog.font(), first), advance(dialog.font(), second)),
                          2 * QFontMetrics(dialog.font()).height());
        expectLayout(dialog, block);
    }
    {
        SCOPED_TRACE("longer than half the screen");
        QString text;
        for (int i = 0; i < 12; ++i)
            text += QStringLiteral("Comprobante contable correctamente generado. ");
        MessageDialog dialog(text.trimmed());
        const QFontMetrics metrics(dialog.font());
        const int halfScreen = QGuiApplication::primaryScreen()->geometry().width() / 2;
        const QSize block = dialog.findChild<QWidget *>(QStringLiteral("Message"))->size();
        EXPECT_LE(block.width(), halfScreen);
        EXPECT_GT(block.width(),
                  halfScreen - metrics.horizontalAdvance(QStringLiteral(" correctamente")));
        EXPECT_EQ(block.height() % metrics.height(), 0); // whole lines
        EXPECT_GE(block.height() / metrics.height(),
                  metrics.horizontalAdvance(text.trimmed()) / halfScreen + 1);
        expectLayout(dialog, block);
    }
}

// Guards against a way of closing that leaves the dialog open (Enter, Esc, Space on the
// button, a click, the close box).
TEST(MessageDialog, EveryWayOfAnsweringClosesIt)
{
    struct Way
    {
        const char *name;
        std::function<void(MessageDialog &)> act;
    };
    const Way ways[] = {
        {"Enter", [](MessageDialog &d) { QTest::keyClick(&d, Qt::Key_Return); }},
        {"Esc", [](MessageDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"Space",
         [](MessageDialog &d) {
             QTest::keyClick(d.findChild<QPushButton *>(QStringLiteral("OK")), Qt::Key_Space);
         }},
        {"click",
         [](MessageDialog &d) {
             QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("OK")), Qt::LeftButton);
         }},
        {"close box", [](MessageDialog &d) { d.close(); }},
    };
    for (const Way &way : ways) {
        MessageDialog dialog(QStringLiteral("Comprobante contable correctamente generado."));
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        way.act(dialog);
        EXPECT_FALSE(dialog.isVisible()) << way.name;
    }
}

// Guards against a wrong clipboard text (lines, hyphens, spaces, line ends) and against a
// clipboard failure closing the dialog or going unreported.
TEST(MessageDialog, CtrlCCopiesTheDialogAsText)
{
    const QString message =
        QStringLiteral("Se presentaron los siguientes errores en la contabilización:\r"
                       "Verifique la definición de la interfaz relacionada");
    const QString expected = QStringLiteral("---------------------------\r\n"
                                            "Contabilización ventas POS\r\n"
                                            "---------------------------\r\n") +
                             message +
                             QStringLiteral("\r\n---------------------------\r\n"
                                            "OK   \r\n"
                                            "---------------------------\r\n");
    MessageDialog dialog(message);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    MessageRecorder recorder;

    QTest::keyClick(&dialog, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);

    QString written;
    MessageDialog::setClipboardWriter([&](const QString &text) {
        written = text;
        return false;
    });
    QTest::keyClick(&dialog, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(written, QString()); // Ctrl+Shift+C is not the copy command
    QTest::keyClick(&dialog, Qt::Key_C, Qt::ControlModifier);
    MessageDialog::setClipboardWriter({});
    EXPECT_EQ(written, expected);
    EXPECT_EQ(recorder.shown(),
              (std::vector<ShownMessage>{
                  {MessageWindow::ErrorBox, QStringLiteral("Cannot open clipboard.")}}));
    EXPECT_TRUE(dialog.isVisible());
}

// Guards the confirmation dialog's look: caption "Confirm", the question icon at the margins,
// the text right of it in a block at least as high as the icon, and "OK" and "Cancel" of one
// width side by side, centred under it; the plain dialog's units, frame and place.
TEST(ConfirmationDialog, LayoutAddsTheIconAndTwoButtons)
{
    const QString lines[] = {QStringLiteral("Delete record?"),
                             QStringLiteral("Delete record?\rfirst line\rsecond line\rthird")};
    for (const QString &text : lines) {
        SCOPED_TRACE(text.toStdString());
        MessageDialog dialog(MessageDialog::Kind::Confirmation, text);
        const DialogUnits units = unitsOf(dialog.font());
        const int margin = rounded(8.0 * units.averageWidth / 4);
        const int top = rounded(8.0 * units.height / 8);
        const int across = rounded(10.0 * units.averageWidth / 4);
        const int down = rounded(10.0 * units.height / 8);
        const int between = rounded(4.0 * units.averageWidth / 4);
        const int buttonHeight = rounded(14.0 * units.height / 8);
        const int buttonWidth =
            std::max(rounded(50.0 * units.averageWidth / 4),
                     QFontMetrics(dialog.font()).horizontalAdvance(QStringLiteral("Cancel")) + 8);
        int textWidth = 0;
        const QStringList textLines = text.split(QLatin1Char('\r'));
        for (const QString &line : textLines)
            textWidth = std::max(textWidth, advance(dialog.font(), line));
        const int textHeight = int(textLines.size()) * units.height;
        const int block = std::max(textHeight, 32);
        const int pair = 2 * buttonWidth + between;
        const QSize client(std::max(32 + across + textWidth, pair) + 2 * margin,
                           block + buttonHeight + down + 2 * top);

        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Confirm"));
        EXPECT_EQ(dialog.size(), client);
        EXPECT_EQ(dialog.minimumSize(), client);
        EXPECT_EQ(dialog.maximumSize(), client);
        auto *icon = dialog.findChild<QLabel *>(QStringLiteral("Icon"));
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->geometry(), QRect(margin, top, 32, 32));
        EXPECT_EQ(
            icon->pixmap().toImage(),
            dialog.style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32).toImage());
        EXPECT_EQ(dialog.findChild<QWidget *>(QStringLiteral("Message"))->geometry(),
                  QRect(margin + 32 + across, top, textWidth, textHeight));
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("OK"));
        auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("Cancel"));
        const int left = (client.width() - pair) / 2;
        const int buttonTop = block + top + down;
        EXPECT_EQ(ok->geometry(), QRect(left, buttonTop, buttonWidth, buttonHeight));
        EXPECT_EQ(cancel->geometry(),
                  QRect(left + buttonWidth + between, buttonTop, buttonWidth, buttonHeight));
        EXPECT_EQ(ok->text(), QStringLiteral("OK"));
        EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
        EXPECT_TRUE(ok->isDefault());
        EXPECT_FALSE(cancel->isDefault());

        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        EXPECT_EQ(dialog.pos(), QPoint((screen.width() - client.width()) / 2,
                                       (screen.height() - client.height()) / 2));
        EXPECT_TRUE(dialog.clipboardText().endsWith(
            QStringLiteral("OK   Cancel   \r\n---------------------------\r\n")));
    }
}

// Guards the answers: only Enter and "OK" confirm; Esc, "Cancel" and the close box answer
// "Cancel"; ask() returns the answer of the dialog it ran.
TEST(ConfirmationDialog, OnlyOkConfirms)
{
    struct Way
    {
        const char *name;
        std::function<void(MessageDialog &)> act;
        bool ok;
    };
    const Way ways[] = {
        {"Enter", [](MessageDialog &d) { QTest::keyClick(&d, Qt::Key_Return); }, true},
        {"click OK",
         [](MessageDialog &d) {
             QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("OK")), Qt::LeftButton);
         },
         true},
        {"Esc", [](MessageDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); }, false},
        {"click Cancel",
         [](MessageDialog &d) {
             QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Cancel")),
                               Qt::LeftButton);
         },
         false},
        {"close box", [](MessageDialog &d) { d.close(); }, false},
    };
    for (const Way &way : ways) {
        MessageDialog dialog(MessageDialog::Kind::Confirmation, QStringLiteral("Delete record?"));
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        way.act(dialog);
        EXPECT_FALSE(dialog.isVisible()) << way.name;
        EXPECT_EQ(dialog.result() == QDialog::Accepted, way.ok) << way.name;
    }

    for (const auto &[key, ok] : {std::pair{Qt::Key_Return, true}, {Qt::Key_Escape, false}}) {
        // Answers the dialog once it runs.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&answer, key = key] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                answer.stop();
                QTest::keyClick(modal, key);
            }
        });
        answer.start(10);
        EXPECT_EQ(MessageDialog::ask(QStringLiteral("Delete record?")), ok) << key;
    }
}

// Guards the application's seam: the grids' questions reach the confirmation window, which a
// recorder answers "Cancel" unless told "OK".
TEST(ConfirmationDialog, GridsAskThroughTheMessageSeam)
{
    MessageRecorder recorder;
    EXPECT_FALSE(kalmora::grids::confirm(QStringLiteral("Delete record?")));
    recorder.setConfirmAnswer(true);
    EXPECT_TRUE(kalmora::grids::confirm(QStringLiteral("Delete record?")));
    EXPECT_EQ(recorder.shown(),
              (std::vector<ShownMessage>{
                  {MessageWindow::Confirmation, QStringLiteral("Delete record?")},
                  {MessageWindow::Confirmation, QStringLiteral("Delete record?")}}));
}

} // namespace
