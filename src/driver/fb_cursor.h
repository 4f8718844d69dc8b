// SPDX-License-Identifier: Apache-2.0
#pragma once
// A forward-only cursor over a Firebird result set.

#include "driver/driver.h"
#include "driver/fb_handles.h"
#include "driver/fb_message.h"
#include "driver/fb_session.h"

#include <memory>
#include <vector>

namespace kalmora::driver {

class FbCursor final : public DriverCursor, private FbDependent
{
public:
    /// Takes the open result set and, for a statement outside an explicit transaction, the
    /// implicit transaction it runs in (committed at the end, rolled back if abandoned).
    FbCursor(std::shared_ptr<FbSession> session, FbRef<Firebird::IStatement> statement,
             FbRef<Firebird::IResultSet> resultSet, Firebird::ITransaction *transaction,
             std::unique_ptr<FbTransaction> implicitTransaction, FbRowLayout layout);
    ~FbCursor() override;

    const std::vector<core::ColumnDesc> &columns() const override { return layout_.columns; }
    bool next() override;
    const core::Value &value(std::size_t index) override;
    bool isNull(std::size_t index) const override;
    void close() override;

private:
    void releaseHandles() noexcept override;
    void checkOpen() const;
    void checkColumn(std::size_t index) const;
    void finish();
    /// Ends the statement unfinished: the result set goes and its implicit transaction
    /// rolls back.
    void abandon() noexcept;

    std::shared_ptr<FbSession> session_;
    FbRef<Firebird::IStatement> statement_;
    FbRef<Firebird::ITransaction> transaction_; // the one the rows (and blobs) are read in
    std::unique_ptr<FbTransaction> implicit_;
    FbRef<Firebird::IResultSet> resultSet_;
    FbRowLayout layout_;
    std::vector<unsigned char> row_;
    std::vector<core::Value> values_;
    std::vector<bool> decoded_;
    bool onRow_ = false;
    bool released_ = false; // by a disconnect
};

} // namespace kalmora::driver
