// SPDX-License-Identifier: Apache-2.0
#include "driver/fb_connection.h"

#include "driver/fb_command.h"

#include <firebird/Interface.h>

namespace kalmora::driver {

using namespace Firebird;

namespace {

template <typename T> const T *as(const OptionValue &value)
{
    return std::get_if<T>(&value);
}

} // namespace

FbConnection::FbConnection(IMaster *master, IProvider *provider)
    : provider_(FbRef<IProvider>::share(provider)),
      session_(std::make_shared<FbSession>(master, &readProcedureParams)), metaData_(session_)
{
}

FbConnection::~FbConnection()
{
    disconnect();
}

void FbConnection::setOption(ConnectionOption option, const OptionValue &value)
{
    FbOptions &options = session_->options();
    auto invalid = [&] { return session_->error(ResultCode::InvalidParameter); };
    auto notSupported = [&] { return session_->error(ResultCode::NotSupported); };
    switch (option) {
    case ConnectionOption::RoleName:
        if (!as<std::string>(value))
            throw invalid();
        options.role = *as<std::string>(value);
        return;
    case ConnectionOption::WaitOnLocks:
        if (!as<bool>(value))
            throw invalid();
        options.waitOnLocks = *as<bool>(value);
        return;
    case ConnectionOption::ServerCharSet:
        if (!as<std::string>(value))
            throw invalid();
        options.charSet = *as<std::string>(value);
        return;
    case ConnectionOption::TransIsolation:
        if (!as<IsolationLevel>(value))
            throw session_->error(ResultCode::InvalidIsolationLevel);
        options.isolation = *as<IsolationLevel>(value);
        return;
    case ConnectionOption::SqlDialect:
        if (!as<std::int64_t>(value) || *as<std::int64_t>(value) < 1 ||
            *as<std::int64_t>(value) > 3)
            throw invalid();
        options.dialect = static_cast<int>(*as<std::int64_t>(value));
        return;
    case ConnectionOption::ConnectionTimeout:
        if (!as<std::int64_t>(value))
            throw invalid();
        options.timeoutSeconds = static_cast<int>(*as<std::int64_t>(value));
        return;
    case ConnectionOption::LockTimeout:
        if (!as<std::int64_t>(value) || *as<std::int64_t>(value) < 0)
            throw invalid();
        options.lockTimeoutSeconds = static_cast<int>(*as<std::int64_t>(value));
        return;
    case ConnectionOption::BlobSize:
        if (!as<std::int64_t>(value))
            throw invalid();
        options.blobSizeKb = static_cast<int>(*as<std::int64_t>(value));
        return;
    case ConnectionOption::CommitRetain:
    case ConnectionOption::MultipleTransaction:
        if (as<bool>(value) && !*as<bool>(value))
            return;
        throw notSupported();
    case ConnectionOption::AutoCommit:
        if (as<bool>(value) && *as<bool>(value))
            return;
        throw notSupported();
    default:
        throw notSupported();
    }
}

void FbConnection::connect(const std::string &database, const std::string &user,
                           const std::string &password)
{
    if (session_->attached())
        throw session_->error(ResultCode::InvalidHandle);
    session_->guard([&] { session_->attach(provider_.get(), database, user, password); },
                    ResultCode::ConnectionFailed);
}

void FbConnection::disconnect()
{
    session_->detach();
}

void FbConnection::beginTransaction(const TransactionDesc &transaction)
{
    if (session_->explicitTransaction())
        throw session_->error(ResultCode::TransactionActive);
    session_->explicitSlot() = session_->guard(
        [&] { return session_->startTransaction(transaction.isolation, transaction.readOnly); });
    active_ = transaction;
}

void FbConnection::commit(const TransactionDesc &transaction)
{
    endTransaction(transaction, true);
}

void FbConnection::rollback(const TransactionDesc &transaction)
{
    endTransaction(transaction, false);
}

void FbConnection::endTransaction(const TransactionDesc &transaction, bool commit)
{
    std::unique_ptr<FbTransaction> &slot = session_->explicitSlot();
    if (!slot || transaction.id != active_.id)
        throw session_->error(ResultCode::InvalidTransactionId);
    session_->guard([&] {
        if (commit)
            slot->commit();
        else
            slot->rollback();
    });
    slot.reset();
}

std::unique_ptr<DriverCommand> FbConnection::createCommand()
{
    session_->attachment(); // fails when not connected
    return std::make_unique<FbCommand>(session_);
}

} // namespace kalmora::driver
