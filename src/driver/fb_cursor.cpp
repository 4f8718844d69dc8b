// SPDX-License-Identifier: Apache-2.0
#include "driver/fb_cursor.h"

namespace kalmora::driver {

using namespace Firebird;

FbCursor::FbCursor(std::shared_ptr<FbSession> session, FbRef<IStatement> statement,
                   FbRef<IResultSet> resultSet, ITransaction *transaction,
                   std::unique_ptr<FbTransaction> implicitTransaction, FbRowLayout layout)
    : session_(std::move(session)), statement_(std::move(statement)),
      transaction_(FbRef<ITransaction>::share(transaction)),
      implicit_(std::move(implicitTransaction)), resultSet_(std::move(resultSet)),
      layout_(std::move(layout)), row_(layout_.messageLength), values_(layout_.columns.size()),
      decoded_(layout_.columns.size(), false)
{
    session_->enlist(this);
}

FbCursor::~FbCursor()
{
    releaseHandles();
    session_->delist(this);
}

void FbCursor::abandon() noexcept
{
    onRow_ = false;
    if (resultSet_) {
        CheckStatusWrapper status(session_->status());
        resultSet_->close(&status);
        if (status.getState() & IStatus::STATE_ERRORS)
            resultSet_.reset();
        else
            resultSet_.forget();
    }
    transaction_.reset();
    if (implicit_) {
        implicit_->abandon();
        implicit_.reset();
    }
}

// Leaves the work of an unfinished statement to its implicit transaction, which rolls back.
void FbCursor::releaseHandles() noexcept
{
    abandon();
    statement_.reset();
    released_ = true;
}

void FbCursor::checkOpen() const
{
    if (released_)
        throw session_->error(ResultCode::InvalidHandle);
}

bool FbCursor::next()
{
    checkOpen();
    onRow_ = false;
    if (!resultSet_)
        return false;
    int result = 0;
    try {
        result = session_->guard([&] {
            ThrowStatusWrapper status(session_->status());
            return resultSet_->fetchNext(&status, row_.data());
        });
    } catch (...) {
        // A statement that fails before its end has not finished: closing the cursor
        // afterwards must not commit what it did up to the failure.
        abandon();
        throw;
    }
    if (result == IStatus::RESULT_NO_DATA) {
        finish();
        return false;
    }
    decoded_.assign(decoded_.size(), false);
    onRow_ = true;
    return true;
}

void FbCursor::checkColumn(std::size_t index) const
{
    if (!onRow_)
        throw session_->error(ResultCode::EndOfData);
    if (index >= layout_.fields.size())
        throw session_->error(ResultCode::OutOfRange);
}

const core::Value &FbCursor::value(std::size_t index)
{
    checkColumn(index);
    core::Value &slot = values_[index];
    if (!decoded_[index]) {
        const FbField &field = layout_.fields[index];
        if (fieldIsNull(field, row_.data()))
            slot = std::monostate{};
        else
            decodeField(*session_, transaction_.get(), field, row_.data(), slot);
        decoded_[index] = true;
    }
    return slot;
}

bool FbCursor::isNull(std::size_t index) const
{
    checkColumn(index);
    return fieldIsNull(layout_.fields[index], row_.data());
}

void FbCursor::close()
{
    checkOpen();
    onRow_ = false;
    if (resultSet_ || implicit_)
        finish();
}

// The statement has finished: the result set goes, and the work of a statement outside an
// explicit transaction is committed.
void FbCursor::finish()
{
    session_->guard([&] {
        if (resultSet_) {
            ThrowStatusWrapper status(session_->status());
            resultSet_->close(&status);
            resultSet_.forget();
        }
        transaction_.reset();
        if (implicit_) {
            implicit_->commit();
            implicit_.reset();
        }
    });
}

} // namespace kalmora::driver
