#include "data/data_set_provider.h"

#include "core/errors.h"
#include "data/statement_observer.h"
#include "data/update_statements.h"
#include "data/wait_cursor.h"

#include <limits>

namespace kalmora::data {

namespace {

/// A failure of one row: it is counted and logged, never raised to the caller.
struct RowFailure
{
    std::string message;
    int code = 0;
};

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
                throw EDatabaseError("CommandText changes are not allowed");
            source_.setCommandText(commandText);
        }
        if (!source_.active()) {
            source_.open();
            openedSource_ = true;
        }
        DriverCursor &cursor = source_.cursor();
        DataPacket packet;
        for (const ColumnDesc &column : cursor.columns())
            packet.columns.push_back(TableColumn{column, true, true});
        const std::size_t width = packet.columns.size();
        packet.rows = RowStore(width);
        while (cursor.next()) {
            const std::span<Value> row = packet.rows.append();
            for (std::size_t c = 0; c < width; ++c)
                row[c] = cursor.value(c);
        }
        reset();
        return packet;
    } catch (const Exception &failure) {
        try {
            reset();
        } catch (const Exception &) {
            // The first failure is the one to report.
        }
        throw EOleException(withoutTrailingStops(failure.message()));
    }
}

void TDataSetProvider::reset()
{
    if (openedSource_) {
        openedSource_ = false;
        source_.close();
    }
}

ApplyResult TDataSetProvider::applyUpdates(const Delta &delta, int maxErrors)
{
    if (options_ & poReadOnly)
        throw EOleException("Cannot apply updates to a ReadOnly provider");
    TSQLConnection &connection = source_.connection();
    const TransactionDesc transaction{1, connection.transIsolation()};
    const int limit = maxErrors == -1 ? std::numeric_limits<int>::max() : maxErrors;
    bool owned = false;
    bool rolledBack = false;
    ApplyResult result;
    try {
        connection.open();
        if (!connection.inTransaction()) {
            startTransaction(connection, transaction);
            owned = connection.inTransaction();
        }
        const std::string quote = connection.quoteChar();
        const std::string table = writtenTableName(source_.updateTableName(), quote);
        PreparedStatements statements(connection);
        for (std::size_t i = 0; i < delta.rows.size(); ++i) {
            const DeltaRow &row = delta.rows[i];
            std::optional<RowFailure> failure;
            bool endsSave = false;
            try {
                const auto statement = updateStatement(delta.columns, row, table, quote);
                std::int64_t affected = 1;
                if (statement) {
                    ScopedWaitCursor wait(connection.waitCursor());
                    affected = statements.execute(statement->text, statement->params);
                }
                if (affected > 1 && !(options_ & poAllowMultiRecordUpdates)) {
                    // The statement changed rows it should not have: undo everything at once
                    // and end the save, so that nothing after it runs outside a transaction.
                    // Marked first: a rollback that fails here must not let the save commit.
                    rolledBack = true;
                    endsSave = true;
                    failure = RowFailure{"Update affected more than 1 record.", 0};
                    if (connection.inTransaction())
                        rollbackTransaction(connection, transaction);
                    owned = false;
                } else if (affected < 1) {
                    failure = RowFailure{"Record not found or changed by another user", 0};
                } else {
                    result.applied.push_back(row.record);
                }
            } catch (const DriverError &error) {
                failure = RowFailure{error.message(), error.code()};
            } catch (const EDatabaseError &error) {
                failure = RowFailure{error.message(), 0};
            }
            if (!failure)
                continue;
            ++result.errorCount;
            const bool abort = endsSave || result.errorCount > limit;
            result.failures.push_back(UpdateFailure{
                i, row.record, abort ? ReconcileResponse::rrAbort : ReconcileResponse::rrSkip,
                failure->message, failure->code});
            if (abort)
                break;
        }
        if (owned) {
            // Still owned until it has ended: a commit the server refuses is rolled back
            // below, so no transaction is left open for later statements to join.
            if (!rolledBack && (maxErrors == -1 || result.errorCount <= maxErrors)) {
                commitTransaction(connection, transaction);
            } else {
                rollbackTransaction(connection, transaction);
                rolledBack = true;
            }
            owned = false;
        }
    } catch (const Exception &failure) {
        // A save that cannot finish is undone whole, so the change log can be sent again.
        if (owned) {
            try {
                rollbackTransaction(connection, transaction);
            } catch (const Exception &) {
                // The first failure is the one to report.
            }
        }
        throw EOleException(withoutTrailingStops(failure.message()));
    }
    if (rolledBack)
        result.applied.clear();
    return result;
}

} // namespace kalmora::data
