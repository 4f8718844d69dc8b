// SPDX-License-Identifier: Apache-2.0
#include "data/field_types.h"

namespace kalmora::data {

std::string_view fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::Unknown:
        return "Unknown";
    case FieldType::String:
        return "String";
    case FieldType::SmallInt:
        return "SmallInt";
    case FieldType::Integer:
        return "Integer";
    case FieldType::Word:
        return "Word";
    case FieldType::Boolean:
        return "Boolean";
    case FieldType::Float:
        return "Float";
    case FieldType::Currency:
        return "Currency";
    case FieldType::BCD:
        return "BCD";
    case FieldType::Date:
        return "Date";
    case FieldType::Time:
        return "Time";
    case FieldType::DateTime:
        return "DateTime";
    case FieldType::Bytes:
        return "Bytes";
    case FieldType::VarBytes:
        return "VarBytes";
    case FieldType::AutoInc:
        return "AutoInc";
    case FieldType::Blob:
        return "Blob";
    case FieldType::Memo:
        return "Memo";
    case FieldType::Graphic:
        return "Graphic";
    case FieldType::FmtMemo:
        return "FmtMemo";
    case FieldType::ParadoxOle:
        return "ParadoxOle";
    case FieldType::DBaseOle:
        return "dBaseOle";
    case FieldType::TypedBinary:
        return "TypedBinary";
    case FieldType::Cursor:
        return "Cursor";
    case FieldType::FixedChar:
        return "FixedChar";
    case FieldType::WideString:
        return "WideString";
    case FieldType::LargeInt:
        return "LargeInt";
    case FieldType::ADT:
        return "ADT";
    case FieldType::Array:
        return "Array";
    case FieldType::Reference:
        return "Reference";
    case FieldType::DataSet:
        return "DataSet";
    case FieldType::HugeBlob:
        return "HugeBlob";
    case FieldType::HugeClob:
        return "HugeClob";
    case FieldType::Variant:
        return "Variant";
    case FieldType::Interface:
        return "Interface";
    case FieldType::Dispatch:
        return "Dispatch";
    case FieldType::Guid:
        return "Guid";
    case FieldType::SQLTimeStamp:
        return "SQLTimeStamp";
    case FieldType::FMTBcd:
        return "FMTBcdField";
    }
    return "Unknown";
}

FieldTypeClass fieldTypeClass(FieldType type)
{
    switch (type) {
    case FieldType::String:
    case FieldType::FixedChar:
    case FieldType::Guid:
        return FieldTypeClass::String;
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::Word:
    case FieldType::AutoInc:
        return FieldTypeClass::Integer;
    case FieldType::Float:
    case FieldType::Currency:
        return FieldTypeClass::Float;
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return FieldTypeClass::DateTime;
    case FieldType::Blob:
    case FieldType::Memo:
    case FieldType::Graphic:
    case FieldType::FmtMemo:
    case FieldType::ParadoxOle:
    case FieldType::DBaseOle:
    case FieldType::TypedBinary:
    case FieldType::HugeBlob:
    case FieldType::HugeClob:
        return FieldTypeClass::Blob;
    case FieldType::Unknown:
    case FieldType::Cursor:
    case FieldType::WideString:
        return FieldTypeClass::Unknown;
    case FieldType::Interface:
    case FieldType::Dispatch:
        return FieldTypeClass::Interface;
    default:
        return FieldTypeClass::Alone;
    }
}

bool bindable(FieldType field, FieldType column)
{
    if (field == column)
        return true;
    const FieldTypeClass cls = fieldTypeClass(field);
    return cls != FieldTypeClass::Alone && cls == fieldTypeClass(column);
}

FieldType fieldTypeOf(core::ColumnType type)
{
    switch (type) {
    case core::ColumnType::SmallInt:
        return FieldType::SmallInt;
    case core::ColumnType::Integer:
        return FieldType::Integer;
    case core::ColumnType::LargeInt:
        return FieldType::LargeInt;
    case core::ColumnType::String:
        return FieldType::String;
    case core::ColumnType::FixedChar:
        return FieldType::FixedChar;
    case core::ColumnType::Date:
        return FieldType::Date;
    case core::ColumnType::Time:
        return FieldType::Time;
    case core::ColumnType::Timestamp:
        return FieldType::SQLTimeStamp;
    case core::ColumnType::Decimal:
        return FieldType::FMTBcd;
    case core::ColumnType::Float:
        return FieldType::Float;
    case core::ColumnType::TextBlob:
        return FieldType::Memo;
    case core::ColumnType::BinaryBlob:
        return FieldType::Blob;
    }
    return FieldType::Unknown;
}

} // namespace kalmora::data
