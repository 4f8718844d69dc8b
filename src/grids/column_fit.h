// SPDX-License-Identifier: Apache-2.0
#pragma once
// Fitting the columns to the grid's width, and what a resize by mouse does to the widths
// the fit works from. Plain arithmetic on the visible columns; the widget supplies the
// client width and applies the resulting widths.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kalmora::grids {

/// One column as the fit sees it.
struct FitColumn
{
    int width = 0;
    /// The reference width: the fit shares the room in proportion to the initial widths.
    int initialWidth = 0;
    bool autoFit = true;
    bool visible = true;
    int minWidth = 0; // 0: no limit
    int maxWidth = 0; // 0: no limit
};

/// What surrounds the columns in the grid's client area.
struct FitFrame
{
    int clientWidth = 0;
    /// The fit never works from a client width below this.
    int minAutoFitWidth = 0;
    bool indicator = true;
    int indicatorWidth = 11;
    /// A one-pixel line right of the indicator and of every column.
    bool colLines = true;
};

/// `numerator / denominator` (denominator above 0) rounded to the nearest integer, halves away
/// from zero.
std::int64_t roundedQuotient(std::int64_t numerator, std::int64_t denominator);

/// A column's width within its minimum and maximum; never below 0.
int limitedWidth(const FitColumn &column, std::int64_t width);

/// Shares the client width among the visible auto-fit columns in proportion to their initial
/// widths, in rounds that take out the columns held by their limits; the rightmost column
/// still free takes the rounding remainder.
void fitColumns(std::vector<FitColumn> &columns, const FitFrame &frame);

/// After the user dragged column `index` from `oldWidth` to `newWidth` in a fitting grid: the
/// column takes the new width and, when it fits automatically, its initial width scales with
/// it and the next visible column's initial width gives or takes the difference, so that the
/// next fit keeps the total. Run fitColumns afterwards.
void resizeFittedColumn(std::vector<FitColumn> &columns, std::size_t index, int oldWidth,
                        int newWidth);

} // namespace kalmora::grids
