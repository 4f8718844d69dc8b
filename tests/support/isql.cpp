// SPDX-License-Identifier: Apache-2.0
#include "support/isql.h"

#include "support/run_program.h"

#include <sstream>

namespace kalmora::test {
namespace {

// In list mode isql prints each column as its name padded to 31 characters, a blank
// and the value; rows are separated by blank lines.
constexpr std::size_t valueColumn = 32;

std::vector<SqlRow> parseList(const std::string &out)
{
    std::vector<SqlRow> rows;
    SqlRow row;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            if (!row.empty())
                rows.push_back(std::move(row));
            row.clear();
            continue;
        }
        const std::size_t nameEnd = line.find(' ');
        const std::string name = line.substr(0, nameEnd);
        std::string value;
        if (nameEnd != std::string::npos) {
            const std::size_t start = std::max(valueColumn, nameEnd + 1);
            if (start < line.size())
                value = line.substr(start);
        }
        value.erase(value.find_last_not_of(' ') + 1);
        if (value == "<null>")
            row[name] = std::nullopt;
        else
            row[name] = value;
    }
    if (!row.empty())
        rows.push_back(std::move(row));
    return rows;
}

} // namespace

std::string sqlLiteral(std::string_view value)
{
    std::string quoted = "'";
    for (const char c : value) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted + "'";
}

Isql::Isql(std::string database, std::string user, std::string password)
    : database_(std::move(database)), user_(std::move(user)), password_(std::move(password))
{
}

Isql::Output Isql::run(std::string_view statements) const
{
    std::vector<std::string> argv{"isql-fb", "-q", "-bail", "-ch", "UTF8", "-user", user_};
    if (!password_.empty()) {
        argv.push_back("-password");
        argv.push_back(password_);
    }
    argv.push_back(database_);
    std::string script = "SET LIST ON;\n";
    script += statements;
    script += ";\nCOMMIT;\n";
    const ProgramResult result = runProgram(argv, script);
    return {result.exitCode == 0 && result.err.empty(), result.out, result.err};
}

std::vector<SqlRow> Isql::query(std::string_view select) const
{
    const Output output = run(select);
    if (!output.ok)
        throw SqlError(output.err);
    return parseList(output.out);
}

std::vector<std::vector<SqlRow>> Isql::queries(const std::vector<std::string> &selects) const
{
    // A marker row after each statement tells where its rows end.
    static const std::string marker = "KALMORA_END_OF_RESULT";
    std::string script;
    for (const std::string &select : selects) {
        if (!script.empty())
            script += ";\n";
        script += select + ";\nselect 1 as " + marker + " from rdb$database";
    }
    const Output output = run(script);
    if (!output.ok)
        throw SqlError(output.err);
    std::vector<std::vector<SqlRow>> results(1);
    for (SqlRow &row : parseList(output.out)) {
        if (row.count(marker))
            results.emplace_back();
        else
            results.back().push_back(std::move(row));
    }
    results.pop_back();
    return results;
}

std::optional<std::string> Isql::value(std::string_view select) const
{
    const std::vector<SqlRow> rows = query(select);
    if (rows.size() != 1 || rows.front().size() != 1)
        throw std::logic_error("expected one value from: " + std::string(select));
    return rows.front().begin()->second;
}

void Isql::execute(std::string_view statements) const
{
    const Output output = run(statements);
    if (!output.ok)
        throw SqlError(output.err);
}

std::string Isql::failure(std::string_view statements) const
{
    const Output output = run(statements);
    if (output.ok)
        throw std::logic_error("expected a failure from: " + std::string(statements));
    return output.err;
}

} // namespace kalmora::test
