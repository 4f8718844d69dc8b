// SPDX-License-Identifier: Apache-2.0
#include "app/message_seam.h"

#include "app/application_title.h"
#include "app/message_dialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace kalmora::app {

namespace {

MessageRecorder *activeRecorder = nullptr;

// The error box: the platform's message box with the stop icon and one OK button, over the
// window that is active, so that it opens on that window's monitor.
void runErrorBox(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// Builds the window and runs it modally; true when it was closed with "OK".
bool runModal(MessageWindow window, const QString &text)
{
    // A modal window takes the mouse: whoever held it gives up its mouse mode.
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    switch (window) {
    case MessageWindow::PlainMessage:
        MessageDialog::run(text);
        return true;
    case MessageWindow::ErrorBox:
        runErrorBox(text);
        return true;
    case MessageWindow::Confirmation:
        return MessageDialog::ask(text);
    }
    return false;
}

} // namespace

MessageRecorder::MessageRecorder() : previous_(activeRecorder)
{
    activeRecorder = this;
}

MessageRecorder::~MessageRecorder()
{
    activeRecorder = previous_;
}

bool MessageRecorder::record(const ShownMessage &message)
{
    shown_.push_back(message);
    return message.window != MessageWindow::Confirmation || confirmAnswer_;
}

void showMessageWindow(MessageWindow window, const QString &text)
{
    if (activeRecorder)
        activeRecorder->record({window, text});
    else
        runModal(window, text);
}

bool askConfirmation(const QString &text)
{
    if (activeRecorder)
        return activeRecorder->record({MessageWindow::Confirmation, text});
    return runModal(MessageWindow::Confirmation, text);
}

} // namespace kalmora::app
