// SPDX-License-Identifier: Apache-2.0
// The program started where no display can be reached.
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

// Guards against the program aborting inside the toolkit (or hanging) without a display,
// instead of saying so, pointing to the help, and failing.
TEST(Program, WithoutADisplaySaysSoAndFails)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KALMORA_PROGRAM), {});
    ASSERT_TRUE(program.waitForFinished(10'000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(program.exitCode(), 0);
    const QByteArray said = program.readAllStandardError();
    EXPECT_TRUE(said.contains("no display"));
    // And where to look instead: the help answers without a display.
    EXPECT_TRUE(said.contains("contabiliza-pos --help"));
}

} // namespace
