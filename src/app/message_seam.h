// SPDX-License-Identifier: Apache-2.0
#pragma once
// The one way the system's modal message windows are shown. Normally each call builds the
// window and runs it modally; while a MessageRecorder is alive the windows are not shown and
// their texts are recorded instead, so that tests can read and answer them.
//
// The application installs askConfirmation as the grids' confirmation (grids/confirmation.h),
// so the navigator bar's and the grids' questions come here too.

#include <QString>
#include <functional>
#include <vector>

namespace kalmora::app {

/// The modal message windows of the system.
enum class MessageWindow {
    PlainMessage, ///< the plain message dialog: the system's own outcome messages
    ErrorBox,     ///< the error box: a failure that ended an operation
    Confirmation, ///< the confirmation dialog: a question answered "OK" or "Cancel"
};

/// Shows `text` in `window` and returns when the user has closed it. The text is shown as it
/// is: the error box's full-stop rule belongs to the failure display (failure_display.h).
void showMessageWindow(MessageWindow window, const QString &text);

/// Asks `text` in the confirmation dialog and returns true when the user answered "OK"
/// (Enter or the "OK" button), false for "Cancel" (Esc, the "Cancel" button, the frame's
/// close button).
bool askConfirmation(const QString &text);

/// A message window that would have been shown.
struct ShownMessage
{
    MessageWindow window;
    QString text;
    bool operator==(const ShownMessage &) const = default;
};

/// While alive, message windows are recorded instead of shown. Recorders nest; the newest
/// one answers.
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    /// The windows asked for so far, oldest first.
    const std::vector<ShownMessage> &shown() const { return shown_; }
    /// How later confirmation dialogs are answered: "Cancel" (false) unless set to "OK"
    /// (true), so that a question a test did not expect destroys nothing.
    void setConfirmAnswer(bool ok) { confirmAnswer_ = ok; }

private:
    friend void showMessageWindow(MessageWindow, const QString &);
    friend bool askConfirmation(const QString &);
    /// Records the window; true when it was answered "OK".
    bool record(const ShownMessage &message);

    std::vector<ShownMessage> shown_;
    bool confirmAnswer_ = false;
    MessageRecorder *previous_ = nullptr;
};

} // namespace kalmora::app
