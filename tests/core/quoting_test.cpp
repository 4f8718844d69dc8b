// SPDX-License-Identifier: Apache-2.0
// The quoting rule that every statement and filter text relies on.
#include "core/quoting.h"

#include <gtest/gtest.h>

namespace {

// Guards: an unescaped quote would end the literal early and let the rest of a typed value
// become part of the statement.
TEST(Quoting, QuotesAreDoubledAndEmptyGivesTwoQuotes)
{
    const struct
    {
        std::string value;
        std::string quoted;
    } cases[] = {
        {"", "''"},
        {"CAJA1", "'CAJA1'"},
        {"O'Neill", "'O''Neill'"},
        {"'", "''''"},
        {"x' OR '1'='1", "'x'' OR ''1''=''1'"},
        {"a\"b;\\", "'a\"b;\\'"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(kalmora::core::quotedString(c.value), c.quoted) << c.value;
}

} // namespace
