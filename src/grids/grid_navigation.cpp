// SPDX-License-Identifier: Apache-2.0
#include "grids/grid_navigation.h"

#include "data/client_data_set.h"
#include "data/data_source.h"

#include <algorithm>

namespace kalmora::grids {

using data::DataSetState;

GridNavigation::GridNavigation(const GridSettings &settings) : settings_(settings) {}

data::TClientDataSet *GridNavigation::dataSet() const
{
    return source_ ? source_->dataSet() : nullptr;
}

bool GridNavigation::active() const
{
    const data::TClientDataSet *set = dataSet();
    return set && set->active();
}

int GridNavigation::currentRow() const
{
    return active() ? dataSet()->recNo() : -1;
}

int GridNavigation::rowCount() const
{
    return active() ? dataSet()->recordCount() : 0;
}

// ---- Columns

void GridNavigation::setColumnsVisible(std::vector<bool> visible)
{
    visible_ = std::move(visible);
    if (focused_ < 0 || std::size_t(focused_) >= visible_.size() ||
        !visible_[std::size_t(focused_)]) {
        // Keep to the same place when the focused column went away.
        const int from = std::clamp(focused_, 0, std::max(int(visible_.size()) - 1, 0));
        focused_ = stepColumn(from - 1, +1);
        if (focused_ < 0)
            focused_ = lastVisible();
    }
}

void GridNavigation::setFocusedColumn(int column)
{
    if (column >= 0 && std::size_t(column) < visible_.size() && visible_[std::size_t(column)])
        focused_ = column;
}

int GridNavigation::stepColumn(int from, int direction) const
{
    for (int column = from + direction; column >= 0 && column < int(visible_.size());
         column += direction)
        if (visible_[std::size_t(column)])
            return column;
    return -1;
}

int GridNavigation::firstVisible() const
{
    return stepColumn(-1, +1);
}

int GridNavigation::lastVisible() const
{
    return stepColumn(int(visible_.size()), -1);
}

// ---- Rows in view

void GridNavigation::setRowsInView(int rows)
{
    rowsInView_ = std::max(rows, 1);
    follow();
}

void GridNavigation::follow()
{
    if (!active()) {
        top_ = 0;
        return;
    }
    top_ = std::clamp(top_, 0, std::max(rowCount() - rowsInView_, 0));
    const int current = currentRow();
    if (current < 0)
        return;
    if (current < top_)
        top_ = current;
    else if (current >= top_ + rowsInView_)
        top_ = current - rowsInView_ + 1;
}

void GridNavigation::scrollTo(int row)
{
    if (!active())
        return;
    top_ = std::clamp(row, 0, std::max(rowCount() - rowsInView_, 0));
    const int current = currentRow();
    if (current < 0)
        return;
    const int nearest = std::clamp(current, top_, top_ + rowsInView_ - 1);
    if (nearest != current) {
        const int top = top_;
        dataSet()->moveBy(nearest - current);
        top_ = top;
        follow();
    }
}

// ---- Rows

bool GridNavigation::insertingUntouched() const
{
    const data::TClientDataSet *set = dataSet();
    return set->state() == DataSetState::dsInsert && !set->modified();
}

bool GridNavigation::atEnd() const
{
    return currentRow() == rowCount() - 1;
}

void GridNavigation::nextRow()
{
    if (!active())
        return;
    data::TClientDataSet &set = *dataSet();
    if (insertingUntouched()) {
        if (!atEnd())
            set.cancel();
    } else {
        set.next();
        if (set.eof() && canAppend())
            set.append();
    }
    follow();
}

void GridNavigation::priorRow()
{
    if (!active())
        return;
    data::TClientDataSet &set = *dataSet();
    if (insertingUntouched() && atEnd())
        set.cancel();
    else
        set.prior();
    follow();
}

void GridNavigation::moveRows(int distance, bool scroll)
{
    if (!active())
        return;
    const int top = top_;
    const int moved = dataSet()->moveBy(distance);
    top_ = scroll ? top + moved : top;
    follow();
}

void GridNavigation::pageDown()
{
    moveRows(rowsInView_, true);
}

void GridNavigation::pageUp()
{
    moveRows(-rowsInView_, true);
}

void GridNavigation::firstInView()
{
    if (active() && currentRow() >= 0)
        moveRows(top_ - currentRow(), false);
}

void GridNavigation::lastInView()
{
    if (active() && currentRow() >= 0)
        moveRows(std::min(top_ + rowsInView_, rowCount()) - 1 - currentRow(), false);
}

void GridNavigation::firstRow()
{
    if (!active())
        return;
    dataSet()->first();
    follow();
}

void GridNavigation::lastRow()
{
    if (!active())
        return;
    dataSet()->last();
    follow();
}

void GridNavigation::wheel(int notches)
{
    moveRows(-notches, false);
}

void GridNavigation::moveToCell(int row, int column)
{
    if (!active())
        return;
    setFocusedColumn(column);
    const int current = currentRow();
    if (current >= 0 && row >= 0 && row < rowCount() && row != current)
        moveRows(row - current, false);
}

// ---- Columns

void GridNavigation::nextColumn()
{
    if (!active())
        return;
    if (const int column = stepColumn(focused_, +1); column >= 0)
        focused_ = column;
}

void GridNavigation::priorColumn()
{
    if (!active())
        return;
    if (const int column = stepColumn(focused_, -1); column >= 0)
        focused_ = column;
}

void GridNavigation::firstColumn()
{
    if (active())
        focused_ = firstVisible();
}

void GridNavigation::lastColumn()
{
    if (active())
        focused_ = lastVisible();
}

void GridNavigation::tab()
{
    if (!active())
        return;
    if (const int column = stepColumn(focused_, +1); column >= 0) {
        focused_ = column;
        return;
    }
    nextRow();
    firstColumn();
}

void GridNavigation::backTab()
{
    if (!active())
        return;
    if (const int column = stepColumn(focused_, -1); column >= 0) {
        focused_ = column;
        return;
    }
    priorRow();
    lastColumn();
}

// ---- Conditions

bool GridNavigation::canModify() const
{
    const data::TClientDataSet *set = dataSet();
    return set && set->canModify() && !settings_.readOnly && settings_.has(GridOption::dgEditing);
}

bool GridNavigation::canAppend() const
{
    return canModify() && settings_.allowedOperations.contains(AllowedOperation::alopAppendEh);
}

} // namespace kalmora::grids
