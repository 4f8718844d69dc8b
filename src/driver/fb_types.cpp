// SPDX-License-Identifier: Apache-2.0
#include "driver/fb_types.h"

#include <firebird/Interface.h>

namespace kalmora::driver {

namespace {

// RDB$FIELDS.RDB$FIELD_TYPE codes.
namespace stored {
enum Type {
    Short = 7,
    Long = 8,
    Quad = 9,
    Float = 10,
    Date = 12,
    Time = 13,
    Text = 14,
    Int64 = 16,
    Boolean = 23,
    Double = 27,
    Timestamp = 35,
    Varying = 37,
    Cstring = 40,
    Blob = 261,
};
} // namespace stored

} // namespace

std::optional<core::ColumnType> columnTypeOf(unsigned sqlType, int subType, bool scaled)
{
    switch (sqlType) {
    case SQL_TEXT:
        return core::ColumnType::FixedChar;
    case SQL_VARYING:
        return core::ColumnType::String;
    case SQL_SHORT:
        return scaled ? core::ColumnType::Decimal : core::ColumnType::SmallInt;
    case SQL_LONG:
        return scaled ? core::ColumnType::Decimal : core::ColumnType::Integer;
    case SQL_INT64:
        return scaled ? core::ColumnType::Decimal : core::ColumnType::LargeInt;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return core::ColumnType::Float;
    case SQL_TYPE_DATE:
        return core::ColumnType::Date;
    case SQL_TYPE_TIME:
        return core::ColumnType::Time;
    case SQL_TIMESTAMP:
        return core::ColumnType::Timestamp;
    case SQL_BLOB:
        return subType == 1 ? core::ColumnType::TextBlob : core::ColumnType::BinaryBlob;
    case SQL_BOOLEAN:
        // No boolean column type: read as 0 or 1.
        return core::ColumnType::SmallInt;
    default:
        return std::nullopt;
    }
}

unsigned sqlTypeOfStored(std::int64_t fieldType)
{
    switch (fieldType) {
    case stored::Short:
        return SQL_SHORT;
    case stored::Long:
        return SQL_LONG;
    case stored::Quad:
    case stored::Int64:
        return SQL_INT64;
    case stored::Float:
        return SQL_FLOAT;
    case stored::Double:
        return SQL_DOUBLE;
    case stored::Date:
        return SQL_TYPE_DATE;
    case stored::Time:
        return SQL_TYPE_TIME;
    case stored::Timestamp:
        return SQL_TIMESTAMP;
    case stored::Text:
        return SQL_TEXT;
    case stored::Varying:
    case stored::Cstring:
        return SQL_VARYING;
    case stored::Blob:
        return SQL_BLOB;
    case stored::Boolean:
        return SQL_BOOLEAN;
    default:
        return 0;
    }
}

} // namespace kalmora::driver
