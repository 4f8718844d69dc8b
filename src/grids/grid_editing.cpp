// SPDX-License-Identifier: Apache-2.0
#include "grids/grid_editing.h"

#include "data/client_data_set.h"
#include "data/field.h"
#include "grids/calendar_drop_down.h"
#include "grids/cell_editor.h"
#include "grids/confirmation.h"
#include "grids/db_grid_eh.h"
#include "grids/failure_report.h"
#include "grids/local_text.h"

#include <QApplication>
#include <QKeyEvent>

namespace kalmora::grids {

namespace {

bool isDate(const data::TField &field)
{
    return field.dataType() == data::FieldType::Date ||
           field.dataType() == data::FieldType::DateTime;
}

bool isEditing(const data::TClientDataSet &set)
{
    return set.state() == data::DataSetState::dsEdit || set.state() == data::DataSetState::dsInsert;
}

} // namespace

GridEditing::GridEditing(DBGridEh &grid) : grid_(grid)
{
    CellEditor::Hooks hooks;
    hooks.accepts = [this](QChar c) { return fieldAccepts(c); };
    hooks.beforeTyping = [this] { editRow(); };
    hooks.toGrid = [this](QKeyEvent *event) { grid_.keyPressEvent(event); };
    hooks.dropDown = [this] { openCalendar(); };
    editor_ = new CellEditor(grid_.viewport(), std::move(hooks));
}

bool GridEditing::editorOpen() const
{
    // Open until closed, even while the grid itself is hidden: a panel hidden with the editor
    // open still has that typing to write (F2 hides the rates before saving them).
    return editor_ && !editor_->isHidden();
}

QString GridEditing::editorText() const
{
    return editorOpen() ? editor_->text() : QString();
}

// ---- Keys

bool GridEditing::key(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool alt = modifiers & Qt::AltModifier;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!grid_.settings_.has(GridOption::dgTabs))
            return false;
        tabKey(event->key() == Qt::Key_Backtab || shift);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!grid_.settings_.has(GridOptionEh::dghEnterAsTab) || ctrl || alt)
            return false;
        tabKey(shift);
        return true;
    case Qt::Key_Escape:
        escapeKey();
        return true;
    case Qt::Key_Insert:
        if (modifiers != Qt::NoModifier)
            return false;
        insertKey();
        return true;
    case Qt::Key_Delete:
        if (!ctrl)
            return false;
        deleteKey();
        return true;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        if (!ctrl)
            return false;
        copyFromRowAbove();
        return true;
    default:
        break;
    }
    if (moveKey(event->key(), ctrl, shift))
        return true;
    if (!ctrl && !alt && !event->text().isEmpty() && event->text().at(0).isPrint()) {
        typeKey(event->text());
        return true;
    }
    return false;
}

bool GridEditing::moveKey(int key, bool ctrl, bool shift)
{
    GridNavigation &nav = grid_.navigation_;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
        break;
    default:
        return false;
    }
    if (shift &&
        (key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_Left ||
         key == Qt::Key_Right) &&
        editorOpen())
        return true; // selecting in the editor's text is the editor's own business
    // The typing of the cell that is left reaches its field first; a refused text stops here.
    leaveCell();
    switch (key) {
    case Qt::Key_Up:
        ctrl ? nav.firstInView() : nav.priorRow();
        break;
    case Qt::Key_Down:
        ctrl ? nav.lastInView() : nav.nextRow();
        break;
    case Qt::Key_PageUp:
        ctrl ? nav.firstInView() : nav.pageUp();
        break;
    case Qt::Key_PageDown:
        ctrl ? nav.lastInView() : nav.pageDown();
        break;
    case Qt::Key_Home:
        ctrl ? nav.firstRow() : nav.firstColumn();
        break;
    case Qt::Key_End:
        ctrl ? nav.lastRow() : nav.lastColumn();
        break;
    case Qt::Key_Left:
        ctrl ? nav.firstColumn() : nav.priorColumn();
        break;
    case Qt::Key_Right:
        ctrl ? nav.lastColumn() : nav.nextColumn();
        break;
    default:
        break;
    }
    grid_.followData();
    return true;
}

