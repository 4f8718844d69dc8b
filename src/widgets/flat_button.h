// SPDX-License-Identifier: Apache-2.0
#pragma once
// A flat button with a picture above its caption. It shows no frame until the mouse is over
// it while it is enabled (a raised frame), looks pressed while held down, clicks when the
// mouse button is released over it, and never takes the focus. Disabled, it draws its caption
// greyed and its picture as a greyed, embossed one-colour copy.

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>

namespace kalmora::widgets {

class FlatButton final : public QAbstractButton
{
    Q_OBJECT
public:
    explicit FlatButton(QWidget *parent);
    ~FlatButton() override;
    FlatButton(const FlatButton &) = delete;
    FlatButton &operator=(const FlatButton &) = delete;

    /// Sets the picture. Pixels of the colour of its bottom-left pixel are transparent.
    void setPicture(const QImage &picture);
    /// The picture as drawn while enabled, with its transparency.
    QImage picture() const { return picture_; }
    /// The picture as drawn while disabled.
    QImage disabledPicture() const { return disabledPicture_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage picture_;
    QImage disabledPicture_;
};

} // namespace kalmora::widgets
