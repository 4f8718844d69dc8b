// SPDX-License-Identifier: Apache-2.0
// The posting procedure as the program calls it: one day's cash sales of one point
// become one balanced pending voucher, problems become error rows the user can act on,
// and nothing is posted twice.

#include "db/posting_call.h"
#include "support/company_database.h"

#include <cstdint>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace kalmora::test {
namespace {

using ::testing::HasSubstr;

// An exact decimal text ("1234.56", "0.7500") in units of 10^-scale.
std::int64_t units(const std::string &text, int scale)
{
    std::int64_t whole = 0, fraction = 0;
    const std::size_t point = text.find('.');
    whole = std::stoll(text.substr(0, point));
    int digits = 0;
    if (point != std::string::npos) {
        for (std::size_t i = point + 1; i < text.size() && digits < scale; ++i, ++digits)
            fraction = fraction * 10 + (text[i] - '0');
    }
    for (; digits < scale; ++digits)
        fraction *= 10;
    std::int64_t factor = 1;
    for (int i = 0; i < scale; ++i)
        factor *= 10;
    return whole * factor + fraction;
}

std::string cents(std::int64_t amount)
{
    const std::string fraction = std::to_string(amount % 100);
    return std::to_string(amount / 100) + "." + (fraction.size() < 2 ? "0" : "") + fraction;
}

// A voucher's lines as "ACCOUNT RATE D|C" -> amount; the cash line has no rate.
std::map<std::string, std::string> voucherLines(const Isql &sql, const std::string &voucher)
{
    std::map<std::string, std::string> lines;
    for (const SqlRow &row : sql.query("select cuen_cod, cmde_porc, cmde_debito, cmde_credito "
                                       "from comprobantes_det where comp_id = " +
                                       voucher)) {
        const std::string rate = row.at("CMDE_PORC") ? " " + *row.at("CMDE_PORC") : "";
        const bool debit = *row.at("CMDE_DEBITO") != "0.00";
        lines[*row.at("CUEN_COD") + rate + (debit ? " D" : " C")] =
            debit ? *row.at("CMDE_DEBITO") : *row.at("CMDE_CREDITO");
    }
    return lines;
}

// Guards against a voucher that does not add up to the day's invoices, uses the wrong
// rate's factor, takes other customers' or days' invoices, or posts them twice.
TEST(PostingProcedure, PostsTheDayIntoOneBalancedVoucherThatCompletesOnce)
{
    CompanyDatabase company({.invoices = 12});
    const Isql sql = company.sql();
    const std::string day = demoDays(sql).at(1);

    // What the voucher must hold, summed here from the invoices one by one.
    std::map<std::string, std::int64_t> base, vat, factor;
    std::set<std::string> cashInvoices;
    for (const SqlRow &row : sql.query(
             "select f.fact_id, d.faiv_porc, d.faiv_base, d.faiv_iva, a.ajci_factor "
             "from facturas f join facturas_iva d on d.fact_id = f.fact_id "
             "join ajuste_cierre a on a.ajci_porc = d.faiv_porc and a.ajci_fecini = f.fact_fecha "
             "where f.fact_fecha = '" +
             day + "' and f.ptvt_id = 1 and f.terc_nit = '900000001'")) {
        const std::string rate = *row.at("FAIV_PORC");
        base[rate] += units(*row.at("FAIV_BASE"), 2);
        vat[rate] += units(*row.at("FAIV_IVA"), 2);
        factor[rate] = units(*row.at("AJCI_FACTOR"), 4);
        cashInvoices.insert(*row.at("FACT_ID"));
    }
    ASSERT_EQ(cashInvoices.size(), 11u) << "the twelfth of the day is a named customer's";
    ASSERT_EQ(base.size(), 3u) << "the demo day uses the rates 0, 5 and 19";
    std::map<std::string, std::string> expected;
    std::int64_t cash = 0;
    for (const auto &[rate, amount] : base) {
        const std::int64_t cost = (amount * factor[rate] + 5000) / 10000;
        expected["413524 " + rate + " C"] = cents(amount);
        if (vat[rate] != 0)
            expected["240805 " + rate + " C"] = cents(vat[rate]);
        expected["613524 " + rate + " D"] = cents(cost);
        expected["143505 " + rate + " C"] = cents(cost);
        cash += amount + vat[rate];
    }
    expected["110505 D"] = cents(cash);

    const std::vector<SqlRow> result = sql.query(postingCall(mainPoint(dayText(day, "DMY"))));
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0].at("VER"), "S");
    EXPECT_EQ(result[0].at("ERROR"), "0");
    const std::string voucher = result[0].at("IDC").value_or("");
    ASSERT_NE(voucher, "0");

    EXPECT_EQ(voucherLines(sql, voucher), expected);
    const std::string state = "select comp_estado, comp_numero, comp_fecha, "
                              "(select count(*) from facturas f where f.comp_id = c.comp_id) "
                              "as marked, "
                              "(select count(*) from facturas f where f.comp_id is not null) "
                              "as all_marked from comprobantes c";
    EXPECT_EQ(sql.query(state), (std::vector<SqlRow>{{{"COMP_ESTADO", "P"},
                                                      {"COMP_NUMERO", std::nullopt},
                                                      {"COMP_FECHA", day},
                                                      {"MARKED", "11"},
                                                      {"ALL_MARKED", "11"}}}));

    sql.execute("execute procedure contabiliza_pendiente " + voucher);
    EXPECT_EQ(sql.query(state), (std::vector<SqlRow>{{{"COMP_ESTADO", "D"},
                                                      {"COMP_NUMERO", "1"},
                                                      {"COMP_FECHA", day},
                                                      {"MARKED", "11"},
                                                      {"ALL_MARKED", "11"}}}));

    // Nothing is left to post: no row at all, and no new voucher.
    EXPECT_TRUE(sql.query(postingCall(mainPoint(dayText(day, "DMY")))).empty());
    EXPECT_EQ(sql.query(state).size(), 1u);
}

