// SPDX-License-Identifier: Apache-2.0
// "contabiliza-pos status", run as a program on a demo company whose days run from 28
// December 2026 to 2 January 2027 and which reads day texts day-first: every state made by
// the real commands (post, reverse, a posting call left without its completion) or, for the
// inconsistency, by one isql update; the text, JSON and CSV reports read back and checked
// against the database; the exit statuses; and nothing written.
#include "headless_environment.h"
#include "support/company_database.h"
#include "support/run_program.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gmock/gmock.h>
#include <map>
#include <sstream>

namespace kalmora::test {
namespace {

using ::testing::HasSubstr;

const std::string kFrom = "2026-12-27"; // a day without invoices
const std::string kTo = "2027-01-02";
const std::vector<std::string> kDays{"2026-12-27", "2026-12-28", "2026-12-29", "2026-12-30",
                                     "2026-12-31", "2027-01-01", "2027-01-02"};
// What the scenario leaves, a line for each point (PTVT_ID 1 to 4), a column for each day.
const std::vector<std::string> kStates[4] = {
    {"nothing", "posted", "posted", "inconsistent", "pending", "to_post", "to_post"},
    {"nothing", "posted", "reversed", "posted", "to_post", "to_post", "to_post"},
    {"nothing", "posted", "posted", "posted", "to_post", "to_post", "to_post"},
    // Feria Artesanal's interface lacks its accounts: its posting lists errors.
    {"nothing", "to_post", "to_post", "to_post", "to_post", "to_post", "to_post"}};

std::vector<std::string> lines(const std::string &text, const std::string &end = "\n")
{
    std::vector<std::string> result;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t stop = text.find(end, start);
        if (stop == std::string::npos)
            stop = text.size();
        result.push_back(text.substr(start, stop - start));
        start = stop + end.size();
    }
    return result;
}

/// The fields of one CSV row (RFC 4180), read by a reader of its own.
std::vector<std::string> csvFields(const std::string &row)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const char c = row[i];
        if (quoted && c == '"' && i + 1 < row.size() && row[i + 1] == '"')
            fields.back() += row[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

class StatusTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        environment_ = new HeadlessEnvironment;
        company_ =
            new CompanyDatabase(CompanyOptions{.invoices = 4, .days = 6, .dateOrder = "DMY"});
        const Isql sql = company_->sql();
        // The demo's six days moved to end on 2 January 2027, their rates with them.
        const std::string shift = *sql.value(
            "select datediff(day from max(fact_fecha) to date '2027-01-02') from facturas");
        sql.execute("update facturas set fact_fecha = fact_fecha + " + shift +
                    ";\n"
                    "update ajuste_cierre set ajci_fecini = ajci_fecini + " +
                    shift + ", ajci_fecfin = ajci_fecfin + " + shift);

        EXPECT_EQ(
            run("post", {"--all-points", "--from", "2026-12-28", "--to", "2026-12-30"}).exitCode,
            2);
        const ProgramResult reversed = run("reverse", {"--voucher", voucherOf("2026-12-29", 2)});
        EXPECT_EQ(reversed.exitCode, 0) << reversed.err;
        // A posting stopped before its completion: the call alone, committed.
        EXPECT_EQ(sql.value("select ver from contabil_facturas_contado('31/12/2026', '900000001', "
                            "'PPAL', 1, (select max(inve_id) from interfaz_ventas where "
                            "tido_cod = 31 and pref_pre = 'PPAL'))"),
                  "S");
        // One invoice of a posted day loses its mark.
        sql.execute(
            "update facturas set comp_id = null where fact_id = (select min(fact_id) "
            "from facturas where fact_fecha = '2026-12-30' and ptvt_id = 1 and comp_id is not "
            "null)");
        before_ = new std::vector<std::vector<SqlRow>>(snapshot());
    }
    static void TearDownTestSuite()
    {
        // Whatever the tests ran, the database is as the scenario left it.
        EXPECT_EQ(snapshot(), *before_);
        delete before_;
        delete company_;
        delete environment_;
    }

    static ProgramResult run(const std::string &command, std::vector<std::string> more)
    {
        std::vector<std::string> args{
            KALMORA_PROGRAM, command,          "--server", company_->serverEntry(),
            "--company",     company_->code(), "--user",   "SYSDBA"};
        args.insert(args.end(), more.begin(), more.end());
        return runProgram(args);
    }
    static ProgramResult status(std::vector<std::string> more = {})
    {
        std::vector<std::string> args{"--from", kFrom, "--to", kTo};
        args.insert(args.end(), more.begin(), more.end());
        return run("status", args);
    }
    static std::string value(const std::string &select) { return *company_->sql().value(select); }
    static std::string voucherOf(const std::string &day, int point)
    {
        return value("select comp_id from comprobantes where comp_origen = 'FACTURAS CONTADO' and "
                     "comp_fecha = '" +
                     day + "' and ptvt_id = " + std::to_string(point));
    }

