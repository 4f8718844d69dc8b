// SPDX-License-Identifier: Apache-2.0
// The settings' flag sets and the tie between dgColumnResize and the two mouse flags.
#include "grids/grid_options.h"

#include <gtest/gtest.h>

namespace kalmora::grids {
namespace {

// Guards the rule that dgColumnResize is on exactly when both mouse flags are, and that
// switching it switches both.
TEST(GridSettings, ColumnResizeFollowsTheMouseFlags)
{
    GridSettings settings;
    EXPECT_TRUE(settings.has(GridOption::dgColumnResize));

    GridOptionsEh noMove = GridSettings::kDefaultOptionsEh;
    settings.setOptionsEh(noMove.erase(GridOptionEh::dghColumnMove));
    EXPECT_FALSE(settings.has(GridOption::dgColumnResize));
    EXPECT_TRUE(settings.has(GridOptionEh::dghColumnResize));

    // Turning it on turns both on.
    GridOptions options = settings.options();
    settings.setOptions(options.insert(GridOption::dgColumnResize));
    EXPECT_TRUE(settings.has(GridOptionEh::dghColumnMove));
    EXPECT_TRUE(settings.has(GridOptionEh::dghColumnResize));

    // Turning it off turns both off; the other options stay as given.
    settings.setOptions(options.erase(GridOption::dgColumnResize).erase(GridOption::dgTabs));
    EXPECT_FALSE(settings.has(GridOptionEh::dghColumnMove));
    EXPECT_FALSE(settings.has(GridOptionEh::dghColumnResize));
    EXPECT_FALSE(settings.has(GridOption::dgTabs));
    EXPECT_TRUE(settings.has(GridOption::dgEditing));
}

} // namespace
} // namespace kalmora::grids
