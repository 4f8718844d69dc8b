// SPDX-License-Identifier: Apache-2.0
#include "company_fixture.h"

#include "core/decimal_text.h"
#include "support/joined_rows.h"

#include <cstdio>

namespace kalmora::test {

namespace {
std::unique_ptr<CompanyDatabase> g_company;
} // namespace

void StatementRecorder::statementSent(const std::string &text,
                                      const std::vector<data::Param> &params)
{
    sent.push_back(Sent{text, params});
    steps.push_back(text);
}

void StatementRecorder::clear()
{
    sent.clear();
    steps.clear();
}

core::DateSettings datePattern(const std::string &shortPattern)
{
    core::DateSettings settings;
    settings.separator = '/';
    settings.shortPattern = shortPattern;
    return settings;
}

void CompanyTest::SetUpTestSuite()
{
    if (!g_company)
        g_company = std::make_unique<CompanyDatabase>();
}

void CompanyTest::TearDownTestSuite() {}

CompanyDatabase &CompanyTest::company()
{
    return *g_company;
}

void CompanyTest::SetUp()
{
    core::setCurrentDateSettings(datePattern("dd/mm/yyyy"));
    core::setCurrentDecimalSeparator('.');
    dm = std::make_unique<company::DataModule>();
    pointAt(dm->Kalmora);
    dm->Kalmora.setSendObserver(&recorder);
}

void CompanyTest::TearDown()
{
    dm->Kalmora.setSendObserver(nullptr);
    dm.reset();
}

void CompanyTest::pointAt(data::TSQLConnection &connection)
{
    connection.params().setValue("Database", company().databasePath());
    connection.params().setValue("User_Name", "SYSDBA");
    connection.params().setValue("Password", "masterkey");
}

void CompanyTest::run(const std::vector<std::string> &statements)
{
    data::TSQLConnection connection;
    pointAt(connection);
    for (const std::string &statement : statements)
        connection.execute(statement);
}

std::string valueText(const core::Value &value)
{
    using namespace data;
    if (isNull(value))
        return "null";
    if (const auto *i = std::get_if<std::int64_t>(&value))
        return std::to_string(*i);
    if (const auto *d = std::get_if<core::Decimal>(&value)) {
        std::string text = std::to_string(d->unscaled < 0 ? -d->unscaled : d->unscaled);
        if (d->scale > 0) {
            if (text.size() <= std::size_t(d->scale))
                text.insert(0, std::size_t(d->scale) - text.size() + 1, '0');
            text.insert(text.size() - std::size_t(d->scale), ".");
        }
        return (d->unscaled < 0 ? "-" : "") + text;
    }
    if (const auto *day = std::get_if<core::Date>(&value)) {
        char text[16];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", day->year, day->month, day->day);
        return text;
    }
    if (const auto *s = std::get_if<std::string>(&value))
        return *s;
    return "?";
}

std::vector<std::string> CompanyTest::rows(const std::string &select)
{
    data::TSQLConnection connection;
    pointAt(connection);
    return joinedRows(*connection.openQuery(select), valueText);
}

void CompanyTest::setRates(const std::vector<std::string> &values)
{
    std::vector<std::string> statements{"delete from AJUSTE_CIERRE"};
    for (const std::string &row : values)
        statements.push_back("insert into AJUSTE_CIERRE values (" + row + ")");
    run(statements);
}

} // namespace kalmora::test
