#pragma once
// The SQL of a save: one statement per changed row of the delta, its text as lines ended by
// CR LF, and its positional parameters (new values first, then the values as fetched of the
// WHERE lines). Rows are identified by every column bearing the in-where flag.

#include "data/memory_table.h"
#include "data/sql_connection.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalmora::data {

struct UpdateStatement
{
    std::string text;
    std::vector<Param> params;
};

/// The table name as a save writes it: each dot-separated part between `quote` characters;
/// a name already beginning or ending with a double quote, single quote or back quote is
/// used unchanged; an empty `quote` leaves the name bare.
std::string writtenTableName(std::string_view name, std::string_view quote);

/// The statement for one changed row; nullopt for a modified row with no changed column.
/// A modified or deleted row with no column to identify it fails with
/// "Unable to find record.  No key specified".
std::optional<UpdateStatement> updateStatement(const std::vector<TableColumn> &columns,
                                               const DeltaRow &row, std::string_view table,
                                               std::string_view quote);

} // namespace kalmora::data
