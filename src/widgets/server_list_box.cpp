// SPDX-License-Identifier: Apache-2.0
#include "widgets/server_list_box.h"

#include "widgets/drop_down_look.h"
#include "widgets/flat_frame.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <chrono>

namespace kalmora::widgets {

namespace {

constexpr std::int64_t kPrefixPauseMs = 499;

std::int64_t steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

ServerListBox::ServerListBox(QWidget *parent) : QComboBox(parent), clock_(steadyMilliseconds)
{
    setEditable(false);
    setMaxVisibleItems(8);
    // Items stay in the order given, empty ones included.
    setInsertPolicy(QComboBox::NoInsert);
    lastKeystroke_ = clock_() - kPrefixPauseMs - 1;
}

ServerListBox::~ServerListBox() = default;

void ServerListBox::setClock(Clock clock)
{
    clock_ = std::move(clock);
    lastKeystroke_ = clock_() - kPrefixPauseMs - 1;
}

bool ServerListBox::selectByPrefix(const QString &prefix)
{
    for (int i = 0; i < count(); ++i) {
        if (itemText(i).startsWith(prefix, Qt::CaseInsensitive)) {
            setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void ServerListBox::selectNextStartingWith(const QString &character)
{
    const int items = count();
    for (int step = 1; step <= items; ++step) {
        const int i = (currentIndex() + step) % items;
        if (itemText(i).startsWith(character, Qt::CaseInsensitive)) {
            setCurrentIndex(i);
            return;
        }
    }
}

void ServerListBox::keyPressEvent(QKeyEvent *event)
{
    const bool backspace = event->key() == Qt::Key_Backspace;
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!backspace && !printable) {
        QComboBox::keyPressEvent(event);
        return;
    }
    const std::int64_t now = clock_();
    if (now - lastKeystroke_ > kPrefixPauseMs)
        prefix_.clear();
    lastKeystroke_ = now;
    event->accept();
    if (backspace) {
        prefix_.chop(1);
        return;
    }
    prefix_ += typed;
    if (!selectByPrefix(prefix_))
        selectNextStartingWith(typed);
}

void ServerListBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFlatFrame(painter, rect(), palette());
    // The list is asked of the application rather than through view(), which would make the
    // list and its popup before the box is first dropped down.
    const QWidget *popup = QApplication::activePopupWidget();
    const bool dropped = popup && popup->parentWidget() == this;
    drawDropDownInside(painter, *this, rect().adjusted(1, 1, -1, -1), currentText(), isEnabled(),
                       dropped, hasFocus());
}

} // namespace kalmora::widgets
