// SPDX-License-Identifier: Apache-2.0
#pragma once
// Field types: each has a name (used in failure messages) and a class; a persistent field
// binds to a result column only when both types are of the same class.

#include "core/value.h"

#include <string_view>

namespace kalmora::data {

enum class FieldType {
    Unknown,
    String,
    SmallInt,
    Integer,
    Word,
    Boolean,
    Float,
    Currency,
    BCD,
    Date,
    Time,
    DateTime,
    Bytes,
    VarBytes,
    AutoInc,
    Blob,
    Memo,
    Graphic,
    FmtMemo,
    ParadoxOle,
    DBaseOle,
    TypedBinary,
    Cursor,
    FixedChar,
    WideString,
    LargeInt,
    ADT,
    Array,
    Reference,
    DataSet,
    HugeBlob,
    HugeClob,
    Variant,
    Interface,
    Dispatch,
    Guid,
    SQLTimeStamp,
    FMTBcd,
};

/// The classes of binding-compatible types. Types not listed in a shared class are alone.
enum class FieldTypeClass {
    String,
    Integer,
    Float,
    DateTime,
    Blob,
    Unknown,
    Interface,
    Alone,
};

/// The type's name as failure messages write it ("String", "FMTBcdField", ...).
std::string_view fieldTypeName(FieldType type);

FieldTypeClass fieldTypeClass(FieldType type);

/// True when a field of type `field` may bind to a column of type `column`.
bool bindable(FieldType field, FieldType column);

/// The field type that a result column of `type` is described with.
FieldType fieldTypeOf(core::ColumnType type);

} // namespace kalmora::data
