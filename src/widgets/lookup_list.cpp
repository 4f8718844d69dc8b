// SPDX-License-Identifier: Apache-2.0
#include "widgets/lookup_list.h"

#include "data/client_data_set.h"
#include "data/field.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace kalmora::widgets {

namespace {

constexpr int kBorder = 1; // the list's frame line

} // namespace

LookupList::LookupList(QWidget *box, LookupListOwner &owner)
    : QWidget(box, Qt::Popup), box_(box), owner_(owner)
{
    setObjectName(QStringLiteral("PtoList"));
    setAttribute(Qt::WA_InputMethodEnabled, false);
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
        top_ = value;
        update();
    });
}

LookupList::~LookupList() = default;

int LookupList::rowCount() const
{
    const data::TClientDataSet *set = field_ ? field_->dataSet() : nullptr;
    return set && set->active() ? set->recordCount() : 0;
}

int LookupList::rowsShown() const
{
    const int rows = rowCount();
    return rows == 0 ? kMaxRows : std::min(rows, kMaxRows);
}

int LookupList::rowHeight() const
{
    return fontMetrics().height();
}

bool LookupList::hasScrollBar() const
{
    return rowCount() > kMaxRows;
}

QRect LookupList::rowsArea() const
{
    QRect area = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
    if (hasScrollBar())
        area.setRight(scrollBar_->geometry().left() - 1);
    return area;
}

QRect LookupList::rowRect(int row) const
{
    const QRect area = rowsArea();
    return {area.left(), area.top() + (row - top_) * rowHeight(), area.width(), rowHeight()};
}

int LookupList::rowAt(const QPoint &point) const
{
    const QRect area = rowsArea();
    if (!area.contains(point))
        return -1;
    const int row = top_ + (point.y() - area.top()) / rowHeight();
    return row < rowCount() ? row : -1;
}

void LookupList::popUp()
{
    setFont(box_->font());
    const int height = rowsShown() * rowHeight() + 2 * kBorder;
    const QPoint topLeft = box_->mapToGlobal(QPoint(0, 0));
    int top = topLeft.y() + box_->height();
    const QScreen *screen = box_->screen();
    if (screen && top + height > screen->geometry().bottom() + 1)
        top = topLeft.y() - height;
    setGeometry(topLeft.x(), top, box_->width(), height);

    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    scrollBar_->setGeometry(width() - kBorder - barWidth, kBorder, barWidth, height - 2 * kBorder);
    scrollBar_->setVisible(hasScrollBar());
    scrollBar_->setRange(0, std::max(0, rowCount() - rowsShown()));
    scrollBar_->setPageStep(rowsShown());
    top_ = -1; // brought into view below
    follow();
    show();
}

void LookupList::follow()
{
    const data::TClientDataSet *set = field_ ? field_->dataSet() : nullptr;
    scrollBar_->setRange(0, std::max(0, rowCount() - rowsShown()));
    const int current = set ? set->recNo() : -1;
    int top = std::clamp(top_, 0, scrollBar_->maximum());
    if (current >= 0 && current < top)
        top = current;
    else if (current >= top + rowsShown())
        top = current - rowsShown() + 1;
    scrollTo(top);
    update();
}

void LookupList::scrollTo(int top)
{
    top_ = std::clamp(top, 0, scrollBar_->maximum());
    scrollBar_->setValue(top_);
}

void LookupList::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &colours = palette();
    painter.fillRect(rect(), colours.brush(QPalette::Base));
    painter.setPen(colours.color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    if (!field_)
        return;
    const data::TClientDataSet *set = field_->dataSet();
    const int current = set ? set->recNo() : -1;
    const QRect area = rowsArea();
    painter.setClipRect(area);
    for (int row = top_; row < rowCount() && row < top_ + rowsShown(); ++row) {
        const QRect place = rowRect(row);
        const bool highlighted = row == current;
        if (highlighted)
            painter.fillRect(place, colours.brush(QPalette::Highlight));
        painter.setPen(colours.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
        const std::string text = field_->textAt(std::size_t(row));
        painter.drawText(place.adjusted(2, 0, -2, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::fromLocal8Bit(text.data(), qsizetype(text.size())));
    }
}

void LookupList::mousePressEvent(QMouseEvent *event)
{
    if (!rect().contains(event->position().toPoint())) {
        // A press on the box itself only closes the list: it must not open it again.
        const QPoint onBox = box_->mapFromGlobal(event->globalPosition().toPoint());
        if (box_->rect().contains(onBox))
            setAttribute(Qt::WA_NoMouseReplay);
        close();
        return;
    }
    pressedOnRow_ = false;
    if (event->button() != Qt::LeftButton)
        return;
    const int row = rowAt(event->position().toPoint());
    if (row >= 0) {
        pressedOnRow_ = true;
        field_->dataSet()->setRecNo(row);
    }
}

void LookupList::mouseMoveEvent(QMouseEvent *event)
{
    if (!pressedOnRow_)
        return;
    const int row = rowAt(event->position().toPoint());
    if (row >= 0)
        field_->dataSet()->setRecNo(row);
}

void LookupList::mouseReleaseEvent(QMouseEvent *event)
{
    if (!pressedOnRow_ || event->button() != Qt::LeftButton)
        return;
    pressedOnRow_ = false;
    const int row = rowAt(event->position().toPoint());
    if (row >= 0)
        owner_.listRowClicked(row);
}

void LookupList::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y() / 120;
    scrollTo(top_ - 3 * steps);
    update();
}

void LookupList::keyPressEvent(QKeyEvent *event)
{
    owner_.listKeyPress(event);
}

void LookupList::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    owner_.listClosed();
}

} // namespace kalmora::widgets
