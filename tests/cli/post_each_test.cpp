// SPDX-License-Identifier: Apache-2.0
// "contabiliza-pos post" over several days and points (--all-points, --from and --to), and its
// JSON report (--format json), run as a program on demo companies: what each day and point
// reports, the exit status, and what reaches the database.
#include "headless_environment.h"
#include "support/company_database.h"
#include "support/run_program.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gmock/gmock.h>
#include <regex>
#include <sstream>

namespace kalmora::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

const std::string kFeria = "Contado Feria D'Artesanos";
const std::string kErrorsMessage = "Se presentaron los siguientes errores en la contabilización: "
                                   "Verifique la definición de la interfaz relacionada";
// The five things Feria Artesanal's interface lacks, as its error rows name them.
const std::vector<std::string> kFeriaLacks{"Falta cuenta de caja", "Falta cta. ingresos",
                                           "Falta cuenta de IVA", "Falta cta. de costo",
                                           "Falta cta.inventario"};

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

class PostEachTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The C.UTF-8 locale writes days as mm/dd/yy; the company reads them so.
        company_ = std::make_unique<CompanyDatabase>(
            CompanyOptions{.invoices = 3, .days = 2, .dateOrder = "MDY"});
        for (const SqlRow &row :
             company_->sql().query("select distinct fact_fecha as dia from facturas order by 1"))
            days_.push_back(*row.at("DIA"));
        ASSERT_EQ(days_.size(), 2u);
    }

    ProgramResult post(std::vector<std::string> more) const
    {
        std::vector<std::string> args{
            KALMORA_PROGRAM, "post",           "--server", company_->serverEntry(),
            "--company",     company_->code(), "--user",   "SYSDBA"};
        args.insert(args.end(), more.begin(), more.end());
        return runProgram(args);
    }
    std::optional<std::string> value(const std::string &select) const
    {
        return company_->sql().value(select);
    }
    /// "day point COMP_ID COMP_NUMERO state" of every voucher, in that order.
    std::vector<std::string> vouchers() const
    {
        std::vector<std::string> result;
        for (const SqlRow &row : company_->sql().query(
                 "select comp_fecha || ' ' || ptvt_id || ' ' || comp_id || ' ' || "
                 "coalesce(comp_numero, '-') || ' ' || comp_estado as v from comprobantes "
                 "order by comp_fecha, ptvt_id"))
            result.push_back(*row.at("V"));
        return result;
    }
    /// The error-row lines printed under Feria Artesanal's summary line of `day` (mm/dd/yy).
    static std::vector<std::string> feriaErrorLines(const std::string &mdy)
    {
        std::vector<std::string> result{"\tVentas de contado\t" + mdy + "\t" + kFeria};
        for (const std::string &lack : kFeriaLacks)
            result.push_back("\t" + lack + "\t" + kFeria + "\t" + kFeria);
        return result;
    }
    static std::string mdy(const std::string &iso)
    {
        return iso.substr(5, 2) + "/" + iso.substr(8, 2) + "/" + iso.substr(2, 2);
    }

    HeadlessEnvironment environment_;
    std::unique_ptr<CompanyDatabase> company_;
    std::vector<std::string> days_; // YYYY-MM-DD, oldest first
};

// Guards against a range or a point left out or posted twice, a summary that names another
// voucher than the one stored, the error rows of the point without accounts not reported,
// and a second run of the same days that posts again or hides that nothing was posted.
TEST_F(PostEachTest, AllPointsOverARangePostsEachDayAndPointOnceAndReportsEach)
{
    const std::vector<std::string> range{"--all-points", "--from", days_[0], "--to", days_[1]};
    const ProgramResult first = post(range);
    // Feria Artesanal's errors are the worst of the run.
    EXPECT_EQ(first.exitCode, 2);
    EXPECT_EQ(first.err, "");

    const std::vector<std::string> stored = vouchers();
    ASSERT_EQ(stored.size(), 6u); // two days of the points 1, 2 and 3
    std::vector<std::string> expected;
    std::size_t v = 0;
    for (const std::string &day : days_) {
        for (const char *point :
             {"Almacén Principal (1)", "Tienda D'Angelo (2)", "Kiosco Norte (3)"}) {
            // "day point COMP_ID COMP_NUMERO D" of the voucher stored for this day and point.
            std::istringstream fields(stored.at(v++));
            std::string storedDay, storedPoint, id, number, state;
            fields >> storedDay >> storedPoint >> id >> number >> state;
            EXPECT_EQ(storedDay, day);
            EXPECT_EQ(state, "D");
            expected.push_back(day + " " + point +
                               ": Comprobante contable correctamente generado. Comprobante " + id +
                               ", número " + number + ".");
        }
        expected.push_back(day + " Feria Artesanal (4): " + kErrorsMessage);
        for (const std::string &line : feriaErrorLines(mdy(day)))
            expected.push_back(line);
    }
    EXPECT_EQ(lines(first.out), expected);
    EXPECT_EQ(value("select count(*) from facturas where comp_id is null and terc_nit <> "
                    "'900555111' and pref_pre <> 'FER'"),
              "0");

    // The same command again: nothing is left to post, and Feria still lacks its accounts.
    const ProgramResult second = post(range);
    EXPECT_EQ(second.exitCode, 2);
    EXPECT_EQ(second.err, "");
    EXPECT_EQ(vouchers(), stored);
    std::vector<std::string> again;
    for (const std::string &day : days_) {
        for (const char *point :
             {"Almacén Principal (1)", "Tienda D'Angelo (2)", "Kiosco Norte (3)"})
            again.push_back(day + " " + point + ": No se pudo contabilizar las facturas.");
        again.push_back(day + " Feria Artesanal (4): " + kErrorsMessage);
        for (const std::string &line : feriaErrorLines(mdy(day)))
            again.push_back(line);
    }
    EXPECT_EQ(lines(second.out), again);

    // Without the point that reports errors, a range with nothing left exits 1.
    const ProgramResult rest = post({"--point-id", "1", "--from", days_[0], "--to", days_[1]});
    EXPECT_EQ(rest.exitCode, 1);
    EXPECT_THAT(
        lines(rest.out),
        ElementsAre(days_[0] + " Almacén Principal (1): No se pudo contabilizar las facturas.",
                    days_[1] + " Almacén Principal (1): No se pudo contabilizar las facturas."));
    EXPECT_EQ(vouchers(), stored);
}

