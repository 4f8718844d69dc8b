// SPDX-License-Identifier: Apache-2.0
#include "grids/calendar_drop_down.h"

#include <QCalendarWidget>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace kalmora::grids {

CalendarDropDown::CalendarDropDown(QWidget *parent, std::function<void(QDate)> onAccept)
    : QFrame(parent, Qt::Popup), calendar_(new QCalendarWidget(this)), accept_(std::move(onAccept))
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(calendar_);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->installEventFilter(this);
    for (QWidget *child : calendar_->findChildren<QWidget *>())
        child->installEventFilter(this);
    connect(calendar_, &QCalendarWidget::clicked, this, [this] { accept(); });
}

void CalendarDropDown::open(const QRect &cell, QDate day)
{
    calendar_->setSelectedDate(day.isValid() ? day : QDate::currentDate());
    adjustSize();
    QPoint at = cell.bottomLeft() + QPoint(0, 1);
    // Above the cell when there is no room under it.
    if (const QScreen *screen = QGuiApplication::screenAt(cell.center())) {
        const QRect room = screen->availableGeometry();
        if (at.y() + height() > room.bottom())
            at.setY(cell.top() - height());
        at.setX(std::min(at.x(), room.right() - width()));
    }
    move(at);
    show();
    calendar_->setFocus(Qt::PopupFocusReason);
}

QDate CalendarDropDown::highlighted() const
{
    return calendar_->selectedDate();
}

void CalendarDropDown::accept()
{
    const QDate day = calendar_->selectedDate();
    hide();
    accept_(day);
}

bool CalendarDropDown::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool alt = key->modifiers() & Qt::AltModifier;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            accept();
            return true;
        case Qt::Key_Down:
        case Qt::Key_Up:
            if (alt) {
                accept();
                return true;
            }
            break;
        case Qt::Key_Escape:
            hide();
            return true;
        default:
            break;
        }
    } else if (event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        const int notches = wheel->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
        if (notches != 0)
            calendar_->setSelectedDate(calendar_->selectedDate().addDays(-notches));
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace kalmora::grids
