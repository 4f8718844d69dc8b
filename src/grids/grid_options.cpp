// SPDX-License-Identifier: Apache-2.0
#include "grids/grid_options.h"

namespace kalmora::grids {

GridOptions GridSettings::options() const
{
    GridOptions options = options_;
    return options.set(GridOption::dgColumnResize,
                       optionsEh_.contains(GridOptionEh::dghColumnResize) &&
                           optionsEh_.contains(GridOptionEh::dghColumnMove));
}

void GridSettings::setOptions(GridOptions options)
{
    const bool wasOn = this->options().contains(GridOption::dgColumnResize);
    const bool on = options.contains(GridOption::dgColumnResize);
    if (on != wasOn) {
        optionsEh_.set(GridOptionEh::dghColumnResize, on);
        optionsEh_.set(GridOptionEh::dghColumnMove, on);
    }
    options_ = options;
}

} // namespace kalmora::grids
