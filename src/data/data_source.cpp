// SPDX-License-Identifier: Apache-2.0
#include "data/data_source.h"

#include <algorithm>

namespace kalmora::data {

TDataSource::TDataSource(std::string name) : name_(std::move(name)) {}

TDataSource::~TDataSource()
{
    if (link_)
        link_->detachDataSource(this);
}

void TDataSource::setDataSet(DataSetLink *dataSet)
{
    if (dataSet == link_)
        return;
    if (link_)
        link_->detachDataSource(this);
    link_ = dataSet;
    if (link_)
        link_->attachDataSource(this);
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
