// SPDX-License-Identifier: Apache-2.0
// The grid's keys and its cell editor: moving about, typing into a cell, Esc, Ins, Ctrl+Del
// and Ctrl+'. Whatever edits needs the data set open and modifiable, dgEditing and the
// allowed operations, which the error grid never has; a command whose conditions are not met
// does nothing.
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

void DBGridEh::guarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (...) {
        reportFailure(std::current_exception());
    }
}

bool DBGridEh::editorOpen() const
{
    // Open until closed, even while the grid itself is hidden: a panel hidden with the editor
    // open still has that typing to write (F2 hides the rates before saving them).
    return editor_ && !editor_->isHidden();
}

QString DBGridEh::editorText() const
{
    return editorOpen() ? editor_->text() : QString();
}

// ---- Keys

void DBGridEh::keyPressEvent(QKeyEvent *event)
{
    if (!navigation_.active()) {
        event->ignore();
        return;
    }
    bool handled = true;
    guarded([&] { handled = runSearchKey(event) || runKey(event); });
    if (!handled)
        event->ignore();
}

bool DBGridEh::runKey(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool alt = modifiers & Qt::AltModifier;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!settings_.has(GridOption::dgTabs))
            return false;
        tabKey(event->key() == Qt::Key_Backtab || shift);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!settings_.has(GridOptionEh::dghEnterAsTab) || ctrl || alt)
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
    if (runMoveKey(event->key(), ctrl, shift))
        return true;
    if (!ctrl && !alt && !event->text().isEmpty() && event->text().at(0).isPrint()) {
        typeKey(event->text());
        return true;
    }
    return false;
}

bool DBGridEh::runMoveKey(int key, bool ctrl, bool shift)
{
    GridNavigation &nav = navigation_;
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
    writeEditor();
    closeEditor();
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
    followData();
    return true;
}

void DBGridEh::tabKey(bool backward)
{
    writeEditor();
    closeEditor();
    backward ? navigation_.backTab() : navigation_.tab();
    followData();
}

void DBGridEh::escapeKey()
{
    data::TClientDataSet *set = navigation_.dataSet();
    if (editorOpen() && editor_->typed()) {
        // Back to the field's value; the row keeps what was written to it before.
        editor_->markWritten();
        closeEditor();
        return;
    }
    closeEditor();
    if (isEditing(*set))
        set->cancel();
    followData();
}

void DBGridEh::insertKey()
{
    if (!navigation_.canModify() || settings_.readOnly)
        return;
    const bool insert = settings_.allowedOperations.contains(AllowedOperation::alopInsertEh);
    if (!insert && !settings_.allowedOperations.contains(AllowedOperation::alopAppendEh))
        return;
    writeEditor();
    closeEditor();
    insert ? navigation_.dataSet()->insert() : navigation_.dataSet()->append();
    followData();
}

void DBGridEh::deleteKey()
{
    data::TClientDataSet *set = navigation_.dataSet();
    if (settings_.readOnly || set->isEmpty() || !set->canModify() ||
        !settings_.allowedOperations.contains(AllowedOperation::alopDeleteEh))
        return;
    if (settings_.has(GridOption::dgConfirmDelete)) {
        QWidget *hadFocus = QApplication::focusWidget();
        const bool ok = confirm(QStringLiteral("Delete record?"));
        if (hadFocus && QApplication::focusWidget() != hadFocus)
            hadFocus->setFocus(Qt::OtherFocusReason);
        if (!ok)
            return;
    }
    closeEditor();
    set->deleteRecord();
    followData();
}

void DBGridEh::copyFromRowAbove()
{
    const int row = currentRow();
    if (row <= topRow() || !canEditCell())
        return;
    data::TField *field = fieldOf(focusedColumn());
    writeEditor();
    closeEditor();
    const data::Value above = field->valueAt(std::size_t(row - 1));
    editRow();
    field->setValue(above);
    showEditor();
}

void DBGridEh::typeKey(const QString &text)
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

