// SPDX-License-Identifier: Apache-2.0
#include "core/day_range.h"

#include <chrono>

namespace kalmora::core {

std::vector<Date> daysBetween(const Date &from, const Date &to)
{
    using namespace std::chrono;
    const auto asDays = [](const Date &d) {
        return sys_days(
            year_month_day(year(d.year), month(unsigned(d.month)), day(unsigned(d.day))));
    };
    std::vector<Date> days;
    for (sys_days d = asDays(from); d <= asDays(to); d += std::chrono::days(1)) {
        const year_month_day ymd(d);
        days.push_back(Date{int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day()))});
    }
    return days;
}

} // namespace kalmora::core
