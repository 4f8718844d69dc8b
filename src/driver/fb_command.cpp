// SPDX-License-Identifier: Apache-2.0
#include "driver/fb_command.h"

#include "driver/fb_cursor.h"

namespace kalmora::driver {

using namespace Firebird;

std::string quoteName(const std::string &name)
{
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

std::string procedureCallText(const std::string &name, std::size_t inputs)
{
    std::string text = "execute procedure " + quoteName(name);
    if (inputs > 0) {
        text += " (";
        for (std::size_t i = 0; i < inputs; ++i)
            text += i == 0 ? "?" : ", ?";
        text += ")";
    }
    return text;
}

FbCommand::FbCommand(std::shared_ptr<FbSession> session) : session_(std::move(session))
{
    session_->enlist(this);
}

FbCommand::~FbCommand()
{
    releaseHandles();
    session_->delist(this);
}

void FbCommand::prepare(const std::string &text)
{
    statement_.reset();
    input_ = FbInputMessage();
    outputMetadata_.reset();
    params_.clear();
    IAttachment *attachment = session_->attachment();
    session_->guard([&] {
        ThrowStatusWrapper status(session_->status());
        // Preparing reads metadata inside a transaction: the save's when one is active,
        // else a short one of its own.
        std::unique_ptr<FbTransaction> own;
        FbTransaction *transaction = session_->explicitTransaction();
        if (!transaction) {
            own = session_->startTransaction(session_->options().isolation);
            transaction = own.get();
        }
        statement_ = FbRef<IStatement>(
            attachment->prepare(&status, transaction->get(), static_cast<unsigned>(text.size()),
                                text.c_str(), static_cast<unsigned>(session_->options().dialect),
                                IStatement::PREPARE_PREFETCH_METADATA));
        if (own)
            own->commit();
        type_ = statement_->getType(&status);
        const FbRef<IMessageMetadata> inputs(statement_->getInputMetadata(&status));
        input_.describe(*session_, inputs.get());
        outputMetadata_ = FbRef<IMessageMetadata>(statement_->getOutputMetadata(&status));
        outputLength_ = outputMetadata_->getMessageLength(&status);
        params_.assign(inputs->getCount(&status), std::nullopt);
    });
}

void FbCommand::prepareProcedure(const std::string &name)
{
    std::size_t inputs = 0;
    for (const ProcedureParam &param : session_->procedureParams(name))
        inputs += param.output ? 0 : 1;
    prepare(procedureCallText(name, inputs));
}

void FbCommand::setParameter(std::size_t index, const core::ColumnDesc &type,
                             const core::Value &value)
{
    if (!statement_)
        throw session_->error(ResultCode::InvalidHandle);
    if (index >= params_.size())
        throw session_->error(ResultCode::OutOfRange);
    std::optional<FbBoundParam> &param = params_[index];
    if (param) {
        // Assigned in place: the type's name and a text value keep their buffers.
        param->type = type;
        param->value = value;
    } else {
        param = FbBoundParam{type, value};
    }
}

std::unique_ptr<DriverCursor> FbCommand::execute()
{
    if (!statement_)
        throw session_->error(ResultCode::InvalidHandle);
    rowsAffected_ = 0;
    rowsAffectedPending_ = false;
    input_.fill(*session_, params_);

    std::unique_ptr<FbTransaction> implicit;
    FbTransaction *transaction = session_->explicitTransaction();
    if (!transaction) {
        implicit = session_->guard(
            [&] { return session_->startTransaction(session_->options().isolation); });
        transaction = implicit.get();
    }

    return session_->guard([&]() -> std::unique_ptr<DriverCursor> {
        ThrowStatusWrapper status(session_->status());
        if (type_ == isc_info_sql_stmt_select || type_ == isc_info_sql_stmt_select_for_upd) {
            FbRowLayout layout = readRowLayout(*session_, outputMetadata_.get());
            FbRef<IResultSet> resultSet(statement_->openCursor(&status, transaction->get(),
                                                               input_.metadata(), input_.buffer(),
                                                               outputMetadata_.get(), 0));
            return std::make_unique<FbCursor>(session_, FbRef<IStatement>::share(statement_.get()),
                                              std::move(resultSet), transaction->get(),
                                              std::move(implicit), std::move(layout));
        }
        // Outputs of a procedure call are read into a scratch buffer and dropped.
        std::vector<unsigned char> output(outputLength_);
        statement_->execute(&status, transaction->get(), input_.metadata(), input_.buffer(),
                            outputMetadata_.get(), output.empty() ? nullptr : output.data());
        // The count of a statement committed here is read before its transaction ends.
        rowsAffectedPending_ = !implicit;
        if (implicit) {
            rowsAffected_ = static_cast<std::int64_t>(statement_->getAffectedRecords(&status));
            implicit->commit();
        }
        return nullptr;
    });
}

std::int64_t FbCommand::rowsAffected() const
{
    if (rowsAffectedPending_ && statement_) {
        session_->guard([&] {
            ThrowStatusWrapper status(session_->status());
            rowsAffected_ = static_cast<std::int64_t>(statement_->getAffectedRecords(&status));
        });
        rowsAffectedPending_ = false;
    }
    return rowsAffected_;
}

} // namespace kalmora::driver
