// SPDX-License-Identifier: Apache-2.0
#pragma once
// The one reading of Firebird's types as column types, for the columns of a message and
// for the stored parameters of a procedure alike.

#include "core/value.h"

#include <cstdint>
#include <optional>

namespace kalmora::driver {

/// The column type of Firebird SQL type `sqlType` (SQL_* without the null bit). `subType`
/// tells text blobs (1) from binary ones; a scaled integer (negative scale) is a decimal.
/// Nullopt for a type the driver cannot read.
std::optional<core::ColumnType> columnTypeOf(unsigned sqlType, int subType, bool scaled);

/// The SQL type (SQL_*) of a stored field type code (RDB$FIELDS.RDB$FIELD_TYPE); 0 for a
/// code that has none the driver reads. A quad is read as a 64-bit integer, a C string as a
/// varying one.
unsigned sqlTypeOfStored(std::int64_t fieldType);

} // namespace kalmora::driver
