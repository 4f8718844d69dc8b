// SPDX-License-Identifier: Apache-2.0
#pragma once
// The drop-down list of a lookup box: a popup as wide as the box showing as many rows as the
// data set has, at most kMaxRows (kMaxRows when it has none), with a scroll bar when there
// are more. It opens below the box, or above it when it would not fit on the screen below.
// The highlighted row is the data set's current row. Keys and clicks are handed to the box,
// which decides what they do; a press outside the list closes it without a choice.

#include <QWidget>

class QScrollBar;

namespace kalmora::data {
class TField;
} // namespace kalmora::data

namespace kalmora::widgets {

/// What an open list hands over to the box it drops down from.
class LookupListOwner
{
public:
    virtual void listKeyPress(QKeyEvent *event) = 0;
    virtual void listRowClicked(int row) = 0;
    virtual void listClosed() = 0;

protected:
    ~LookupListOwner() = default;
};

class LookupList final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kMaxRows = 7;

    LookupList(QWidget *box, LookupListOwner &owner);
    ~LookupList() override;
    LookupList(const LookupList &) = delete;
    LookupList &operator=(const LookupList &) = delete;

    /// The rows listed: `field`'s text in each row of its data set (null: none).
    void setField(const data::TField *field) { field_ = field; }

    /// Rows in the data set, and rows the list shows at once.
    int rowCount() const;
    int rowsShown() const;
    int rowHeight() const;
    /// The first row in view.
    int topRow() const { return top_; }
    /// A row's place in the list; the row need not be in view.
    QRect rowRect(int row) const;
    bool hasScrollBar() const;

    /// Places the list at `box` and shows it with the current row in view.
    void popUp();
    /// Brings the current row into view and repaints (the row moved or the rows changed).
    void follow();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    /// The row under a point of the list; -1 off the rows.
    int rowAt(const QPoint &point) const;
    QRect rowsArea() const;
    void scrollTo(int top);

    QWidget *box_;
    LookupListOwner &owner_;
    const data::TField *field_ = nullptr;
    QScrollBar *scrollBar_ = nullptr;
    int top_ = 0;
    bool pressedOnRow_ = false;
};

} // namespace kalmora::widgets
