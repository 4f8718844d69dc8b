// SPDX-License-Identifier: Apache-2.0
#pragma once
// The grid's editing: the cell editor over the focused cell, the month calendar of a date
// cell, and the keys that move about and edit (Tab, Enter, Esc, Ins, Ctrl+Del, Ctrl+', the
// moves and typing). Whatever edits needs the data set open and modifiable, dgEditing and the
// allowed operations, which the error grid never has; a command whose conditions are not met
// does nothing. Owned by the grid, which hands it its keys.

#include <QDate>
#include <QString>

class QKeyEvent;
class QWidget;

namespace kalmora::grids {

class CalendarDropDown;
class CellEditor;
class DBGridEh;

class GridEditing
{
public:
    /// Makes the cell editor, hidden, over `grid`'s viewport.
    explicit GridEditing(DBGridEh &grid);
    GridEditing(const GridEditing &) = delete;
    GridEditing &operator=(const GridEditing &) = delete;

    /// Runs the grid's command for `event`; false when the key is not the grid's.
    bool key(QKeyEvent *event);

    /// Whether the cell editor is open over the focused cell, and its text.
    bool editorOpen() const;
    QString editorText() const;
    /// The focused cell can be edited: open data set, dgEditing, nothing read-only, and the
    /// operations allowed.
    bool canEditCell() const;
    void showEditor();
    /// Writes the editor's typing to its field; the field's failure leaves the text typed.
    void writeEditor();
    void closeEditor();
    /// Writes the typing of the focused cell and closes the editor: the focus is leaving
    /// the cell. A refused text stops here, with the editor open.
    void leaveCell();
    /// Lays the editor over the focused cell; closes it when the cell is out of view.
    void placeEditor();
    /// While the editor is open, the grid's focus goes to it.
    void focusEditor(Qt::FocusReason reason);
    /// Whether `widget` is the calendar or inside it: a window of its own, but the grid's.
    bool ownsCalendar(const QWidget *widget) const;
    /// Closes the calendar without a change.
    void hideCalendar();
    /// The focus went from the grid (or its editor) to another control.
    void leaveGrid();

private:
    bool moveKey(int key, bool ctrl, bool shift);
    /// Tab, Shift+Tab and (rates grid) Enter: the editor's text is written first.
    void tabKey(bool backward);
    void escapeKey();
    void insertKey();
    void deleteKey();
    void copyFromRowAbove();
    void typeKey(const QString &text);
    bool fieldAccepts(QChar c) const;
    /// Puts the current row in edit state (a new row stays inserting).
    void editRow();
    /// The month calendar under a date cell, and what accepting one of its days does.
    void openCalendar();
    void acceptCalendarDay(QDate day);

    DBGridEh &grid_;
    CellEditor *editor_ = nullptr;
    CalendarDropDown *calendar_ = nullptr; // made on first use
};

} // namespace kalmora::grids