// Guards against amounts going through binary floating point or being rounded per
// invoice: the sums of the exact cents, and the cost rounded half up once per rate.
TEST(PostingProcedure, AmountsStayExactDecimals)
{
    CompanyDatabase company({.invoices = 0, .days = 1});
    const Isql sql = company.sql();
    const std::string today = *sql.value("select current_date from rdb$database");
    struct Line
    {
        int rate;
        const char *base;
        const char *vat;
    };
    std::vector<Line> lines(10, Line{19, "0.10", "0.02"}); // ten times 0.1
    lines.push_back({5, "0.05", "0.00"});
    lines.push_back({5, "0.01", "0.00"}); // 0.06 x 0.75 = 0.045 -> 0.05
    lines.push_back({0, "0.20", "0.00"});
    lines.push_back({0, "0.10", "0.00"}); // 0.2 + 0.1
    std::string inserts;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string id = std::to_string(i + 1);
        inserts += "insert into facturas (fact_id, pref_pre, fact_numero, fact_fecha, ptvt_id, "
                   "terc_nit) values (" +
                   id + ", 'PPAL', " + id + ", '" + today + "', 1, '900000001');\n";
        inserts += "insert into facturas_iva values (" + id + ", " + std::to_string(lines[i].rate) +
                   ", " + lines[i].base + ", " + lines[i].vat + ");\n";
    }
    sql.execute(inserts);

    const std::vector<SqlRow> result = sql.query(postingCall(mainPoint(dayText(today, "DMY"))));
    ASSERT_EQ(result.size(), 1u);
    ASSERT_EQ(result[0].at("ERROR"), "0");
    const std::map<std::string, std::string> expected{
        {"110505 D", "1.56"},         {"413524 19.0000 C", "1.00"}, {"240805 19.0000 C", "0.20"},
        {"613524 19.0000 D", "0.80"}, {"143505 19.0000 C", "0.80"}, {"413524 5.0000 C", "0.06"},
        {"613524 5.0000 D", "0.05"},  {"143505 5.0000 C", "0.05"},  {"413524 0.0000 C", "0.30"},
        {"613524 0.0000 D", "0.18"},  {"143505 0.0000 C", "0.18"},
    };
    EXPECT_EQ(voucherLines(sql, *result[0].at("IDC")), expected);
}

