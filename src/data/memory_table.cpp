// SPDX-License-Identifier: Apache-2.0
#include "data/memory_table.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace kalmora::data {

std::span<core::Value> RowStore::append()
{
    const std::size_t offset = rows_ % blockRows;
    if (offset == 0)
        blocks_.push_back(std::make_unique<core::Value[]>(blockRows * width_));
    ++rows_;
    return {blocks_.back().get() + offset * width_, width_};
}

std::span<core::Value> RowStore::row(std::size_t index)
{
    return {blocks_[index / blockRows].get() + index % blockRows * width_, width_};
}

std::span<const core::Value> RowStore::row(std::size_t index) const
{
    return {blocks_[index / blockRows].get() + index % blockRows * width_, width_};
}

void MemoryTable::load(std::vector<TableColumn> columns, ColumnStore rows)
{
    clear();
    columns_ = std::move(columns);
    values_ = std::move(rows);
    const std::size_t count = values_.size();
    status_.assign(count, Status::Fetched);
    order_.resize(count);
    std::iota(order_.begin(), order_.end(), RecordId{0});
}

void MemoryTable::load(std::vector<TableColumn> columns, const RowStore &rows)
{
    ColumnStore store;
    for (const TableColumn &column : columns)
        store.addColumn(column.desc);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::size_t row = store.appendRow();
        const std::span<const core::Value> values = rows.row(r);
        for (std::size_t c = 0; c < values.size(); ++c)
            store.set(row, c, values[c]);
    }
    load(std::move(columns), std::move(store));
}

void MemoryTable::clear()
{
    // Everything is let go, not only emptied: a closed data set holds no memory for rows.
    columns_ = {};
    values_ = ColumnStore();
    status_ = {};
    fetched_ = {};
    order_ = {};
    view_ = {};
    log_ = {};
    filter_ = nullptr;
}

std::vector<core::Value> MemoryTable::row(RecordId record) const
{
    std::vector<core::Value> values(columns_.size());
    for (std::size_t c = 0; c < values.size(); ++c)
        values_.read(record, c, values[c]);
    return values;
}

void MemoryTable::store(RecordId record, std::vector<core::Value> values)
{
    for (std::size_t c = 0; c < values.size(); ++c)
        values_.set(record, c, values[c]);
}

bool MemoryTable::passesFilter(RecordId record, std::vector<core::Value> &scratch) const
{
    if (filter_.onOneColumn()) {
        // Only the filtered column is read.
        scratch.resize(1);
        values_.read(record, filter_.column(), scratch[0]);
        return filter_.passes(scratch[0]);
    }
    scratch.resize(columns_.size());
    for (std::size_t c = 0; c < scratch.size(); ++c)
        values_.read(record, c, scratch[c]);
    return filter_(scratch);
}

void MemoryTable::setFilter(RowFilter filter)
{
    filter_ = std::move(filter);
    view_.clear();
    if (!filter_)
        return;
    std::optional<ColumnStore::Key> key;
    if (filter_.onOneColumn() && filter_.comparison())
        key = values_.keyFor(filter_.column(), filter_.comparison()->constant);
    std::vector<core::Value> scratch;
    for (RecordId record : order_) {
        bool passes = status_[record] == Status::Pending;
        if (passes) {
        } else if (!key) {
            passes = passesFilter(record, scratch);
        } else {
            // Compared where the value is stored; a value kept beside its column is read.
            switch (values_.compare(record, *key)) {
            case ColumnStore::Order::Less:
                passes = filter_.comparison()->accepts(-1);
                break;
            case ColumnStore::Order::Equal:
                passes = filter_.comparison()->accepts(0);
                break;
            case ColumnStore::Order::Greater:
                passes = filter_.comparison()->accepts(1);
                break;
            case ColumnStore::Order::Null:
                break;
            case ColumnStore::Order::Beside:
                passes = passesFilter(record, scratch);
                break;
            }
        }
        if (passes)
            view_.push_back(record);
    }
}

std::optional<std::size_t>
MemoryTable::findShown(std::size_t column, const core::Value &key,
                       const std::function<bool(const core::Value &)> &equals) const
{
    const std::vector<RecordId> &records = shown();
    const std::optional<ColumnStore::Key> stored = values_.keyFor(column, key);
    core::Value candidate;
    for (std::size_t position = 0; position < records.size(); ++position) {
        if (stored) {
            const ColumnStore::Order order = values_.compare(records[position], *stored);
            if (order == ColumnStore::Order::Equal)
                return position;
            if (order != ColumnStore::Order::Beside)
                continue;
        }
        values_.read(records[position], column, candidate);
        if (equals(candidate))
            return position;
    }
    return std::nullopt;
}

