#pragma once

#include "data/sql_source.h"

namespace kalmora::data {

/// A table component: reads the whole table with " select * from " and the table name as
/// the driver quotes it; no WHERE, no ORDER BY, no metadata asked for.
class TSQLTable : public TSQLSource
{
public:
    TSQLTable(std::string name, TSQLConnection &connection, std::string tableName);

    const std::string &tableName() const { return tableName_; }
    void setTableName(std::string tableName);
    /// Kept as a setting: the table reads no key or index information.
    bool getMetadata() const { return getMetadata_; }
    void setGetMetadata(bool value) { getMetadata_ = value; }

    /// The table select, or a text given through a provider in its place.
    std::string statementText() const override;
    std::string updateTableName() const override { return tableName_; }

private:
    std::string tableName_;
    bool getMetadata_ = false;
};

} // namespace kalmora::data
