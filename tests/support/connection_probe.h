// SPDX-License-Identifier: Apache-2.0
#pragma once
// What only tests look at or change on a connection: the driver settings the program keeps
// at their designed values, the connection's state, the count of save transactions it has
// started, and the driver's last server text. The program never reads any of them.

#include "data/sql_connection.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

namespace kalmora::data {

/// Befriended by TSQLConnection.
class ConnectionProbe
{
public:
    static void setDriverName(TSQLConnection &c, std::string value)
    {
        c.driverName_ = std::move(value);
    }
    static void setGetDriverFunc(TSQLConnection &c, std::string value)
    {
        c.getDriverFunc_ = std::move(value);
    }
    static void setLibraryName(TSQLConnection &c, std::string value)
    {
        c.libraryName_ = std::move(value);
    }
    static void setVendorLib(TSQLConnection &c, std::string value)
    {
        c.vendorLib_ = std::move(value);
    }

    static ConnectionState state(const TSQLConnection &c) { return c.state_; }
    /// Save transactions started through the connection and not yet ended.
    static int transactionsStarted(const TSQLConnection &c) { return c.transactionsStarted_; }
    /// Whether the driver said at connect that it has transactions.
    static bool transactionsSupported(const TSQLConnection &c) { return c.transactionsSupported_; }
    /// The server text of the driver's last failure; empty while closed.
    static std::string lastErrorText(const TSQLConnection &c)
    {
        return c.connection_ ? c.connection_->lastErrorText() : std::string();
    }
};

/// The LocaleCode parameter of `c` read as a hexadecimal number, blanks (any byte up to the
/// space) around it allowed; 0 when unreadable.
inline int localeCode(const TSQLConnection &c)
{
    const std::string text = c.params().value("LocaleCode");
    auto blank = [](unsigned char ch) { return ch <= ' '; };
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    if (first >= last)
        return 0;
    const char *begin = &*first;
    const char *end = begin + (last - first);
    std::int64_t value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value, 16);
    return error == std::errc() && stop == end ? static_cast<int>(value) : 0;
}

} // namespace kalmora::data
