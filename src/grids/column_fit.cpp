// SPDX-License-Identifier: Apache-2.0
#include "grids/column_fit.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace kalmora::grids {

std::int64_t roundedQuotient(std::int64_t numerator, std::int64_t denominator)
{
    if (numerator < 0)
        return -((-numerator * 2 + denominator) / (denominator * 2));
    return (numerator * 2 + denominator) / (denominator * 2);
}

int limitedWidth(const FitColumn &column, std::int64_t width)
{
    if (column.maxWidth > 0 && width > column.maxWidth)
        width = column.maxWidth;
    if (column.minWidth > 0 && width < column.minWidth)
        width = column.minWidth;
    // A column cannot be narrower than nothing, whatever the room left.
    width = std::clamp<std::int64_t>(width, 0, std::numeric_limits<int>::max());
    return int(width);
}

void fitColumns(std::vector<FitColumn> &columns, const FitFrame &frame)
{
    const std::size_t count = columns.size();
    const auto visibleCount =
        std::count_if(columns.begin(), columns.end(), [](const FitColumn &c) { return c.visible; });
    std::vector<bool> free(count);
    for (std::size_t i = 0; i < count; ++i)
        free[i] = columns[i].visible;
    const auto freeFit = [&](std::size_t i) { return free[i] && columns[i].autoFit; };

    std::int64_t room = 0;
    std::int64_t taken = 0;
    for (std::ptrdiff_t round = 0; round < visibleCount; ++round) {
        std::int64_t shared = 0; // S
        std::int64_t fixed = 0;  // F
        for (std::size_t i = 0; i < count; ++i) {
            if (!columns[i].visible)
                continue;
            if (freeFit(i))
                shared += columns[i].initialWidth;
            else
                fixed += columns[i].width;
        }
        room =
            std::max<std::int64_t>(std::max(frame.clientWidth, frame.minAutoFitWidth) - fixed, 0);
        if (frame.indicator)
            room -= frame.indicatorWidth;
        if (frame.colLines)
            room -= visibleCount;
        if (frame.indicator && frame.colLines)
            room -= 1;

        bool someStopped = false;
        taken = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (!freeFit(i))
                continue;
            std::optional<std::int64_t> target;
            if (shared != 0) {
                target = roundedQuotient(std::int64_t{columns[i].initialWidth} * room, shared);
                columns[i].width = limitedWidth(columns[i], *target);
            }
            if (!target || columns[i].width != *target) {
                free[i] = false;
                someStopped = true;
            }
            taken += columns[i].width;
        }
        if (!someStopped)
            break;
    }

    if (taken != room) {
        for (std::size_t i = count; i-- > 0;) {
            if (freeFit(i)) {
                columns[i].width = int(std::max<std::int64_t>(columns[i].width + room - taken, 0));
                break;
            }
        }
    }
}

void resizeFittedColumn(std::vector<FitColumn> &columns, std::size_t index, int oldWidth,
                        int newWidth)
{
    FitColumn &column = columns[index];
    column.width = newWidth;
    if (newWidth == oldWidth || !column.autoFit)
        return;
    const int oldInitial = column.initialWidth;
    // A column dragged open from nothing has no proportion to scale by: it starts afresh
    // from the width it was given.
    const std::int64_t newInitial =
        oldWidth > 0 ? roundedQuotient(std::int64_t{oldInitial} * newWidth, oldWidth) : newWidth;
    column.initialWidth =
        int(std::clamp<std::int64_t>(newInitial, 0, std::numeric_limits<int>::max()));
    for (std::size_t next = index + 1; next < columns.size(); ++next) {
        if (columns[next].visible) {
            const std::int64_t given =
                std::int64_t{columns[next].initialWidth} + oldInitial - column.initialWidth;
            columns[next].initialWidth =
                int(std::clamp<std::int64_t>(given, 0, std::numeric_limits<int>::max()));
            break;
        }
    }
}

} // namespace kalmora::grids
