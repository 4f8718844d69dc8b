// SPDX-License-Identifier: Apache-2.0
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

bool rightAligned(const data::TField *field)
{
    using data::FieldType;
    switch (field ? field->dataType() : FieldType::Unknown) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::Word:
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
    case FieldType::AutoInc:
    case FieldType::LargeInt:
    case FieldType::FMTBcd:
        return true;
    default:
        return false;
    }
}

} // namespace kalmora::grids
