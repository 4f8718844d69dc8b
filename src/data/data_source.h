// SPDX-License-Identifier: Apache-2.0
#pragma once
// Data sources connect a data set to the controls that show it (grids, the navigator bar,
// the lookup box). Controls observe a data source; the data set tells its data sources
// what happened, and they pass it on. No widget code here.

#include <string>
#include <vector>

namespace kalmora::data {

class TClientDataSet;
class TDataSource;

/// What a data source asks of the data set it shows: to be told of the set's events, and no
/// longer. The set names itself to the source when it attaches it.
class DataSetLink
{
public:
    virtual void attachDataSource(TDataSource *source) = 0;
    virtual void detachDataSource(TDataSource *source) = 0;

protected:
    ~DataSetLink() = default;
};

/// What a control hears from its data source. Every method has an empty default.
class DataSetObserver
{
public:
    virtual ~DataSetObserver() = default;
    /// The data set opened or closed (also when the data source changes its data set).
    virtual void activeChanged() {}
    /// The current row moved to another row.
    virtual void recordMoved() {}
    /// Rows or values changed: rows deleted, inserted, posted, cancelled, refiltered, or a
    /// field of the current row written.
    virtual void dataChanged() {}
    /// The data set entered or left edit or insert state.
    virtual void stateChanged() {}
    /// The row being edited is about to be posted: a control writes what the user typed
    /// and has not yet written to its field, and may throw the field's failure, which stops
    /// the post.
    virtual void updateRecord() {}
};

enum class DataEvent { ActiveChanged, RecordMoved, DataChanged, StateChanged, UpdateRecord };

class TDataSource
{
public:
    explicit TDataSource(std::string name);
    ~TDataSource();
    TDataSource(const TDataSource &) = delete;
    TDataSource &operator=(const TDataSource &) = delete;

    const std::string &name() const { return name_; }
    TClientDataSet *dataSet() const { return dataSet_; }
    /// Follows `dataSet` (not owned; null for none); observers hear activeChanged.
    void setDataSet(DataSetLink *dataSet);

    /// Observers are not owned; one removes itself before it dies.
    void addObserver(DataSetObserver *observer);
    void removeObserver(DataSetObserver *observer);

    /// Called by the data set.
    void notify(DataEvent event);

private:
    friend class TClientDataSet;
    std::string name_;
    TClientDataSet *dataSet_ = nullptr;
    DataSetLink *link_ = nullptr; // the same data set, as the source attaches to it
    std::vector<DataSetObserver *> observers_;
};

} // namespace kalmora::data