RecordId MemoryTable::insertPending(std::size_t position)
{
    const auto record = RecordId(values_.appendRow());
    status_.push_back(Status::Pending);
    if (position < shownCount()) {
        const RecordId anchor = shownRecord(position);
        order_.insert(std::find(order_.begin(), order_.end(), anchor), record);
        if (filter_)
            view_.insert(view_.begin() + std::ptrdiff_t(position), record);
    } else {
        order_.push_back(record);
        if (filter_)
            view_.push_back(record);
    }
    return record;
}

void MemoryTable::cancelPending(RecordId record)
{
    if (status_.at(record) != Status::Pending)
        throw std::logic_error("cancelPending on a posted record");
    status_[record] = Status::Gone;
    erase(order_, record);
    erase(view_, record);
    values_.clearRow(record);
}

bool MemoryTable::post(RecordId record, std::vector<core::Value> values)
{
    switch (status_.at(record)) {
    case Status::Pending:
        status_[record] = Status::Inserted;
        log_.push_back(record);
        break;
    case Status::Fetched: {
        std::vector<core::Value> current = row(record);
        if (current == values)
            break;
        fetched_.emplace(record, std::move(current));
        status_[record] = Status::Modified;
        log_.push_back(record);
        break;
    }
    case Status::Modified: {
        // Editing a row back to its fetched values leaves nothing to save.
        const std::vector<core::Value> &original = fetched_.at(record);
        if (std::equal(values.begin(), values.end(), original.begin())) {
            fetched_.erase(record);
            status_[record] = Status::Fetched;
            unlog(record);
        }
        break;
    }
    case Status::Inserted:
        break;
    case Status::Deleted:
    case Status::Gone:
        throw std::logic_error("post on a removed record");
    }
    store(record, std::move(values));
    std::vector<core::Value> scratch;
    if (filter_ && !passesFilter(record, scratch)) {
        erase(view_, record);
        return false;
    }
    return true;
}

void MemoryTable::remove(RecordId record)
{
    switch (status_.at(record)) {
    case Status::Pending:
        cancelPending(record);
        return;
    case Status::Inserted:
        // Never saved: nothing to send.
        status_[record] = Status::Gone;
        unlog(record);
        break;
    case Status::Fetched:
        status_[record] = Status::Deleted;
        log_.push_back(record);
        break;
    case Status::Modified:
        status_[record] = Status::Deleted;
        break;
    case Status::Deleted:
    case Status::Gone:
        throw std::logic_error("remove of a removed record");
    }
    erase(order_, record);
    erase(view_, record);
}

Delta MemoryTable::delta() const
{
    Delta delta;
    delta.columns = columns_;
    delta.rows.reserve(log_.size());
    for (RecordId record : log_) {
        DeltaRow change;
        change.record = record;
        const auto fetchedIt = fetched_.find(record);
        switch (status_[record]) {
        case Status::Inserted:
            change.kind = UpdateKind::ukInsert;
            change.current = row(record);
            change.changed.reserve(change.current.size());
            for (const core::Value &v : change.current)
                change.changed.push_back(!isNull(v));
            break;
        case Status::Modified:
            change.kind = UpdateKind::ukModify;
            change.fetched = fetchedIt->second;
            change.current = row(record);
            change.changed.reserve(change.current.size());
            for (std::size_t c = 0; c < change.current.size(); ++c)
                change.changed.push_back(!(change.current[c] == change.fetched[c]));
            break;
        case Status::Deleted:
            change.kind = UpdateKind::ukDelete;
            if (fetchedIt != fetched_.end())
                change.fetched = fetchedIt->second;
            else
                change.fetched = row(record);
            break;
        default:
            continue;
        }
        delta.rows.push_back(std::move(change));
    }
    return delta;
}

void MemoryTable::mergeOne(RecordId record)
{
    switch (status_[record]) {
    case Status::Inserted:
    case Status::Modified:
        status_[record] = Status::Fetched;
        break;
    case Status::Deleted:
        status_[record] = Status::Gone;
        values_.clearRow(record);
        break;
    default:
        break;
    }
    fetched_.erase(record);
}

void MemoryTable::merge(std::span<const RecordId> records)
{
    // One pass over the change log, however many records were applied.
    std::vector<bool> applied(status_.size(), false);
    for (RecordId record : records)
        if (record < applied.size())
            applied[record] = true;
    std::vector<RecordId> pending;
    for (RecordId record : log_) {
        if (applied[record])
            mergeOne(record);
        else
            pending.push_back(record);
    }
    log_ = std::move(pending);
}

void MemoryTable::unlog(RecordId record)
{
    erase(log_, record);
}

void MemoryTable::erase(std::vector<RecordId> &records, RecordId record)
{
    const auto it = std::find(records.begin(), records.end(), record);
    if (it != records.end())
        records.erase(it);
}

} // namespace kalmora::data
