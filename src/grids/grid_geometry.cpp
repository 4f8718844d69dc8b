// SPDX-License-Identifier: Apache-2.0
#include "grids/grid_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace kalmora::grids {

GridGeometry::GridGeometry(const GridMetrics &metrics, std::vector<int> widths,
                           std::vector<bool> visible, QSize client, int horizontalOffset)
    : metrics_(metrics), widths_(std::move(widths)), visible_(std::move(visible)),
      lefts_(widths_.size(), 0), client_(client), offset_(horizontalOffset)
{
    visible_.resize(widths_.size(), true);
    int x = dataLeft();
    for (std::size_t i = 0; i < widths_.size(); ++i) {
        lefts_[i] = x;
        if (visible_[i])
            x += std::max(widths_[i], 0) + lineWidth(metrics_.colLines);
    }
}

int GridGeometry::dataLeft() const
{
    return metrics_.indicator ? metrics_.indicatorWidth + lineWidth(metrics_.colLines) : 0;
}

int GridGeometry::dataTop() const
{
    return metrics_.titles ? metrics_.titleHeight + lineWidth(metrics_.rowLines) : 0;
}

int GridGeometry::totalWidth() const
{
    int width = dataLeft();
    for (std::size_t i = 0; i < widths_.size(); ++i)
        if (visible_[i])
            width += std::max(widths_[i], 0) + lineWidth(metrics_.colLines);
    return width;
}

int GridGeometry::fullyVisibleRows() const
{
    const int room = client_.height() - dataTop() + lineWidth(metrics_.rowLines);
    return std::max(room, 0) / rowPitch();
}

int GridGeometry::partlyVisibleRows() const
{
    const int room = client_.height() - dataTop();
    return room <= 0 ? 0 : (room + rowPitch() - 1) / rowPitch();
}

bool GridGeometry::columnShown(int column) const
{
    return column >= 0 && std::size_t(column) < widths_.size() && visible_[std::size_t(column)];
}

QRect GridGeometry::columnSpan(int column) const
{
    if (!columnShown(column))
        return {};
    const auto i = std::size_t(column);
    return QRect(lefts_[i] - offset_, 0, std::max(widths_[i], 0), client_.height());
}

QRect GridGeometry::titleRect(int column) const
{
    if (!metrics_.titles || !columnShown(column))
        return {};
    const QRect span = columnSpan(column);
    return QRect(span.left(), 0, span.width(), metrics_.titleHeight);
}

QRect GridGeometry::indicatorTitleRect() const
{
    if (!metrics_.titles || !metrics_.indicator)
        return {};
    return QRect(0, 0, metrics_.indicatorWidth, metrics_.titleHeight);
}

QRect GridGeometry::cellRect(int row, int column) const
{
    if (!columnShown(column) || row < 0)
        return {};
    const QRect span = columnSpan(column);
    return QRect(span.left(), dataTop() + row * rowPitch(), span.width(), metrics_.rowHeight);
}

QRect GridGeometry::indicatorRect(int row) const
{
    if (!metrics_.indicator || row < 0)
        return {};
    return QRect(0, dataTop() + row * rowPitch(), metrics_.indicatorWidth, metrics_.rowHeight);
}

int GridGeometry::lineRightOf(int column) const
{
    const QRect span = columnSpan(column);
    return span.left() + span.width();
}

GridHit GridGeometry::hitTest(QPoint point, bool sizingZones) const
{
    GridHit hit;
    if (point.x() < 0 || point.y() < 0 || point.x() >= client_.width() ||
        point.y() >= client_.height())
        return hit;
    const bool inTitles = metrics_.titles && point.y() < dataTop();
    if (sizingZones && inTitles && point.x() >= dataLeft()) {
        // From the right, so that a column dragged down to nothing can still be caught.
        for (int column = int(widths_.size()) - 1; column >= 0; --column) {
            if (columnShown(column) &&
                std::abs(point.x() - lineRightOf(column)) <= metrics_.sizingReach) {
                hit.area = GridHit::Area::SizingZone;
                hit.column = column;
                return hit;
            }
        }
    }
    int row = -1;
    if (!inTitles) {
        const int fromTop = point.y() - dataTop();
        if (fromTop % rowPitch() >= metrics_.rowHeight)
            return hit; // on a row line
        row = fromTop / rowPitch();
    }
    if (point.x() < metrics_.indicatorWidth && metrics_.indicator) {
        hit.area = inTitles ? GridHit::Area::IndicatorTitle : GridHit::Area::Indicator;
        hit.row = row;
        return hit;
    }
    if (point.x() < dataLeft())
        return hit;
    for (int column = 0; column < int(widths_.size()); ++column) {
        const QRect span = columnSpan(column);
        if (columnShown(column) && point.x() >= span.left() &&
            point.x() < span.left() + span.width()) {
            hit.area = inTitles ? GridHit::Area::Title : GridHit::Area::Cell;
            hit.row = row;
            hit.column = column;
            return hit;
        }
    }
    return hit;
}

} // namespace kalmora::grids
