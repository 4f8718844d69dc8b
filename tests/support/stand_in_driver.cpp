// SPDX-License-Identifier: Apache-2.0
#include "support/stand_in_driver.h"

#include "driver/driver_library.h"
#include "support/connection_probe.h"

namespace kalmora::test {

const char *const kLostConnection = "Unable to complete network request to host \"db1\".\n"
                                    "-Error writing data to the connection.";

namespace {

// The client's number for a network failure (isc_network_error).
constexpr int kNetworkError = 335544721;

[[noreturn]] void loseConnection()
{
    throw driver::DriverError(kNetworkError, kLostConnection);
}

class StandInCommand final : public driver::DriverCommand
{
public:
    explicit StandInCommand(std::unique_ptr<driver::DriverCommand> inner) : inner_(std::move(inner))
    {
    }
    void prepare(const std::string &text) override
    {
        procedure_.clear();
        inner_->prepare(text);
    }
    void prepareProcedure(const std::string &name) override
    {
        procedure_ = name;
        inner_->prepareProcedure(name);
    }
    std::size_t parameterCount() const override { return inner_->parameterCount(); }
    void setParameter(std::size_t index, const core::ColumnDesc &type,
                      const core::Value &value) override
    {
        inner_->setParameter(index, type, value);
    }
    std::unique_ptr<driver::DriverCursor> execute() override
    {
        if (!procedure_.empty() && procedure_ == standInFaults().procedureFails)
            loseConnection();
        auto result = inner_->execute();
        if (!procedure_.empty() && procedure_ == standInFaults().procedureFailsAfterRunning)
            loseConnection();
        return result;
    }
    std::int64_t rowsAffected() const override { return inner_->rowsAffected(); }

private:
    std::unique_ptr<driver::DriverCommand> inner_;
    std::string procedure_;
};

class StandInConnection final : public driver::DriverConnection
{
public:
    explicit StandInConnection(std::unique_ptr<driver::DriverConnection> inner)
        : inner_(std::move(inner))
    {
    }
    void setOption(driver::ConnectionOption option, const driver::OptionValue &value) override
    {
        inner_->setOption(option, value);
    }
    void connect(const std::string &database, const std::string &user,
                 const std::string &password) override
    {
        inner_->connect(database, user, password);
    }
    void disconnect() override { inner_->disconnect(); }
    void beginTransaction(const driver::TransactionDesc &transaction) override
    {
        inner_->beginTransaction(transaction);
    }
    void commit(const driver::TransactionDesc &transaction) override
    {
        inner_->commit(transaction);
    }
    void rollback(const driver::TransactionDesc &transaction) override
    {
        if (standInFaults().rollbackFails)
            loseConnection();
        inner_->rollback(transaction);
    }
    bool inTransaction() const override { return inner_->inTransaction(); }
    std::unique_ptr<driver::DriverCommand> createCommand() override
    {
        return std::make_unique<StandInCommand>(inner_->createCommand());
    }
    driver::DriverMetaData &metaData() override { return inner_->metaData(); }
    std::string lastErrorText() const override { return inner_->lastErrorText(); }

private:
    std::unique_ptr<driver::DriverConnection> inner_;
};

class StandInDriver final : public driver::Driver
{
public:
    explicit StandInDriver(std::unique_ptr<driver::Driver> inner) : inner_(std::move(inner)) {}
    std::unique_ptr<driver::DriverConnection> createConnection() override
    {
        return std::make_unique<StandInConnection>(inner_->createConnection());
    }

private:
    std::unique_ptr<driver::Driver> inner_;
};

std::unique_ptr<driver::Driver> getSQLDriverSTANDIN(const std::string &vendorLib,
                                                    const std::string &errorResourceFile)
{
    const driver::DriverLibrary *firebird = driver::DriverLibrary::load("dbexpint.dll");
    std::unique_ptr<driver::Driver> inner =
        firebird->entryPoint("getSQLDriverINTERBASE")(vendorLib, errorResourceFile);
    return inner ? std::make_unique<StandInDriver>(std::move(inner)) : nullptr;
}

} // namespace

StandInFaults &standInFaults()
{
    static StandInFaults faults;
    return faults;
}

void useStandInDriver(data::TSQLConnection &connection)
{
    driver::DriverLibrary::install("standin.dll", "getSQLDriverSTANDIN", &getSQLDriverSTANDIN);
    data::ConnectionProbe::setLibraryName(connection, "standin.dll");
    data::ConnectionProbe::setGetDriverFunc(connection, "getSQLDriverSTANDIN");
}

} // namespace kalmora::test
