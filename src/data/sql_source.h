// SPDX-License-Identifier: Apache-2.0
#pragma once
// What the query and table components share: a statement on the connection `Kalmora` that
// a provider opens, reads to its end and closes again. A source is open only while a
// provider fetches from it.

#include "data/sql_connection.h"

#include <memory>
#include <string>
#include <vector>

namespace kalmora::data {

class TSQLSource : public ConnectionClient
{
public:
    TSQLSource(std::string name, TSQLConnection &connection);
    ~TSQLSource() override;
    TSQLSource(const TSQLSource &) = delete;
    TSQLSource &operator=(const TSQLSource &) = delete;

    const std::string &name() const { return name_; }
    TSQLConnection &connection() const { return connection_; }

    /// Takes a statement text given through a provider: every leading character whose code
    /// is 32 or less is removed; the rest is kept unchanged.
    virtual void setCommandText(const std::string &text);
    /// The statement that opening sends.
    virtual std::string statementText() const = 0;
    /// The table that a save writes to (empty when the source names none).
    virtual std::string updateTableName() const { return {}; }

    bool active() const { return cursor_ != nullptr; }
    /// Connects on demand, sends the statement and opens its cursor. Fails with
    /// "<name>: No SQL statement available" for an empty statement and
    /// "<name>: Cursor not returned from Query" for a statement without a result.
    void open();
    /// Closes the cursor, which ends the statement (its work is committed outside a save).
    void close();
    /// The open cursor.
    driver::DriverCursor &cursor();

    void connectionClosing() override;

protected:
    [[noreturn]] void fail(const std::string &text) const;
    std::string commandText_;

private:
    std::string name_;
    TSQLConnection &connection_;
    std::unique_ptr<driver::DriverCursor> cursor_;
};

/// Removes every leading character whose code is 32 or less.
std::string withoutLeadingBlanks(const std::string &text);

} // namespace kalmora::data