    /// Every row of every table, and the voucher sequence.
    static std::vector<std::vector<SqlRow>> snapshot()
    {
        std::vector<std::vector<SqlRow>> rows = company_->everyTable();
        rows.push_back(
            company_->sql().query("select gen_id(gen_comprobantes, 0) as g from rdb$database"));
        return rows;
    }

    /// The cash invoices of a day and point (every customer but the demo's credit one):
    /// "count total posted posted_total", totals with two decimals.
    static std::string cashFigures(const std::string &day, int point)
    {
        return value("select count(*) || ' ' || coalesce(sum(t), 0) || ' ' || count(comp_id) || "
                     "' ' || coalesce(sum(iif(comp_id is null, 0, t)), 0) from (select "
                     "f.comp_id, (select sum(faiv_base + faiv_iva) from facturas_iva d where "
                     "d.fact_id = f.fact_id) as t from facturas f where f.terc_nit <> "
                     "'900555111' and f.fact_fecha = '" +
                     day + "' and f.ptvt_id = " + std::to_string(point) + ") x");
    }

    static HeadlessEnvironment *environment_;
    static CompanyDatabase *company_;
    static std::vector<std::vector<SqlRow>> *before_;
};

HeadlessEnvironment *StatusTest::environment_ = nullptr;
CompanyDatabase *StatusTest::company_ = nullptr;
std::vector<std::vector<SqlRow>> *StatusTest::before_ = nullptr;

std::vector<std::string> words(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> result;
    for (std::string word; in >> word;)
        result.push_back(word);
    return result;
}

// Guards against a grid that shows a day or point in the wrong state or column, a range
// across a month that loses its days, and detail lines whose figures are not the database's.
TEST_F(StatusTest, TextShowsTheMonthGridTheDaysToLookAtAndASummary)
{
    const ProgramResult result = status();
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "");
    const std::vector<std::string> printed = lines(result.out);
    ASSERT_GE(printed.size(), 10u) << result.out;
    const std::string margin(23, ' ');
    const std::vector<std::string> expected{
        "Contabilización del 2026-12-27 al 2027-01-02",
        margin + "12   2027-01",
        margin + "22233",
        margin + "7890112",
        "Almacén Principal (1)  ·✓✓✗…○○",
        "Tienda D'Angelo (2)    ·✓↺✓○○○",
        "Kiosco Norte (3)       ·✓✓✓○○○",
        "Feria Artesanal (4)    ·○○○○○○",
        "Leyenda:  ✓ contabilizado  ○ por contabilizar  … pendiente  ↺ revertido  ✗ "
        "inconsistente  · sin ventas",
        ""};
    EXPECT_EQ(std::vector<std::string>(printed.begin(), printed.begin() + 10), expected);

    const auto detail = [&](const std::string &start) {
        for (const std::string &line : printed)
            if (line.starts_with(start))
                return line;
        return std::string("(no line) ") + start;
    };
    // The reversed day: its invoices free again, the voucher and the one that reversed it.
    {
        const std::vector<std::string> f = words(cashFigures("2026-12-29", 2));
        const std::string voucher = voucherOf("2026-12-29", 2);
        const std::string by =
            value("select comp_revertido_por from comprobantes where comp_id = " + voucher);
        EXPECT_EQ(detail("2026-12-29 Tienda"),
                  "2026-12-29 Tienda D'Angelo (2): revertido; " + f[0] +
                      " facturas de contado por " + f[1] + ", 0 contabilizadas, " + f[0] +
                      " por contabilizar por " + f[1] + "; comprobante " + voucher + " número " +
                      value("select comp_numero from comprobantes where comp_id = " + voucher) +
                      " completado, revertido por el comprobante " + by + " número " +
                      value("select comp_numero from comprobantes where comp_id = " + by));
    }
    // The pending voucher, which holds the day's invoices.
    {
        const std::vector<std::string> f = words(cashFigures("2026-12-31", 1));
        EXPECT_EQ(detail("2026-12-31 Almacén"),
                  "2026-12-31 Almacén Principal (1): pendiente; " + f[0] +
                      " facturas de contado por " + f[1] + ", " + f[0] +
                      " contabilizadas, 0 por contabilizar por 0.00; comprobante " +
                      voucherOf("2026-12-31", 1) + " pendiente");
    }
    // The inconsistency: which voucher, its cash line and what its invoices add up to.
    {
        const std::vector<std::string> f = words(cashFigures("2026-12-30", 1));
        const std::string voucher = voucherOf("2026-12-30", 1);
        const std::string unmarked = std::to_string(std::stoi(f[0]) - std::stoi(f[2]));
        EXPECT_EQ(unmarked, "1");
        EXPECT_EQ(detail("2026-12-30 Almacén"),
                  "2026-12-30 Almacén Principal (1): inconsistente; " + f[0] +
                      " facturas de contado por " + f[1] + ", " + f[2] + " contabilizadas, 1 " +
                      "por contabilizar por " +
                      value("select cast(" + f[1] + " - " + f[3] +
                            " as numeric(18,2)) from rdb$database") +
                      "; comprobante " + voucher + " número " +
                      value("select comp_numero from comprobantes where comp_id = " + voucher) +
                      " completado; el comprobante " + voucher + ": su línea de caja es " +
                      value("select cmde_debito from comprobantes_det where cmde_item = 1 and "
                            "comp_id = " +
                            voucher) +
                      " y las facturas marcadas con él suman " + f[3]);
    }
    // Posted days and days without sales have no line of their own.
    EXPECT_THAT(detail("2026-12-28 Almacén"), HasSubstr("(no line)"));
    EXPECT_THAT(detail("2026-12-27"), HasSubstr("(no line)"));

    const std::string toPost = value(
        "select count(*) || ' facturas por ' || sum(t) from (select (select sum(faiv_base + "
        "faiv_iva) from facturas_iva d where d.fact_id = f.fact_id) as t from facturas f where "
        "f.terc_nit <> '900555111' and f.comp_id is null)");
    EXPECT_EQ(printed.back(), "Resumen: contabilizado 7, por contabilizar 14, pendiente 1, "
                              "revertido 1, inconsistente 1, sin ventas 4; quedan por "
                              "contabilizar " +
                                  toPost + ".");
}

