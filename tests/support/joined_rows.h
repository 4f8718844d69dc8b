// SPDX-License-Identifier: Apache-2.0
#pragma once
// A query's rows as text, for comparing whole rows in one assertion.

#include "core/value.h"
#include "driver/driver.h"

#include <string>
#include <vector>

namespace kalmora::test {

/// The rows that `cursor` has left, each its values written by `text` and joined by "|".
/// Closes the cursor.
template <class Text>
std::vector<std::string> joinedRows(driver::DriverCursor &cursor, const Text &text)
{
    std::vector<std::string> rows;
    while (cursor.next()) {
        std::string row;
        for (std::size_t c = 0; c < cursor.columns().size(); ++c)
            row += (c ? "|" : "") + text(cursor.value(c));
        rows.push_back(row);
    }
    cursor.close();
    return rows;
}

} // namespace kalmora::test
