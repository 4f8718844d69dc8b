// SPDX-License-Identifier: Apache-2.0
// Logins through the private Firebird server that the test command starts
// (KALMORA_TEST_SERVER, KALMORA_TEST_USER, KALMORA_TEST_PASSWORD); skipped without it.
#include "driver/scratch_database.h"
#include "data/sql_connection.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace kalmora::data {
using namespace core;
using namespace driver;
namespace {

struct Server
{
    std::string entry, user, password;
};

std::optional<Server> testServer()
{
    const char *entry = std::getenv("KALMORA_TEST_SERVER");
    const char *user = std::getenv("KALMORA_TEST_USER");
    const char *password = std::getenv("KALMORA_TEST_PASSWORD");
    if (!entry || !*entry || !user || !password)
        return std::nullopt;
    return Server{entry, user, password};
}

class LoginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server_ = testServer();
        if (!server_)
            GTEST_SKIP() << "KALMORA_TEST_SERVER is not set";
        db_ = std::make_unique<test::ScratchDatabase>();
        // As the connect step does: the server entry in front of the path, the typed
        // user, and the password set by the lower-case name.
        connection_.params().setValue("Database", server_->entry + ":" + db_->path());
        connection_.params().setValue("User_Name", server_->user);
    }

    std::optional<Server> server_;
    std::unique_ptr<test::ScratchDatabase> db_;
    TSQLConnection connection_;
};

TEST_F(LoginTest, WrongPasswordIsRefusedWithCode21AndTheServerText)
{
    connection_.params().setValue("password", server_->password + "x");
    try {
        connection_.setConnected(true);
        FAIL() << "connected with a wrong password";
    } catch (const DriverError &e) {
        EXPECT_EQ(e.code(), ResultCode::ConnectionFailed);
        EXPECT_STREQ(e.what(), "dbExpress Error: [0x0015]: Connection failed\r\n"
                               "SQL Server Error: Your user name and password are not "
                               "defined. Ask your database administrator to set up a "
                               "Firebird login.");
    }
    EXPECT_FALSE(connection_.connected());
}

TEST_F(LoginTest, RightPasswordConnectsThroughTheServer)
{
    connection_.params().setValue("password", server_->password);
    connection_.setConnected(true);
    auto cursor = connection_.openQuery("select current_user from rdb$database");
    ASSERT_TRUE(cursor->next());
    EXPECT_EQ(std::get<std::string>(cursor->value(0)).substr(0, server_->user.size()),
              server_->user);
    cursor->close();
    connection_.setConnected(false);
}

} // namespace
} // namespace kalmora::data
