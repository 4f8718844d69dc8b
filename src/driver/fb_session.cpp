// SPDX-License-Identifier: Apache-2.0
#include "driver/fb_session.h"

#include <array>

namespace kalmora::driver {

using namespace Firebird;

FbTransaction::FbTransaction(FbSession &session, ITransaction *transaction)
    : session_(session), transaction_(transaction)
{
    session_.transactions_.insert(this);
}

FbTransaction::~FbTransaction()
{
    abandon();
    session_.transactions_.erase(this);
}

ITransaction *FbTransaction::get() const
{
    if (!transaction_)
        throw session_.error(ResultCode::InvalidHandle);
    return transaction_.get();
}

void FbTransaction::commit()
{
    ThrowStatusWrapper status(session_.status());
    get()->commit(&status);
    transaction_.forget(); // a successful commit released it
}

void FbTransaction::rollback()
{
    ThrowStatusWrapper status(session_.status());
    get()->rollback(&status);
    transaction_.forget();
}

void FbTransaction::abandon() noexcept
{
    if (!transaction_)
        return;
    CheckStatusWrapper status(session_.status());
    transaction_->rollback(&status);
    if (status.getState() & IStatus::STATE_ERRORS)
        transaction_.reset(); // still ours: let go of it
    else
        transaction_.forget();
}

FbSession::FbSession(IMaster *master, ProcedureReader readProcedure)
    : master_(master), util_(master->getUtilInterface()), status_(master->getStatus()),
      readProcedure_(readProcedure)
{
}

FbSession::~FbSession()
{
    detach();
}
IStatus *FbSession::status() const
{
    status_->init();
    return status_.get();
}

IAttachment *FbSession::attachment() const
{
    if (!attachment_)
        throw const_cast<FbSession *>(this)->error(ResultCode::InvalidHandle);
    return attachment_.get();
}

void FbSession::attach(IProvider *provider, const std::string &database, const std::string &user,
                       const std::string &password)
{
    ThrowStatusWrapper status(this->status());
    FbDisposable<IXpbBuilder> dpb(util_->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0));
    if (!user.empty())
        dpb->insertString(&status, isc_dpb_user_name, user.c_str());
    if (!password.empty())
        dpb->insertString(&status, isc_dpb_password, password.c_str());
    if (!options_.role.empty())
        dpb->insertString(&status, isc_dpb_sql_role_name, options_.role.c_str());
    // No character set unless one is asked for: the attachment's NONE passes bytes as they are.
    if (!options_.charSet.empty())
        dpb->insertString(&status, isc_dpb_lc_ctype, options_.charSet.c_str());
    dpb->insertInt(&status, isc_dpb_sql_dialect, options_.dialect);
    if (options_.timeoutSeconds > 0)
        dpb->insertInt(&status, isc_dpb_connect_timeout, options_.timeoutSeconds);
    attachment_ = FbRef<IAttachment>(provider->attachDatabase(
        &status, database.c_str(), dpb->getBufferLength(&status), dpb->getBuffer(&status)));
}

void FbSession::detach() noexcept
{
    // The client must see no call on a statement or result set of a detached attachment
    // (it can hang there), so those go first.
    for (FbDependent *dependent : std::set<FbDependent *>(dependents_))
        dependent->releaseHandles();
    explicit_.reset();
    for (FbTransaction *transaction : transactions_)
        transaction->abandon();
    procedures_.clear();
    if (!attachment_)
        return;
    CheckStatusWrapper status(this->status());
    attachment_->detach(&status);
    if (status.getState() & IStatus::STATE_ERRORS)
        attachment_.reset(); // a broken link: the handle is still ours to let go
    else
        attachment_.forget();
}

std::unique_ptr<FbTransaction> FbSession::startTransaction(IsolationLevel isolation, bool readOnly)
{
    IAttachment *att = attachment();
    ThrowStatusWrapper status(this->status());
    FbDisposable<IXpbBuilder> tpb(util_->getXpbBuilder(&status, IXpbBuilder::TPB, nullptr, 0));
    if (isolation == IsolationLevel::RepeatableRead) {
        tpb->insertTag(&status, isc_tpb_concurrency);
    } else {
        // The server has no dirty reads; read committed with record versions is the
        // nearest and never blocks readers.
        tpb->insertTag(&status, isc_tpb_read_committed);
        tpb->insertTag(&status, isc_tpb_rec_version);
    }
    tpb->insertTag(&status, readOnly ? isc_tpb_read : isc_tpb_write);
    tpb->insertTag(&status, options_.waitOnLocks ? isc_tpb_wait : isc_tpb_nowait);
    if (options_.waitOnLocks && options_.lockTimeoutSeconds > 0)
        tpb->insertInt(&status, isc_tpb_lock_timeout, options_.lockTimeoutSeconds);
    ITransaction *transaction =
        att->startTransaction(&status, tpb->getBufferLength(&status), tpb->getBuffer(&status));
    return std::make_unique<FbTransaction>(*this, transaction);
}

const std::vector<ProcedureParam> &FbSession::procedureParams(const std::string &name)
{
    auto found = procedures_.find(name);
    if (found == procedures_.end())
        found = procedures_.emplace(name, readProcedure_(*this, name)).first;
    return found->second;
}

DriverError FbSession::error(const FbException &exception, int code)
{
    const IStatus *status = exception.getStatus();
    std::array<char, 4096> text{};
    util_->formatStatus(text.data(), static_cast<unsigned>(text.size()),
                        const_cast<IStatus *>(status));
    std::string serverText(text.data());
    while (!serverText.empty() && (serverText.back() == '\n' || serverText.back() == ' '))
        serverText.pop_back();
    if (code == 0) {
        const intptr_t *errors = const_cast<IStatus *>(status)->getErrors();
        code = (errors[0] == isc_arg_gds && errors[1] != 0) ? static_cast<int>(errors[1])
                                                            : ResultCode::SqlError;
    }
    lastErrorText_ = serverText;
    return DriverError(code, std::move(serverText));
}

DriverError FbSession::error(int code, std::string text)
{
    lastErrorText_ = text;
    return DriverError(code, std::move(text));
}

} // namespace kalmora::driver
