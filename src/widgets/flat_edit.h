// SPDX-License-Identifier: Apache-2.0
#pragma once
// A single-line edit box with a flat one-pixel frame and no length limit. It can mask what is
// typed, and tells when the focus leaves it for another control of its window.

#include <QLineEdit>

namespace kalmora::widgets {

class FlatEdit final : public QLineEdit
{
    Q_OBJECT
public:
    explicit FlatEdit(QWidget *parent);
    ~FlatEdit() override;
    FlatEdit(const FlatEdit &) = delete;
    FlatEdit &operator=(const FlatEdit &) = delete;

    /// Shows every character typed as `mask`.
    void setMaskCharacter(QChar mask);

signals:
    /// The focus moved from this box to another control (not to another window or a popup).
    void exited();

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

} // namespace kalmora::widgets
