// SPDX-License-Identifier: Apache-2.0
#include "app/command_actions.h"

#include "app/failure_display.h"

#include <QAction>

namespace kalmora::app {

QAction *CommandActions::add(const char *name, const QString &text, const QKeySequence &key,
                             std::function<void()> work)
{
    auto *action = new QAction(text, &owner_);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setShortcut(key);
    // The failure stops here: Qt's delivery of a signal is not exception safe.
    QObject::connect(action, &QAction::triggered, &owner_, [this, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            failed_ = true;
            showFailure(std::current_exception());
        }
    });
    return action;
}

} // namespace kalmora::app
