// SPDX-License-Identifier: Apache-2.0
#pragma once
// The window's commands as named actions. A command's work may fail: the failure ends the
// command and is shown in the error box, and it is remembered, so that the key press that
// ran the command goes no further, as with a failure escaping a key handler.

#include <QKeySequence>
#include <QString>
#include <functional>

class QAction;
class QObject;

namespace kalmora::app {

class CommandActions
{
public:
    /// The actions are children of `owner`, which must outlive this.
    explicit CommandActions(QObject &owner) : owner_(owner) {}

    /// A new action of the owner, named `name` and showing `text`, whose trigger runs
    /// `work`. `key` is the key of the command: the window's key preview runs the action on
    /// it, by its own rules; Qt's shortcut handling never does (the action is put on no
    /// widget).
    QAction *add(const char *name, const QString &text, const QKeySequence &key,
                 std::function<void()> work);

    /// Forgets the failures so far.
    void clearFailure() { failed_ = false; }
    /// Whether a command failed since clearFailure.
    bool failed() const { return failed_; }

private:
    QObject &owner_;
    bool failed_ = false;
};

} // namespace kalmora::app
