// SPDX-License-Identifier: Apache-2.0
#include "data/update_statements.h"

#include "core/errors.h"

namespace kalmora::data {

namespace {

constexpr const char *lineEnd = "\r\n";

std::string written(const std::string &column, std::string_view quote)
{
    return std::string(quote) + column + std::string(quote);
}

bool isBlob(core::ColumnType type)
{
    return type == core::ColumnType::TextBlob || type == core::ColumnType::BinaryBlob;
}

bool identifies(const TableColumn &column)
{
    const bool wide = (column.desc.type == core::ColumnType::String ||
                       column.desc.type == core::ColumnType::FixedChar) &&
                      column.desc.width >= 8192;
    return column.inWhere && !isBlob(column.desc.type) && !wide;
}

void appendWhere(std::string &text, const std::vector<TableColumn> &columns,
                 const StatementShape &shape, std::string_view quote)
{
    text += "where";
    text += lineEnd;
    std::string lines;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (!(shape.uses[c] & StatementShape::key))
            continue;
        lines += " " + written(columns[c].desc.name, quote);
        lines += shape.uses[c] & StatementShape::nullKey ? " is null and" : " = ? and";
        lines += lineEnd;
    }
    // The last line loses its final " and".
    lines.erase(lines.size() - 2 - 4, 4);
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

std::optional<StatementShape> statementShape(const std::vector<TableColumn> &columns,
                                             const DeltaRow &row)
{
    StatementShape shape;
    shape.kind = row.kind;
    shape.uses.assign(columns.size(), 0);
    if (row.kind != UpdateKind::ukDelete) {
        bool any = false;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (columns[c].inUpdate && row.changed[c]) {
                shape.uses[c] |= StatementShape::written;
                any = true;
            }
        }
        if (!any && row.kind == UpdateKind::ukModify)
            return std::nullopt;
        // A row given no value at all is written as nulls in every column.
        if (!any)
            for (std::size_t c = 0; c < columns.size(); ++c)
                if (columns[c].inUpdate)
                    shape.uses[c] |= StatementShape::written;
    }
    if (row.kind != UpdateKind::ukInsert) {
        bool any = false;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (!identifies(columns[c]))
                continue;
            any = true;
            shape.uses[c] |= StatementShape::key;
            if (isNull(row.fetched[c]))
                shape.uses[c] |= StatementShape::nullKey;
        }
        if (!any)
            throw core::EDatabaseError("Unable to find record.  No key specified");
    }
    return shape;
}

std::string statementText(const std::vector<TableColumn> &columns, const StatementShape &shape,
                          std::string_view table, std::string_view quote)
{
    std::string text;
    switch (shape.kind) {
    case UpdateKind::ukDelete:
        text = "delete from " + std::string(table) + " " + lineEnd;
        break;
    case UpdateKind::ukInsert: {
        std::string names, marks;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (!(shape.uses[c] & StatementShape::written))
                continue;
            names += written(columns[c].desc.name, quote) + ", ";
            marks += "?, ";
        }
        if (names.empty())
            throw core::EDatabaseError("No column to insert into " + std::string(table));
        names.replace(names.size() - 2, 2, ")");
        marks.replace(marks.size() - 2, 2, ")");
        text = "insert into " + std::string(table) + lineEnd;
        text += "  (" + names + lineEnd;
        text += std::string("values") + lineEnd;
        text += "  (" + marks + lineEnd;
        return text;
    }
    case UpdateKind::ukModify: {
        std::string sets;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (shape.uses[c] & StatementShape::written)
                sets += " " + written(columns[c].desc.name, quote) + " = ?," + lineEnd;
        }
        sets.erase(sets.size() - 3, 1);
        text = "update " + std::string(table) + "  set" + lineEnd + sets;
        break;
    }
    }
    appendWhere(text, columns, shape, quote);
    return text;
}

void statementParams(const std::vector<TableColumn> &columns, const DeltaRow &row,
                     const StatementShape &shape, std::vector<Param> &params)
{
    // Written over the parameters of the row before, so that their buffers are reused.
    std::size_t count = 0;
    const auto put = [&](const TableColumn &column, const core::Value &value) {
        if (count == params.size())
            params.emplace_back();
        Param &param = params[count++];
        // The column's type, except that a decimal carries the precision and scale of its
        // own digits.
        if (std::holds_alternative<core::Decimal>(value))
            param.type = driver::parameterTypeOf(value);
        else
            param.type = column.desc;
        param.value = value;
    };
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (shape.uses[c] & StatementShape::written)
            put(columns[c], row.current[c]);
    for (std::size_t c = 0; c < columns.size(); ++c)
        if ((shape.uses[c] & StatementShape::key) && !(shape.uses[c] & StatementShape::nullKey))
            put(columns[c], row.fetched[c]);
    params.resize(count);
}

std::optional<UpdateStatement> updateStatement(const std::vector<TableColumn> &columns,
                                               const DeltaRow &row, std::string_view table,
                                               std::string_view quote)
{
    const std::optional<StatementShape> shape = statementShape(columns, row);
    if (!shape)
        return std::nullopt;
    UpdateStatement statement;
    statement.text = statementText(columns, *shape, table, quote);
    statementParams(columns, row, *shape, statement.params);
    return statement;
}

} // namespace kalmora::data