struct ProblemCase
{
    const char *name;
    PostingArgs args;
    std::vector<std::string> problems; // "ERRO_CODIGO|ERRO_CADENA" after the heading
};

// Guards against a problem that posts anyway, is not written, is written without the
// heading the error list reaches back to, or is counted wrong in ERROR (the program
// lists ERROR + 1 rows).
TEST(PostingProcedure, ProblemsBecomeErrorRowsAndPostNothing)
{
    CompanyDatabase company;
    const Isql sql = company.sql();
    const std::string day = dayText(demoDays(sql).at(1), "DMY");
    const std::string feria = "Contado Feria D'Artesanos";
    auto with = [&](auto change) {
        PostingArgs args = mainPoint(day);
        change(args);
        return args;
    };
    const std::vector<ProblemCase> cases{
        {"unknown point", with([](PostingArgs &a) { a.point = "99"; }), {"Punto no existe|99"}},
        {"unknown NIT", with([](PostingArgs &a) { a.nit = "123"; }), {"NIT no existe|123"}},
        {"empty NIT", with([](PostingArgs &a) { a.nit = ""; }), {"NIT no existe|"}},
        {"unknown prefix",
         with([](PostingArgs &a) { a.prefix = "Z'Z"; }),
         {"Prefijo no existe|Z'Z"}},
        {"unknown interface",
         with([](PostingArgs &a) { a.interfaceId = "77"; }),
         {"Interfaz no existe|77"}},
        {"credit-sales interface",
         with([](PostingArgs &a) { a.interfaceId = "5"; }),
         {"Interfaz no tipo 31|Crédito Almacén Principal"}},
        {"interface without accounts",
         PostingArgs{day, "222222222222", "FER", "4", "4"},
         {"Falta cuenta de caja|" + feria, "Falta cta. ingresos|" + feria,
          "Falta cuenta de IVA|" + feria, "Falta cta. de costo|" + feria,
          "Falta cta.inventario|" + feria}},
        {"month name in the date",
         with([](PostingArgs &a) { a.day = "10 dic 2026"; }),
         {"Fecha ilegible DMY|10 dic 2026"}},
        {"several at once",
         with([](PostingArgs &a) {
             a.point = "99";
             a.nit = "123";
         }),
         {"Punto no existe|99", "NIT no existe|123"}},
    };
    // One session: each posting call, then the program's error list for it.
    std::vector<std::string> statements;
    for (const ProblemCase &c : cases) {
        statements.push_back(postingCall(c.args));
        statements.push_back(errorListQuery(static_cast<int>(c.problems.size())));
    }
    statements.push_back("select (select count(*) from comprobantes) as vouchers, "
                         "(select count(*) from facturas where comp_id is not null) as marked "
                         "from rdb$database");
    const std::vector<std::vector<SqlRow>> results = sql.queries(statements);
    ASSERT_EQ(results.size(), statements.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const ProblemCase &c = cases[i];
        SCOPED_TRACE(c.name);
        const std::vector<SqlRow> &result = results[2 * i];
        ASSERT_EQ(result.size(), 1u);
        EXPECT_EQ(result[0].at("VER"), "N");
        EXPECT_EQ(result[0].at("IDC"), "0");
        EXPECT_EQ(result[0].at("ERROR"), std::to_string(c.problems.size()));
        std::vector<std::string> shown{"Ventas de contado|" + c.args.day};
        shown.insert(shown.end(), c.problems.begin(), c.problems.end());
        EXPECT_EQ(errorListRows(results[2 * i + 1]), shown);
    }
    EXPECT_EQ(results.back(), (std::vector<SqlRow>{{{"VOUCHERS", "0"}, {"MARKED", "0"}}}));
}

