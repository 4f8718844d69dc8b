#include "grids/window_grids.h"

#include "grids/db_grid_eh.h"

namespace kalmora::grids {

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

} // namespace kalmora::grids
