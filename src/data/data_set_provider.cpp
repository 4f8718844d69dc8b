// SPDX-License-Identifier: Apache-2.0
#include "data/data_set_provider.h"

#include "core/errors.h"
#include "data/statement_sender.h"
#include "data/update_statements.h"
#include "data/wait_cursor.h"

#include <limits>
#include <map>

namespace kalmora::data {

namespace {

/// A failure of one row: it is counted and logged, never raised to the caller.
struct RowFailure
{
    std::string message;
    int code = 0;
    bool endsSave = false; // the save was undone at this row: no row after it is sent
};

/// The driver's result code behind a failure; 0 for a failure of the layer itself.
int driverCode(const core::Exception &failure)
{
    const auto *driver = dynamic_cast<const driver::DriverError *>(&failure);
    return driver ? driver->code() : 0;
}

} // namespace

std::string withoutTrailingStops(const std::string &message)
{
    std::size_t end = message.size();
    while (end > 0 &&
           (message[end - 1] == '.' || static_cast<unsigned char>(message[end - 1]) <= 32))
        --end;
    return message.substr(0, end);
}

TDataSetProvider::TDataSetProvider(std::string name, TSQLSource &source, unsigned options)
    : name_(std::move(name)), source_(source), options_(options)
{
}

DataPacket TDataSetProvider::getRecords(const std::string &commandText)
{
    try {
        if (!commandText.empty()) {
            if (!(options_ & poAllowCommandText))
                throw core::EDatabaseError("CommandText changes are not allowed");
            source_.setCommandText(commandText);
        }
        if (!source_.active()) {
            source_.open();
            openedSource_ = true;
        }
        driver::DriverCursor &cursor = source_.cursor();
        DataPacket packet;
        for (const core::ColumnDesc &column : cursor.columns()) {
            packet.columns.push_back(TableColumn{column, true, true});
            packet.rows.addColumn(column);
        }
        const std::size_t width = packet.columns.size();
        while (cursor.next()) {
            const std::size_t row = packet.rows.appendRow();
            for (std::size_t c = 0; c < width; ++c)
                if (!cursor.isNull(c))
                    packet.rows.set(row, c, cursor.value(c));
        }
        reset();
        return packet;
    } catch (const core::Exception &failure) {
        try {
            reset();
        } catch (const core::Exception &) {
            // The first failure is the one to report.
        }
        throw core::EOleException(withoutTrailingStops(failure.message()), driverCode(failure));
    }
}

void TDataSetProvider::reset()
{
    if (openedSource_) {
        openedSource_ = false;
        source_.close();
    }
}

namespace {

/// The statements of one save: one for each shape of row, its text made and prepared when a
/// row first needs it.
class SaveStatements
{
public:
    SaveStatements(TSQLConnection &connection, const std::vector<TableColumn> &columns,
                   std::string table, std::string quote)
        : connection_(connection), columns_(columns), table_(std::move(table)),
          quote_(std::move(quote))
    {
    }
    /// The statement of `shape`; fails as its text does.
    PreparedStatement &forShape(const StatementShape &shape)
    {
        auto found = statements_.find(shape);
        if (found == statements_.end())
            found = statements_
                        .emplace(shape,
                                 PreparedStatement(connection_,
                                                   statementText(columns_, shape, table_, quote_)))
                        .first;
        return found->second;
    }

private:
    TSQLConnection &connection_;
    const std::vector<TableColumn> &columns_;
    const std::string table_;
    const std::string quote_;
    std::map<StatementShape, PreparedStatement> statements_;
};

/// One save of a change log: the transaction it started and still owns, whether the save was
/// rolled back, and what stands in the database.
class Save
{
public:
    Save(TSQLSource &source, unsigned options, int maxErrors)
        : source_(source), connection_(source.connection()), options_(options),
          maxErrors_(maxErrors), transaction_{1, connection_.transIsolation()},
          limit_(maxErrors == -1 ? std::numeric_limits<int>::max() : maxErrors)
    {
    }

