// SPDX-License-Identifier: Apache-2.0
#include "driver/driver.h"

namespace kalmora::driver {

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

core::ColumnDesc parameterTypeOf(const core::Value &value)
{
    struct Visitor
    {
        core::ColumnDesc operator()(std::monostate) const
        {
            return {{}, core::ColumnType::String, 0};
        }
        core::ColumnDesc operator()(std::int64_t) const
        {
            return {{}, core::ColumnType::LargeInt, 8};
        }
        core::ColumnDesc operator()(const core::Decimal &d) const
        {
            core::ColumnDesc desc{{}, core::ColumnType::Decimal, 8};
            // Precision counts the digits in front of the point too: 0.8000 has one zero
            // there only by writing, so it is precision 4, scale 4.
            desc.precision = std::max(digitsOf(d.unscaled), d.scale);
            desc.scale = d.scale;
            return desc;
        }
        core::ColumnDesc operator()(const core::Date &) const
        {
            return {{}, core::ColumnType::Date, 4};
        }
        core::ColumnDesc operator()(const core::Time &) const
        {
            return {{}, core::ColumnType::Time, 4};
        }
        core::ColumnDesc operator()(const core::Timestamp &) const
        {
            return {{}, core::ColumnType::Timestamp, 8};
        }
        core::ColumnDesc operator()(double) const { return {{}, core::ColumnType::Float, 8}; }
        core::ColumnDesc operator()(const std::string &s) const
        {
            return {{}, core::ColumnType::String, static_cast<int>(s.size())};
        }
    };
    return std::visit(Visitor{}, value);
}

} // namespace kalmora::driver