// Guards against one failing day and point stopping the rest of the run, or its failure
// being reported as anything but a failure; and against a preview of several days and points
// that stores anything.
TEST_F(PostEachTest, AFailingPointDoesNotStopTheOthersAndAPreviewStoresNothing)
{
    // The voucher of Tienda D'Angelo cannot be written: its posting fails inside the database.
    company_->sql().execute("SET TERM ^ ;\n"
                            "create trigger cerrado for comprobantes before insert as begin "
                            "if (new.ptvt_id = 2) then exception e_comprobante 'Punto 2' || "
                            "ascii_char(13) || ascii_char(10) || 'cerrado'; end^\n"
                            "SET TERM ; ^");
    // A name that would split a line and recolour the terminal.
    company_->sql().execute("update punto_venta set ptvt_nom = 'Kiosco' || ascii_char(10) || "
                            "ascii_char(27) || '[31mNorte' where ptvt_id = 3");

    const ProgramResult preview = post({"--all-points", "--date", days_[1], "--preview"});
    EXPECT_EQ(preview.exitCode, 3);
    EXPECT_EQ(value("select count(*) from comprobantes"), "0");
    EXPECT_EQ(value("select count(*) from facturas where comp_id is not null"), "0");
    const std::vector<std::string> previewLines = lines(preview.out);
    ASSERT_FALSE(previewLines.empty());
    EXPECT_EQ(previewLines[0], days_[1] + " Almacén Principal (1): Vista previa: se generaría "
                                          "este comprobante; no se guardó nada.");
    EXPECT_THAT(preview.out, HasSubstr(days_[1] + " Tienda D'Angelo (2): falla: "));
    EXPECT_THAT(preview.out, HasSubstr(days_[1] + " Kiosco \\x1b[31mNorte (3): Vista previa"));
    EXPECT_THAT(preview.out, HasSubstr(days_[1] + " Feria Artesanal (4): " + kErrorsMessage));

    const ProgramResult result = post({"--all-points", "--from", days_[0], "--to", days_[1]});
    EXPECT_EQ(result.exitCode, 3); // the failure is the worst
    EXPECT_EQ(result.err, "");
    for (const std::string &day : days_) {
        SCOPED_TRACE(day);
        EXPECT_THAT(result.out, HasSubstr(day + " Tienda D'Angelo (2): falla: "));
        EXPECT_THAT(result.out, HasSubstr("Punto 2 cerrado"));
        EXPECT_THAT(result.out, HasSubstr(day + " Kiosco \\x1b[31mNorte (3): Comprobante "
                                                "contable correctamente generado."));
        EXPECT_THAT(result.out, HasSubstr(day + " Feria Artesanal (4): " + kErrorsMessage));
    }
    // One line a summary, and one an error row after its tab: nothing a name or a failure
    // holds breaks the layout or reaches the terminal raw.
    for (const std::string &line : lines(result.out)) {
        EXPECT_TRUE(line.starts_with(days_[0]) || line.starts_with(days_[1]) ||
                    line.starts_with("\t"))
            << line;
        EXPECT_EQ(line.find_first_of("\r\x1b"), std::string::npos) << line;
    }
    EXPECT_EQ(value("select cast(list(ptvt_id || '@' || comp_fecha, ' ') as varchar(200)) from "
                    "(select ptvt_id, comp_fecha from comprobantes order by comp_fecha, ptvt_id)"),
              "1@" + days_[0] + " 3@" + days_[0] + " 1@" + days_[1] + " 3@" + days_[1]);
}

// Guards against a run of every point that runs nothing and exits as if all were posted.
TEST_F(PostEachTest, ACompanyWithoutPointsPostsNothingAndSaysSo)
{
    company_->sql().execute("delete from punto_venta");
    for (const char *format : {"text", "json"}) {
        SCOPED_TRACE(format);
        const ProgramResult result = post({"--all-points", "--date", days_[0], "--format", format});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "contabiliza-pos post: la compañía no tiene puntos de venta\n");
    }
}