// Guards against posting a day whose cost of sales cannot be valued: a VAT rate without
// a factor for the day, or with two different ones, is an error row; a rate whose
// validity period covers the day counts once it is fixed. Guards against counting the
// rate's rows rather than its factors: two overlapping periods that give a rate the same
// factor are no problem, neither in the list of problems nor in the posting.
TEST(PostingProcedure, TheDaysRatesMustGiveOneFactorPerVatRate)
{
    CompanyDatabase company;
    const Isql sql = company.sql();
    const std::string iso = demoDays(sql).at(1);
    const PostingArgs args = mainPoint(dayText(iso, "DMY"));
    const std::string heading = "Ventas de contado|" + args.day;

    sql.execute("delete from ajuste_cierre where ajci_porc = 5 and ajci_fecini = '" + iso +
                "';\n"
                "insert into ajuste_cierre values (0, '" +
                iso + "', '" + iso +
                "', 19, 0.7);\n"
                "insert into ajuste_cierre values (0, dateadd(-1 day to date '" +
                iso + "'), dateadd(1 day to date '" + iso + "'), 0, 0.6)");
    const std::vector<SqlRow> refused = sql.query(postingCall(args));
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].at("ERROR"), "2");
    EXPECT_EQ(errorList(sql, 2), (std::vector<std::string>{heading, "Falta tarifa ajuste|5%",
                                                           "Tarifa ajuste doble|19%"}));
    EXPECT_EQ(sql.value("select count(*) from comprobantes"), "0");

    sql.execute("delete from ajuste_cierre where ajci_porc = 19 and ajci_factor = 0.7;\n"
                "insert into ajuste_cierre values (0, dateadd(-3 day to date '" +
                iso + "'), dateadd(3 day to date '" + iso + "'), 5, 0.75)");
    const std::vector<SqlRow> posted = sql.query(postingCall(args));
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].at("VER"), "S");
    EXPECT_EQ(posted[0].at("ERROR"), "0");
    EXPECT_EQ(sql.value("select count(*) from comprobantes_det where cmde_porc = 5"), "4")
        << "revenue, VAT, cost and inventory lines of the 5% sales";
    EXPECT_EQ(sql.value("select count(*) from comprobantes_det where cmde_porc = 0"), "3")
        << "revenue, cost and inventory lines of the exempt sales, on two rows of one factor";
}

// Guards against rows the rates panel inserts with AJCI_ID 0 colliding or keeping 0.
TEST(PostingProcedure, RatesInsertedWithIdZeroGetTheirOwnKeys)
{
    CompanyDatabase company({.invoices = 0, .days = 1});
    const Isql sql = company.sql();
    sql.execute("insert into ajuste_cierre values (0, current_date, current_date, 0, 0.8);\n"
                "insert into ajuste_cierre values (0, current_date, current_date, 19, 0.8)");
    EXPECT_EQ(sql.query("select count(*) as total, count(distinct ajci_id) as keys, "
                        "min(ajci_id) as lowest from ajuste_cierre"),
              (std::vector<SqlRow>{{{"TOTAL", "5"}, {"KEYS", "5"}, {"LOWEST", "1"}}}));
}

// Guards against completing a voucher that does not balance, completing one twice, or
// changing a definitive one; the refusal is a clear Spanish message.
TEST(PostingProcedure, CompletingRefusesWhatIsNotAPendingBalancedVoucher)
{
    CompanyDatabase company;
    const Isql sql = company.sql();
    const std::vector<SqlRow> result =
        sql.query(postingCall(mainPoint(dayText(demoDays(sql).at(0), "DMY"))));
    ASSERT_EQ(result.size(), 1u);
    const std::string voucher = *result[0].at("IDC");
    const std::string total =
        *sql.value("select sum(cmde_debito) from comprobantes_det where comp_id = " + voucher);
    const std::string tilted = cents(units(total, 2) + 1);

    sql.execute("update comprobantes_det set cmde_credito = cmde_credito + 0.01 "
                "where comp_id = " +
                voucher + " and cmde_item = 2");
    EXPECT_THAT(sql.failure("execute procedure contabiliza_pendiente " + voucher),
                HasSubstr("-El comprobante " + voucher + " no cuadra: débitos " + total +
                          ", créditos " + tilted + "\n"));
    EXPECT_EQ(sql.value("select comp_estado from comprobantes"), "P");

    sql.execute("update comprobantes_det set cmde_credito = cmde_credito - 0.01 "
                "where comp_id = " +
                voucher +
                " and cmde_item = 2;\n"
                "execute procedure contabiliza_pendiente " +
                voucher);
    EXPECT_THAT(sql.failure("execute procedure contabiliza_pendiente " + voucher),
                HasSubstr("-El comprobante " + voucher + " no está pendiente\n"));
    EXPECT_THAT(sql.failure("execute procedure contabiliza_pendiente 999"),
                HasSubstr("-El comprobante 999 no existe\n"));
    EXPECT_THAT(
        sql.failure("update comprobantes_det set cmde_debito = 0 where comp_id = " + voucher),
        HasSubstr("-El comprobante " + voucher + " es definitivo y no se puede modificar\n"));
    EXPECT_EQ(sql.value("select comp_numero from comprobantes"), "1");
}

