// SPDX-License-Identifier: Apache-2.0
#pragma once
// Filters and searches over a data set's rows: the comparison of a field with a constant
// ("AJCI_FECINI = '10/12/2026'"), the constant read in the field's own type, so that a date
// written in the user's short date format is compared by whole day.

#include "core/value.h"
#include "data/memory_table.h"

#include <optional>
#include <string>
#include <string_view>

namespace kalmora::data {

class TField;

/// Orders two values of compatible kinds (integers and decimals mix); nullopt when either is
/// null or the kinds cannot be compared.
std::optional<int> compareValues(const core::Value &a, const core::Value &b);

/// A parsed filter text: `<field> <op> <constant>`, where op is one of = <> < > <= >= and
/// the constant is a quoted text (quotes inside doubled) or a plain number.
struct FilterCondition
{
    std::string fieldName;
    std::string op;
    std::string constant;
    bool quoted = false;
};

/// Reads a filter text; fails (EDBClient) when it is not of the form above.
FilterCondition parseFilter(std::string_view text);

/// The row test for `condition` on `field` (bound to an open data set). The constant is
/// converted to the field's type first, which raises that type's conversion failure.
MemoryTable::RowFilter makeRowFilter(const FilterCondition &condition, const TField &field,
                                     int column);

} // namespace kalmora::data
