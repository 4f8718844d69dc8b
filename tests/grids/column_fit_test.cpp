// SPDX-License-Identifier: Apache-2.0
// The fit of the columns to the grid's width and the resize-by-drag rule, on the error grid's
// three columns (initial widths 124 : 90 : 120, the first being 20 characters of a 6-pixel
// "0" plus 4) and variations of them.
#include "grids/column_fit.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kalmora::grids {
namespace {

std::vector<FitColumn> errorColumns()
{
    return {FitColumn{124, 124}, FitColumn{90, 90}, FitColumn{120, 120}};
}

std::vector<int> widths(const std::vector<FitColumn> &columns)
{
    std::vector<int> result;
    for (const FitColumn &column : columns)
        result.push_back(column.width);
    return result;
}

std::vector<int> initialWidths(const std::vector<FitColumn> &columns)
{
    std::vector<int> result;
    for (const FitColumn &column : columns)
        result.push_back(column.initialWidth);
    return result;
}

struct FitCase
{
    std::string name;
    std::vector<FitColumn> columns;
    FitFrame frame;
    std::vector<int> expected;
};

FitFrame client(int width)
{
    FitFrame frame;
    frame.clientWidth = width;
    return frame;
}

std::vector<FitColumn> with(std::vector<FitColumn> columns, std::size_t index,
                            void (*change)(FitColumn &))
{
    change(columns[index]);
    return columns;
}

// Guards the arithmetic of the fit: the room left beside the indicator and the lines, the
// proportions, the rounding, the remainder going to the rightmost free column, the rounds
// that take out limited and fixed columns, and the clamps at 0.
TEST(ColumnFit, SharesTheClientWidthByTheInitialWidths)
{
    FitFrame bare = client(300);
    bare.indicator = false;
    bare.colLines = false;
    FitFrame linesOnly = client(300);
    linesOnly.indicator = false;
    FitFrame floor = client(100);
    floor.minAutoFitWidth = 354;

    const std::vector<FitCase> cases{
        // Flat error grid 356 wide: 354 inside the border, 339 after indicator and lines.
        {"exact shares", errorColumns(), client(354), {126, 91, 122}},
        // 124.0 + 90.3 + 120.4 rounds to 334 of 335: the third takes the pixel left over.
        {"remainder added to the third", errorColumns(), client(350), {124, 90, 121}},
        // 124.6 + 90.5 + 120.6 rounds to 337 of 336: the third gives one back.
        {"remainder taken from the third", errorColumns(), client(351), {125, 91, 120}},
        // With a 16-pixel vertical scroll bar beside the rows.
        {"beside a scroll bar", errorColumns(), client(338), {120, 87, 116}},
        {"no indicator and no lines", errorColumns(), bare, {111, 81, 108}},
        {"lines without the indicator", errorColumns(), linesOnly, {110, 80, 107}},
        {"minimum fit width", errorColumns(), floor, {126, 91, 122}},
        // A maximum holds the second column; the next round shares the rest between the others.
        {"maximum width",
         with(errorColumns(), 1, [](FitColumn &c) { c.maxWidth = 80; }),
         client(354),
         {132, 80, 127}},
        {"minimum width",
         with(errorColumns(), 0, [](FitColumn &c) { c.minWidth = 200; }),
         client(354),
         {200, 60, 79}},
        {"auto-fit off keeps its width",
         with(errorColumns(), 0, [](FitColumn &c) { c.autoFit = false, c.width = 100; }),
         client(354),
         {100, 102, 137}},
        {"hidden column takes no room",
         with(errorColumns(), 1, [](FitColumn &c) { c.visible = false; }),
         client(354),
         {173, 90, 167}},
        // No initial widths to share by: nothing has a target and nothing changes.
        {"S is zero",
         {FitColumn{30, 0}, FitColumn{40, 0}, FitColumn{50, 0}},
         client(354),
         {30, 40, 50}},
        // 2 pixels of room: 1 + 1 + 1 is one too many and the third goes to 0.
        {"remainder would go negative", errorColumns(), client(17), {1, 1, 0}},
        // Less room than the indicator and lines need: no column is narrower than nothing.
        {"negative room", errorColumns(), client(10), {0, 0, 0}},
    };
    for (const FitCase &c : cases) {
        std::vector<FitColumn> columns = c.columns;
        fitColumns(columns, c.frame);
        EXPECT_EQ(widths(columns), c.expected) << c.name;
    }
}

TEST(ColumnFit, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(roundedQuotient(5, 2), 3);
    EXPECT_EQ(roundedQuotient(-5, 2), -3);
    EXPECT_EQ(roundedQuotient(7, 3), 2);
    EXPECT_EQ(roundedQuotient(-7, 3), -2);
}

struct ResizeCase
{
    std::string name;
    std::vector<FitColumn> columns;
    std::size_t index;
    int oldWidth;
    int newWidth;
    std::vector<int> initial;
};

// Guards the initial-width update after a drag: the dragged column scales, the next visible
// column gives or takes the difference (not below 0), and a column that does not fit
// automatically only takes its new width.
TEST(ColumnFit, DragMovesInitialWidthToTheRightNeighbour)
{
    const std::vector<FitColumn> fitted{FitColumn{126, 124}, FitColumn{91, 90},
                                        FitColumn{122, 120}};
    std::vector<FitColumn> hiddenThird = fitted;
    hiddenThird[2].visible = false;
    hiddenThird.push_back(FitColumn{50, 50});
    std::vector<FitColumn> fixedSecond = fitted;
    fixedSecond[1].autoFit = false;
    std::vector<FitColumn> closedSecond = fitted;
    closedSecond[1].width = 0;

    const std::vector<ResizeCase> cases{
        // 90 x 111 / 91 = 109.8 -> 110; the third gives up 20.
        {"widened", fitted, 1, 91, 111, {124, 110, 100}},
        // 90 x 71 / 91 = 70.2 -> 70; the third takes 20.
        {"narrowed", fitted, 1, 91, 71, {124, 70, 140}},
        {"neighbour not below zero", fitted, 1, 91, 300, {124, 297, 0}},
        {"last column has no neighbour", fitted, 2, 122, 150, {124, 90, 148}},
        {"hidden neighbour skipped", hiddenThird, 1, 91, 111, {124, 110, 120, 30}},
        {"auto-fit off", fixedSecond, 1, 91, 111, {124, 90, 120}},
        {"unchanged width", fitted, 1, 91, 91, {124, 90, 120}},
        // From nothing there is no proportion: the initial width starts at the new width.
        {"opened from nothing", closedSecond, 1, 0, 40, {124, 40, 170}},
    };
    for (const ResizeCase &c : cases) {
        std::vector<FitColumn> columns = c.columns;
        resizeFittedColumn(columns, c.index, c.oldWidth, c.newWidth);
        EXPECT_EQ(initialWidths(columns), c.initial) << c.name;
        EXPECT_EQ(columns[c.index].width, c.newWidth) << c.name;
    }
}

// Guards the promise of the drag: after the fit runs again the dragged column has about the
// width it was dragged to, its right-hand neighbour gave exactly that much, and the total and
// the other columns stay as they were.
TEST(ColumnFit, RefitAfterDragKeepsTheTotal)
{
    std::vector<FitColumn> columns = errorColumns();
    fitColumns(columns, client(354));
    ASSERT_EQ(widths(columns), (std::vector<int>{126, 91, 122}));

    resizeFittedColumn(columns, 1, 91, 111);
    fitColumns(columns, client(354));
    EXPECT_EQ(widths(columns), (std::vector<int>{126, 112, 101}));
}

} // namespace
} // namespace kalmora::grids
