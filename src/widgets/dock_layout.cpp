// SPDX-License-Identifier: Apache-2.0
#include "widgets/dock_layout.h"

#include <QWidget>
#include <QWidgetItem>
#include <algorithm>

namespace kalmora::widgets {

DockLayout::DockLayout(QWidget *parent, const QMargins &margins) : QLayout(parent)
{
    setContentsMargins(margins);
    setSpacing(0);
    // The parent's size is its own business: no minimum imposed from the docked controls.
    setSizeConstraint(QLayout::SetNoConstraint);
}

DockLayout::~DockLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void DockLayout::addDocked(QWidget *widget, Dock dock)
{
    addChildWidget(widget);
    entries_.append({new QWidgetItem(widget), dock, widget->height()});
    invalidate();
}

void DockLayout::addItem(QLayoutItem *item)
{
    entries_.append({item, Dock::Fill, item->geometry().height()});
}

QLayoutItem *DockLayout::itemAt(int index) const
{
    return index >= 0 && index < entries_.size() ? entries_[index].item : nullptr;
}

QLayoutItem *DockLayout::takeAt(int index)
{
    if (index < 0 || index >= entries_.size())
        return nullptr;
    return entries_.takeAt(index).item;
}

int DockLayout::count() const
{
    return int(entries_.size());
}

QSize DockLayout::sizeHint() const
{
    if (const QWidget *parent = parentWidget())
        return parent->size();
    return {0, 0};
}

namespace {

// Places the control exactly, whatever its size policy or size hint says.
void place(QLayoutItem *item, const QRect &rect)
{
    if (QWidget *widget = item->widget())
        widget->setGeometry(rect);
    else
        item->setGeometry(rect);
}

} // namespace

void DockLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const QRect area = rect.marginsRemoved(contentsMargins());
    int top = area.top();
    int bottom = area.bottom() + 1;
    for (const Entry &entry : std::as_const(entries_)) {
        if (entry.dock == Dock::Top) {
            place(entry.item, QRect(area.left(), top, area.width(), entry.height));
            top += entry.height;
        } else if (entry.dock == Dock::Bottom) {
            bottom -= entry.height;
            place(entry.item, QRect(area.left(), bottom, area.width(), entry.height));
        }
    }
    for (const Entry &entry : std::as_const(entries_)) {
        if (entry.dock == Dock::Fill)
            place(entry.item, QRect(area.left(), top, area.width(), std::max(0, bottom - top)));
    }
}

} // namespace kalmora::widgets
