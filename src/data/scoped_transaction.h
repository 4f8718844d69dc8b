// SPDX-License-Identifier: Apache-2.0
#pragma once
// One transaction on a connection for a piece of work that must be stored whole or not at
// all: rolled back when the guard goes, on every way out, unless commit() ended it first.

#include "data/sql_connection.h"

#include <string>

namespace kalmora::data {

class ScopedTransaction
{
public:
    /// Starts the transaction. A connection that takes none would store each statement on its
    /// own, so it is refused with `refusal` as the failure's message.
    ScopedTransaction(TSQLConnection &connection, const std::string &refusal);
    ~ScopedTransaction();
    ScopedTransaction(const ScopedTransaction &) = delete;
    ScopedTransaction &operator=(const ScopedTransaction &) = delete;

    void commit();
    /// Rolls back now, so that a failure to do so is reported.
    void rollback();

private:
    TSQLConnection &connection_;
    driver::TransactionDesc transaction_;
};

} // namespace kalmora::data
