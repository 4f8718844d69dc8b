// SPDX-License-Identifier: Apache-2.0
#pragma once
// Where the parts of a grid lie in its client area: the indicator column, the title row, the
// data rows and columns with their one-pixel lines, and what lies under a point (including
// the 7-pixel sizing zones between titles). Plain geometry; the widget draws from it and
// forwards its mouse events through it.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace kalmora::grids {

struct GridMetrics
{
    int rowHeight = 16;
    int titleHeight = 16;
    bool titles = true;
    bool indicator = true;
    int indicatorWidth = 11;
    /// A one-pixel line right of the indicator and of every column.
    bool colLines = true;
    /// A one-pixel line below the title row and every data row.
    bool rowLines = true;
    /// The sizing zone reaches this far either side of the line between two titles.
    int sizingReach = 3;
};

/// What lies under a point. `row` counts the rows in view from the top one (0); `column`
/// is a position in the display order of all columns.
struct GridHit
{
    enum class Area { Nowhere, IndicatorTitle, Title, SizingZone, Indicator, Cell };
    Area area = Area::Nowhere;
    int row = -1;
    int column = -1;
};

class GridGeometry
{
public:
    /// `widths` and `visible` in display order; `horizontalOffset` scrolls the data columns
    /// (not the indicator) to the left.
    GridGeometry(const GridMetrics &metrics, std::vector<int> widths, std::vector<bool> visible,
                 QSize client, int horizontalOffset = 0);

    const GridMetrics &metrics() const { return metrics_; }
    QSize client() const { return client_; }
    int lineWidth(bool lines) const { return lines ? 1 : 0; }

    /// The left of the first data column, before scrolling.
    int dataLeft() const;
    /// The top of the first data row.
    int dataTop() const;
    /// The distance between the tops of two data rows.
    int rowPitch() const { return metrics_.rowHeight + lineWidth(metrics_.rowLines); }
    /// The width all parts take side by side, lines included.
    int totalWidth() const;
    /// Data rows shown whole; rows partly shown at the bottom do not count.
    int fullyVisibleRows() const;
    /// Data rows shown whole or in part.
    int partlyVisibleRows() const;

    bool columnShown(int column) const;
    /// The column's cells left to right, without its line (empty for a hidden column).
    QRect columnSpan(int column) const;
    QRect titleRect(int column) const;
    QRect indicatorTitleRect() const;
    QRect cellRect(int row, int column) const;
    QRect indicatorRect(int row) const;
    /// The x of the line right of `column`.
    int lineRightOf(int column) const;

    /// With `sizingZones` off, the zones between titles count as the titles they lie on.
    GridHit hitTest(QPoint point, bool sizingZones = true) const;

private:
    GridMetrics metrics_;
    std::vector<int> widths_;
    std::vector<bool> visible_;
    std::vector<int> lefts_; // before scrolling
    QSize client_;
    int offset_;
};

} // namespace kalmora::grids
