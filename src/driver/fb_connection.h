// SPDX-License-Identifier: Apache-2.0
#pragma once
// A connection of the Firebird driver.
//
// Options: RoleName, WaitOnLocks, ServerCharSet, TransIsolation, SqlDialect (1 to 3),
// ConnectionTimeout, LockTimeout and BlobSize are honoured. CommitRetain off, AutoCommit on and
// MultipleTransaction off are accepted, as they describe what the driver does anyway; their
// opposites and HostName, BlockingMode, OsAuthentication, ServerPort, TrimChar and
// CustomString answer NotSupported (the host and port belong in the database path).

#include "driver/driver.h"
#include "driver/fb_handles.h"
#include "driver/fb_metadata.h"
#include "driver/fb_session.h"

#include <memory>

namespace kalmora::driver {

class FbConnection final : public DriverConnection
{
public:
    FbConnection(Firebird::IMaster *master, Firebird::IProvider *provider);
    ~FbConnection() override;

    void setOption(ConnectionOption option, const OptionValue &value) override;
    void connect(const std::string &database, const std::string &user,
                 const std::string &password) override;
    void disconnect() override;
    void beginTransaction(const TransactionDesc &transaction) override;
    void commit(const TransactionDesc &transaction) override;
    void rollback(const TransactionDesc &transaction) override;
    bool inTransaction() const override { return session_->explicitTransaction() != nullptr; }
    std::unique_ptr<DriverCommand> createCommand() override;
    DriverMetaData &metaData() override { return metaData_; }
    std::string lastErrorText() const override { return session_->lastErrorText(); }

private:
    void endTransaction(const TransactionDesc &transaction, bool commit);

    FbRef<Firebird::IProvider> provider_;
    std::shared_ptr<FbSession> session_;
    FbMetaData metaData_;
    TransactionDesc active_;
};

} // namespace kalmora::driver
