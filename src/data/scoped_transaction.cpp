// SPDX-License-Identifier: Apache-2.0
#include "data/scoped_transaction.h"

#include "core/errors.h"
#include "data/statement_sender.h"

namespace kalmora::data {

ScopedTransaction::ScopedTransaction(TSQLConnection &connection, const std::string &refusal)
    : connection_(connection)
{
    startTransaction(connection_, transaction_);
    if (!connection_.inTransaction())
        throw core::Exception(refusal);
}

ScopedTransaction::~ScopedTransaction()
{
    if (!connection_.inTransaction())
        return;
    try {
        rollbackTransaction(connection_, transaction_);
    } catch (...) {
        // Already failing, or the connection is gone: the server undoes it either way.
    }
}

void ScopedTransaction::commit()
{
    commitTransaction(connection_, transaction_);
}

void ScopedTransaction::rollback()
{
    rollbackTransaction(connection_, transaction_);
}

} // namespace kalmora::data