void GridEditing::tabKey(bool backward)
{
    leaveCell();
    backward ? grid_.navigation_.backTab() : grid_.navigation_.tab();
    grid_.followData();
}

void GridEditing::escapeKey()
{
    data::TClientDataSet *set = grid_.navigation_.dataSet();
    if (editorOpen() && editor_->typed()) {
        // Back to the field's value; the row keeps what was written to it before.
        editor_->markWritten();
        closeEditor();
        return;
    }
    closeEditor();
    if (isEditing(*set))
        set->cancel();
    grid_.followData();
}

void GridEditing::insertKey()
{
    if (!grid_.navigation_.canModify() || grid_.settings_.readOnly)
        return;
    const bool insert = grid_.settings_.allowedOperations.contains(AllowedOperation::alopInsertEh);
    if (!insert && !grid_.settings_.allowedOperations.contains(AllowedOperation::alopAppendEh))
        return;
    leaveCell();
    insert ? grid_.navigation_.dataSet()->insert() : grid_.navigation_.dataSet()->append();
    grid_.followData();
}

void GridEditing::deleteKey()
{
    data::TClientDataSet *set = grid_.navigation_.dataSet();
    if (grid_.settings_.readOnly || set->isEmpty() || !set->canModify() ||
        !grid_.settings_.allowedOperations.contains(AllowedOperation::alopDeleteEh))
        return;
    if (grid_.settings_.has(GridOption::dgConfirmDelete)) {
        QWidget *hadFocus = QApplication::focusWidget();
        const bool ok = confirm(QStringLiteral("Delete record?"));
        if (hadFocus && QApplication::focusWidget() != hadFocus)
            hadFocus->setFocus(Qt::OtherFocusReason);
        if (!ok)
            return;
    }
    closeEditor();
    set->deleteRecord();
    grid_.followData();
}

void GridEditing::copyFromRowAbove()
{
    const int row = grid_.currentRow();
    if (row <= grid_.topRow() || !canEditCell())
        return;
    data::TField *field = grid_.fieldOf(grid_.focusedColumn());
    leaveCell();
    const data::Value above = field->valueAt(std::size_t(row - 1));
    editRow();
    field->setValue(above);
    showEditor();
}

void GridEditing::typeKey(const QString &text)
{
    if (!canEditCell())
        return;
    for (const QChar c : text)
        if (!fieldAccepts(c)) {
            QApplication::beep();
            return;
        }
    if (!editorOpen())
        showEditor();
    editor_->typeText(text);
}

// ---- The cell editor

bool GridEditing::canEditCell() const
{
    const data::TClientDataSet *set = grid_.navigation_.dataSet();
    const data::TField *field = grid_.fieldOf(grid_.focusedColumn());
    if (!set || !set->active() || !field || !field->bound() || field->readOnly() ||
        !grid_.navigation_.canModify() || grid_.settings_.readOnly)
        return false;
    const AllowedOperations &allowed = grid_.settings_.allowedOperations;
    if (!allowed.contains(AllowedOperation::alopUpdateEh) &&
        set->state() != data::DataSetState::dsInsert)
        return false;
    return !set->isEmpty() || allowed.contains(AllowedOperation::alopInsertEh) ||
           allowed.contains(AllowedOperation::alopAppendEh);
}

bool GridEditing::fieldAccepts(QChar c) const
{
    const data::TField *field = grid_.fieldOf(grid_.focusedColumn());
    if (!field)
        return false;
    const QByteArray bytes = QString(c).toLocal8Bit();
    for (const char byte : bytes)
        if (!field->acceptsChar(byte))
            return false;
    return !bytes.isEmpty();
}

void GridEditing::editRow()
{
    data::TClientDataSet *set = grid_.navigation_.dataSet();
    if (!isEditing(*set))
        set->edit();
}