    ApplyResult run(const Delta &delta)
    {
        try {
            begin();
            // Kept until the transaction has ended: its commands live as long as the save.
            const std::string quote = connection_.quoteChar();
            SaveStatements statements(connection_, delta.columns,
                                      writtenTableName(source_.updateTableName(), quote), quote);
            sendRows(statements, delta);
            end();
        } catch (const core::Exception &failure) {
            // A save that cannot finish is undone whole, so the change log can be sent again.
            if (owned_) {
                try {
                    rollbackTransaction(connection_, transaction_);
                } catch (const core::Exception &) {
                    // The first failure is the one to report.
                }
            }
            throw core::EOleException(withoutTrailingStops(failure.message()), driverCode(failure));
        }
        if (rolledBack_)
            result_.applied.clear();
        return std::move(result_);
    }

private:
    /// Joins the connection's transaction, or starts one that the save then owns.
    void begin()
    {
        connection_.open();
        if (!connection_.inTransaction()) {
            startTransaction(connection_, transaction_);
            owned_ = connection_.inTransaction();
        }
    }

    void sendRows(SaveStatements &statements, const Delta &delta)
    {
        for (std::size_t i = 0; i < delta.rows.size(); ++i) {
            const DeltaRow &row = delta.rows[i];
            const std::optional<RowFailure> failure = sendRow(statements, delta.columns, row);
            if (failure && recordFailure(i, row, *failure))
                break;
        }
    }

    /// Sends the statement of one row; a failure of the row is returned, not raised.
    std::optional<RowFailure> sendRow(SaveStatements &statements,
                                      const std::vector<TableColumn> &columns, const DeltaRow &row)
    {
        bool endsSave = false;
        try {
            const std::optional<StatementShape> shape = statementShape(columns, row);
            std::int64_t affected = 1;
            if (shape) {
                PreparedStatement &statement = statements.forShape(*shape);
                statementParams(columns, row, *shape, params_);
                ScopedWaitCursor wait(connection_.waitCursor());
                statement.execute(params_);
                // An insert of one row of values that did not fail stored that one row: the
                // server is not asked again.
                if (shape->kind != UpdateKind::ukInsert)
                    affected = statement.rowsAffected();
            }
            if (affected > 1 && !(options_ & poAllowMultiRecordUpdates)) {
                // The statement changed rows it should not have: undo everything at once
                // and end the save, so that nothing after it runs outside a transaction.
                // Marked first: a rollback that fails here must not let the save commit.
                rolledBack_ = true;
                endsSave = true;
                if (connection_.inTransaction())
                    rollbackTransaction(connection_, transaction_);
                owned_ = false;
                return RowFailure{"Update affected more than 1 record.", 0, true};
            }
            if (affected < 1)
                return RowFailure{"Record not found or changed by another user", 0};
            result_.applied.push_back(row.record);
            return std::nullopt;
        } catch (const driver::DriverError &error) {
            return RowFailure{error.message(), error.code(), endsSave};
        } catch (const core::EDatabaseError &error) {
            return RowFailure{error.message(), 0, endsSave};
        }
    }

    /// Counts and logs the failure of row `index`; returns whether the save stops there.
    bool recordFailure(std::size_t index, const DeltaRow &row, const RowFailure &failure)
    {
        ++result_.errorCount;
        const bool abort = failure.endsSave || result_.errorCount > limit_;
        result_.failures.push_back(UpdateFailure{
            index, row.record, abort ? ReconcileResponse::rrAbort : ReconcileResponse::rrSkip,
            failure.message, failure.code});
        return abort;
    }

    /// Commits the owned transaction when the errors stayed within the limit, else rolls it
    /// back.
    void end()
    {
        if (!owned_)
            return;
        // Still owned until it has ended: a commit the server refuses is rolled back by
        // run(), so no transaction is left open for later statements to join.
        if (!rolledBack_ && (maxErrors_ == -1 || result_.errorCount <= maxErrors_)) {
            commitTransaction(connection_, transaction_);
        } else {
            rollbackTransaction(connection_, transaction_);
            rolledBack_ = true;
        }
        owned_ = false;
    }

    TSQLSource &source_;
    TSQLConnection &connection_;
    const unsigned options_;
    const int maxErrors_;
    const driver::TransactionDesc transaction_;
    const int limit_;
    bool owned_ = false;
    bool rolledBack_ = false;
    std::vector<Param> params_; // of the row being sent
    ApplyResult result_;
};

} // namespace

ApplyResult TDataSetProvider::applyUpdates(const Delta &delta, int maxErrors)
{
    if (options_ & poReadOnly)
        throw core::EOleException("Cannot apply updates to a ReadOnly provider");
    return Save(source_, options_, maxErrors).run(delta);
}

} // namespace kalmora::data
