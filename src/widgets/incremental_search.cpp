// SPDX-License-Identifier: Apache-2.0
#include "widgets/incremental_search.h"

#include <chrono>

namespace kalmora::widgets {

namespace {

std::int64_t steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

IncrementalSearch::IncrementalSearch() : clock_(steadyMilliseconds) {}

void IncrementalSearch::setClock(Clock clock)
{
    clock_ = std::move(clock);
    lastKeystroke_.reset();
}

std::optional<QString> IncrementalSearch::extend(QChar character)
{
    const std::int64_t now = clock_();
    if (lastKeystroke_ && now - *lastKeystroke_ > kPauseMs)
        text_.clear();
    lastKeystroke_ = now;
    if (text_.size() >= kMaxLength)
        return std::nullopt;
    return text_ + character;
}

} // namespace kalmora::widgets