void GridEditing::showEditor()
{
    const data::TField *field = grid_.fieldOf(grid_.focusedColumn());
    if (!field)
        return;
    editor_->setAlignment(rightAligned(field) ? Qt::AlignRight : Qt::AlignLeft);
    editor_->setDropDownButton(isDate(*field));
    placeEditor();
    editor_->open(fromLocal(field->asString()));
}

void GridEditing::writeEditor()
{
    if (!editorOpen() || !editor_->typed())
        return;
    data::TField *field = grid_.fieldOf(grid_.focusedColumn());
    if (!field)
        return;
    // The editor's own edits (select all, Backspace, cut, undo) change its text without the
    // typing that puts the row in edit.
    editRow();
    field->setAsString(toLocal(editor_->text()));
    editor_->markWritten();
}

void GridEditing::closeEditor()
{
    if (!editorOpen())
        return;
    const bool hadFocus = editor_->hasFocus();
    editor_->markWritten();
    editor_->hide();
    if (hadFocus)
        grid_.setFocus(Qt::OtherFocusReason);
    grid_.viewport()->update();
}

void GridEditing::placeEditor()
{
    if (!editor_)
        return;
    const QRect cell = grid_.cellRect(grid_.currentRow(), grid_.focusedColumn());
    if (cell.isEmpty()) {
        closeEditor();
        return;
    }
    editor_->setGeometry(cell);
}

void GridEditing::openCalendar()
{
    const data::TField *field = grid_.fieldOf(grid_.focusedColumn());
    if (!editorOpen() || !field || !isDate(*field))
        return;
    if (!calendar_)
        calendar_ = new CalendarDropDown(&grid_, [this](QDate day) { acceptCalendarDay(day); });
    QDate day;
    const data::Value value = field->value();
    if (const auto *date = std::get_if<data::Date>(&value))
        day = QDate(date->year, date->month, date->day);
    else if (const auto *stamp = std::get_if<data::Timestamp>(&value))
        day = QDate(stamp->date.year, stamp->date.month, stamp->date.day);
    const QRect cell = editor_->geometry();
    calendar_->open(QRect(grid_.viewport()->mapToGlobal(cell.topLeft()), cell.size()), day);
}

void GridEditing::acceptCalendarDay(QDate chosen)
{
    grid_.guarded([&] {
        data::TField *field = grid_.fieldOf(grid_.focusedColumn());
        if (!field)
            return;
        editRow();
        const data::Date day{chosen.year(), chosen.month(), chosen.day()};
        // The day changes; a time of day that the field held stays.
        const data::Value before = field->value();
        if (const auto *stamp = std::get_if<data::Timestamp>(&before))
            field->setValue(data::Timestamp{day, stamp->time});
        else
            field->setAsDate(day);
        if (editorOpen()) {
            editor_->setText(fromLocal(field->asString()));
            editor_->selectAll();
            editor_->markWritten();
            editor_->setFocus(Qt::PopupFocusReason);
        }
    });
}

void GridEditing::leaveCell()
{
    writeEditor();
    closeEditor();
}

void GridEditing::focusEditor(Qt::FocusReason reason)
{
    if (editorOpen())
        editor_->setFocus(reason);
}

bool GridEditing::ownsCalendar(const QWidget *widget) const
{
    return calendar_ && (widget == calendar_ || calendar_->isAncestorOf(widget));
}

void GridEditing::hideCalendar()
{
    if (calendar_ && calendar_->isVisible())
        calendar_->hide();
}

void GridEditing::leaveGrid()
{
    data::TClientDataSet *set = grid_.navigation_.dataSet();
    if (!set || !set->active())
        return;
    grid_.guarded([&] {
        const bool typed = editorOpen() && editor_->typed();
        if (grid_.settings_.has(GridOption::dgCancelOnExit) &&
            set->state() == data::DataSetState::dsInsert && !set->modified() && !typed) {
            closeEditor();
            set->cancel();
            grid_.followData();
            return;
        }
        writeEditor();
        closeEditor();
    });
}

} // namespace kalmora::grids
