// SPDX-License-Identifier: Apache-2.0
// The connection's parameter list and its design-time contents.
#include "data/connection_params.h"
#include "data/sql_connection.h"
#include "support/connection_probe.h"

#include <gtest/gtest.h>

namespace kalmora::data {
using namespace core;
using namespace driver;
namespace {

using Lines = std::vector<std::string>;

struct SetCase
{
    const char *what;
    Lines before;
    std::string name;
    std::string text;
    Lines after;
};

// Set by name: first match without regard to case, the name as written in the call,
// append when nothing matches, delete on empty text.
TEST(Params, SetByName)
{
    const std::vector<SetCase> cases = {
        {"replaces the line with the name as written",
         {"User_Name=sysdba", "Password=", "RoleName=RoleName"},
         "password",
         "s3cr'et",
         {"User_Name=sysdba", "password=s3cr'et", "RoleName=RoleName"}},
        {"only the first of two matching lines", {"A=1", "a=2"}, "A", "3", {"A=3", "a=2"}},
        {"appends when no line matches",
         {"A=1"},
         "Database",
         "/srv/k/datos/C1/kalmora.fdb",
         {"A=1", "Database=/srv/k/datos/C1/kalmora.fdb"}},
        {"keeps spaces of the text", {"Database=x"}, "DATABASE", "  /a b  ", {"DATABASE=  /a b  "}},
        {"empty text deletes the matching line", {"A=1", "B=2", "b=3"}, "b", "", {"A=1", "b=3"}},
        {"empty text with no match changes nothing", {"A=1"}, "B", "", {"A=1"}},
        {"a name is the part before the first '='", {"A=B=C"}, "A", "x", {"A=x"}},
        {"a line without '=' is all name", {"Flag", "X=1"}, "flag", "on", {"flag=on", "X=1"}},
        {"a prefix of a name does not match",
         {"User_Name=a"},
         "User",
         "b",
         {"User_Name=a", "User=b"}},
    };
    for (const SetCase &c : cases) {
        SCOPED_TRACE(c.what);
        Params params(c.before);
        params.setValue(c.name, c.text);
        EXPECT_EQ(params.lines(), c.after);
    }
}

TEST(Params, ValueOfFirstMatchingLineWithoutRegardToCase)
{
    const Params params(
        Lines{"Interbase TransIsolation=ReadCommited", "PASSWORD=a=b", "password=c"});
    EXPECT_EQ(params.value("interbase transisolation"), "ReadCommited");
    EXPECT_EQ(params.value("Password"), "a=b");
    EXPECT_EQ(params.value("Missing"), "");
    EXPECT_FALSE(params.contains("Missing"));
    EXPECT_TRUE(params.contains("password"));
}

// No secret and no workstation path ship in the design-time list (the lines stay, empty).
TEST(Params, DesignTimeListKeepsItsLinesButShipsNoSecretOrDatabase)
{
    const Lines expected = {
        "DriverName=Interbase",
        "BlobSize=-1",
        "CommitRetain=False",
        "Database=",
        "ErrorResourceFile=",
        "LocaleCode=0000",
        "Password=",
        "RoleName=RoleName",
        "ServerCharSet=",
        "SQLDialect=3",
        "Interbase TransIsolation=ReadCommited",
        "User_Name=sysdba",
        "WaitOnLocks=True",
    };
    EXPECT_EQ(TSQLConnection::designParams().lines(), expected);
    EXPECT_EQ(TSQLConnection().params().lines(), expected);
}

TEST(Params, ConnectionReadsIsolationAndLocaleFromTheList)
{
    TSQLConnection connection;
    EXPECT_EQ(connection.transIsolation(), IsolationLevel::ReadCommitted);
    EXPECT_EQ(localeCode(connection), 0);
    connection.params().setValue("Interbase TransIsolation", "RepeatableRead");
    EXPECT_EQ(connection.transIsolation(), IsolationLevel::RepeatableRead);
    connection.params().setValue("interbase transisolation", "DIRTYREAD");
    EXPECT_EQ(connection.transIsolation(), IsolationLevel::DirtyRead);
    // The parameter's name follows the driver name.
    ConnectionProbe::setDriverName(connection, "Other");
    EXPECT_EQ(connection.transIsolation(), IsolationLevel::ReadCommitted);
    connection.params().setValue("LocaleCode", "0C0A");
    EXPECT_EQ(localeCode(connection), 0x0C0A);
}

} // namespace
} // namespace kalmora::data
