// SPDX-License-Identifier: Apache-2.0
// The company database through the private test server with a login that does not own
// it, as the program connects on a multi-user install.

#include "db/posting_call.h"
#include "support/company_database.h"
#include "support/environment.h"

#include <cstdlib>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kalmora::test {
namespace {

using ::testing::HasSubstr;

// Guards against objects the owner can use and a user cannot: posting, completing,
// reading the error list and saving rates need the grants of every table, procedure,
// generator and exception.
TEST(ServerLogin, AnotherLoginPostsCompletesAndSavesRates)
{
    const std::string server = env("KALMORA_TEST_SERVER");
    if (server.empty())
        GTEST_SKIP() << "no test server (scripts/test.sh starts one)";
    CompanyDatabase company;
    const std::string day = dayText(demoDays(company.sql()).at(0), "DMY");
    const Isql user(server + ":" + company.databasePath(), env("KALMORA_TEST_USER"),
                    env("KALMORA_TEST_PASSWORD"));

    EXPECT_EQ(user.value("select current_user from rdb$database"), env("KALMORA_TEST_USER"));
    const std::vector<SqlRow> posted = user.query(postingCall(mainPoint(day)));
    ASSERT_EQ(posted.size(), 1u);
    ASSERT_EQ(posted[0].at("ERROR"), "0");
    user.execute("execute procedure contabiliza_pendiente " + *posted[0].at("IDC"));
    EXPECT_EQ(user.value("select comp_estado from comprobantes"), "D");

    const std::vector<SqlRow> failed =
        user.query(postingCall(PostingArgs{day, "222222222222", "FER", "4", "4"}));
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(errorList(user, std::stoi(*failed[0].at("ERROR"))).size(), 6u);

    user.execute("delete from ajuste_cierre where ajci_fecini = current_date;\n"
                 "insert into ajuste_cierre values (0, current_date, current_date, 19, 0.8)");
    EXPECT_EQ(user.value("select count(*) from ajuste_cierre where ajci_id > 0 and "
                         "ajci_fecini = current_date"),
              "1");
}

// Guards against a test server that lets anyone in: a wrong password is refused with
// the server's own message.
TEST(ServerLogin, AWrongPasswordIsRefused)
{
    const std::string server = env("KALMORA_TEST_SERVER");
    if (server.empty())
        GTEST_SKIP() << "no test server (scripts/test.sh starts one)";
    CompanyDatabase company({.invoices = 0, .days = 1});
    const Isql intruder(server + ":" + company.databasePath(), env("KALMORA_TEST_USER"),
                        "not-the-password");
    EXPECT_THAT(intruder.failure("select 1 from rdb$database"),
                HasSubstr("Your user name and password are not defined. Ask your database "
                          "administrator to set up a Firebird login."));
}

} // namespace
} // namespace kalmora::test
