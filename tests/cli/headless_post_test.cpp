// SPDX-License-Identifier: Apache-2.0
// The headless command "contabiliza-pos post", run as a program without a display: its
// output, its exit statuses and what it leaves in the database.
#include "data/sql_connection.h"
#include "headless_environment.h"
#include "support/company_database.h"
#include "support/run_program.h"

#include <filesystem>
#include <gmock/gmock.h>

namespace kalmora::test {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

class HeadlessPostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The C.UTF-8 locale writes days as mm/dd/yy; the company reads them so.
        company_ = std::make_unique<CompanyDatabase>(
            CompanyOptions{.invoices = 4, .days = 2, .dateOrder = "MDY"});
        const std::vector<SqlRow> days =
            company_->sql().query("select distinct fact_fecha as dia from facturas order by 1");
        oldestDay_ = *days.at(0).at("DIA");
    }

    ProgramResult post(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {KALMORA_PROGRAM, "post"});
        return runProgram(args);
    }
    /// The arguments that name this company, with `more` after them.
    std::vector<std::string> company(std::vector<std::string> more) const
    {
        std::vector<std::string> args{
            "--server", company_->serverEntry(), "--company", company_->code(), "--user", "SYSDBA"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    std::optional<std::string> value(const std::string &select) const
    {
        return company_->sql().value(select);
    }

    HeadlessEnvironment environment_;
    std::unique_ptr<CompanyDatabase> company_;
    std::string oldestDay_; // YYYY-MM-DD
};

// Guards against outcomes that print the wrong message or exit with the wrong status, an
// error list that is not printed, and a day that is not the one asked for or not written
// in the locale's short date.
TEST_F(HeadlessPostTest, EachOutcomeHasItsMessageAndExitStatus)
{
    const std::string mdy =
        oldestDay_.substr(5, 2) + "/" + oldestDay_.substr(8, 2) + "/" + oldestDay_.substr(2, 2);
    const std::string feria = "Contado Feria D'Artesanos";
    struct Case
    {
        std::string point;
        int exit;
        std::string out;
    };
    const std::vector<Case> cases{
        {"Almacén Principal", 0, "Comprobante contable correctamente generado.\n"},
        {"Almacén Principal", 1, "No se pudo contabilizar las facturas.\n"},
        {"Feria Artesanal", 2,
         "Se presentaron los siguientes errores en la contabilización:\n"
         "Verifique la definición de la interfaz relacionada\n"
         "Ventas de contado\t" +
             mdy + "\t" + feria + "\n" + "Falta cuenta de caja\t" + feria + "\t" + feria + "\n" +
             "Falta cta. ingresos\t" + feria + "\t" + feria + "\n" + "Falta cuenta de IVA\t" +
             feria + "\t" + feria + "\n" + "Falta cta. de costo\t" + feria + "\t" + feria + "\n" +
             "Falta cta.inventario\t" + feria + "\t" + feria + "\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.point + " " + std::to_string(c.exit));
        const ProgramResult result = post(company({"--date", oldestDay_, "--point", c.point}));
        EXPECT_EQ(result.exitCode, c.exit);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, "");
    }
    EXPECT_EQ(value("select count(*) || trim(min(comp_estado)) || min(ptvt_id) || min(comp_fecha) "
                    "from comprobantes"),
              "1D1" + oldestDay_);
}

// Guards against a failure that exits like an outcome or is printed otherwise than the
// error box shows it (the driver's message with its full stop added).
TEST_F(HeadlessPostTest, AFailureGoesToStandardErrorWithStatus3)
{
    const std::string missing = company_->serverEntry() + "/datos/NOPE/kalmora.fdb";
    std::string message;
    try {
        data::TSQLConnection connection;
        connection.params().setValue("Database", missing);
        connection.params().setValue("User_Name", "SYSDBA");
        connection.params().setValue("password", "masterkey");
        connection.setConnected(true);
    } catch (const std::exception &failure) {
        message = failure.what();
    }
    ASSERT_THAT(message,
                AllOf(HasSubstr(missing), ::testing::EndsWith("No such file or directory")));

    const ProgramResult result = post({"--server", company_->serverEntry(), "--company", "NOPE",
                                       "--user", "SYSDBA", "--point", "Almacén Principal"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, message + ".\n");
}

// Guards against a command line that posts something it was not clearly asked to: each
// is refused with status 64 before anything is posted, and the id settles two points of
// one name.
TEST_F(HeadlessPostTest, UsageErrorsPostNothingAndThePointIdSettlesAName)
{
    company_->sql().execute(
        "update punto_venta set ptvt_nom = 'Almacén Principal' where ptvt_id = 2");
    struct Case
    {
        std::vector<std::string> args;
        std::string says;
    };
    const std::vector<Case> cases{
        {{"--server", company_->serverEntry(), "--user", "SYSDBA", "--point", "x"},
         "falta --company"},
        {company({"--date", "2026-02-30", "--point", "Kiosco Norte"}), "2026-02-30"},
        {company({"--date", "-026-02-03", "--point", "Kiosco Norte"}), "-026-02-03"},
        {company({"--date", "0000-01-01", "--point", "Kiosco Norte"}),
         "del 0001-01-01 al 9999-12-31"},
        // An option given twice says two things: neither is taken.
        {company({"--point", "Kiosco Norte", "--point", "Tienda D'Angelo"}),
         "--point está repetida"},
        {{"--server", company_->serverEntry(), "--company", "X", "--user", "SYSDBA", "--company",
          company_->code(), "--point", "Kiosco Norte"},
         "--company está repetida"},
        {company({"--point", "Kiosco Norte", "--password", "masterkey"}), "--password"},
        {company({"--point-id", "tres"}), "tres"},
        // Whole numbers that PTVT_ID (INTEGER) cannot hold, however large.
        {company({"--point-id", "4294967297"}),
         "--point-id \"4294967297\" está fuera del rango de PTVT_ID, de -2147483648 a 2147483647"},
        {company({"--point-id", "2147483648"}), "\"2147483648\" está fuera del rango"},
        {company({"--point-id=-2147483649"}), "\"-2147483649\" está fuera del rango"},
        {company({"--point-id", "99999999999999999999999"}),
         "\"99999999999999999999999\" está fuera del rango"},
        {company({"--point", "Almacén Principal"}), "(PTVT_ID 1, 2); elija uno con --point-id"},
        {company({"--point", "Kiosco"}), "\"Kiosco Norte\" (3)"},
        {company({"--point", "Kiosco Norte", "--point-id", "2"}), "se llama"},
        // Several days and points: each option says one thing, and a range has an end.
        {company({"--all-points", "--point", "Kiosco Norte"}), "--all-points no va con"},
        {company({"--all-points", "--point-id", "3"}), "--all-points no va con"},
        {company({"--all-points", "--date", "2026-03-01", "--from", "2026-03-01", "--to",
                  "2026-03-02"}),
         "--date no va con"},
        {company({"--all-points", "--from", "2026-03-01"}), "falta --to"},
        {company({"--all-points", "--to", "2026-03-01"}), "falta --from"},
        {company({"--all-points", "--from", "2026-03-02", "--to", "2026-03-01"}),
         "--to es anterior a --from"},
        {company({"--all-points", "--from", "2026-02-30", "--to", "2026-03-01"}), "2026-02-30"},
        {company({"--all-points", "--from", "2025-03-01", "--to", "2026-03-02"}),
         "van 367 días; como máximo 366"},
        {company({"--all-points", "--format", "xml"}), "--format \"xml\": text o json"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.says);
        const ProgramResult result = post(c.args);
        EXPECT_EQ(result.exitCode, 64);
        EXPECT_THAT(result.err, AllOf(StartsWith("contabiliza-pos post: "), HasSubstr(c.says)));
        EXPECT_EQ(result.out, "");
    }
    {
        // Not on a terminal and no password in the environment: nothing to ask it on.
        ScopedEnv noPassword("KALMORA_PASSWORD", std::nullopt);
        const ProgramResult result = post(company({"--point", "Kiosco Norte"}));
        EXPECT_EQ(result.exitCode, 64);
        EXPECT_THAT(result.err, HasSubstr("KALMORA_PASSWORD"));
    }
    EXPECT_EQ(value("select count(*) from comprobantes"), "0");

    const ProgramResult chosen =
        post(company({"--date", oldestDay_, "--point", "Almacén Principal", "--point-id", "2"}));
    EXPECT_EQ(chosen.exitCode, 0);
    EXPECT_EQ(value("select min(ptvt_id) || min(pref_pre) from comprobantes"), "2TDA");
}

// Guards against a help that needs a connection or a display.
TEST_F(HeadlessPostTest, HelpExplainsTheCommand)
{
    const ProgramResult result = post({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_THAT(result.out, AllOf(StartsWith("Uso: contabiliza-pos post --server"),
                                  HasSubstr("KALMORA_PASSWORD"), HasSubstr("--point-id"),
                                  HasSubstr("64  uso incorrecto")));
}

// Guards against posting another day than --date: a company that reads days in another
// order than the locale writes them, or a two-digit year of another century, must not post
// the sales of the day that the locale's text names there. The day goes as a text the
// company reads as that day, and a day no text can carry is refused.
TEST_F(HeadlessPostTest, TheDayPostedIsTheOneAskedForWhateverTheCompanysDateOrder)
{
    // The newest day's invoices on 10 December 2026, the other day's on 12 October 2026
    // (what "12/10/26" names in a day-first company).
    company_->pinTwoNewestDays();
    struct Case
    {
        const char *order; // the company's date order; the locale writes mm/dd/yy
        const char *date;
        const char *point;
        int exit;
        std::string out;
        std::string err;
        std::optional<std::string> vouchers; // the days of the point's vouchers
    };
    const std::vector<Case> cases{
        {"MDY", "1926-12-10", "3", 1, "No se pudo contabilizar las facturas.\n", "", std::nullopt},
        {"DMY", "2026-12-10", "1", 0, "Comprobante contable correctamente generado.\n", "",
         "2026-12-10"},
        // The year 0 is none the database has: a usage error, before anything is opened.
        {"DMY", "0000-06-15", "2", 64, "",
         "contabiliza-pos post: la fecha \"0000-06-15\" no es un día válido AAAA-MM-DD, del "
         "0001-01-01 al 9999-12-31\nVea «contabiliza-pos post --help».\n",
         std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.order) + " " + c.date);
        company_->sql().execute("update configuracion set conf_valor = '" + std::string(c.order) +
                                "' where conf_propiedad = 'ORDEN DE LA FECHA CORTA'");
        const ProgramResult result = post(company({"--date", c.date, "--point-id", c.point}));
        EXPECT_EQ(result.exitCode, c.exit);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(value("select cast(list(comp_fecha) as varchar(200)) from comprobantes "
                        "where ptvt_id = " +
                        std::string(c.point)),
                  c.vouchers);
    }
    EXPECT_EQ(value("select count(*) from facturas where comp_id is not null and fact_fecha <> "
                    "'2026-12-10'"),
              "0");
}

// Guards against completing, or printing anything of, a posting that answers "S" without a
// voucher (IDC 0): nothing was posted, so the status is 1.
TEST_F(HeadlessPostTest, AnAnswerWithoutAVoucherPrintsNothingAndExitsWith1)
{
    company_->sql().execute(
        "SET TERM ^ ;\n"
        "create or alter procedure contabil_facturas_contado (fecha varchar(100), nit "
        "varchar(100), prefijo varchar(100), punto integer, interfaz integer) returns (ver "
        "char(1), idc integer, error integer) as begin ver = 'S'; idc = 0; error = 0; suspend; "
        "end^\n"
        "SET TERM ; ^");
    const ProgramResult result = post(company({"--date", oldestDay_, "--point-id", "1"}));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(value("select count(*) from comprobantes"), "0");
}

// Guards against a company code that leads out of the server's datos/ folder: a database
// placed beside it would be opened and posted into. The code is refused as a usage error
// before anything is opened.
TEST_F(HeadlessPostTest, ACompanyCodeThatLeavesDatosIsRefused)
{
    const std::string outside = company_->serverEntry() + "/fuera/kalmora.fdb";
    std::filesystem::create_directory(company_->serverEntry() + "/fuera");
    std::filesystem::copy_file(company_->databasePath(), outside);

    const ProgramResult result =
        post({"--server", company_->serverEntry(), "--company", "../fuera", "--user", "SYSDBA",
              "--date", oldestDay_, "--point-id", "1"});
    EXPECT_EQ(result.exitCode, 64);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "contabiliza-pos post: El código de compañía «../fuera» no es "
                          "válido: no puede contener «/», «\\», «..» ni «:».\n"
                          "Vea «contabiliza-pos post --help».\n");
    EXPECT_EQ(Isql(outside).value("select count(*) from comprobantes"), "0");
}

} // namespace
} // namespace kalmora::test
