// SPDX-License-Identifier: Apache-2.0
// The connection on a real company database (db/make-company): the columns the typed
// fields bind to, the completion procedure's declared parameter, its failure text, and a
// decimal saved exactly.
#include "driver/scratch_database.h"
#include "data/sql_connection.h"
#include "support/company_database.h"
#include "support/value_printers.h"

#include <gtest/gtest.h>

namespace kalmora::data {
using namespace core;
using namespace driver;
namespace {

class CompanyConnectionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // As the connect step writes it: server entry, "/datos/", code, "/kalmora.fdb".
        connection_.params().setValue("Database", company_.serverEntry() + "/datos/" +
                                                      company_.code() + "/kalmora.fdb");
        connection_.params().setValue("User_Name", "SYSDBA");
    }

    std::vector<core::ColumnDesc> columnsOf(const std::string &table)
    {
        // The text a table source sends, leading space included.
        auto cursor = connection_.openQuery(" select * from " + connection_.quotedName(table));
        std::vector<core::ColumnDesc> columns = cursor->columns();
        cursor->close();
        return columns;
    }

    std::optional<std::string> committed(const std::string &select)
    {
        return test::committedText(company_.databasePath(), select);
    }

    test::CompanyDatabase company_;
    TSQLConnection connection_;
};

struct Column
{
    std::string name;
    ColumnType type;
    int width;
    int scale;
    bool required;
};

// Guards the types the persistent fields of the point-of-sale and rates data sets bind to:
// integers, text widths in characters, dates, and decimals of scale 4.
TEST_F(CompanyConnectionTest, TablesGiveTheColumnTypesTheFieldsExpect)
{
    const std::vector<std::pair<std::string, std::vector<Column>>> tables = {
        {"PUNTO_VENTA",
         {{"PTVT_ID", ColumnType::Integer, 4, 0, true},
          {"BODE_COD", ColumnType::String, 2, 0, true},
          {"PTVT_NOM", ColumnType::String, 60, 0, true},
          {"PTVT_RESP", ColumnType::String, 60, 0, false},
          {"CAJA_ID", ColumnType::Integer, 4, 0, false},
          {"PTVT_COLOR", ColumnType::String, 8, 0, false},
          {"PREF_PRE", ColumnType::String, 4, 0, false},
          {"TERC_NIT", ColumnType::String, 20, 0, false},
          {"SUCU_ID", ColumnType::Integer, 4, 0, false}}},
        {"AJUSTE_CIERRE",
         {{"AJCI_ID", ColumnType::Integer, 4, 0, true},
          {"AJCI_FECINI", ColumnType::Date, 4, 0, false},
          {"AJCI_FECFIN", ColumnType::Date, 4, 0, false},
          {"AJCI_PORC", ColumnType::Decimal, 8, 4, false},
          {"AJCI_FACTOR", ColumnType::Decimal, 8, 4, false}}},
    };
    for (const auto &[table, expected] : tables) {
        const std::vector<core::ColumnDesc> columns = columnsOf(table);
        ASSERT_EQ(columns.size(), expected.size()) << table;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            SCOPED_TRACE(table + "." + expected[i].name);
            EXPECT_EQ(columns[i].name, expected[i].name);
            EXPECT_EQ(columns[i].type, expected[i].type);
            EXPECT_EQ(columns[i].width, expected[i].width);
            EXPECT_EQ(columns[i].scale, expected[i].scale);
            EXPECT_EQ(columns[i].required, expected[i].required);
        }
    }
}

// The completion procedure is called by name with its one declared parameter; a voucher
// that does not exist comes back as the server's text, with no dbExpress part.
TEST_F(CompanyConnectionTest, CompletionProcedureByNameAndItsFailureText)
{
    const std::vector<driver::ProcedureParam> params =
        connection_.procedureParams("CONTABILIZA_PENDIENTE");
    ASSERT_EQ(params.size(), 1u);
    EXPECT_EQ(params[0].desc.name, "IDCNT");
    EXPECT_EQ(params[0].desc.type, ColumnType::Integer);
    EXPECT_FALSE(params[0].output);

    auto call = connection_.createCommand();
    call->prepareProcedure("CONTABILIZA_PENDIENTE");
    call->setParameter(0, params[0].desc, std::int64_t{999999});
    try {
        call->execute();
        FAIL() << "completed a voucher that does not exist";
    } catch (const DriverError &e) {
        const std::string message = e.what();
        EXPECT_EQ(message.rfind("SQL Server Error: ", 0), 0u) << message;
        EXPECT_NE(message.find("El comprobante 999999 no existe"), std::string::npos) << message;
    }
}

// The company database is UTF-8: a CHAR(1) reaches the program as one character, not as
// the four bytes the server reserves for it, and a CHAR(n) keeps its n characters.
TEST_F(CompanyConnectionTest, FixedCharOfUtf8ColumnIsItsDeclaredLength)
{
    auto cursor = connection_.openQuery("select cast('S' as char(1) character set utf8), "
                                        "cast(_utf8 '\xc3\xb1"
                                        "a' as char(4) character set utf8) from rdb$database");
    ASSERT_TRUE(cursor->next());
    EXPECT_EQ(cursor->columns()[0].width, 1);
    EXPECT_EQ(std::get<std::string>(cursor->value(0)), "S");
    EXPECT_EQ(std::get<std::string>(cursor->value(1)), "\xc3\xb1"
                                                       "a  ");
    cursor->close();
}

// A save's insert of 0.8 as a decimal of its own digits lands as 0.8000, and only when the
// save commits.
TEST_F(CompanyConnectionTest, SavedDecimalIsExactAndOnlyCommittedWork)
{
    const std::string insert = "insert into \"AJUSTE_CIERRE\"\r\n  (\"AJCI_ID\", \"AJCI_FECINI\","
                               " \"AJCI_PORC\")\r\nvalues\r\n  (?, ?, ?)\r\n";
    auto row = [](std::int64_t id) {
        return std::vector<Param>{
            {driver::parameterTypeOf(core::Value(id)), id},
            {driver::parameterTypeOf(core::Value(Date{2031, 1, 2})), Date{2031, 1, 2}},
            {parameterTypeOf(Value(Decimal{8, 1})), Decimal{8, 1}}};
    };
    const TransactionDesc save{1, connection_.transIsolation()};
    connection_.startTransaction(save);
    EXPECT_EQ(connection_.execute(insert, row(90001)), 1);
    connection_.rollback(save);
    EXPECT_EQ(committed("select count(*) from AJUSTE_CIERRE where AJCI_ID = 90001"), "0");

    connection_.startTransaction(save);
    EXPECT_EQ(connection_.execute(insert, row(90002)), 1);
    connection_.commit(save);
    EXPECT_EQ(committed("select AJCI_PORC from AJUSTE_CIERRE where AJCI_ID = 90002"), "0.8000");
    EXPECT_EQ(committed("select AJCI_FECINI from AJUSTE_CIERRE where AJCI_ID = 90002"),
              "2031-01-02");
}

} // namespace
} // namespace kalmora::data
