#include "app/lookup_box.h"

#include "app/drop_down_look.h"

#include <QPainter>
#include <qdrawutil.h>

namespace kalmora::app {

namespace {

constexpr int kBorder = 2; // the sunken border's width

} // namespace

LookupBox::LookupBox(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

LookupBox::~LookupBox() = default;

QSize LookupBox::sizeHint() const
{
    return {145, fontMetrics().height() + 2 * kBorder + 4};
}

void LookupBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
    const QRect inside = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
    drawDropDownInside(painter, *this, inside, text_, isEnabled() && hasList(), false);
}

} // namespace kalmora::app
