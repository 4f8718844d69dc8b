// SPDX-License-Identifier: Apache-2.0
#include "widgets/flat_edit.h"

#include "widgets/flat_frame.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPainter>
#include <QProxyStyle>
#include <limits>

namespace kalmora::widgets {

namespace {

// The application's style, masking with a given character.
class MaskStyle final : public QProxyStyle
{
public:
    explicit MaskStyle(QChar mask) : QProxyStyle(QApplication::style()->name()), mask_(mask) {}

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return mask_.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar mask_;
};

} // namespace

FlatEdit::FlatEdit(QWidget *parent) : QLineEdit(parent)
{
    setFrame(false);
    // The text stays clear of the frame line.
    setContentsMargins(1, 1, 1, 1);
    // A typed text has no length limit (QLineEdit's default is 32767 characters).
    setMaxLength(std::numeric_limits<int>::max());
}

FlatEdit::~FlatEdit() = default;

void FlatEdit::setMaskCharacter(QChar mask)
{
    auto *style = new MaskStyle(mask);
    style->setParent(this);
    setStyle(style);
    setEchoMode(QLineEdit::Password);
}

void FlatEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    drawFlatFrame(painter, rect(), palette());
}

void FlatEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        emit exited();
}

} // namespace kalmora::widgets
