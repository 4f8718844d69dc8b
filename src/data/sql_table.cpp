// SPDX-License-Identifier: Apache-2.0
#include "data/sql_table.h"

namespace kalmora::data {

TSQLTable::TSQLTable(std::string name, TSQLConnection &connection, std::string tableName)
    : TSQLSource(std::move(name), connection), tableName_(std::move(tableName))
{
}

std::string TSQLTable::statementText() const
{
    if (!commandText_.empty())
        return commandText_;
    if (tableName_.empty())
        return {};
    return " select * from " + connection().quotedName(tableName_);
}

} // namespace kalmora::data
