#pragma once
// The in-memory engine behind every data set: the fetched rows in the order the server
// returned them, the rows shown through an optional filter, and the change log of
// deletions, insertions and modifications from which a save's delta is taken.

#include "core/value.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace kalmora::data {

/// A result column as the engine holds it, with the flags that a save reads.
struct TableColumn
{
    ColumnDesc desc;
    bool inUpdate = true; // the column may be written
    bool inWhere = true;  // the column identifies its row
};

enum class UpdateKind { ukModify, ukInsert, ukDelete };

/// Rows of one width, kept in blocks so that growing never moves a value: a fetch of many
/// rows costs one copy of each value and no reallocation.
class RowStore
{
public:
    explicit RowStore(std::size_t width = 0) : width_(width) {}
    std::size_t width() const { return width_; }
    std::size_t size() const { return rows_; }
    /// Adds an all-null row and returns it.
    std::span<Value> append();
    std::span<Value> row(std::size_t index);
    std::span<const Value> row(std::size_t index) const;

private:
    static constexpr std::size_t blockRows = 4096;
    std::size_t width_;
    std::size_t rows_ = 0;
    std::vector<std::unique_ptr<Value[]>> blocks_;
};

/// Identifies one record for the life of a load; never reused before the next load.
using RecordId = std::uint32_t;

/// One changed row of a save.
struct DeltaRow
{
    RecordId record = 0;
    UpdateKind kind = UpdateKind::ukModify;
    std::vector<Value> fetched; // values as fetched (modify, delete)
    std::vector<Value> current; // new values (insert, modify)
    std::vector<bool> changed;  // modify: columns changed; insert: columns given a value
};

/// The changed rows, in the order their changes were first made.
struct Delta
{
    std::vector<TableColumn> columns;
    std::vector<DeltaRow> rows;
};

class MemoryTable
{
public:
    /// Decides whether a row is shown while a filter is set.
    using RowFilter = std::function<bool(std::span<const Value> row)>;

    /// Replaces everything by `rows`, one value per column.
    void load(std::vector<TableColumn> columns, RowStore rows);
    /// Drops rows, columns, filter and change log.
    void clear();

    const std::vector<TableColumn> &columns() const { return columns_; }
    std::size_t columnCount() const { return columns_.size(); }

    /// The rows shown, in order: every live row, or those the filter lets through (a row
    /// being inserted is always shown).
    std::size_t shownCount() const { return shown().size(); }
    RecordId shownRecord(std::size_t position) const { return shown()[position]; }
    std::span<const Value> row(RecordId record) const;
    /// Every live record in order, filtered or not.
    const std::vector<RecordId> &allRecords() const { return order_; }

    /// Sets or, with an empty function, removes the filter; the shown rows are rebuilt.
    void setFilter(RowFilter filter);

    /// Places a new all-null record before the shown row at `position` (or at the end); it
    /// is not a change until it is posted.
    RecordId insertPending(std::size_t position);
    /// Removes a record placed by insertPending that was never posted.
    void cancelPending(RecordId record);
    /// Stores new values of a record and records the change. Returns false when the record
    /// no longer passes the filter and was therefore taken out of the shown rows.
    bool post(RecordId record, std::vector<Value> values);
    /// Removes a record from the rows and records the deletion.
    void remove(RecordId record);

    bool hasChanges() const { return !log_.empty(); }
    std::size_t changeCount() const { return log_.size(); }
    Delta delta() const;
    /// Makes the changes of `records` part of the data as fetched; the others stay pending.
    void merge(std::span<const RecordId> records);

private:
    enum class Status : std::uint8_t { Fetched, Pending, Inserted, Modified, Deleted, Gone };

    const std::vector<RecordId> &shown() const { return filter_ ? view_ : order_; }
    std::span<Value> mutableRow(RecordId record);
    void mergeOne(RecordId record);
    void unlog(RecordId record);
    static void erase(std::vector<RecordId> &records, RecordId record);

    std::vector<TableColumn> columns_;
    RowStore values_; // current values, indexed by RecordId
    std::vector<Status> status_;
    std::unordered_map<RecordId, std::vector<Value>> fetched_; // originals of modified rows
    std::vector<RecordId> order_;                              // live records in display order
    std::vector<RecordId> view_;                               // the shown subset while filtering
    std::vector<RecordId> log_; // changed records, in the order first changed
    RowFilter filter_;
};

} // namespace kalmora::data
