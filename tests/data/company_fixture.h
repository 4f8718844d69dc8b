// SPDX-License-Identifier: Apache-2.0
#pragma once
// Data-set tests against a real company database: one demo company per test program (made
// once by db/make-company), the main window's data components connected to it, and a
// record of every statement and transaction they hand to the connection.

#include "core/date_format.h"
#include "data/statement_sender.h"
#include "company/data_module.h"
#include "support/company_database.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kalmora::test {

/// Records what reaches the connection: each statement with its parameters, and the
/// transaction steps as "start", "commit" and "rollback" in the same sequence.
class StatementRecorder : public data::SendObserver
{
public:
    struct Sent
    {
        std::string text;
        std::vector<data::Param> params;
    };
    void statementSent(const std::string &text, const std::vector<data::Param> &params) override;
    void transactionStarted() override { steps.push_back("start"); }
    void transactionCommitted() override { steps.push_back("commit"); }
    void transactionRolledBack() override { steps.push_back("rollback"); }
    void clear();

    std::vector<Sent> sent;
    /// Statement texts and transaction steps in the order they happened.
    std::vector<std::string> steps;
};

/// Day-first or month-first short date pattern, with "/" as separator.
core::DateSettings datePattern(const std::string &shortPattern);

class CompanyTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    static CompanyDatabase &company();

    void SetUp() override;
    void TearDown() override;

    /// Points `connection` at the company (embedded engine, SYSDBA).
    static void pointAt(data::TSQLConnection &connection);
    /// Runs statements on a connection of their own, each committed.
    static void run(const std::vector<std::string> &statements);
    /// The rows of `select`, read on a fresh connection (so only committed work shows):
    /// each row its values joined by "|", null as "null", days as YYYY-MM-DD, decimals
    /// with a full stop and their scale.
    static std::vector<std::string> rows(const std::string &select);
    /// Empties AJUSTE_CIERRE and fills it with `values` rows
    /// ("AJCI_ID, DATE 'y-m-d', DATE 'y-m-d', porc, factor").
    static void setRates(const std::vector<std::string> &values);

    std::unique_ptr<company::DataModule> dm;
    StatementRecorder recorder;
};

/// A value as rows() writes it.
std::string valueText(const core::Value &value);

} // namespace kalmora::test
