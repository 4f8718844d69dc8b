#include "data/statement_sender.h"

namespace kalmora::data {

std::unique_ptr<DriverCursor> openStatement(TSQLConnection &connection, const std::string &text)
{
    if (SendObserver *observer = connection.sendObserver())
        observer->statementSent(text, {});
    return connection.openQuery(text);
}

std::int64_t callProcedure(TSQLConnection &connection, const std::string &name,
                           const std::vector<Param> &params)
{
    std::unique_ptr<DriverCommand> command = connection.createCommand();
    command->prepareProcedure(name);
    for (std::size_t i = 0; i < params.size(); ++i)
        command->setParameter(i, params[i].type, params[i].value);
    if (SendObserver *observer = connection.sendObserver())
        observer->statementSent(name, params);
    // Reading a result to its end, or closing it, is what lets its work be committed.
    if (std::unique_ptr<DriverCursor> cursor = command->execute())
        cursor->close();
    return command->rowsAffected();
}

std::int64_t PreparedStatements::execute(const std::string &text, const std::vector<Param> &params)
{
    if (SendObserver *observer = connection_.sendObserver())
        observer->statementSent(text, params);
    auto found = commands_.find(text);
    if (found == commands_.end()) {
        std::unique_ptr<DriverCommand> command = connection_.createCommand();
        command->prepare(text);
        found = commands_.emplace(text, std::move(command)).first;
    }
    DriverCommand &command = *found->second;
    for (std::size_t i = 0; i < params.size(); ++i)
        command.setParameter(i, params[i].type, params[i].value);
    if (std::unique_ptr<DriverCursor> cursor = command.execute())
        cursor->close();
    return command.rowsAffected();
}

void startTransaction(TSQLConnection &connection, const TransactionDesc &transaction)
{
    connection.startTransaction(transaction);
    if (SendObserver *observer = connection.sendObserver())
        observer->transactionStarted();
}

void commitTransaction(TSQLConnection &connection, const TransactionDesc &transaction)
{
    connection.commit(transaction);
    if (SendObserver *observer = connection.sendObserver())
        observer->transactionCommitted();
}

void rollbackTransaction(TSQLConnection &connection, const TransactionDesc &transaction)
{
    connection.rollback(transaction);
    if (SendObserver *observer = connection.sendObserver())
        observer->transactionRolledBack();
}

} // namespace kalmora::data
