// SPDX-License-Identifier: Apache-2.0
#pragma once
// Moving about a grid: the focused column, the rows in view, and the steps that move the
// data set's current row for the keys, the mouse wheel and clicks. No widget here: the grid
// translates its events into these calls, and the data set tells the grid what moved.

#include "grids/grid_options.h"

#include <vector>

namespace kalmora::data {
class TClientDataSet;
class TDataSource;
} // namespace kalmora::data

namespace kalmora::grids {

class GridNavigation
{
public:
    /// Reads `settings` (owned by the grid) whenever a rule needs it.
    explicit GridNavigation(const GridSettings &settings);

    void setDataSource(data::TDataSource *source) { source_ = source; }
    /// The data set behind the data source, if any.
    data::TClientDataSet *dataSet() const;
    /// Whether the data set is open. While it is closed nothing moves.
    bool active() const;
    /// The current row's position (from 0), -1 when there is none.
    int currentRow() const;
    int rowCount() const;

    // ---- Columns, in display order

    void setColumnsVisible(std::vector<bool> visible);
    /// -1 when no column is visible.
    int focusedColumn() const { return focused_; }
    /// Hidden or unknown columns are refused.
    void setFocusedColumn(int column);

    // ---- The rows in view

    /// How many data rows the grid shows whole (at least one counts).
    void setRowsInView(int rows);
    int rowsInView() const { return rowsInView_; }
    int topRow() const { return top_; }
    /// Scrolls so that `row` is the top row in view; a current row that leaves the view
    /// moves to the nearest row still in it.
    void scrollTo(int row);
    /// After the data set moved or changed: keeps the current row in view, scrolling as little
    /// as possible, and fills the view when rows went away at the end.
    void follow();

    // ---- Moves (Down, Up, PgDn, PgUp, Ctrl+Up/Down, Ctrl+Home/End, Left, Right, Home, End,
    // Tab, Shift+Tab, wheel, click)

    /// The next-row step: a new untouched row not at the end is cancelled; otherwise the
    /// current row moves down, and past the last row a row is appended where appending is
    /// allowed.
    void nextRow();
    /// The previous-row step: a new untouched row at the end is cancelled; otherwise the
    /// current row moves up.
    void priorRow();
    /// Move by the rows in view; the view scrolls by as much as the current row moved.
    void pageDown();
    void pageUp();
    void firstInView();
    void lastInView();
    void firstRow();
    void lastRow();
    void nextColumn();
    void priorColumn();
    void firstColumn();
    void lastColumn();
    /// The next visible column; after the last, the next-row step and the first column.
    void tab();
    /// The previous visible column; before the first, the previous-row step and the last column.
    void backTab();
    /// One row per notch: positive notches move up, negative ones down.
    void wheel(int notches);
    /// Makes the cell at data row `row` and `column` the focused cell.
    void moveToCell(int row, int column);

    // ---- What the grid may do to the data set

    /// The data set is open and can be modified, the grid is not read-only, and dgEditing is on.
    bool canModify() const;
    /// canModify() with alopAppendEh allowed.
    bool canAppend() const;

private:
    bool insertingUntouched() const;
    bool atEnd() const;
    /// Moves the current row; with `scroll` the view scrolls by as far as the row moved.
    void moveRows(int distance, bool scroll);
    int stepColumn(int from, int direction) const;
    int firstVisible() const;
    int lastVisible() const;

    const GridSettings &settings_;
    data::TDataSource *source_ = nullptr;
    std::vector<bool> visible_;
    int focused_ = -1;
    int rowsInView_ = 1;
    int top_ = 0;
};

} // namespace kalmora::grids
