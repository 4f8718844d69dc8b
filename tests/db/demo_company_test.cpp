// SPDX-License-Identifier: Apache-2.0
// db/make-company: the demo company that the program, its tests and the demo run on.

#include "db/posting_call.h"
#include "support/company_database.h"
#include "support/run_program.h"

#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kalmora::test {
namespace {

using ::testing::HasSubstr;

std::string makeCompany()
{
    const char *dir = std::getenv("KALMORA_SOURCE_DIR");
    return std::string(dir ? dir : ".") + "/db/make-company";
}

// Guards against demo contents that the program's lookups would not find: the points
// with their prefixes, the cash customer by prefix or by configuration, the interfaces,
// the configured date order, and N invoices per point and day with the day's rates.
TEST(DemoCompany, HoldsWhatTheProgramLooksUp)
{
    CompanyDatabase company({.invoices = 4, .days = 2, .dateOrder = "YMD", .code = "EMP01"});
    EXPECT_EQ(company.databasePath(), company.serverEntry() + "/datos/EMP01/kalmora.fdb");
    ASSERT_TRUE(std::filesystem::exists(company.databasePath()));
    const Isql sql = company.sql();

    std::vector<std::string> points;
    for (const SqlRow &row : sql.query("select ptvt_id, ptvt_nom, pref_pre from punto_venta "
                                       "order by ptvt_id"))
        points.push_back(*row.at("PTVT_ID") + " " + *row.at("PTVT_NOM") + " " +
                         *row.at("PREF_PRE"));
    EXPECT_EQ(points, (std::vector<std::string>{"1 Almacén Principal PPAL", "2 Tienda D'Angelo TDA",
                                                "3 Kiosco Norte K'N", "4 Feria Artesanal FER"}));

    EXPECT_EQ(sql.value("SELECT AUTO_NITCONTADO FROM AUTORIZACIONES WHERE PREF_PRE = 'TDA'"), "");
    EXPECT_EQ(sql.value("select conf_valor from configuracion where conf_modulo = "
                        "'FACTURACION' and conf_categoria = 'FACTURAS' and conf_propiedad = "
                        "'CODIGO DEL CLIENTE PARA VENTAS DE CONTADO'"),
              "222222222222");
    EXPECT_EQ(sql.value("select conf_valor from configuracion where conf_propiedad = "
                        "'ORDEN DE LA FECHA CORTA'"),
              "YMD");
    EXPECT_EQ(sql.query("SELECT MAX(INVE_ID) as id, MAX(INVE_NOMBRE) as nombre FROM "
                        "INTERFAZ_VENTAS WHERE TIDO_COD = 31 AND PREF_PRE = 'K''N'"),
              (std::vector<SqlRow>{{{"ID", "3"}, {"NOMBRE", "Contado Kiosco Norte"}}}));

    EXPECT_EQ(demoDays(sql).size(), 2u);
    EXPECT_EQ(sql.value("select max(fact_fecha) from facturas"),
              sql.value("select current_date from rdb$database"));
    EXPECT_EQ(sql.query("select count(*) as n from facturas group by fact_fecha, ptvt_id "
                        "having count(*) <> 4"),
              std::vector<SqlRow>{});
    EXPECT_EQ(sql.value("select count(*) from facturas"), "32");
    EXPECT_EQ(sql.value("select count(*) from ajuste_cierre"), "6");
    // Tienda D'Angelo's invoices are under the configured cash customer.
    EXPECT_EQ(sql.value("select count(*) from facturas where ptvt_id = 2 and terc_nit = "
                        "'222222222222'"),
              "8");
}

// Guards against make-company overwriting a company or accepting options it would
// silently ignore.
TEST(DemoCompany, RefusesAnExistingCompanyAndBadOptions)
{
    CompanyDatabase company({.invoices = 1, .days = 1});
    const auto size = std::filesystem::file_size(company.databasePath());
    const ProgramResult again = runProgram({makeCompany(), company.serverEntry(), company.code()});
    EXPECT_NE(again.exitCode, 0);
    EXPECT_THAT(again.err, HasSubstr("already exists"));
    EXPECT_EQ(std::filesystem::file_size(company.databasePath()), size);

    for (const std::vector<std::string> &options :
         {std::vector<std::string>{"--date-order", "DDMMYY"},
          {"--invoices", "-1"},
          {"--days", "0"},
          {"--bogus"}}) {
        std::vector<std::string> argv{makeCompany(), company.serverEntry(), "OTHER"};
        argv.insert(argv.end(), options.begin(), options.end());
        const ProgramResult refused = runProgram(argv);
        EXPECT_EQ(refused.exitCode, 2) << options.front();
        EXPECT_FALSE(std::filesystem::exists(company.serverEntry() + "/datos/OTHER/kalmora.fdb"));
    }
}

// Guards against a demo whose posting procedure reads the day in another order than
// the workstation writes it: without --date-order the locale's short date decides.
TEST(DemoCompany, TakesTheDateOrderFromTheLocaleByDefault)
{
    CompanyDatabase holder({.invoices = 0, .days = 1});
    const std::string dir = holder.serverEntry();
    const ProgramResult made =
        runProgram({"env", "LC_ALL=C", makeCompany(), dir, "CLOCALE", "--invoices", "0"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(Isql(dir + "/datos/CLOCALE/kalmora.fdb")
                  .value("select conf_valor from configuracion where conf_propiedad = "
                         "'ORDEN DE LA FECHA CORTA'"),
              "MDY"); // the C locale writes %m/%d/%y
}

} // namespace
} // namespace kalmora::test
