// SPDX-License-Identifier: Apache-2.0
#include "grids/cell_editor.h"

#include "grids/failure_report.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace kalmora::grids {

CellEditor::CellEditor(QWidget *parent, Hooks hooks)
    : QLineEdit(parent), hooks_(std::move(hooks)), dropDownButton_(new QToolButton(this))
{
    dropDownButton_->setArrowType(Qt::DownArrow);
    dropDownButton_->setFocusPolicy(Qt::NoFocus);
    dropDownButton_->setCursor(Qt::ArrowCursor);
    dropDownButton_->hide();
    connect(dropDownButton_, &QToolButton::clicked, this, [this] {
        try {
            hooks_.dropDown();
        } catch (...) {
            reportFailure(std::current_exception());
        }
    });
    setFrame(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    hide();
    connect(this, &QLineEdit::textEdited, this, [this] { typed_ = true; });
}

void CellEditor::open(const QString &text)
{
    setText(text);
    selectAll();
    typed_ = false;
    show();
    setFocus(Qt::OtherFocusReason);
}

void CellEditor::setDropDownButton(bool shown)
{
    dropDownButton_->setVisible(shown);
    setTextMargins(0, 0, shown ? dropDownButton_->width() : 0, 0);
}

bool CellEditor::hasDropDownButton() const
{
    return !dropDownButton_->isHidden();
}

void CellEditor::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    const int side = height();
    dropDownButton_->setGeometry(width() - side, 0, side, side);
    if (hasDropDownButton())
        setTextMargins(0, 0, side, 0);
}

bool CellEditor::acceptsAll(const QString &text) const
{
    for (const QChar c : text)
        if (!hooks_.accepts(c))
            return false;
    return true;
}

void CellEditor::typeText(const QString &text)
{
    if (!acceptsAll(text)) {
        QApplication::beep();
        return;
    }
    hooks_.beforeTyping();
    insert(text);
    typed_ = true;
}

void CellEditor::dropEvent(QDropEvent *event)
{
    // Text dropped on the cell is pasted there: all of it, or nothing when the field refuses
    // any of its characters. QLineEdit places it where it was dropped.
    const QString text = event->mimeData() ? event->mimeData()->text() : QString();
    if (text.isEmpty()) {
        QLineEdit::dropEvent(event);
        return;
    }
    if (!acceptsAll(text)) {
        QApplication::beep();
        event->ignore();
        return;
    }
    try {
        hooks_.beforeTyping();
    } catch (...) {
        event->ignore();
        reportFailure(std::current_exception());
        return;
    }
    QLineEdit::dropEvent(event);
    typed_ = true;
}

void CellEditor::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the selection where there is one (X11), as Ctrl+V pastes the
    // clipboard; the press has placed the cursor.
    QClipboard *clipboard = QApplication::clipboard();
    if (event->button() != Qt::MiddleButton || !clipboard->supportsSelection()) {
        QLineEdit::mouseReleaseEvent(event);
        return;
    }
    deselect();
    const QString text = clipboard->text(QClipboard::Selection);
    if (text.isEmpty())
        return;
    try {
        typeText(text);
    } catch (...) {
        reportFailure(std::current_exception());
    }
}

bool CellEditor::event(QEvent *event)
{
    // Tab and Shift+Tab move between the grid's cells, not to the next control.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            hooks_.toGrid(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

bool CellEditor::atLeftSide() const
{
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    return start == 0 && (!hasSelectedText() || selectedText() == text());
}

bool CellEditor::atRightSide() const
{
    const int end = hasSelectedText() ? selectionEnd() : cursorPosition();
    return end == int(text().size()) && (!hasSelectedText() || selectedText() == text());
}

bool CellEditor::forGrid(const QKeyEvent &event) const
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    case Qt::Key_Insert:
        return modifiers == Qt::NoModifier;
    case Qt::Key_Delete:
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
    case Qt::Key_F:
        return ctrl;
    case Qt::Key_Left:
    case Qt::Key_Home:
        return ctrl || atLeftSide();
    case Qt::Key_Right:
    case Qt::Key_End:
        return ctrl || atRightSide();
    default:
        return false;
    }
}

void CellEditor::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    const bool dropDownKey =
        (modifiers == Qt::AltModifier && (key == Qt::Key_Down || key == Qt::Key_Up)) ||
        (modifiers == Qt::ControlModifier && (key == Qt::Key_Return || key == Qt::Key_Enter));
    if (dropDownKey && hasDropDownButton()) {
        try {
            hooks_.dropDown();
        } catch (...) {
            reportFailure(std::current_exception());
        }
        return;
    }
    if (forGrid(*event)) {
        hooks_.toGrid(event);
        return;
    }
    QString typedText;
    if (event->matches(QKeySequence::Paste))
        typedText = QApplication::clipboard()->text();
    else if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
             !event->text().isEmpty() && event->text().at(0).isPrint())
        typedText = event->text();
    if (typedText.isEmpty()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    try {
        typeText(typedText);
    } catch (...) {
        reportFailure(std::current_exception());
    }
}

} // namespace kalmora::grids