// Guards against a JSON report another tool cannot read back: a line that is not one object,
// a name with quotes, backslashes or tabs that breaks the string, a voucher or number that is
// not the one stored, error rows that are missing, and a failure that is not told as one.
TEST_F(PostEachTest, TheJsonReportIsOneObjectALineThatReadsBackAsStored)
{
    const std::string oddName = "Tienda \"D'Angelo\" \\ sur\tnorte";
    company_->sql().execute("update punto_venta set ptvt_nom = " + sqlLiteral(oddName) +
                            " where ptvt_id = 2");
    company_->sql().execute("SET TERM ^ ;\n"
                            "create trigger cerrado for comprobantes before insert as begin "
                            "if (new.ptvt_id = 3) then exception e_comprobante 'Punto 3 cerrado'; "
                            "end^\n"
                            "SET TERM ; ^");

    const ProgramResult result = post({"--all-points", "--date", days_[0], "--format", "json"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "");
    const std::vector<std::string> objects = lines(result.out);
    ASSERT_EQ(objects.size(), 4u);
    std::vector<QJsonObject> read;
    for (const std::string &line : objects) {
        QJsonParseError error{};
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line;
        ASSERT_TRUE(document.isObject()) << line;
        read.push_back(document.object());
    }
    const auto text = [](const QJsonValue &v) { return v.toString().toStdString(); };

    struct Case
    {
        int point;
        std::string name;
        std::string outcome;
    };
    const std::vector<Case> cases{{1, "Almacén Principal", "voucher_generated"},
                                  {2, oddName, "voucher_generated"},
                                  {3, "Kiosco Norte", "failure"},
                                  {4, "Feria Artesanal", "errors"}};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        const QJsonObject &object = read[i];
        SCOPED_TRACE(objects[i]);
        EXPECT_EQ(text(object[QStringLiteral("day")]), days_[0]);
        EXPECT_EQ(object[QStringLiteral("point")].toInteger(), c.point);
        EXPECT_EQ(text(object[QStringLiteral("point_name")]), c.name);
        EXPECT_EQ(text(object[QStringLiteral("outcome")]), c.outcome);
        EXPECT_FALSE(object[QStringLiteral("preview")].toBool(true));
        if (c.outcome == "voucher_generated") {
            const std::string where =
                " from comprobantes where ptvt_id = " + std::to_string(c.point) +
                " and comp_fecha = '" + days_[0] + "'";
            EXPECT_EQ(std::to_string(object[QStringLiteral("voucher")].toInteger()),
                      value("select comp_id" + where));
            EXPECT_EQ(std::to_string(object[QStringLiteral("number")].toInteger()),
                      value("select comp_numero" + where));
            EXPECT_EQ(text(object[QStringLiteral("message")]),
                      "Comprobante contable correctamente generado.");
            EXPECT_THAT(object[QStringLiteral("errors")].toArray(), IsEmpty());
        } else {
            EXPECT_TRUE(object[QStringLiteral("voucher")].isNull());
            EXPECT_TRUE(object[QStringLiteral("number")].isNull());
        }
    }
    EXPECT_THAT(text(read[2][QStringLiteral("message")]), HasSubstr("Punto 3 cerrado"));

    const QJsonArray errors = read[3][QStringLiteral("errors")].toArray();
    ASSERT_EQ(errors.size(), 6);
    EXPECT_EQ(text(errors[0].toObject()[QStringLiteral("description")]), "Ventas de contado");
    EXPECT_EQ(text(errors[0].toObject()[QStringLiteral("value")]), mdy(days_[0]));
    for (std::size_t i = 0; i < kFeriaLacks.size(); ++i) {
        const QJsonObject row = errors[qsizetype(i + 1)].toObject();
        EXPECT_EQ(text(row[QStringLiteral("description")]), kFeriaLacks[i]);
        EXPECT_EQ(text(row[QStringLiteral("value")]), kFeria);
        EXPECT_EQ(text(row[QStringLiteral("interface")]), kFeria);
    }
    EXPECT_EQ(text(read[3][QStringLiteral("message")]), kErrorsMessage);

    // A preview says so, and names no voucher: none was stored.
    const ProgramResult preview =
        post({"--point-id", "1", "--date", days_[1], "--preview", "--format", "json"});
    EXPECT_EQ(preview.exitCode, 0);
    const QJsonObject previewed =
        QJsonDocument::fromJson(QByteArray::fromStdString(preview.out)).object();
    EXPECT_EQ(text(previewed[QStringLiteral("outcome")]), "voucher_generated");
    EXPECT_TRUE(previewed[QStringLiteral("preview")].toBool(false));
    EXPECT_TRUE(previewed[QStringLiteral("voucher")].isNull());
    EXPECT_EQ(value("select count(*) from comprobantes where comp_fecha = '" + days_[1] + "'"),
              "0");
}

} // namespace
} // namespace kalmora::test
