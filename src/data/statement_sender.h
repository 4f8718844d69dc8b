#pragma once
// The one path by which the data-set layer sends work over a connection: statements with
// their positional parameters, procedure calls and the transactions of saves. The
// connection's send observer sees each of them exactly as it is handed to the connection,
// which passes it to the driver unchanged (tests record saves with it).

#include "data/sql_connection.h"

#include <cstdint>
#include <map>
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
std::unique_ptr<DriverCursor> openStatement(TSQLConnection &connection, const std::string &text);
/// Calls a stored procedure by name, its parameters bound by position; any result is read
/// to its end and discarded. Returns the rows affected.
std::int64_t callProcedure(TSQLConnection &connection, const std::string &name,
                           const std::vector<Param> &params);

/// Runs the statements of one save, preparing each distinct text once and executing it again
/// with new parameters. Lives for one save: its commands must not outlive the connection's
/// next disconnect.
class PreparedStatements
{
public:
    explicit PreparedStatements(TSQLConnection &connection) : connection_(connection) {}
    /// Executes `text` with `params`; returns the rows affected.
    std::int64_t execute(const std::string &text, const std::vector<Param> &params);

private:
    TSQLConnection &connection_;
    std::map<std::string, std::unique_ptr<DriverCommand>> commands_;
};

void startTransaction(TSQLConnection &connection, const TransactionDesc &transaction);
void commitTransaction(TSQLConnection &connection, const TransactionDesc &transaction);
void rollbackTransaction(TSQLConnection &connection, const TransactionDesc &transaction);

} // namespace kalmora::data