bool DBGridEh::canEditCell() const
{
    const data::TClientDataSet *set = navigation_.dataSet();
    const data::TField *field = fieldOf(focusedColumn());
    if (!set || !set->active() || !field || !field->bound() || field->readOnly() ||
        !navigation_.canModify() || settings_.readOnly)
        return false;
    const AllowedOperations &allowed = settings_.allowedOperations;
    if (!allowed.contains(AllowedOperation::alopUpdateEh) &&
        set->state() != data::DataSetState::dsInsert)
        return false;
    return !set->isEmpty() || allowed.contains(AllowedOperation::alopInsertEh) ||
           allowed.contains(AllowedOperation::alopAppendEh);
}

bool DBGridEh::fieldAccepts(QChar c) const
{
    const data::TField *field = fieldOf(focusedColumn());
    if (!field)
        return false;
    const QByteArray bytes = QString(c).toLocal8Bit();
    for (const char byte : bytes)
        if (!field->acceptsChar(byte))
            return false;
    return !bytes.isEmpty();
}

void DBGridEh::editRow()
{
    data::TClientDataSet *set = navigation_.dataSet();
    if (!isEditing(*set))
        set->edit();
}

void DBGridEh::showEditor()
{
    const data::TField *field = fieldOf(focusedColumn());
    if (!field)
        return;
    editor_->setAlignment(rightAligned(field) ? Qt::AlignRight : Qt::AlignLeft);
    editor_->setDropDownButton(isDate(*field));
    placeEditor();
    editor_->open(fromLocal(field->asString()));
}

void DBGridEh::writeEditor()
{
    if (!editorOpen() || !editor_->typed())
        return;
    data::TField *field = fieldOf(focusedColumn());
    if (!field)
        return;
    // The editor's own edits (select all, Backspace, cut, undo) change its text without the
    // typing that puts the row in edit.
    editRow();
    field->setAsString(toLocal(editor_->text()));
    editor_->markWritten();
}

void DBGridEh::closeEditor()
{
    if (!editorOpen())
        return;
    const bool hadFocus = editor_->hasFocus();
    editor_->markWritten();
    editor_->hide();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    viewport()->update();
}

void DBGridEh::placeEditor()
{
    if (!editor_)
        return;
    const QRect cell = cellRect(currentRow(), focusedColumn());
    if (cell.isEmpty()) {
        closeEditor();
        return;
    }
    editor_->setGeometry(cell);
}

void DBGridEh::openCalendar()
{
    const data::TField *field = fieldOf(focusedColumn());
    if (!editorOpen() || !field || !isDate(*field))
        return;
    if (!calendar_)
        calendar_ = new CalendarDropDown(this, [this](QDate day) { acceptCalendarDay(day); });
    QDate day;
    const data::Value value = field->value();
    if (const auto *date = std::get_if<data::Date>(&value))
        day = QDate(date->year, date->month, date->day);
    else if (const auto *stamp = std::get_if<data::Timestamp>(&value))
        day = QDate(stamp->date.year, stamp->date.month, stamp->date.day);
    const QRect cell = editor_->geometry();
    calendar_->open(QRect(viewport()->mapToGlobal(cell.topLeft()), cell.size()), day);
}

void DBGridEh::acceptCalendarDay(QDate chosen)
{
    guarded([&] {
        data::TField *field = fieldOf(focusedColumn());
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

void DBGridEh::updateRecord()
{
    writeEditor();
}

void DBGridEh::leaveGrid()
{
    data::TClientDataSet *set = navigation_.dataSet();
    if (!set || !set->active())
        return;
    guarded([&] {
        const bool typed = editorOpen() && editor_->typed();
        if (settings_.has(GridOption::dgCancelOnExit) &&
            set->state() == data::DataSetState::dsInsert && !set->modified() && !typed) {
            closeEditor();
            set->cancel();
            followData();
            return;
        }
        writeEditor();
        closeEditor();
    });
}

} // namespace kalmora::grids
