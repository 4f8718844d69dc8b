// SPDX-License-Identifier: Apache-2.0
#pragma once
// GoogleTest printers for the value types, so a failed comparison shows the value
// ("Decimal 8000/4", "Date 2026-10-12") instead of raw bytes.

#include "core/value.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace kalmora::core {

inline void PrintTo(const Decimal &d, std::ostream *os)
{
    *os << "Decimal " << d.unscaled << "/" << d.scale;
}

inline void PrintTo(const Date &d, std::ostream *os)
{
    char text[32];
    std::snprintf(text, sizeof text, "Date %04d-%02d-%02d", d.year, d.month, d.day);
    *os << text;
}

inline void PrintTo(const Time &t, std::ostream *os)
{
    *os << "Time " << t.fractions << "/10000 s";
}

inline void PrintTo(const Timestamp &ts, std::ostream *os)
{
    PrintTo(ts.date, os);
    *os << " ";
    PrintTo(ts.time, os);
}

inline void PrintTo(const Value &v, std::ostream *os)
{
    struct Visitor
    {
        std::ostream *os;
        void operator()(std::monostate) const { *os << "null"; }
        void operator()(std::int64_t i) const { *os << "int " << i; }
        void operator()(const Decimal &d) const { PrintTo(d, os); }
        void operator()(const Date &d) const { PrintTo(d, os); }
        void operator()(const Time &t) const { PrintTo(t, os); }
        void operator()(const Timestamp &ts) const { PrintTo(ts, os); }
        void operator()(double d) const { *os << "double " << d; }
        void operator()(const std::string &s) const { *os << "text \"" << s << "\""; }
    };
    std::visit(Visitor{os}, v);
}

inline const char *columnTypeName(core::ColumnType type)
{
    switch (type) {
    case ColumnType::SmallInt:
        return "SmallInt";
    case ColumnType::Integer:
        return "Integer";
    case ColumnType::LargeInt:
        return "LargeInt";
    case ColumnType::String:
        return "String";
    case ColumnType::FixedChar:
        return "FixedChar";
    case ColumnType::Date:
        return "Date";
    case ColumnType::Time:
        return "Time";
    case ColumnType::Timestamp:
        return "Timestamp";
    case ColumnType::Decimal:
        return "Decimal";
    case ColumnType::Float:
        return "Float";
    case ColumnType::TextBlob:
        return "TextBlob";
    case ColumnType::BinaryBlob:
        return "BinaryBlob";
    }
    return "?";
}

inline void PrintTo(ColumnType type, std::ostream *os)
{
    *os << columnTypeName(type);
}

inline void PrintTo(const ColumnDesc &c, std::ostream *os)
{
    *os << "{" << c.name << " " << columnTypeName(c.type) << " width " << c.width << " precision "
        << c.precision << " scale " << c.scale << (c.required ? " required" : "") << "}";
}

} // namespace kalmora::core
