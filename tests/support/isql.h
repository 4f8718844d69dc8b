// SPDX-License-Identifier: Apache-2.0
#pragma once
// SQL for the tests through isql-fb, the packaged command-line client: a way to set up
// and read back a company database that does not go through the program's own driver.
// Each call is one isql session that commits at its end, as the program's statements
// do. On the embedded engine a database file takes one process at a time, so no other
// connection of the test may be open on it meanwhile.

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kalmora::test {

/// A result row: upper-case column name (as the statement names it) to the value as
/// isql prints it with trailing blanks removed; a null is std::nullopt.
using SqlRow = std::map<std::string, std::optional<std::string>>;

/// A statement that the server refused; what() is isql's error text.
class SqlError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// `value` as an SQL string literal: between single quotes, each inner quote doubled.
std::string sqlLiteral(std::string_view value);

class Isql
{
public:
    /// `database` is a path (embedded engine) or a connection string such as
    /// "localhost/3050:/path/file.fdb". The embedded engine checks no password.
    explicit Isql(std::string database, std::string user = "SYSDBA", std::string password = {});

    /// Runs one SELECT (or a selectable procedure call), commits, returns its rows.
    /// Throws SqlError when the server refuses it.
    std::vector<SqlRow> query(std::string_view select) const;
    /// Runs the statements one after the other in one session (cheaper than one call
    /// each), commits at the end, and returns each one's rows (none for a statement
    /// without a result). Throws SqlError when the server refuses one.
    std::vector<std::vector<SqlRow>> queries(const std::vector<std::string> &selects) const;
    /// The single value of a one-row, one-column query.
    std::optional<std::string> value(std::string_view select) const;
    /// Runs statements separated by ';' and commits. Throws SqlError on the first failure.
    void execute(std::string_view statements) const;
    /// Runs statements that must fail; returns the error text. Throws std::logic_error
    /// when they succeed.
    std::string failure(std::string_view statements) const;

private:
    struct Output
    {
        bool ok = false;
        std::string out;
        std::string err;
    };
    Output run(std::string_view statements) const;

    std::string database_;
    std::string user_;
    std::string password_;
};

} // namespace kalmora::test
