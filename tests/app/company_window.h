// SPDX-License-Identifier: Apache-2.0
#pragma once
// The main window on a demo company (support/company_database.h): an installation whose
// server list offers the company's server entry, the window opened as the program opens it,
// and the login typed in as a user types it. One company per test program; a test that
// posts picks a point that no other test of its program posts.

#include "platform/scoped_env.h"
#include "app/main_window.h"
#include "app/message_seam.h"
#include "support/company_database.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

/// Failures show texts as text.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace kalmora::test {

class CompanyWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    static CompanyDatabase &company();

    /// Day-first dates (the demo company reads them so), the installation, the window open.
    void SetUp() override;
    void TearDown() override;

    /// Types user, password and company code into their boxes and leaves the company box
    /// with Tab, which runs the connect step.
    void connect(const QString &company = QStringLiteral("DEMO"));
    /// Types `text` on the keyboard, one key press per character, into the focused control.
    void type(const QString &text);
    /// A key press as the keyboard delivers it: to the window's focused control, or to an
    /// open drop-down list.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    template <typename T = QWidget> T *find(const char *name) const
    {
        T *widget = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString focusName() const;
    /// The texts of the message windows of `kind` shown so far.
    QStringList shown(app::MessageWindow kind) const;

    /// The rows of `select` on a connection of the test's own, each row its values as text
    /// joined by "|".
    static std::vector<std::string> rowsOf(const std::string &select);
    /// Runs `statement` on a connection of the test's own.
    static void execute(const std::string &statement);

    QTemporaryDir folder;
    ScopedEnv registryFile{"KALMORA_HKLM",
                           folder.filePath(QStringLiteral("hklm.reg")).toLocal8Bit().toStdString()};
    app::MessageRecorder recorder;
    std::unique_ptr<app::Tfbrenvaldo> window;
};

} // namespace kalmora::test
