// SPDX-License-Identifier: Apache-2.0
#pragma once
// The server drop-down list: a list without free typing, a flat one-pixel frame, up to 8 items
// shown when dropped down. Typing selects the first item that begins with the characters
// typed so far, ignoring case; a pause of more than 499 ms starts a new prefix; Backspace
// removes the prefix's last character.

#include <QComboBox>
#include <QString>
#include <cstdint>
#include <functional>

namespace kalmora::widgets {

class ServerListBox final : public QComboBox
{
    Q_OBJECT
public:
    explicit ServerListBox(QWidget *parent);
    ~ServerListBox() override;
    ServerListBox(const ServerListBox &) = delete;
    ServerListBox &operator=(const ServerListBox &) = delete;

    /// Milliseconds of a steady clock; tests replace it to control the pauses.
    using Clock = std::function<std::int64_t()>;
    void setClock(Clock clock);

    /// The characters typed since the last pause.
    QString prefix() const { return prefix_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    /// Selects the first item that begins with `prefix`, ignoring case; false when none does.
    bool selectByPrefix(const QString &prefix);
    /// With no item matching the prefix: the list's own handling of one typed character,
    /// which moves to the next item beginning with it, from the top again after the last.
    void selectNextStartingWith(const QString &character);

    Clock clock_;
    QString prefix_;
    std::int64_t lastKeystroke_ = 0;
};

} // namespace kalmora::widgets
