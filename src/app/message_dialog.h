// SPDX-License-Identifier: Apache-2.0
#pragma once
// The plain message dialog: the system's own outcome and warning texts, with one "OK"
// button, sized from the message font's average character width and height. The
// confirmation dialog is built the same way, with a question-mark icon left of the text and
// the buttons "OK" and "Cancel".

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

class QPushButton;

namespace kalmora::app {

class MessageDialog final : public QDialog
{
    Q_OBJECT
public:
    enum class Kind {
        Plain,        ///< the application title as caption, one "OK" button
        Confirmation, ///< caption "Confirm", a question-mark icon, "OK" and "Cancel"
    };

    /// Builds the plain dialog for `text`, laid out and placed but not shown. Its font is the
    /// message font: QApplication::font("QMessageBox"), the platform theme's message-box font
    /// where it names one, else the application font.
    explicit MessageDialog(const QString &text, QWidget *parent = nullptr);
    /// Builds the dialog of `kind` for `text`, laid out and placed but not shown.
    MessageDialog(Kind kind, const QString &text, QWidget *parent = nullptr);
    ~MessageDialog() override;

    /// Builds the plain dialog for `text` and runs it modally until the user closes it.
    static void run(const QString &text);
    /// Builds the confirmation dialog for `text` and runs it modally; true when the user
    /// answered "OK", false for "Cancel", Esc or the frame's close button.
    static bool ask(const QString &text);

    /// The message as given.
    QString text() const { return text_; }
    /// What Ctrl+C puts on the clipboard: caption, message and button captions between lines
    /// of hyphens, every line ended by a carriage return and a line feed.
    QString clipboardText() const;

    /// Puts text on the clipboard; false when the clipboard cannot be opened.
    using ClipboardWriter = std::function<bool(const QString &)>;
    /// Replaces the clipboard for every dialog (tests); an empty writer restores the system
    /// clipboard.
    static void setClipboardWriter(ClipboardWriter writer);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString text_;
    std::vector<QPushButton *> buttons_;
};

} // namespace kalmora::app
