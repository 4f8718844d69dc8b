#include "data/statement_observer.h"

#include <map>

namespace kalmora::data {

namespace {

std::map<const TSQLConnection *, StatementObserver *> &observers()
{
    static std::map<const TSQLConnection *, StatementObserver *> map;
    return map;
}

} // namespace

void setStatementObserver(const TSQLConnection &connection, StatementObserver *observer)
{
    if (observer)
        observers()[&connection] = observer;
    else
        observers().erase(&connection);
}

StatementObserver *statementObserver(const TSQLConnection &connection)
{
    const auto it = observers().find(&connection);
    return it == observers().end() ? nullptr : it->second;
}

std::unique_ptr<DriverCursor> openStatement(TSQLConnection &connection, const std::string &text)
{
    if (StatementObserver *observer = statementObserver(connection))
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
    if (StatementObserver *observer = statementObserver(connection))
        observer->statementSent(name, params);
    // Reading a result to its end, or closing it, is what lets its work be committed.
    if (std::unique_ptr<DriverCursor> cursor = command->execute())
        cursor->close();
    return command->rowsAffected();
}

std::int64_t PreparedStatements::execute(const std::string &text, const std::vector<Param> &params)
{
    if (StatementObserver *observer = statementObserver(connection_))
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
    if (StatementObserver *observer = statementObserver(connection))
        observer->transactionStarted();
}

void commitTransaction(TSQLConnection &connection, const TransactionDesc &transaction)
{
    connection.commit(transaction);
    if (StatementObserver *observer = statementObserver(connection))
        observer->transactionCommitted();
}

void rollbackTransaction(TSQLConnection &connection, const TransactionDesc &transaction)
{
    connection.rollback(transaction);
    if (StatementObserver *observer = statementObserver(connection))
        observer->transactionRolledBack();
}

} // namespace kalmora::data
