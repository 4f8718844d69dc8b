// SPDX-License-Identifier: Apache-2.0
#pragma once
// The one path by which the data-set layer sends work over a connection: statements with
// their positional parameters, procedure calls and the transactions of saves. The
// connection's send observer sees each of them exactly as it is handed to the connection,
// which passes it to the driver unchanged (tests record saves with it).

#include "data/sql_connection.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kalmora::data {

/// Sees the work sent over one connection (TSQLConnection::setSendObserver).
class SendObserver
{
public:
    virtual ~SendObserver() = default;
    /// A statement text (or, for a procedure call, the procedure's name) and its parameters,
    /// just before it is executed.
    virtual void statementSent(const std::string &text, const std::vector<Param> &params) = 0;
    virtual void transactionStarted() {}
    virtual void transactionCommitted() {}
    virtual void transactionRolledBack() {}
};

/// Executes a statement and returns its cursor (nullptr for a statement without one).
std::unique_ptr<driver::DriverCursor> openStatement(TSQLConnection &connection,
                                                    const std::string &text);
/// Calls a stored procedure by name, its parameters bound by position; any result is read
/// to its end and discarded. Returns the rows affected.
std::int64_t callProcedure(TSQLConnection &connection, const std::string &name,
                           const std::vector<Param> &params);

/// One statement of a save: prepared the first time it runs, then executed again with new
/// parameters. Lives for one save: its command must not outlive the connection's next
/// disconnect.
class PreparedStatement
{
public:
    PreparedStatement(TSQLConnection &connection, std::string text)
        : connection_(connection), text_(std::move(text))
    {
    }
    /// Executes the statement with `params`.
    void execute(const std::vector<Param> &params);
    /// The rows the last execute affected, asked of the server now.
    std::int64_t rowsAffected() const { return command_->rowsAffected(); }

private:
    TSQLConnection &connection_;
    std::string text_;
    std::unique_ptr<driver::DriverCommand> command_;
};

void startTransaction(TSQLConnection &connection, const driver::TransactionDesc &transaction);
void commitTransaction(TSQLConnection &connection, const driver::TransactionDesc &transaction);
void rollbackTransaction(TSQLConnection &connection, const driver::TransactionDesc &transaction);

} // namespace kalmora::data
