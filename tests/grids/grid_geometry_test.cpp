// SPDX-License-Identifier: Apache-2.0
// Where the parts of a grid lie and what a point hits: the error grid's three fitted columns
// (126, 91, 122) in a 354 x 79 client area with 16-pixel rows and one-pixel lines.
#include "grids/grid_geometry.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kalmora::grids {
namespace {

GridMetrics sixteenPixelRows()
{
    GridMetrics metrics;
    metrics.rowHeight = 16;
    metrics.titleHeight = 16;
    return metrics;
}

GridGeometry errorGrid(std::vector<bool> visible = {true, true, true}, int offset = 0)
{
    return GridGeometry(sixteenPixelRows(), {126, 91, 122}, std::move(visible), QSize(354, 79),
                        offset);
}

// Guards the layout the fit assumes: indicator, line, then each column followed by its line,
// filling the client width exactly; and the rows counted whole or in part.
TEST(GridGeometry, LaysOutIndicatorColumnsAndRows)
{
    const GridGeometry geometry = errorGrid();
    EXPECT_EQ(geometry.totalWidth(), 354);
    EXPECT_EQ(geometry.indicatorTitleRect(), QRect(0, 0, 11, 16));
    EXPECT_EQ(geometry.titleRect(0), QRect(12, 0, 126, 16));
    EXPECT_EQ(geometry.titleRect(1), QRect(139, 0, 91, 16));
    EXPECT_EQ(geometry.cellRect(2, 2), QRect(231, 17 + 2 * 17, 122, 16));
    EXPECT_EQ(geometry.lineRightOf(2), 353);
    // 62 pixels under the title row: three rows whole, a fourth in part.
    EXPECT_EQ(geometry.fullyVisibleRows(), 3);
    EXPECT_EQ(geometry.partlyVisibleRows(), 4);
    EXPECT_TRUE(errorGrid({true, false, true}).cellRect(0, 1).isNull());
    EXPECT_EQ(errorGrid({true, false, true}).titleRect(2), QRect(139, 0, 122, 16));
}

struct HitCase
{
    QPoint point;
    GridHit::Area area;
    int row;
    int column;
};

// Guards the sizing zone (3 pixels either side of the line between two titles, in the title
// row only) and the cells, indicator and lines around it.
TEST(GridGeometry, HitsZonesTitlesCellsAndIndicator)
{
    using A = GridHit::Area;
    const GridGeometry geometry = errorGrid();
    const std::vector<HitCase> cases{
        {{138, 5}, A::SizingZone, -1, 0}, {{135, 5}, A::SizingZone, -1, 0},
        {{141, 5}, A::SizingZone, -1, 0}, {{134, 5}, A::Title, -1, 0},
        {{142, 5}, A::Title, -1, 1},      {{227, 15}, A::SizingZone, -1, 1},
        {{226, 15}, A::Title, -1, 1},     {{234, 0}, A::Title, -1, 2},
        {{353, 5}, A::SizingZone, -1, 2}, {{5, 5}, A::IndicatorTitle, -1, -1},
        {{11, 5}, A::Nowhere, -1, -1},    {{5, 20}, A::Indicator, 0, -1},
        {{5, 54}, A::Indicator, 2, -1},   {{140, 17}, A::Cell, 0, 1},
        {{140, 33}, A::Nowhere, -1, -1},  {{140, 34}, A::Cell, 1, 1},
        {{138, 20}, A::Nowhere, -1, -1},  {{12, 78}, A::Cell, 3, 0},
        {{354, 5}, A::Nowhere, -1, -1},
    };
    for (const HitCase &c : cases) {
        const GridHit hit = geometry.hitTest(c.point);
        const std::string at = std::to_string(c.point.x()) + "," + std::to_string(c.point.y());
        EXPECT_EQ(hit.area, c.area) << at;
        EXPECT_EQ(hit.row, c.row) << at;
        EXPECT_EQ(hit.column, c.column) << at;
    }
    // Without sizing the zone is the title it lies on.
    EXPECT_EQ(geometry.hitTest({136, 5}, false).area, A::Title);
    EXPECT_EQ(geometry.hitTest({141, 5}, false).column, 1);
    // Scrolled sideways, the columns slide under the indicator, which stays.
    const GridGeometry scrolled = errorGrid({true, true, true}, 20);
    EXPECT_EQ(scrolled.hitTest({5, 20}).area, A::Indicator);
    EXPECT_EQ(scrolled.hitTest({13, 20}).column, 0);
    EXPECT_EQ(scrolled.hitTest({120, 20}).column, 1);
}

} // namespace
} // namespace kalmora::grids