// Guards against a voucher that no run ever completes: while a voucher of the day, point,
// prefix and NIT is pending, the posting hands it back (VER "P") instead of posting anew or
// answering that nothing is left; another point posts as usual; once the voucher is
// completed nothing is left.
TEST(PostingProcedure, AVoucherLeftPendingIsHandedBackUntilCompleted)
{
    CompanyDatabase company;
    const Isql sql = company.sql();
    const std::string day = dayText(demoDays(sql).at(0), "DMY");
    const std::vector<std::vector<SqlRow>> results =
        sql.queries({postingCall(mainPoint(day)), postingCall(mainPoint(day)),
                     postingCall(PostingArgs{day, "222222222222", "K'N", "3", "3"}),
                     "select count(*) as vouchers, "
                     "(select count(*) from facturas where comp_id = 1) as marked "
                     "from comprobantes"});
    const SqlRow posted{{"VER", "S"}, {"IDC", "1"}, {"ERROR", "0"}};
    EXPECT_EQ(results[0], std::vector<SqlRow>{posted});
    EXPECT_EQ(results[1], (std::vector<SqlRow>{{{"VER", "P"}, {"IDC", "1"}, {"ERROR", "0"}}}));
    EXPECT_EQ(results[2], (std::vector<SqlRow>{{{"VER", "S"}, {"IDC", "2"}, {"ERROR", "0"}}}));
    EXPECT_EQ(results[3], (std::vector<SqlRow>{{{"VOUCHERS", "2"}, {"MARKED", "5"}}}));

    sql.execute("execute procedure contabiliza_pendiente 1");
    EXPECT_TRUE(sql.query(postingCall(mainPoint(day))).empty());
}

// Guards against a posting taking up another point's pending voucher: two points that share
// the prefix and the cash customer each get a voucher of their own while the other's is
// pending, and the first one's stays as it was.
TEST(PostingProcedure, APendingVoucherIsHandedBackOnlyToItsOwnPoint)
{
    CompanyDatabase company;
    const Isql sql = company.sql();
    const std::string iso = demoDays(sql).at(0);
    const std::string day = dayText(iso, "DMY");
    // Point 2 rings up some of the day's sales under point 1's prefix and cash customer.
    sql.execute("update facturas set ptvt_id = 2 where ptvt_id = 1 and fact_fecha = '" + iso +
                "' and mod(fact_numero, 2) = 0");
    PostingArgs second = mainPoint(day);
    second.point = "2";
    const std::vector<std::vector<SqlRow>> results = sql.queries(
        {postingCall(mainPoint(day)), postingCall(second),
         "select comp_id, ptvt_id, comp_estado, "
         "(select count(*) from facturas f where f.comp_id = c.comp_id and f.ptvt_id = c.ptvt_id) "
         "as own, (select count(*) from facturas f where f.comp_id = c.comp_id) as marked "
         "from comprobantes c order by comp_id"});
    EXPECT_EQ(results[0], (std::vector<SqlRow>{{{"VER", "S"}, {"IDC", "1"}, {"ERROR", "0"}}}));
    EXPECT_EQ(results[1], (std::vector<SqlRow>{{{"VER", "S"}, {"IDC", "2"}, {"ERROR", "0"}}}));
    EXPECT_EQ(results[2], (std::vector<SqlRow>{{{"COMP_ID", "1"},
                                                {"PTVT_ID", "1"},
                                                {"COMP_ESTADO", "P"},
                                                {"OWN", "3"},
                                                {"MARKED", "3"}},
                                               {{"COMP_ID", "2"},
                                                {"PTVT_ID", "2"},
                                                {"COMP_ESTADO", "P"},
                                                {"OWN", "2"},
                                                {"MARKED", "2"}}}));
}

