// SPDX-License-Identifier: Apache-2.0
#pragma once
// Data sets (`TClientDataSet`): in-memory tables fetched through a provider, with typed
// field objects, a current row, an end flag, a filter and a change log. Handlers read and
// edit only data sets; nothing reaches the server before apply updates.
//
// Failures raised for the data set carry its name: "CPuntos: Cannot perform this operation
// on a closed dataset".

#include "data/data_set_provider.h"
#include "data/data_source.h"
#include "data/field.h"
#include "data/memory_table.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kalmora::data {

enum class DataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

/// Where a data set finds the provider it names (the main window's components).
class ProviderDirectory
{
public:
    virtual ~ProviderDirectory() = default;
    virtual TDataSetProvider *findProvider(std::string_view name) const = 0;
};

struct LocateOptions
{
    bool caseInsensitive = false; // loCaseInsensitive
    bool partialKey = false;      // loPartialKey
};

class TClientDataSet final : public DataSetLink, private FieldStore
{
public:
    TClientDataSet(std::string name, const ProviderDirectory *owner);
    ~TClientDataSet();
    TClientDataSet(const TClientDataSet &) = delete;
    TClientDataSet &operator=(const TClientDataSet &) = delete;

    const std::string &name() const { return name_; }
    void setProviderName(std::string name) { providerName_ = std::move(name); }
    /// The statement text the next open sends; an open data set is not refetched.
    const std::string &commandText() const { return commandText_; }
    void setCommandText(std::string text) { commandText_ = std::move(text); }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool value) { readOnly_ = value; }
    bool canModify() const { return active() && !readOnly_; }

    // ---- Fields

    /// Adds a persistent field (closed data set only); the data set owns it.
    TField &addField(std::unique_ptr<TField> field);
    template <class F, class... A> F &add(A &&...args)
    {
        return static_cast<F &>(addField(std::make_unique<F>(std::forward<A>(args)...)));
    }
    /// The fields in order: the persistent ones, or one per result column when there are none.
    int fieldCount() const { return int(fields_.size()); }
    /// Fails with "List index out of bounds (%d)" past the last field.
    TField &fields(int index) const;
    /// Compared without regard to case; fails with "<name>: Field '%s' not found".
    TField &fieldByName(std::string_view name) const;
    TField *findField(std::string_view name) const;
    /// The column descriptions of the last result (empty while closed).
    const std::vector<TableColumn> &columns() const { return table_.columns(); }

    // ---- Open and close

    /// Fetches through the provider when closed; does nothing when open.
    void open();
    /// Discards rows, result fields and change log without saving; resets the provider.
    void close();
    bool active() const { return state_ != DataSetState::dsInactive; }
    DataSetState state() const { return state_; }

    // ---- Position

    /// True past the last row, on an empty or closed data set.
    bool eof() const { return !active() || eof_; }
    /// True at the beginning: after open, first(), or a step back that found no row.
    bool bof() const { return !active() || bof_; }
    /// True when no row is shown; no failure when closed.
    bool isEmpty() const { return !active() || table_.shownCount() == 0; }
    /// The rows shown (the row being inserted included); fails when closed.
    int recordCount() const;
    /// The current row's position among the rows shown (from 0), -1 when there is none.
    int recNo() const;
    void setRecNo(int position);
    void first();
    void last();
    void next();
    void prior();
    /// Moves up to `distance` rows (negative: back); returns how far it moved.
    int moveBy(int distance);
    /// Finds the first shown row whose field equals `value` and makes it current.
    bool locate(std::string_view fieldName, const core::Value &value, LocateOptions options = {});

    // ---- Filter

    const std::string &filter() const { return filter_; }
    void setFilter(std::string text);
    void setFiltered(bool value);

    // ---- Editing

    void edit();
    /// A new all-null row before the current one, in insert state.
    void insert();
    /// A new all-null row after the last one, in insert state.
    void append();
    void post();
    void cancel();
    /// Removes the current row (cancels a row being inserted instead).
    void deleteRecord();
    /// Posts a changed row being edited or inserted, cancels an unchanged one.
    void checkBrowseMode();
    /// True once a field of the row being edited or inserted was written.
    bool modified() const { return modified_; }
    /// Runs on every new row (insert, append) before anyone else sees it, to give it default
    /// values. What it writes does not count as a change: a new row that nobody touched
    /// afterwards is still dropped instead of posted.
    void setOnNewRecord(std::function<void(TClientDataSet &)> handler)
    {
        onNewRecord_ = std::move(handler);
    }

    // ---- Saving

    /// Sends the change log through the provider; returns the number of rows that failed.
    int applyUpdates(int maxErrors);
    /// Pending changes in the change log.
    int changeCount() const { return int(table_.changeCount()); }
    /// The failure log of the last apply updates.
    const std::vector<UpdateFailure> &updateFailures() const { return updateFailures_; }

private:
    /// A new empty row at `position` among the shown rows, current and being inserted.
    void insertRowAt(std::size_t position);

    [[noreturn]] void fail(const std::string &text) const;
    void checkActive() const;
    TDataSetProvider &provider() const;
    void bindFields();
    void unbindFields();
    void applyFilter();
    void refilter();
    void moveTo(std::size_t position);
    void afterRowsChanged();
    void notify(DataEvent event);
    void attachDataSource(TDataSource *source) override;
    void detachDataSource(TDataSource *source) override;

    // For fields.
    core::Value currentValue(int column) const override;
    core::Value shownValue(std::size_t row, int column) const override;
    void writeField(TField &field, core::Value value) override;

    std::string name_;
    const ProviderDirectory *owner_;
    std::string providerName_;
    std::string commandText_;
    std::string filter_;
    bool filtered_ = false;
    bool readOnly_ = false;

    std::vector<std::unique_ptr<TField>> persistent_;
    std::vector<std::unique_ptr<TField>> made_;
    std::vector<TField *> fields_;

    MemoryTable table_;
    DataSetState state_ = DataSetState::dsInactive;
    std::size_t current_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    std::vector<core::Value> buffer_; // the row being edited or inserted
    RecordId editRecord_ = 0;
    bool modified_ = false;
    std::function<void(TClientDataSet &)> onNewRecord_;
    std::vector<UpdateFailure> updateFailures_;

    std::vector<TDataSource *> sources_;
};

} // namespace kalmora::data
