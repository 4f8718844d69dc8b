// SPDX-License-Identifier: Apache-2.0
// "contabiliza-pos --help" and "--version", run as the program on a machine without a
// display: both answer, and nothing else of the program starts.
#include "platform/scoped_env.h"
#include "support/run_program.h"

#include <gmock/gmock.h>

namespace kalmora::test {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class ProgramHelpTest : public ::testing::Test
{
protected:
    ScopedEnv display_{"DISPLAY", std::nullopt};
    ScopedEnv wayland_{"WAYLAND_DISPLAY", std::nullopt};
    ScopedEnv platform_{"QT_QPA_PLATFORM", std::nullopt};
};

// Guards against a help that needs a display, or that leaves out a way of starting the
// program or an option of its commands.
TEST_F(ProgramHelpTest, HelpListsTheWindowAndEveryCommandWithoutADisplay)
{
    for (const char *flag : {"--help", "-h"}) {
        SCOPED_TRACE(flag);
        const ProgramResult result = runProgram({KALMORA_PROGRAM, flag});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_THAT(
            result.out,
            AllOf(StartsWith("Uso: contabiliza-pos               abre la ventana"),
                  HasSubstr("contabiliza-pos post ..."),
                  HasSubstr("Uso: contabiliza-pos post --server"), HasSubstr("--point-id N"),
                  HasSubstr("--preview"), HasSubstr("--all-points"), HasSubstr("--from AAAA-MM-DD"),
                  HasSubstr("--format json"), HasSubstr("Uso: contabiliza-pos reverse --server"),
                  HasSubstr("--voucher N")));
    }
}

// Guards against a mistyped command that opens the window and drops what was asked (with a
// display) or fails without saying how to find the right one.
TEST_F(ProgramHelpTest, AnUnknownCommandIsAUsageErrorWithOrWithoutADisplay)
{
    for (const std::optional<std::string> &display :
         {std::optional<std::string>(), std::optional<std::string>(":97")}) {
        SCOPED_TRACE(display.value_or("no display"));
        ScopedEnv shown{"DISPLAY", display};
        const ProgramResult result =
            runProgram({KALMORA_PROGRAM, "statsu", "--from", "2026-12-01"});
        EXPECT_EQ(result.exitCode, 64);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "contabiliza-pos: orden desconocida «statsu».\n"
                              "Vea «contabiliza-pos --help».\n");
    }
}

// Guards against a help that leaves out the status command or its options.
TEST_F(ProgramHelpTest, HelpDescribesStatus)
{
    const ProgramResult result = runProgram({KALMORA_PROGRAM, "--help"});
    EXPECT_THAT(result.out,
                AllOf(HasSubstr("contabiliza-pos status ..."),
                      HasSubstr("Uso: contabiliza-pos status --server"), HasSubstr("--format csv"),
                      HasSubstr("2   hay una inconsistencia")));
    const ProgramResult own = runProgram({KALMORA_PROGRAM, "status", "--help"});
    EXPECT_EQ(own.exitCode, 0);
    EXPECT_THAT(result.out, HasSubstr(own.out));
}

// Guards against a version that is not the one the build was made as.
TEST_F(ProgramHelpTest, VersionIsTheBuildsVersion)
{
    const ProgramResult result = runProgram({KALMORA_PROGRAM, "--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, std::string("contabiliza-pos ") + KALMORA_VERSION + "\n");
    EXPECT_EQ(result.err, "");
}

} // namespace
} // namespace kalmora::test
