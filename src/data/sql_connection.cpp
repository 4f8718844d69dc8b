// SPDX-License-Identifier: Apache-2.0
#include "data/sql_connection.h"

#include "driver/driver_library.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

namespace kalmora::data {

namespace {

std::string trim(const std::string &text)
{
    auto blank = [](unsigned char c) { return c <= ' '; };
    auto first = std::find_if_not(text.begin(), text.end(), blank);
    auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool isTrue(const std::string &text)
{
    return lower(trim(text)) == "true";
}

std::optional<std::int64_t> integerOf(const std::string &text, int base = 10)
{
    const std::string t = trim(text);
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value, base);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return value;
}

// Sets an option; a driver that does not offer it ("not supported") is no failure.
void passOption(driver::DriverConnection &connection, driver::ConnectionOption option,
                const driver::OptionValue &value)
{
    try {
        connection.setOption(option, value);
    } catch (const driver::DriverError &e) {
        if (e.code() != driver::ResultCode::NotSupported)
            throw;
    }
}

// Puts the state back when a statement run through the connection has ended.
class ExecutingState
{
public:
    explicit ExecutingState(ConnectionState &state) : state_(state)
    {
        state_ = ConnectionState::Executing;
    }
    ~ExecutingState() { state_ = ConnectionState::Open; }
    ExecutingState(const ExecutingState &) = delete;
    ExecutingState &operator=(const ExecutingState &) = delete;

private:
    ConnectionState &state_;
};

void bind(driver::DriverCommand &command, const std::vector<Param> &params)
{
    for (std::size_t i = 0; i < params.size(); ++i)
        command.setParameter(i, params[i].type, params[i].value);
}

} // namespace

Params TSQLConnection::designParams()
{
    return Params({
        "DriverName=Interbase",
        "BlobSize=-1",
        "CommitRetain=False",
        "Database=",
        "ErrorResourceFile=",
        "LocaleCode=0000",
        "Password=",
        "RoleName=RoleName",
        "ServerCharSet=",
        "SQLDialect=3",
        "Interbase TransIsolation=ReadCommited",
        "User_Name=sysdba",
        "WaitOnLocks=True",
    });
}

TSQLConnection::TSQLConnection() : params_(designParams()) {}

TSQLConnection::~TSQLConnection()
{
    try {
        disconnect();
    } catch (...) {
        // A failing source must not keep the window from closing.
    }
}

bool TSQLConnection::connected() const
{
    return state_ == ConnectionState::Open || state_ == ConnectionState::Executing;
}

void TSQLConnection::setConnected(bool value)
{
    if (value == connected())
        return;
    if (value)
        connect();
    else
        disconnect();
}

void TSQLConnection::addClient(ConnectionClient *client)
{
    if (std::find(clients_.begin(), clients_.end(), client) == clients_.end())
        clients_.push_back(client);
}

void TSQLConnection::removeClient(ConnectionClient *client)
{
    clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
}

void TSQLConnection::checkSettings() const
{
    if (driverName_.empty())
        throw core::EDatabaseError("Missing DriverName property");
    if (libraryName_.empty() || vendorLib_.empty())
        throw core::EDatabaseError(name_ + ": DLL/Shared Library Name not Set");
    if (trim(params_.value("Database")).empty())
        throw core::EDatabaseError("Missing Database property");
}

void TSQLConnection::passOptions(driver::DriverConnection &connection) const
{
    auto present = [&](const char *name) { return params_.contains(name); };
    auto text = [&](const char *name) { return params_.value(name); };
    auto flag = [&](driver::ConnectionOption option, const char *name) {
        if (present(name))
            passOption(connection, option, isTrue(text(name)));
    };
    if (present("HostName"))
        passOption(connection, driver::ConnectionOption::HostName, trim(text("HostName")));
    passOption(connection, driver::ConnectionOption::RoleName, trim(text("RoleName")));
    flag(driver::ConnectionOption::WaitOnLocks, "WaitOnLocks");
    flag(driver::ConnectionOption::CommitRetain, "CommitRetain");
    flag(driver::ConnectionOption::AutoCommit, "AutoCommit");
    flag(driver::ConnectionOption::BlockingMode, "BlockingMode");
    if (const std::string charSet = trim(text("ServerCharSet")); !charSet.empty())
        passOption(connection, driver::ConnectionOption::ServerCharSet, charSet);
    passOption(connection, driver::ConnectionOption::TransIsolation, transIsolation());
    if (const auto dialect = integerOf(text("SQLDialect")))
        passOption(connection, driver::ConnectionOption::SqlDialect, *dialect);
    flag(driver::ConnectionOption::OsAuthentication, "OS Authentication");
    if (present("Server Port"))
        passOption(connection, driver::ConnectionOption::ServerPort, trim(text("Server Port")));
    flag(driver::ConnectionOption::MultipleTransaction, "Multiple Transaction");
    flag(driver::ConnectionOption::TrimChar, "Trim Char");
    if (present("Custom String"))
        passOption(connection, driver::ConnectionOption::CustomString, text("Custom String"));
    if (const auto timeout = integerOf(text("Connection Timeout")))
        passOption(connection, driver::ConnectionOption::ConnectionTimeout, *timeout);
    if (const auto timeout = integerOf(text("Lock Timeout")))
        passOption(connection, driver::ConnectionOption::LockTimeout, *timeout);
}

void TSQLConnection::connect()
{
    checkSettings();
    state_ = ConnectionState::Connecting;
    ScopedWaitCursor wait(waitCursor_);
    try {
        const driver::DriverLibrary *library = driver::DriverLibrary::load(trim(libraryName_));
        if (!library)
            throw core::EDatabaseError("Unable to Load " + libraryName_);
        const driver::DriverEntryPoint entry = library->entryPoint(trim(getDriverFunc_));
        if (!entry)
            throw core::EDatabaseError("Unable to Find Procedure " + getDriverFunc_);
        driver_ = entry(vendorLib_, trim(params_.value("ErrorResourceFile")));
        if (!driver_)
            throw core::EDatabaseError("Unable to Load " + vendorLib_);
        connection_ = driver_->createConnection();

        const std::string database = trim(params_.value("Database"));
        const std::string user = params_.value("USER_NAME");
        const std::string password = params_.value("PASSWORD");
        passOptions(*connection_);
        connection_->connect(database, user, password);

        metaData_ = &connection_->metaData();
        quoteChar_ = metaData_->quoteChar();
        passOption(*connection_, driver::ConnectionOption::BlobSize,
                   integerOf(params_.value("BlobSize")).value_or(-1));
        transactionsSupported_ = metaData_->supportsTransactions();
        state_ = ConnectionState::Open;
    } catch (const driver::DriverError &e) {
        metaData_ = nullptr;
        connection_.reset();
        quoteChar_.clear();
        state_ = ConnectionState::Closed;
        fail(e);
    } catch (...) {
        metaData_ = nullptr;
        connection_.reset();
        quoteChar_.clear();
        state_ = ConnectionState::Closed;
        throw;
    }
}

void TSQLConnection::disconnect()
{
    if (state_ == ConnectionState::Closed)
        return;
    state_ = ConnectionState::Disconnecting;
    // The driver connection goes even when a source fails to close.
    auto finish = [&] {
        if (connection_)
            connection_->disconnect();
        metaData_ = nullptr;
        connection_.reset();
        transactionsStarted_ = 0;
        quoteChar_.clear();
        state_ = ConnectionState::Closed;
    };
    try {
        const std::vector<ConnectionClient *> clients = clients_;
        for (ConnectionClient *client : clients)
            client->connectionClosing();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TSQLConnection::fail(const driver::DriverError &error)
{
    throw failures_.recompose(error);
}

driver::DriverConnection &TSQLConnection::driverConnection()
{
    open();
    if (!connected() || !connection_)
        throw core::EDatabaseError(name_ +
                                   ": Cannot perform this operation on a closed connection");
    return *connection_;
}

void TSQLConnection::open()
{
    if (!connected())
        setConnected(true);
}

std::unique_ptr<driver::DriverCommand> TSQLConnection::createCommand()
{
    driver::DriverConnection &connection = driverConnection();
    try {
        return connection.createCommand();
    } catch (const driver::DriverError &e) {
        fail(e);
    }
}

std::int64_t TSQLConnection::execute(const std::string &text, const std::vector<Param> &params)
{
    std::unique_ptr<driver::DriverCommand> command = createCommand();
    ExecutingState executing(state_);
    try {
        command->prepare(text);
        bind(*command, params);
        if (std::unique_ptr<driver::DriverCursor> cursor = command->execute())
            cursor->close();
        return command->rowsAffected();
    } catch (const driver::DriverError &e) {
        fail(e);
    }
}

std::unique_ptr<driver::DriverCursor> TSQLConnection::openQuery(const std::string &text,
                                                                const std::vector<Param> &params)
{
    std::unique_ptr<driver::DriverCommand> command = createCommand();
    ExecutingState executing(state_);
    try {
        command->prepare(text);
        bind(*command, params);
        return command->execute();
    } catch (const driver::DriverError &e) {
        fail(e);
    }
}

std::vector<driver::ProcedureParam> TSQLConnection::procedureParams(const std::string &name)
{
    driverConnection();
    try {
        return metaData_->procedureParams(name);
    } catch (const driver::DriverError &e) {
        fail(e);
    }
}

std::string TSQLConnection::quotedName(const std::string &name)
{
    driverConnection();
    return metaData_->quotedName(name);
}

driver::IsolationLevel TSQLConnection::transIsolation() const
{
    const std::string level = lower(trim(params_.value(driverName_ + " TransIsolation")));
    if (level == "repeatableread")
        return driver::IsolationLevel::RepeatableRead;
    if (level == "dirtyread")
        return driver::IsolationLevel::DirtyRead;
    return driver::IsolationLevel::ReadCommitted;
}

void TSQLConnection::startTransaction(const driver::TransactionDesc &transaction)
{
    driver::DriverConnection &connection = driverConnection();
    if (!transactionsSupported_)
        return;
    try {
        connection.beginTransaction(transaction);
    } catch (const driver::DriverError &e) {
        // "Not supported" is taken as done, so the save's commit that follows balances it.
        if (e.code() != driver::ResultCode::NotSupported)
            fail(e);
    }
    ++transactionsStarted_;
}

void TSQLConnection::commit(const driver::TransactionDesc &transaction)
{
    endTransaction(transaction, true);
}

void TSQLConnection::rollback(const driver::TransactionDesc &transaction)
{
    endTransaction(transaction, false);
}

void TSQLConnection::endTransaction(const driver::TransactionDesc &transaction, bool commit)
{
    if (connected() && !transactionsSupported_)
        return;
    if (!inTransaction() || !connection_)
        throw core::EDatabaseError("There is no active transaction");
    try {
        if (commit)
            connection_->commit(transaction);
        else
            connection_->rollback(transaction);
    } catch (const driver::DriverError &e) {
        if (e.code() != driver::ResultCode::NotSupported)
            fail(e);
    }
    --transactionsStarted_;
}

} // namespace kalmora::data
