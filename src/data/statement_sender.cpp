// SPDX-License-Identifier: Apache-2.0
#include "data/statement_sender.h"

namespace kalmora::data {

std::unique_ptr<driver::DriverCursor> openStatement(TSQLConnection &connection,
                                                    const std::string &text)
{
    if (SendObserver *observer = connection.sendObserver())
        observer->statementSent(text, {});
    return connection.openQuery(text);
}

std::int64_t callProcedure(TSQLConnection &connection, const std::string &name,
                           const std::vector<Param> &params)
{
    std::unique_ptr<driver::DriverCommand> command = connection.createCommand();
    command->prepareProcedure(name);
    for (std::size_t i = 0; i < params.size(); ++i)
        command->setParameter(i, params[i].type, params[i].value);
    if (SendObserver *observer = connection.sendObserver())
        observer->statementSent(name, params);
    // Reading a result to its end, or closing it, is what lets its work be committed.
    if (std::unique_ptr<driver::DriverCursor> cursor = command->execute())
        cursor->close();
    return command->rowsAffected();
}

void PreparedStatement::execute(const std::vector<Param> &params)
{
    if (SendObserver *observer = connection_.sendObserver())
        observer->statementSent(text_, params);
    if (!command_) {
        std::unique_ptr<driver::DriverCommand> command = connection_.createCommand();
        command->prepare(text_);
        command_ = std::move(command);
    }
    for (std::size_t i = 0; i < params.size(); ++i)
        command_->setParameter(i, params[i].type, params[i].value);
    if (std::unique_ptr<driver::DriverCursor> cursor = command_->execute())
        cursor->close();
}

void startTransaction(TSQLConnection &connection, const driver::TransactionDesc &transaction)
{
    connection.startTransaction(transaction);
    if (SendObserver *observer = connection.sendObserver())
        observer->transactionStarted();
}

void commitTransaction(TSQLConnection &connection, const driver::TransactionDesc &transaction)
{
    connection.commit(transaction);
    if (SendObserver *observer = connection.sendObserver())
        observer->transactionCommitted();
}

void rollbackTransaction(TSQLConnection &connection, const driver::TransactionDesc &transaction)
{
    connection.rollback(transaction);
    if (SendObserver *observer = connection.sendObserver())
        observer->transactionRolledBack();
}

} // namespace kalmora::data
