// SPDX-License-Identifier: Apache-2.0
// The connect step through the private test server, where the login is checked.
#include "core/date_format.h"
#include "core/errors.h"
#include "company/data_module.h"
#include "posting/connect_step.h"
#include "posting/posting_run.h"
#include "recording_window.h"
#include "support/company_database.h"
#include "support/environment.h"

#include <cstdlib>
#include <gmock/gmock.h>

namespace kalmora::test {
namespace {

using ::testing::ElementsAre;

class ConnectLoginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (env("KALMORA_TEST_SERVER").empty())
            GTEST_SKIP() << "no test server (scripts/test.sh starts one)";
        company_ = std::make_unique<CompanyDatabase>(CompanyOptions{.invoices = 2, .days = 1});
    }

    posting::ConnectInput login(const std::string &password) const
    {
        return {env("KALMORA_TEST_SERVER") + ":" + company_->serverEntry(),
                env("KALMORA_TEST_USER"), password, company_->code()};
    }

    std::unique_ptr<CompanyDatabase> company_;
    company::DataModule dm;
    RecordingWindow window;
};

// Guards against a refused login that is hidden, or that leaves the window as if it had
// connected: the server's text is the failure, the panel keeps its caption and the day and
// the execute button stay disabled.
TEST_F(ConnectLoginTest, AWrongPasswordLeavesThePanelShownAndTheButtonDisabled)
{
    try {
        posting::connectStep(dm, login(env("KALMORA_TEST_PASSWORD") + "x"), window, window);
        FAIL() << "connected with a wrong password";
    } catch (const core::EDatabaseError &e) {
        EXPECT_STREQ(e.what(), "dbExpress Error: [0x0015]: Connection failed\r\n"
                               "SQL Server Error: Your user name and password are not "
                               "defined. Ask your database administrator to set up a "
                               "Firebird login.");
    }
    EXPECT_TRUE(window.busyShown);
    EXPECT_EQ(window.busyCaption, "Conectando a la base de datos DEMO ...");
    EXPECT_THAT(window.events, ElementsAre("busy", "hourglass", "arrow"));
    EXPECT_FALSE(window.dayEnabled);
    EXPECT_FALSE(window.executeEnabled);
    EXPECT_FALSE(dm.CPuntos.active());
}

// Guards against a login that connects but cannot post: the typed password reaches the
// server and a login other than the owner posts a voucher.
TEST_F(ConnectLoginTest, TheRightPasswordConnectsAndPosts)
{
    core::setCurrentDateSettings(core::DateSettings{'/', "dd/mm/yyyy", {}, {}, {}, {}});
    ASSERT_TRUE(posting::connectStep(dm, login(env("KALMORA_TEST_PASSWORD")), window, window));
    EXPECT_EQ(dm.CPuntos.recordCount(), 4);
    EXPECT_TRUE(window.executeEnabled);

    window.choosePoint(1);
    EXPECT_EQ(posting::postingRun(dm, window, window, window).outcome,
              posting::PostingOutcome::VoucherGenerated);
    EXPECT_THAT(window.messages, ElementsAre("Comprobante contable correctamente generado."));
}

} // namespace
} // namespace kalmora::test
