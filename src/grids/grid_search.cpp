// SPDX-License-Identifier: Apache-2.0
#include "grids/grid_search.h"

#include "data/client_data_set.h"
#include "data/field.h"
#include "grids/db_grid_eh.h"
#include "grids/find_dialog.h"
#include "grids/grid_editing.h"
#include "grids/local_text.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>

namespace kalmora::grids {

bool GridSearch::locate(const TextLocation &request)
{
    const data::TClientDataSet *set = grid_.navigation_.dataSet();
    std::vector<int> visible;
    for (const auto &[title, column] : grid_.visibleColumnTitles())
        visible.push_back(column);
    if (!set || !set->active() || visible.empty())
        return false;
    const bool allColumns = request.column < 0;
    const int startColumn = allColumns ? grid_.focusedColumn() : request.column;
    auto place = std::find(visible.begin(), visible.end(), startColumn);
    if (place == visible.end())
        return false;
    // Positions are walked over the rows' texts without moving the data set, so nothing
    // repaints until the end, and a location that finds nothing leaves everything as it was.
    const int rows = grid_.rowCount();
    const int columns = int(visible.size());
    int row = request.direction == SearchDirection::FromFirst ? 0 : grid_.currentRow();
    int at = int(place - visible.begin());
    const int step = request.direction == SearchDirection::Up ? -1 : +1;
    const auto advance = [&] {
        if (!allColumns) {
            row += step;
            return;
        }
        at += step;
        if (at >= columns) {
            at = 0;
            ++row;
        } else if (at < 0) {
            at = columns - 1;
            --row;
        }
    };
    std::vector<const data::TField *> fields;
    for (const int column : visible)
        fields.push_back(grid_.fieldOf(column));
    if (request.direction != SearchDirection::FromFirst)
        advance();
    for (; row >= 0 && row < rows; advance()) {
        const data::TField *field = fields[std::size_t(at)];
        const QString cell = field ? fromLocal(field->textAt(std::size_t(row))) : QString();
        if (!textMatches(cell, request.text, request.match, request.ignoreCase))
            continue;
        grid_.editing_.leaveCell();
        grid_.navigation_.dataSet()->setRecNo(row);
        grid_.navigation_.setFocusedColumn(visible[std::size_t(at)]);
        grid_.followData();
        return true;
    }
    return false;
}

// ---- The incremental search and Ctrl+F

namespace {

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Control:
    case Qt::Key_Shift:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

} // namespace

bool GridSearch::key(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const int key = event->key();
    // On a real keyboard Ctrl, Shift and Alt send presses of their own before the key they
    // modify: those are not "another key" and leave the search running.
    if (isModifierKey(key))
        return false;
    if (key == Qt::Key_F && modifiers == Qt::ControlModifier) {
        if (searching_ || !grid_.settings_.has(GridOptionEh::dghIncSearch)) {
            end();
            if (grid_.settings_.has(GridOptionEh::dghDialogFind))
                openFindDialog();
        } else {
            start();
        }
        return true;
    }
    if (!searching_)
        return false;
    const data::TClientDataSet *set = grid_.navigation_.dataSet();
    const bool rowBeingEdited = set->state() != data::DataSetState::dsBrowse;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && ctrl) {
        step(shift);
        return true;
    }
    if ((key == Qt::Key_Insert && modifiers == Qt::ShiftModifier) ||
        (key == Qt::Key_V && modifiers == Qt::ControlModifier)) {
        extend(QApplication::clipboard()->text());
        return true;
    }
    if (key == Qt::Key_Backspace && modifiers == Qt::NoModifier) {
        text_.chop(1);
        grid_.viewport()->update();
        return true;
    }
    if (!ctrl && !(modifiers & Qt::AltModifier) && !rowBeingEdited && !event->text().isEmpty() &&
        event->text().at(0).isPrint()) {
        extend(event->text());
        return true;
    }
    // Any other key (Enter, Esc and F2 among them) ends the search and does its usual work.
    end();
    return false;
}

void GridSearch::start()
{
    // What was typed in the cell is kept: written to its field before the editor goes.
    grid_.editing_.leaveCell();
    searching_ = true;
    text_.clear();
    grid_.viewport()->update();
}

void GridSearch::end()
{
    if (!searching_)
        return;
    searching_ = false;
    text_.clear();
    grid_.viewport()->update();
}

void GridSearch::extend(const QString &text)
{
    const QString candidate = text_ + text;
    TextLocation request;
    request.text = candidate;
    request.column = grid_.focusedColumn();
    request.match = MatchKind::Beginning;
    request.direction = SearchDirection::FromFirst;
    moving_ = true;
    const bool found = locate(request);
    moving_ = false;
    // Nothing found: the character is dropped, silently.
    if (found)
        text_ = grid_.cellText(grid_.currentRow(), grid_.focusedColumn()).left(candidate.size());
    grid_.viewport()->update();
}

void GridSearch::step(bool backward)
{
    TextLocation request;
    request.text = text_;
    request.column = grid_.focusedColumn();
    request.match = MatchKind::Beginning;
    request.direction = backward ? SearchDirection::Up : SearchDirection::Down;
    moving_ = true;
    locate(request);
    moving_ = false;
    grid_.viewport()->update();
}

void GridSearch::openFindDialog()
{
    grid_.editing_.leaveCell();
    TDBGridEhFindDlg::open(grid_);
}

void GridSearch::paintMatch(QPainter &painter, const QRect &cell, Qt::Alignment align) const
{
    if (!searching_ || text_.isEmpty() || !grid_.hasFocus())
        return;
    const QFontMetrics metrics(grid_.font());
    const QString text = grid_.cellText(grid_.currentRow(), grid_.focusedColumn());
    const int matched = metrics.horizontalAdvance(text.left(text_.size()));
    const QRect inner = cell.adjusted(2, 0, -2, 0);
    const int left = (align & Qt::AlignRight) ? inner.right() + 1 - metrics.horizontalAdvance(text)
                                              : inner.left();
    const QRect part(left, cell.top(), matched, cell.height());
    painter.save();
    painter.setClipRect(cell, Qt::IntersectClip);
    painter.fillRect(part, Qt::yellow);
    painter.setPen(Qt::black);
    painter.drawText(part, int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine,
                     text.left(text_.size()));
    painter.restore();
}

} // namespace kalmora::grids
