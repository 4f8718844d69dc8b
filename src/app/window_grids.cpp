// SPDX-License-Identifier: Apache-2.0
#include "app/window_grids.h"

#include "grids/db_grid_eh.h"

namespace kalmora::app {

using grids::ColumnSettings;
using grids::DBGridEh;
using grids::GridOptionEh;
using grids::GridOptionsEh;
using grids::GridSettings;
using grids::IndicatorOption;

void applyErrorGridSettings(DBGridEh &grid, data::TDataSource &DError)
{
    grid.setOptions(GridSettings::kDefaultOptions);
    grid.setOptionsEh(GridSettings::kDefaultOptionsEh);
    grid.setAllowedOperations({});
    grid.setIndicatorOptions({IndicatorOption::gioShowRowIndicatorEh});
    grid.setFlat(true);
    grid.setAutoFitColWidths(true);
    // The first column's default width comes from its field: bind before the columns.
    grid.setDataSource(&DError);
    grid.setColumns({ColumnSettings("ERRO_CODIGO"), ColumnSettings("ERRO_CADENA", 90),
                     ColumnSettings("INTERFAZ", 120)});
    grid.setEnabled(false);
}

void applyRatesGridSettings(DBGridEh &grid, data::TDataSource &DAjuste)
{
    grid.setOptions(GridSettings::kDefaultOptions);
    GridOptionsEh optionsEh = GridSettings::kDefaultOptionsEh;
    optionsEh.insert(GridOptionEh::dghEnterAsTab).insert(GridOptionEh::dghIncSearch);
    grid.setOptionsEh(optionsEh);
    grid.setAllowedOperations(GridSettings::kAllOperations);
    grid.setIndicatorOptions({IndicatorOption::gioShowRowIndicatorEh});
    grid.setFlat(false);
    grid.setAutoFitColWidths(false);
    // The date columns' default widths come from their fields: bind before the columns.
    grid.setDataSource(&DAjuste);
    grid.setColumns({ColumnSettings("AJCI_FECINI"), ColumnSettings("AJCI_FECFIN"),
                     ColumnSettings("AJCI_PORC", 59), ColumnSettings("AJCI_FACTOR", 63)});
    grid.setEnabled(true);
}

} // namespace kalmora::app
