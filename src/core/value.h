// SPDX-License-Identifier: Apache-2.0
#pragma once
// Values as the driver returns them and the data sets hold them. Decimals are exact
// scaled integers; text is bytes of the 8-bit code page, passed unchanged.

#include <compare>
#include <cstdint>
#include <string>
#include <variant>

namespace kalmora::core {

/// An exact decimal: unscaled / 10^scale. NUMERIC(15,4) 0.8 is {8000, 4}.
struct Decimal
{
    std::int64_t unscaled = 0;
    int scale = 0;
    friend bool operator==(const Decimal &, const Decimal &) = default;
};

/// A calendar day (proleptic Gregorian).
struct Date
{
    int year = 0;
    int month = 0;
    int day = 0;
    friend auto operator<=>(const Date &, const Date &) = default;
};

/// A time of day in ten-thousandths of a second since midnight (Firebird's resolution).
struct Time
{
    std::uint32_t fractions = 0;
    friend auto operator<=>(const Time &, const Time &) = default;
};

struct Timestamp
{
    Date date;
    Time time;
    friend auto operator<=>(const Timestamp &, const Timestamp &) = default;
};

/// A null is std::monostate. Integers of every width are int64; text and blobs are
/// std::string; FLOAT and DOUBLE PRECISION are double.
using Value =
    std::variant<std::monostate, std::int64_t, Decimal, Date, Time, Timestamp, double, std::string>;

inline bool isNull(const Value &v)
{
    return std::holds_alternative<std::monostate>(v);
}

/// Column types as the driver describes a result column or a parameter.
enum class ColumnType {
    SmallInt,   // SMALLINT
    Integer,    // INTEGER
    LargeInt,   // BIGINT
    String,     // VARCHAR
    FixedChar,  // CHAR
    Date,       // DATE
    Time,       // TIME
    Timestamp,  // TIMESTAMP
    Decimal,    // NUMERIC / DECIMAL (precision, scale)
    Float,      // FLOAT / DOUBLE PRECISION
    TextBlob,   // BLOB SUB_TYPE TEXT
    BinaryBlob, // BLOB SUB_TYPE BINARY
};

/// One result column or procedure parameter.
struct ColumnDesc
{
    std::string name;
    ColumnType type = ColumnType::Integer;
    int width = 0;     // characters for text, bytes otherwise
    int precision = 0; // decimals: total digits
    int scale = 0;     // decimals: digits after the point (positive)
    bool required = false;
};

} // namespace kalmora::core
