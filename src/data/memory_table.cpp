#include "data/memory_table.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace kalmora::data {

std::span<Value> RowStore::append()
{
    const std::size_t offset = rows_ % blockRows;
    if (offset == 0)
        blocks_.push_back(std::make_unique<Value[]>(blockRows * width_));
    ++rows_;
    return {blocks_.back().get() + offset * width_, width_};
}

std::span<Value> RowStore::row(std::size_t index)
{
    return {blocks_[index / blockRows].get() + index % blockRows * width_, width_};
}

std::span<const Value> RowStore::row(std::size_t index) const
{
    return {blocks_[index / blockRows].get() + index % blockRows * width_, width_};
}

void MemoryTable::load(std::vector<TableColumn> columns, RowStore rows)
{
    clear();
    columns_ = std::move(columns);
    values_ = std::move(rows);
    const std::size_t count = values_.size();
    status_.assign(count, Status::Fetched);
    order_.resize(count);
    std::iota(order_.begin(), order_.end(), RecordId{0});
}

void MemoryTable::clear()
{
    columns_.clear();
    values_ = RowStore();
    status_.clear();
    fetched_.clear();
    order_.clear();
    view_.clear();
    log_.clear();
    filter_ = nullptr;
}

std::span<const Value> MemoryTable::row(RecordId record) const
{
    return values_.row(record);
}

std::span<Value> MemoryTable::mutableRow(RecordId record)
{
    return values_.row(record);
}

void MemoryTable::setFilter(RowFilter filter)
{
    filter_ = std::move(filter);
    view_.clear();
    if (!filter_)
        return;
    for (RecordId record : order_) {
        if (status_[record] == Status::Pending || filter_(row(record)))
            view_.push_back(record);
    }
}

RecordId MemoryTable::insertPending(std::size_t position)
{
    const auto record = RecordId(status_.size());
    values_.append();
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
    for (Value &v : mutableRow(record))
        v = Value{};
}

bool MemoryTable::post(RecordId record, std::vector<Value> values)
{
    const std::span<Value> target = mutableRow(record);
    switch (status_.at(record)) {
    case Status::Pending:
        status_[record] = Status::Inserted;
        log_.push_back(record);
        break;
    case Status::Fetched:
        if (std::equal(values.begin(), values.end(), target.begin()))
            break;
        fetched_.emplace(record, std::vector<Value>(target.begin(), target.end()));
        status_[record] = Status::Modified;
        log_.push_back(record);
        break;
    case Status::Modified: {
        // Editing a row back to its fetched values leaves nothing to save.
        const std::vector<Value> &original = fetched_.at(record);
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
    std::move(values.begin(), values.end(), target.begin());
    if (filter_ && !filter_(row(record))) {
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
        const std::span<const Value> values = row(record);
        const auto fetchedIt = fetched_.find(record);
        switch (status_[record]) {
        case Status::Inserted:
            change.kind = UpdateKind::ukInsert;
            change.current.assign(values.begin(), values.end());
            for (const Value &v : values)
                change.changed.push_back(!isNull(v));
            break;
        case Status::Modified:
            change.kind = UpdateKind::ukModify;
            change.fetched = fetchedIt->second;
            change.current.assign(values.begin(), values.end());
            for (std::size_t c = 0; c < values.size(); ++c)
                change.changed.push_back(!(values[c] == change.fetched[c]));
            break;
        case Status::Deleted:
            change.kind = UpdateKind::ukDelete;
            if (fetchedIt != fetched_.end())
                change.fetched = fetchedIt->second;
            else
                change.fetched.assign(values.begin(), values.end());
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
        for (Value &v : mutableRow(record))
            v = Value{};
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
