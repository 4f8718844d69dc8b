// SPDX-License-Identifier: Apache-2.0
// "contabiliza-pos post --preview" and "contabiliza-pos reverse", run as programs on a demo
// company: what they print and what they leave in the database.
#include "headless_environment.h"
#include "support/company_database.h"
#include "support/run_program.h"

#include <gmock/gmock.h>

namespace kalmora::test {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

/// Every row of every table of the company, table by table, and the voucher-number
/// generator.
using Snapshot = std::vector<std::vector<SqlRow>>;

class PreviewReverseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        company_ = std::make_unique<CompanyDatabase>(
            CompanyOptions{.invoices = 4, .days = 2, .dateOrder = "MDY"});
        oldestDay_ = *company_->sql().value("select min(fact_fecha) from facturas");
    }

    ProgramResult run(const std::string &command, std::vector<std::string> more) const
    {
        std::vector<std::string> args{
            KALMORA_PROGRAM, command,          "--server", company_->serverEntry(),
            "--company",     company_->code(), "--user",   "SYSDBA"};
        args.insert(args.end(), more.begin(), more.end());
        return runProgram(args);
    }
    ProgramResult post(const std::string &point, bool preview = false) const
    {
        std::vector<std::string> args{"--date", oldestDay_, "--point", point};
        if (preview)
            args.push_back("--preview");
        return run("post", args);
    }
    ProgramResult reverse(const std::string &voucher) const
    {
        return run("reverse", {"--voucher", voucher});
    }
    std::optional<std::string> value(const std::string &select) const
    {
        return company_->sql().value(select);
    }

    Snapshot snapshot() const { return company_->everyTable(); }

    /// The lines of a stored voucher as the preview prints them.
    std::string storedLines(const std::string &voucher) const
    {
        std::string lines;
        for (const SqlRow &row : company_->sql().query(
                 "select cuen_cod, texto_porcentaje(cmde_porc) as tasa, cast(cmde_debito as "
                 "varchar(30)) as debito, cast(cmde_credito as varchar(30)) as credito, "
                 "cmde_detalle from comprobantes_det where comp_id = " +
                 voucher + " order by cmde_item"))
            lines += row.at("CUEN_COD").value_or("") + "\t" + row.at("TASA").value_or("") + "\t" +
                     row.at("DEBITO").value_or("") + "\t" + row.at("CREDITO").value_or("") + "\t" +
                     row.at("CMDE_DETALLE").value_or("") + "\n";
        return lines;
    }

    HeadlessEnvironment environment_;
    std::unique_ptr<CompanyDatabase> company_;
    std::string oldestDay_; // YYYY-MM-DD
};

/// The lines between the column heading and the totals of a printed voucher.
std::string voucherLines(const std::string &printed)
{
    const std::string heading = "Cuenta\tTasa\tDébito\tCrédito\tDetalle\n";
    const std::size_t from = printed.find(heading);
    const std::size_t to = printed.find("Totales\t");
    if (from == std::string::npos || to == std::string::npos)
        return {};
    return printed.substr(from + heading.size(), to - from - heading.size());
}

