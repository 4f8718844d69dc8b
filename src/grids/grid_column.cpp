#include "grids/grid_column.h"

#include "data/field.h"

namespace kalmora::grids {

ColumnSettings::ColumnSettings(std::string field, int pixels)
    : fieldName(std::move(field)), width(pixels)
{
}

int defaultColumnWidth(const data::TField *field, int zeroWidth, int overhang)
{
    if (!field)
        return 64;
    return field->displayWidth() * (zeroWidth - overhang) + overhang + 4;
}

std::string columnTitle(const ColumnSettings &column, const data::TField *field)
{
    if (!column.title.empty())
        return column.title;
    if (field)
        return field->displayName();
    return column.fieldName;
}

} // namespace kalmora::grids