// Guards against undoing anything but a pending voucher, or leaving its invoices marked:
// an undone voucher goes with its lines and its invoices post again.
TEST(PostingProcedure, UndoingAPendingVoucherFreesItsInvoices)
{
    CompanyDatabase company;
    const Isql sql = company.sql();
    const std::string day = dayText(demoDays(sql).at(0), "DMY");
    const std::string state = "select (select count(*) from comprobantes) as vouchers, "
                              "(select count(*) from comprobantes_det) as lines, "
                              "(select count(*) from facturas where comp_id is not null) "
                              "as marked from rdb$database";
    ASSERT_EQ(sql.query(postingCall(mainPoint(day))).size(), 1u);

    sql.execute("execute procedure descarta_pendiente 1");
    EXPECT_EQ(sql.query(state),
              (std::vector<SqlRow>{{{"VOUCHERS", "0"}, {"LINES", "0"}, {"MARKED", "0"}}}));

    EXPECT_EQ(sql.query(postingCall(mainPoint(day))),
              (std::vector<SqlRow>{{{"VER", "S"}, {"IDC", "2"}, {"ERROR", "0"}}}));
    sql.execute("execute procedure contabiliza_pendiente 2");
    EXPECT_THAT(sql.failure("execute procedure descarta_pendiente 2"),
                HasSubstr("-El comprobante 2 no está pendiente\n"));
    EXPECT_THAT(sql.failure("execute procedure descarta_pendiente 999"),
                HasSubstr("-El comprobante 999 no existe\n"));
    EXPECT_EQ(sql.value("select comp_estado from comprobantes where comp_id = 2"), "D");
}

// Guards against gaps in voucher numbers: a completion or a reversal that is rolled back (a
// client stopped before its commit) gave up its number for good, so the re-run completed
// the voucher as number 2 and number 1 never existed.
TEST(PostingProcedure, VoucherNumbersHaveNoGapsAcrossRolledBackCompletions)
{
    CompanyDatabase company;
    const Isql sql = company.sql();
    const std::string day = demoDays(sql).at(1);
    std::vector<std::string> vouchers;
    const std::string text = dayText(day, "DMY");
    for (const PostingArgs &args :
         {mainPoint(text), PostingArgs{text, "222222222222", "K'N", "3", "3"}}) {
        const std::vector<SqlRow> posted = sql.query(postingCall(args));
        ASSERT_EQ(posted.size(), 1u);
        const std::string voucher = posted[0].at("IDC").value_or("0");
        ASSERT_NE(voucher, "0");
        // Stopped before its commit, then run again.
        sql.execute("execute procedure contabiliza_pendiente " + voucher + "; rollback");
        sql.execute("execute procedure contabiliza_pendiente " + voucher);
        vouchers.push_back(voucher);
    }
    // A reversal stopped before its commit, then run again.
    sql.execute("select * from revierte_contado(" + vouchers[0] + "); rollback");
    EXPECT_EQ(sql.query("select idc, numero, rechazo from revierte_contado(" + vouchers[0] + ")")
                  .at(0)
                  .at("NUMERO"),
              "3");
    std::vector<std::string> numbers;
    for (const SqlRow &row :
         sql.query("select comp_numero from comprobantes where comp_estado = 'D' order by 1"))
        numbers.push_back(row.at("COMP_NUMERO").value_or("null"));
    EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "3"}));
}

} // namespace
} // namespace kalmora::test