// Guards against JSON that is not valid or whose figures are not the database's, and a CSV
// that a spreadsheet would read otherwise than the same report.
TEST_F(StatusTest, JsonAndCsvCarryEveryFigureOfEveryDayAndPoint)
{
    const ProgramResult json = status({"--format", "json"});
    EXPECT_EQ(json.exitCode, 2);
    ASSERT_TRUE(json.out.ends_with("}\n"));
    const std::vector<std::string> objects = lines(json.out);
    ASSERT_EQ(objects.size(), kDays.size() * 4 + 1) << json.out;
    std::map<std::string, QJsonObject> byDayPoint;
    for (std::size_t i = 0; i + 1 < objects.size(); ++i) {
        QJsonParseError error{};
        const QJsonObject object =
            QJsonDocument::fromJson(QByteArray::fromStdString(objects[i]), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << objects[i];
        const std::string day = object[QStringLiteral("day")].toString().toStdString();
        const int point = object[QStringLiteral("point")].toInt();
        SCOPED_TRACE(objects[i]);
        // In order of day, then point.
        EXPECT_EQ(day, kDays[i / 4]);
        EXPECT_EQ(point, int(i % 4) + 1);
        EXPECT_EQ(object[QStringLiteral("state")].toString().toStdString(),
                  kStates[point - 1][i / 4]);
        const std::vector<std::string> f = words(cashFigures(day, point));
        EXPECT_EQ(object[QStringLiteral("invoices")].toInt(), std::stoi(f[0]));
        EXPECT_DOUBLE_EQ(object[QStringLiteral("amount")].toDouble(), std::stod(f[1]));
        EXPECT_EQ(object[QStringLiteral("posted")].toInt(), std::stoi(f[2]));
        EXPECT_DOUBLE_EQ(object[QStringLiteral("posted_amount")].toDouble(), std::stod(f[3]));
        EXPECT_EQ(object[QStringLiteral("to_post")].toInt(), std::stoi(f[0]) - std::stoi(f[2]));
        std::string stored;
        for (const SqlRow &row : company_->sql().query(
                 "select comp_id || ' ' || comp_estado || ' ' || coalesce(comp_revertido_por, "
                 "'-') as v from comprobantes where comp_origen = 'FACTURAS CONTADO' and "
                 "comp_fecha = '" +
                 day + "' and ptvt_id = " + std::to_string(point) + " order by comp_id"))
            stored += *row.at("V") + ";";
        std::string listed;
        for (const QJsonValue voucher : object[QStringLiteral("vouchers")].toArray()) {
            const QJsonObject v = voucher.toObject();
            listed +=
                std::to_string(v[QStringLiteral("voucher")].toInt()) + " " +
                (v[QStringLiteral("state")].toString() == QLatin1String("completed") ? "D" : "P") +
                " " +
                (v[QStringLiteral("reversed_by")].isNull()
                     ? "-"
                     : std::to_string(v[QStringLiteral("reversed_by")].toInt())) +
                ";";
        }
        EXPECT_EQ(listed, stored);
        EXPECT_EQ(object[QStringLiteral("problems")].toArray().isEmpty(),
                  object[QStringLiteral("state")].toString() != QLatin1String("inconsistent"));
        byDayPoint[day + " " + std::to_string(point)] = object;
    }
    const QJsonObject summary = QJsonDocument::fromJson(QByteArray::fromStdString(objects.back()))
                                    .object()[QStringLiteral("summary")]
                                    .toObject();
    EXPECT_EQ(summary[QStringLiteral("posted")].toInt(), 7);
    EXPECT_EQ(summary[QStringLiteral("to_post")].toInt(), 14);
    EXPECT_EQ(summary[QStringLiteral("pending")].toInt(), 1);
    EXPECT_EQ(summary[QStringLiteral("reversed")].toInt(), 1);
    EXPECT_EQ(summary[QStringLiteral("inconsistent")].toInt(), 1);
    EXPECT_EQ(summary[QStringLiteral("nothing")].toInt(), 4);

    const ProgramResult csv = status({"--format", "csv"});
    EXPECT_EQ(csv.exitCode, 2);
    ASSERT_TRUE(csv.out.ends_with("\r\n"));
    const std::vector<std::string> rows = lines(csv.out, "\r\n");
    ASSERT_EQ(rows.size(), kDays.size() * 4 + 1) << csv.out;
    EXPECT_EQ(rows[0], "day,point,point_name,state,invoices,amount,posted,to_post,"
                       "to_post_amount,vouchers,problems");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i]);
        const std::vector<std::string> fields = csvFields(rows[i]);
        ASSERT_EQ(fields.size(), 11u);
        const QJsonObject &object = byDayPoint.at(fields[0] + " " + fields[1]);
        EXPECT_EQ(fields[2], object[QStringLiteral("point_name")].toString().toStdString());
        EXPECT_EQ(fields[3], object[QStringLiteral("state")].toString().toStdString());
        EXPECT_EQ(std::stoi(fields[4]), object[QStringLiteral("invoices")].toInt());
        EXPECT_DOUBLE_EQ(std::stod(fields[5]), object[QStringLiteral("amount")].toDouble());
        EXPECT_EQ(std::stoi(fields[7]), object[QStringLiteral("to_post")].toInt());
        std::string problems;
        for (const QJsonValue problem : object[QStringLiteral("problems")].toArray())
            problems += (problems.empty() ? "" : "; ") + problem.toString().toStdString();
        EXPECT_EQ(fields[10], problems);
    }
}