// Guards against a preview that stores anything (rows, a voucher number) or shows another
// voucher than the posting then stores, and against one that hides the errors a posting
// would report.
TEST_F(PreviewReverseTest, PreviewStoresNothingAndShowsWhatPostThenStores)
{
    const Snapshot before = snapshot();

    const ProgramResult errors = post("Feria Artesanal", true);
    EXPECT_EQ(errors.exitCode, 2);
    EXPECT_THAT(errors.out, HasSubstr("Falta cuenta de caja\t"));
    EXPECT_EQ(errors.err, "");

    const ProgramResult preview = post("Almacén Principal", true);
    EXPECT_EQ(preview.exitCode, 0);
    EXPECT_EQ(preview.err, "");
    EXPECT_THAT(preview.out, HasSubstr("Vista previa: no se guardó nada.\n"));
    EXPECT_THAT(preview.out, HasSubstr("(punto de venta 1, 4 facturas)\n"));
    EXPECT_EQ(snapshot(), before);

    const ProgramResult stored = post("Almacén Principal");
    ASSERT_EQ(stored.exitCode, 0) << stored.out << stored.err;
    const std::string voucher = *value("select comp_id from comprobantes");
    EXPECT_EQ(value("select comp_numero from comprobantes"), "1"); // the preview drew none
    const std::string lines = voucherLines(preview.out);
    EXPECT_THAT(lines, ::testing::Not(IsEmpty()));
    EXPECT_EQ(lines, storedLines(voucher));
    const std::string totals = *value("select cast(sum(cmde_debito) as varchar(30)) || '-' || "
                                      "cast(sum(cmde_credito) as varchar(30)) from "
                                      "comprobantes_det");
    const std::string debits = totals.substr(0, totals.find('-'));
    EXPECT_EQ(totals, debits + "-" + debits);
    EXPECT_THAT(preview.out, HasSubstr("Totales\t\t" + debits + "\t" + debits + "\n"));

    // With the day posted there is nothing to preview, and still nothing changes.
    const Snapshot posted = snapshot();
    const ProgramResult nothing = post("Almacén Principal", true);
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_EQ(nothing.out, "No se pudo contabilizar las facturas.\n");
    EXPECT_EQ(snapshot(), posted);
}

// Guards against a reversal that does not undo the books exactly, that leaves invoices with
// the reversed voucher or posted twice, or that can be repeated.
TEST_F(PreviewReverseTest, PostReverseCorrectARatePostAgain)
{
    ASSERT_EQ(post("Almacén Principal").exitCode, 0);
    const std::string first = *value("select comp_id from comprobantes");
    const std::string cost = *value("select sum(cmde_debito) from comprobantes_det where "
                                    "cmde_detalle starting with 'Costo de ventas'");

    const ProgramResult reversed = reverse(first);
    ASSERT_EQ(reversed.exitCode, 0) << reversed.out << reversed.err;
    const std::string reversal =
        *value("select comp_id from comprobantes where comp_revierte = " + first);
    EXPECT_THAT(reversed.out,
                HasSubstr("Comprobante " + first + " revertido por el comprobante " + reversal));
    EXPECT_EQ(value("select count(*) from facturas where comp_id is not null"), "0");

    company_->sql().execute("update ajuste_cierre set ajci_factor = ajci_factor / 2");
    ASSERT_EQ(post("Almacén Principal").exitCode, 0);
    const std::string second = *value("select max(comp_id) from comprobantes");

    // The first voucher and its reversal net to zero, line for line and account by account;
    // the reversal is numbered, dated the day it reverses and definitive.
    EXPECT_EQ(value("select count(*) from (select cuen_cod from comprobantes_det where comp_id "
                    "in (" +
                    first + ", " + reversal +
                    ") group by cuen_cod having sum(cmde_debito) <> sum(cmde_credito))"),
              "0");
    EXPECT_EQ(value("select count(*) from comprobantes_det a join comprobantes_det b on "
                    "b.cmde_item = a.cmde_item and b.comp_id = " +
                    reversal + " where a.comp_id = " + first +
                    " and a.cuen_cod = b.cuen_cod and a.cmde_debito = b.cmde_credito and "
                    "a.cmde_credito = b.cmde_debito"),
              value("select count(*) from comprobantes_det where comp_id = " + first));
    EXPECT_EQ(value("select comp_estado || comp_numero || ' ' || comp_fecha from comprobantes "
                    "where comp_id = " +
                    reversal),
              "D2 " + oldestDay_);
    EXPECT_EQ(value("select comp_revertido_por from comprobantes where comp_id = " + first),
              reversal);

    // Every invoice of the day and point belongs to exactly the new, live voucher, whose
    // cost follows the corrected rate.
    EXPECT_EQ(value("select count(*) from facturas where ptvt_id = 1 and fact_fecha = '" +
                    oldestDay_ + "' and comp_id is distinct from " + second),
              "0");
    EXPECT_NE(value("select sum(cmde_debito) from comprobantes_det where comp_id = " + second +
                    " and cmde_detalle starting with 'Costo de ventas'"),
              cost);
    EXPECT_EQ(value("select comp_revertido_por from comprobantes where comp_id = " + second),
              std::nullopt);

    const Snapshot books = snapshot();
    const ProgramResult again = reverse(first);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.out, "El comprobante " + first + " ya fue revertido por el comprobante " +
                             reversal + " (número 2).\n");
    EXPECT_EQ(snapshot(), books);
}

