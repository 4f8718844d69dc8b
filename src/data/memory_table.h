// SPDX-License-Identifier: Apache-2.0
#pragma once
// The in-memory engine behind every data set: the fetched rows in the order the server
// returned them (held compactly, column by column), the rows shown through an optional
// filter, and the change log of deletions, insertions and modifications from which a save's
// delta is taken.

#include "core/value.h"
#include "data/column_store.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace kalmora::data {

/// A result column as the engine holds it, with the flags that a save reads.
struct TableColumn
{
    core::ColumnDesc desc;
    bool inUpdate = true; // the column may be written
    bool inWhere = true;  // the column identifies its row
};

enum class UpdateKind { ukModify, ukInsert, ukDelete };

/// Rows of one width given as whole values, for a table built by hand; loading them stores
/// them column by column. Kept in blocks so that growing never moves a value.
class RowStore
{
public:
    explicit RowStore(std::size_t width = 0) : width_(width) {}
    std::size_t width() const { return width_; }
    std::size_t size() const { return rows_; }
    /// Adds an all-null row and returns it.
    std::span<core::Value> append();
    std::span<core::Value> row(std::size_t index);
    std::span<const core::Value> row(std::size_t index) const;

private:
    static constexpr std::size_t blockRows = 4096;
    std::size_t width_;
    std::size_t rows_ = 0;
    std::vector<std::unique_ptr<core::Value[]>> blocks_;
};

/// Identifies one record for the life of a load; never reused before the next load.
using RecordId = std::uint32_t;

/// One changed row of a save.
struct DeltaRow
{
    RecordId record = 0;
    UpdateKind kind = UpdateKind::ukModify;
    std::vector<core::Value> fetched; // values as fetched (modify, delete)
    std::vector<core::Value> current; // new values (insert, modify)
    std::vector<bool> changed;        // modify: columns changed; insert: columns given a value
};

/// The changed rows, in the order their changes were first made.
struct Delta
{
    std::vector<TableColumn> columns;
    std::vector<DeltaRow> rows;
};

/// Decides whether a row is shown while a filter is set: by one column's value, which is then
/// all that is read of each row, or by the whole row.
class RowFilter
{
public:
    using ValueTest = std::function<bool(const core::Value &value)>;
    using RowTest = std::function<bool(std::span<const core::Value> row)>;

    RowFilter() = default;
    RowFilter(std::nullptr_t) {}
    /// A filter over whole rows.
    template <class Test, class = std::enable_if_t<std::is_invocable_r_v<
                              bool, const Test &, std::span<const core::Value>>>>
    RowFilter(Test test) : rowTest_(std::move(test))
    {
    }
    /// What a filter on one column compares: a constant, and which orders of the value
    /// against it pass (given as -1, 0 or 1). A null never passes.
    struct Comparison
    {
        core::Value constant;
        std::function<bool(int order)> accepts;
    };
    /// A filter on the value of `column`; `comparison`, when given, says the same as `test`
    /// in a form the engine can apply to values where they are stored.
    RowFilter(std::size_t column, ValueTest test, std::optional<Comparison> comparison = {})
        : column_(column), valueTest_(std::move(test)), comparison_(std::move(comparison))
    {
    }

    explicit operator bool() const { return valueTest_ || rowTest_; }
    bool operator()(std::span<const core::Value> row) const
    {
        return valueTest_ ? valueTest_(row[column_]) : rowTest_(row);
    }
    /// For a filter on one column: the column and the test of its value.
    bool onOneColumn() const { return bool(valueTest_); }
    std::size_t column() const { return column_; }
    bool passes(const core::Value &value) const { return valueTest_(value); }
    const std::optional<Comparison> &comparison() const { return comparison_; }

private:
    std::size_t column_ = 0;
    ValueTest valueTest_;
    std::optional<Comparison> comparison_;
    RowTest rowTest_;
};

class MemoryTable
{
public:
    using RowFilter = data::RowFilter;

    /// Replaces everything by `rows`, held column by column as `columns` describe them.
    void load(std::vector<TableColumn> columns, ColumnStore rows);
    /// Replaces everything by `rows` given as whole values.
    void load(std::vector<TableColumn> columns, const RowStore &rows);
    /// Drops rows, columns, filter and change log.
    void clear();

    const std::vector<TableColumn> &columns() const { return columns_; }
    std::size_t columnCount() const { return columns_.size(); }

    /// The rows shown, in order: every live row, or those the filter lets through (a row
    /// being inserted is always shown).
    std::size_t shownCount() const { return shown().size(); }
    RecordId shownRecord(std::size_t position) const { return shown()[position]; }
    /// The values of a record.
    std::vector<core::Value> row(RecordId record) const;
    core::Value value(RecordId record, std::size_t column) const
    {
        return values_.get(record, column);
    }
    /// Reads a value into `out`, reusing its text buffer.
    void read(RecordId record, std::size_t column, core::Value &out) const
    {
        values_.read(record, column, out);
    }
    /// Every live record in order, filtered or not.
    const std::vector<RecordId> &allRecords() const { return order_; }
    /// The position among the shown rows of the first whose value in `column` equals `key`
    /// (by `equals`, which the engine may spare on values it can compare where they are
    /// stored); nullopt when there is none.
    std::optional<std::size_t>
    findShown(std::size_t column, const core::Value &key,
              const std::function<bool(const core::Value &)> &equals) const;

    /// Sets or, with an empty function, removes the filter; the shown rows are rebuilt.
    void setFilter(RowFilter filter);

    /// Places a new all-null record before the shown row at `position` (or at the end); it
    /// is not a change until it is posted.
    RecordId insertPending(std::size_t position);
    /// Removes a record placed by insertPending that was never posted.
    void cancelPending(RecordId record);
    /// Stores new values of a record and records the change. Returns false when the record
    /// no longer passes the filter and was therefore taken out of the shown rows.
    bool post(RecordId record, std::vector<core::Value> values);
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
    /// Whether the filter lets `record` through; `scratch` is reused between calls.
    bool passesFilter(RecordId record, std::vector<core::Value> &scratch) const;
    void store(RecordId record, std::vector<core::Value> values);
    void mergeOne(RecordId record);
    void unlog(RecordId record);
    static void erase(std::vector<RecordId> &records, RecordId record);

    std::vector<TableColumn> columns_;
    ColumnStore values_; // current values, indexed by RecordId
    std::vector<Status> status_;
    std::unordered_map<RecordId, std::vector<core::Value>> fetched_; // originals of modified rows
    std::vector<RecordId> order_; // live records in display order
    std::vector<RecordId> view_;  // the shown subset while filtering
    std::vector<RecordId> log_;   // changed records, in the order first changed
    RowFilter filter_;
};

} // namespace kalmora::data
