// SPDX-License-Identifier: Apache-2.0
#pragma once
// The SQL of a save: one statement per changed row of the delta, its text as lines ended by
// CR LF, and its positional parameters (new values first, then the values as fetched of the
// WHERE lines). Rows are identified by every column bearing the in-where flag.
//
// A statement's text depends only on its shape (the kind of change, the columns written and
// which identifying values were fetched null), so that a save prepares each shape once and
// sends the rows of that shape with their parameters alone.

#include "data/memory_table.h"
#include "data/sql_connection.h"

#include <cstdint>
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

/// What decides the text of a row's statement: the kind of change and, per column, what
/// the statement does with it.
struct StatementShape
{
    enum Use : std::uint8_t {
        written = 1, // insert and update: the column is given a value
        key = 2,     // update and delete: the column identifies the row...
        nullKey = 4, // ...and was fetched null
    };
    UpdateKind kind = UpdateKind::ukModify;
    std::vector<std::uint8_t> uses; // per column, Use flags
    friend auto operator<=>(const StatementShape &, const StatementShape &) = default;
};

/// The shape of the statement for one changed row; nullopt for a modified row with no
/// changed column. A modified or deleted row with no column to identify it fails with
/// "Unable to find record.  No key specified".
std::optional<StatementShape> statementShape(const std::vector<TableColumn> &columns,
                                             const DeltaRow &row);
/// The text of a statement of `shape`. An insert that may write no column fails.
std::string statementText(const std::vector<TableColumn> &columns, const StatementShape &shape,
                          std::string_view table, std::string_view quote);
/// The parameters of `row`'s statement of `shape`, in the order of its "?" marks, written
/// into `params`.
void statementParams(const std::vector<TableColumn> &columns, const DeltaRow &row,
                     const StatementShape &shape, std::vector<Param> &params);

/// The statement for one changed row, text and parameters at once; nullopt and failures as
/// statementShape and statementText.
std::optional<UpdateStatement> updateStatement(const std::vector<TableColumn> &columns,
                                               const DeltaRow &row, std::string_view table,
                                               std::string_view quote);

} // namespace kalmora::data
