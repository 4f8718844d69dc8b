// SPDX-License-Identifier: Apache-2.0
#include "data/data_source.h"

#include "data/client_data_set.h"

#include <algorithm>

namespace kalmora::data {

TDataSource::TDataSource(std::string name) : name_(std::move(name)) {}

TDataSource::~TDataSource()
{
    if (dataSet_)
        dataSet_->detachDataSource(this);
}

void TDataSource::setDataSet(TClientDataSet *dataSet)
{
    if (dataSet == dataSet_)
        return;
    if (dataSet_)
        dataSet_->detachDataSource(this);
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->attachDataSource(this);
    notify(DataEvent::ActiveChanged);
}

void TDataSource::addObserver(DataSetObserver *observer)
{
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void TDataSource::removeObserver(DataSetObserver *observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void TDataSource::notify(DataEvent event)
{
    // A copy: an observer may remove itself while it is told.
    const std::vector<DataSetObserver *> observers = observers_;
    for (DataSetObserver *observer : observers) {
        switch (event) {
        case DataEvent::ActiveChanged:
            observer->activeChanged();
            break;
        case DataEvent::RecordMoved:
            observer->recordMoved();
            break;
        case DataEvent::DataChanged:
            observer->dataChanged();
            break;
        case DataEvent::StateChanged:
            observer->stateChanged();
            break;
        case DataEvent::UpdateRecord:
            observer->updateRecord();
            break;
        }
    }
}

} // namespace kalmora::data
