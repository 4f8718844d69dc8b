// SPDX-License-Identifier: Apache-2.0
#include "widgets/flat_button.h"

#include <QPainter>

namespace kalmora::widgets {

namespace {

// Pixels lighter than this drop out of the one-colour copy, so the copy keeps the shape's
// outline and body rather than its highlights.
constexpr int kInkThreshold = 192;

QImage withTransparentBackground(const QImage &picture)
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    const QRgb background = image.pixel(0, image.height() - 1) | 0xff000000u;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xff000000u) == background)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return image;
}

// The disabled look: the picture's dark pixels in the light colour one pixel down and right,
// and in the dark colour over that.
QImage embossedCopy(const QImage &picture, const QColor &light, const QColor &dark)
{
    QImage copy(picture.size(), QImage::Format_ARGB32);
    copy.fill(Qt::transparent);
    auto ink = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height())
            return false;
        const QRgb pixel = picture.pixel(x, y);
        return qAlpha(pixel) != 0 && qGray(pixel) < kInkThreshold;
    };
    for (int y = 0; y < copy.height(); ++y) {
        for (int x = 0; x < copy.width(); ++x) {
            if (ink(x, y))
                copy.setPixel(x, y, dark.rgb());
            else if (ink(x - 1, y - 1))
                copy.setPixel(x, y, light.rgb());
        }
    }
    return copy;
}

} // namespace

FlatButton::FlatButton(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // Repaint on entering and leaving: the frame shows only while the mouse is over it.
    setAttribute(Qt::WA_Hover);
}

FlatButton::~FlatButton() = default;

void FlatButton::setPicture(const QImage &picture)
{
    picture_ = withTransparentBackground(picture);
    disabledPicture_ =
        embossedCopy(picture_, palette().color(QPalette::Light), palette().color(QPalette::Dark));
    update();
}

QSize FlatButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {std::max(picture_.width(), metrics.horizontalAdvance(text())) + 4,
            picture_.height() + metrics.height() + 4};
}

void FlatButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = rect();
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const bool pressed = isDown();
    const bool hot = isEnabled() && underMouse();
    if (pressed || hot) {
        painter.setPen(pressed ? dark : light);
        painter.drawLine(area.topLeft(), area.topRight());
        painter.drawLine(area.topLeft(), area.bottomLeft());
        painter.setPen(pressed ? light : dark);
        painter.drawLine(area.bottomLeft(), area.bottomRight());
        painter.drawLine(area.topRight(), area.bottomRight());
    }

    // Picture above caption, the two centred together with no space between them.
    const QFontMetrics metrics(font());
    const int textHeight = text().isEmpty() ? 0 : metrics.height();
    const int top = (height() - picture_.height() - textHeight) / 2 + (pressed ? 1 : 0);
    const int shift = pressed ? 1 : 0;
    const QImage &shown = isEnabled() ? picture_ : disabledPicture_;
    painter.drawImage((width() - shown.width()) / 2 + shift, top, shown);

    const QRect caption(shift, top + picture_.height(), width(), textHeight);
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(caption, flags, text());
    } else {
        painter.setPen(light);
        painter.drawText(caption.translated(1, 1), flags, text());
        painter.setPen(dark);
        painter.drawText(caption, flags, text());
    }
}

} // namespace kalmora::widgets