// Guards against a reversal of something that is not a completed cash-sales posting, or
// a refusal that changes anything or exits as a success.
TEST_F(PreviewReverseTest, RefusedReversalsChangeNothing)
{
    ASSERT_EQ(post("Almacén Principal").exitCode, 0);
    const std::string posted = *value("select comp_id from comprobantes");
    ASSERT_EQ(reverse(posted).exitCode, 0);
    const std::string reversal =
        *value("select comp_id from comprobantes where comp_revierte = " + posted);
    company_->sql().execute(
        "insert into comprobantes (comp_id, comp_estado, comp_fecha, ptvt_id, tido_cod, "
        "pref_pre, terc_nit, comp_origen) select 900, 'P', fact_fecha, ptvt_id, 31, pref_pre, "
        "terc_nit, 'FACTURAS CONTADO' from facturas where ptvt_id = 2 rows 1");

    struct Case
    {
        std::string voucher;
        std::string says;
    };
    const std::vector<Case> cases{
        {"899", "El comprobante 899 no existe.\n"},
        {reversal,
         "El comprobante " + reversal + " no es una contabilización de ventas de contado.\n"},
        {"900", "El comprobante 900 está pendiente: solo se revierte un comprobante completado.\n"},
        {posted, "El comprobante " + posted + " ya fue revertido por el comprobante " + reversal +
                     " (número 2).\n"},
    };
    const Snapshot before = snapshot();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.voucher);
        const ProgramResult result = reverse(c.voucher);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, c.says);
        EXPECT_EQ(result.err, "");
    }
    EXPECT_EQ(snapshot(), before);

    for (const std::string bad : {"0", "-3", "x", "12abc"}) {
        const ProgramResult result = reverse(bad);
        EXPECT_EQ(result.exitCode, 64) << bad;
        EXPECT_THAT(result.err, HasSubstr("--voucher")) << bad;
    }
}

// Guards against a preview that hides that an earlier run left the day's voucher pending,
// and against one that shows as good a voucher the completion would refuse.
TEST_F(PreviewReverseTest, PreviewOfAPendingVoucherAndOfOneThatDoesNotBalance)
{
    const std::string mdy =
        oldestDay_.substr(5, 2) + "/" + oldestDay_.substr(8, 2) + "/" + oldestDay_.substr(0, 4);
    ASSERT_EQ(value("select ver from contabil_facturas_contado('" + mdy +
                    "', '900000001', 'PPAL', 1, (select max(inve_id) from interfaz_ventas "
                    "where tido_cod = 31 and pref_pre = 'PPAL'))"),
              "S");
    const std::string pending = *value("select comp_id from comprobantes");

    Snapshot before = snapshot();
    const ProgramResult preview = post("Almacén Principal", true);
    EXPECT_EQ(preview.exitCode, 0);
    EXPECT_THAT(preview.out, HasSubstr("Se completaría el comprobante que una contabilización "
                                       "anterior de este día dejó pendiente.\n"));
    EXPECT_EQ(voucherLines(preview.out), storedLines(pending));
    EXPECT_EQ(snapshot(), before);

    company_->sql().execute("delete from comprobantes_det where comp_id = " + pending +
                            " and cmde_item = 1");
    before = snapshot();
    const ProgramResult unbalanced = post("Almacén Principal", true);
    EXPECT_EQ(unbalanced.exitCode, 3);
    EXPECT_THAT(unbalanced.err, HasSubstr("El comprobante no cuadra: débitos "));
    EXPECT_EQ(snapshot(), before);
}

} // namespace
} // namespace kalmora::test
