// SPDX-License-Identifier: Apache-2.0
#include "driver/driver.h"

namespace kalmora::data {

namespace {

int digitsOf(std::int64_t unscaled)
{
    // Counted on the magnitude without negating, which would overflow at the minimum.
    int digits = 1;
    while (unscaled >= 10 || unscaled <= -10) {
        unscaled /= 10;
        ++digits;
    }
    return digits;
}

} // namespace

ColumnDesc parameterTypeOf(const Value &value)
{
    struct Visitor
    {
        ColumnDesc operator()(std::monostate) const { return {{}, ColumnType::String, 0}; }
        ColumnDesc operator()(std::int64_t) const { return {{}, ColumnType::LargeInt, 8}; }
        ColumnDesc operator()(const Decimal &d) const
        {
            ColumnDesc desc{{}, ColumnType::Decimal, 8};
            // Precision counts the digits in front of the point too: 0.8000 has one zero
            // there only by writing, so it is precision 4, scale 4.
            desc.precision = std::max(digitsOf(d.unscaled), d.scale);
            desc.scale = d.scale;
            return desc;
        }
        ColumnDesc operator()(const Date &) const { return {{}, ColumnType::Date, 4}; }
        ColumnDesc operator()(const Time &) const { return {{}, ColumnType::Time, 4}; }
        ColumnDesc operator()(const Timestamp &) const { return {{}, ColumnType::Timestamp, 8}; }
        ColumnDesc operator()(double) const { return {{}, ColumnType::Float, 8}; }
        ColumnDesc operator()(const std::string &s) const
        {
            return {{}, ColumnType::String, static_cast<int>(s.size())};
        }
    };
    return std::visit(Visitor{}, value);
}

} // namespace kalmora::data
