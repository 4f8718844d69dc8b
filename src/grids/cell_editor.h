// SPDX-License-Identifier: Apache-2.0
#pragma once
// The single-line box laid over a grid's focused cell while the user types into it. It holds
// the field's edit text, refuses the characters the field does not take (with the platform's
// beep; a paste, a drop or a middle-button paste goes in whole or not at all), and hands the
// grid the keys that move about or act on rows. Whether its text still has to be written to
// the field is its `typed()` flag; the grid writes it.

#include <QLineEdit>
#include <QToolButton>
#include <functional>

namespace kalmora::grids {

class CellEditor final : public QLineEdit
{
    Q_OBJECT
public:
    struct Hooks
    {
        /// Whether the field takes the character.
        std::function<bool(QChar)> accepts;
        /// Called before a typed character changes the text: puts the row in edit state.
        /// A failure refuses the character.
        std::function<void()> beforeTyping;
        /// A key that the grid handles while the editor is open.
        std::function<void(QKeyEvent *)> toGrid;
        /// Opens the drop-down (the drop-down button, Alt+Down, Alt+Up, Ctrl+Enter).
        std::function<void()> dropDown;
    };

    CellEditor(QWidget *parent, Hooks hooks);

    /// Shows `text`, all of it selected, as not typed.
    void open(const QString &text);
    /// Replaces the selection with `text` as if it had been typed (characters the field does
    /// not take are refused with a beep, and then nothing is typed).
    void typeText(const QString &text);
    /// The text changed since the editor opened or was last written.
    bool typed() const { return typed_; }
    void markWritten() { typed_ = false; }
    /// Shows or hides the drop-down button at the right edge, and with it the drop-down keys.
    void setDropDownButton(bool shown);
    bool hasDropDownButton() const;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool acceptsAll(const QString &text) const;
    /// Whether `event` goes to the grid rather than into the text.
    bool forGrid(const QKeyEvent &event) const;
    bool atLeftSide() const;
    bool atRightSide() const;

    Hooks hooks_;
    bool typed_ = false;
    QToolButton *dropDownButton_;
};

} // namespace kalmora::grids
