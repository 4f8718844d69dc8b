// SPDX-License-Identifier: Apache-2.0
#pragma once
// The month calendar that drops down under a date cell of a grid. It opens on a day, moves
// its highlighted day with the keys and the wheel (a notch is a day), and hands back the day
// the user accepts: a click on a day, Enter, or Alt+Down / Alt+Up again. Esc, a click outside
// it or the loss of the focus close it without a change.

#include <QDate>
#include <QFrame>
#include <functional>

class QCalendarWidget;

namespace kalmora::grids {

class CalendarDropDown final : public QFrame
{
    Q_OBJECT
public:
    /// `onAccept` is called with the accepted day, after the calendar has closed.
    CalendarDropDown(QWidget *parent, std::function<void(QDate)> onAccept);

    /// Opens under `cell` (global coordinates) with `day` highlighted (today when invalid).
    void open(const QRect &cell, QDate day);
    QDate highlighted() const;
    QCalendarWidget *calendar() const { return calendar_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void accept();

    QCalendarWidget *calendar_;
    std::function<void(QDate)> accept_;
};

} // namespace kalmora::grids