// Guards against an exit status that lets a nightly job miss what is left, and bad input
// that runs anyway or fails without saying why.
TEST_F(StatusTest, ExitStatusesAndUsageErrors)
{
    const struct
    {
        std::vector<std::string> args;
        int exitCode;
        std::string said; // on standard error
    } cases[] = {
        {{"--from", kFrom, "--to", "2026-12-28", "--point-id", "1"}, 0, ""},
        {{"--from", "2026-12-29", "--to", "2026-12-29", "--point", "Tienda D'Angelo"}, 1, ""},
        {{"--from", "2026-12-31", "--to", "2026-12-31", "--point-id", "1"}, 1, ""},
        {{"--from", "2026-12-28", "--to", "2026-12-28", "--point-id", "4"}, 1, ""},
        {{"--from", kTo, "--to", kFrom}, 64, "--to es anterior a --from"},
        {{"--from", kFrom, "--to", kTo, "--point", "Nadie"},
         64,
         "no hay un punto de venta llamado \"Nadie\""},
        {{"--from", kFrom, "--to", kTo, "--format", "xml"}, 64, "--format \"xml\""},
        {{"--from", kFrom}, 64, "falta --to"},
        {{"--from", "2026-01-01", "--to", "2027-01-02"}, 64, "como máximo 366"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ProgramResult result = run("status", c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        if (c.said.empty()) {
            EXPECT_EQ(result.err, "");
        } else {
            EXPECT_THAT(result.err, HasSubstr(c.said));
            EXPECT_THAT(result.err, HasSubstr("contabiliza-pos status --help"));
            EXPECT_EQ(result.out, "");
        }
    }
    EXPECT_EQ(snapshot(), *before_);
}

// Guards against a grid that sends symbols a terminal outside UTF-8 cannot show.
TEST_F(StatusTest, PlainAsciiOutsideUtf8)
{
    ScopedEnv locale{"LC_ALL", "C"};
    const ProgramResult result = status({"--point-id", "1"});
    EXPECT_EQ(result.exitCode, 2);
    const std::vector<std::string> printed = lines(result.out);
    ASSERT_GE(printed.size(), 6u);
    EXPECT_EQ(printed[4], "Almacén Principal (1)  .++Xpoo");
    EXPECT_EQ(printed[5], "Leyenda:  + contabilizado  o por contabilizar  p pendiente  "
                          "r revertido  X inconsistente  . sin ventas");
}

} // namespace
} // namespace kalmora::test
