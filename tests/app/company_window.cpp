// SPDX-License-Identifier: Apache-2.0
#include "company_window.h"

#include "core/date_format.h"
#include "driver/driver.h"
#include "data/sql_connection.h"
#include "support/joined_rows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QWindow>

namespace kalmora::test {

namespace {

std::unique_ptr<CompanyDatabase> g_company;

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

std::string text(const core::Value &value)
{
    return std::visit(
        [](const auto &v) -> std::string {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, std::monostate>)
                return "null";
            else if constexpr (std::is_same_v<V, std::int64_t>)
                return std::to_string(v);
            else if constexpr (std::is_same_v<V, std::string>)
                return v;
            else if constexpr (std::is_same_v<V, core::Date>)
                return QDate(v.year, v.month, v.day).toString(Qt::ISODate).toStdString();
            else if constexpr (std::is_same_v<V, core::Decimal>)
                return std::to_string(v.unscaled) + "e-" + std::to_string(v.scale);
            else
                return "?";
        },
        value);
}

} // namespace

void CompanyWindowTest::SetUpTestSuite()
{
    if (!g_company)
        g_company = std::make_unique<CompanyDatabase>(CompanyOptions{.invoices = 5, .days = 3});
}

void CompanyWindowTest::TearDownTestSuite()
{
    g_company.reset();
}

CompanyDatabase &CompanyWindowTest::company()
{
    return *g_company;
}

void CompanyWindowTest::SetUp()
{
    core::DateSettings dayFirst;
    dayFirst.separator = '/';
    dayFirst.shortPattern = "dd/mm/yyyy";
    core::setCurrentDateSettings(dayFirst);

    const QDir root(folder.path());
    root.mkdir(QStringLiteral("install"));
    write(root.filePath(QStringLiteral("install/SERVIDORES.cfg")),
          QByteArray::fromStdString(company().serverEntry()) + "\r\n");
    write(root.filePath(QStringLiteral("hklm.reg")),
          "Windows Registry Editor Version 5.00\r\n\r\n"
          "[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\r\n\"Directorio\"=\"" +
              root.filePath(QStringLiteral("install")).toLocal8Bit() + "\"\r\n");

    window = std::make_unique<app::Tfbrenvaldo>();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

void CompanyWindowTest::TearDown()
{
    window.reset();
}

void CompanyWindowTest::connect(const QString &companyCode)
{
    find("Tusua")->setFocus();
    type(QStringLiteral("SYSDBA"));
    press(Qt::Key_Tab);
    type(QStringLiteral("masterkey"));
    press(Qt::Key_Tab);
    type(companyCode);
    ASSERT_EQ(focusName(), QStringLiteral("Cia"));
    press(Qt::Key_Tab);
}

void CompanyWindowTest::type(const QString &text)
{
    for (const QChar character : text) {
        const auto key = Qt::Key(character.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, window->windowHandle(), key, QString(character),
                            Qt::NoModifier);
    }
}

void CompanyWindowTest::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(window->windowHandle(), key, modifiers);
}

QString CompanyWindowTest::focusName() const
{
    const QWidget *focused = QApplication::focusWidget();
    return focused ? focused->objectName() : QStringLiteral("(none)");
}

QStringList CompanyWindowTest::shown(app::MessageWindow kind) const
{
    QStringList texts;
    for (const app::ShownMessage &message : recorder.shown())
        if (message.window == kind)
            texts << message.text;
    return texts;
}

namespace {

/// Points `connection` at the company, as SYSDBA (the embedded engine checks no password).
void pointAtCompany(data::TSQLConnection &connection, const CompanyDatabase &company)
{
    connection.params().setValue("Database", company.databasePath());
    connection.params().setValue("User_Name", "SYSDBA");
    connection.params().setValue("Password", "masterkey");
}

} // namespace

void CompanyWindowTest::execute(const std::string &statement)
{
    data::TSQLConnection connection;
    pointAtCompany(connection, company());
    connection.execute(statement);
}

std::vector<std::string> CompanyWindowTest::rowsOf(const std::string &select)
{
    data::TSQLConnection connection;
    pointAtCompany(connection, company());
    return joinedRows(*connection.openQuery(select), text);
}

} // namespace kalmora::test
