// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "data/sql_source.h"

namespace kalmora::data {

/// A table component: reads the whole table with " select * from " and the table name as
/// the driver quotes it; no WHERE, no ORDER BY, no metadata asked for.
class TSQLTable : public TSQLSource
{
public:
    TSQLTable(std::string name, TSQLConnection &connection, std::string tableName);

    /// The table select, or a text given through a provider in its place.
    std::string statementText() const override;
    std::string updateTableName() const override { return tableName_; }

private:
    std::string tableName_;
};

} // namespace kalmora::data
