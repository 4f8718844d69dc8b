// SPDX-License-Identifier: Apache-2.0
// How a driver failure becomes the message the user sees.
#include "driver/driver_error.h"

#include <gtest/gtest.h>

namespace kalmora::driver {
using namespace core;
namespace {

struct CompositionCase
{
    int code;
    std::string serverText;
    std::string previous;
    std::string expected;
};

// Guards the exact texts and the joining rules: code text alone, server text alone, both
// joined by CR LF, and neither (previous failure, else the unknown-code text).
TEST(DriverMessage, ComposesFromCodeAndServerText)
{
    const std::vector<CompositionCase> cases = {
        {21, "", "", "dbExpress Error: [0x0015]: Connection failed"},
        {21, "Your user name and password are not defined.", "",
         "dbExpress Error: [0x0015]: Connection failed\r\n"
         "SQL Server Error: Your user name and password are not defined."},
        {11, "", "", "dbExpress Error: dbExpress Error [0x000B]: Parameter Not Set"},
        {12, "", "", "dbExpress Error: [0x000C] Invalid Username/Password"},
        {10, "", "", "dbExpress Error: [0x000A]: Result set at EOF"},
        {65, "x", "", "dbExpress Error: [0x0065]: SQL Error\r\nSQL Server Error: x"},
        {1, "", "", "dbExpress Error: [0x0001]: Warning"},
        {25, "", "", "dbExpress Error: [0x0019]: No table found"},
        {64, "", "", "dbExpress Error: [0x0064]: No more data"},
        // Above 100 (server error numbers) only the server's text shows.
        {335544580, "Table unknown", "", "SQL Server Error: Table unknown"},
        {101, "t", "", "SQL Server Error: t"},
        // A code with no text of its own and no server text.
        {18, "", "", "dbExpress Error: Unknown Error Code '18'"},
        {100, "", "", "dbExpress Error: Unknown Error Code '100'"},
        {-7, "", "", "dbExpress Error: Unknown Error Code '-7'"},
        {18, "", "earlier failure", "earlier failure"},
        {18, "now", "earlier failure", "SQL Server Error: now"},
        {21, "", "earlier failure", "dbExpress Error: [0x0015]: Connection failed"},
    };
    for (const CompositionCase &c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(driver::composeDriverMessage(c.code, c.serverText, c.previous), c.expected);
    }
}

TEST(DriverMessage, DriverErrorCarriesCodeTextAndComposedMessage)
{
    const DriverError error(21, "no such file");
    EXPECT_EQ(error.code(), 21);
    EXPECT_EQ(error.serverText(), "no such file");
    EXPECT_STREQ(error.what(),
                 "dbExpress Error: [0x0015]: Connection failed\r\nSQL Server Error: no such file");
}

// The "previous failure" belongs to one component: a second component does not inherit it.
TEST(DriverMessage, FailureHistoryRepeatsThePreviousMessageOfItsOwnComponent)
{
    driver::FailureHistory query;
    driver::FailureHistory other;
    EXPECT_EQ(query.compose(70, ""), "dbExpress Error: Unknown Error Code '70'");
    EXPECT_EQ(query.compose(999, "lock conflict"), "SQL Server Error: lock conflict");
    EXPECT_EQ(query.compose(70, ""), "SQL Server Error: lock conflict");
    EXPECT_STREQ(query.recompose(driver::DriverError(80, "")).what(),
                 "SQL Server Error: lock conflict");
    EXPECT_EQ(other.compose(70, ""), "dbExpress Error: Unknown Error Code '70'");
}

} // namespace
} // namespace kalmora::driver
