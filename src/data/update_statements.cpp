#include "data/update_statements.h"

#include "core/errors.h"

namespace kalmora::data {

namespace {

constexpr const char *lineEnd = "\r\n";

std::string written(const std::string &column, std::string_view quote)
{
    return std::string(quote) + column + std::string(quote);
}

bool isBlob(ColumnType type)
{
    return type == ColumnType::TextBlob || type == ColumnType::BinaryBlob;
}

bool identifies(const TableColumn &column)
{
    const bool wide =
        (column.desc.type == ColumnType::String || column.desc.type == ColumnType::FixedChar) &&
        column.desc.width >= 8192;
    return column.inWhere && !isBlob(column.desc.type) && !wide;
}

/// The type a value is sent with: the column's, except that a decimal carries the
/// precision and scale of its own digits.
Param parameter(const TableColumn &column, const Value &value)
{
    if (std::holds_alternative<Decimal>(value))
        return Param{parameterTypeOf(value), value};
    return Param{column.desc, value};
}

void appendWhere(std::string &text, std::vector<Param> &params,
                 const std::vector<TableColumn> &columns, const DeltaRow &row,
                 std::string_view quote)
{
    std::string lines;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (!identifies(columns[c]))
            continue;
        const Value &fetched = row.fetched[c];
        lines += " " + written(columns[c].desc.name, quote);
        if (isNull(fetched)) {
            lines += " is null and";
        } else {
            lines += " = ? and";
            params.push_back(parameter(columns[c], fetched));
        }
        lines += lineEnd;
    }
    if (lines.empty())
        throw EDatabaseError("Unable to find record.  No key specified");
    // The last line loses its final " and".
    lines.erase(lines.size() - 2 - 4, 4);
    text += "where";
    text += lineEnd;
    text += lines;
}

} // namespace

std::string writtenTableName(std::string_view name, std::string_view quote)
{
    if (quote.empty() || name.empty())
        return std::string(name);
    const auto quoted = [](char c) { return c == '"' || c == '\'' || c == '`'; };
    if (quoted(name.front()) || quoted(name.back()))
        return std::string(name);
    std::string result;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = name.find('.', start);
        result +=
            std::string(quote) + std::string(name.substr(start, dot - start)) + std::string(quote);
        if (dot == std::string_view::npos)
            break;
        result += '.';
        start = dot + 1;
    }
    return result;
}

std::optional<UpdateStatement> updateStatement(const std::vector<TableColumn> &columns,
                                               const DeltaRow &row, std::string_view table,
                                               std::string_view quote)
{
    UpdateStatement statement;
    std::string &text = statement.text;
    switch (row.kind) {
    case UpdateKind::ukDelete:
        text = "delete from " + std::string(table) + " " + lineEnd;
        appendWhere(text, statement.params, columns, row, quote);
        break;
    case UpdateKind::ukInsert: {
        std::string names, marks;
        std::vector<std::size_t> chosen;
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (columns[c].inUpdate && row.changed[c])
                chosen.push_back(c);
        // A row given no value at all is written as nulls in every column.
        if (chosen.empty())
            for (std::size_t c = 0; c < columns.size(); ++c)
                if (columns[c].inUpdate)
                    chosen.push_back(c);
        if (chosen.empty())
            throw EDatabaseError("No column to insert into " + std::string(table));
        for (std::size_t c : chosen) {
            names += written(columns[c].desc.name, quote) + ", ";
            marks += "?, ";
            statement.params.push_back(parameter(columns[c], row.current[c]));
        }
        names.replace(names.size() - 2, 2, ")");
        marks.replace(marks.size() - 2, 2, ")");
        text = "insert into " + std::string(table) + lineEnd;
        text += "  (" + names + lineEnd;
        text += std::string("values") + lineEnd;
        text += "  (" + marks + lineEnd;
        break;
    }
    case UpdateKind::ukModify: {
        std::string sets;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (!columns[c].inUpdate || !row.changed[c])
                continue;
            sets += " " + written(columns[c].desc.name, quote) + " = ?," + lineEnd;
            statement.params.push_back(parameter(columns[c], row.current[c]));
        }
        if (sets.empty())
            return std::nullopt;
        sets.erase(sets.size() - 3, 1);
        text = "update " + std::string(table) + "  set" + lineEnd + sets;
        appendWhere(text, statement.params, columns, row, quote);
        break;
    }
    }
    return statement;
}

} // namespace kalmora::data
