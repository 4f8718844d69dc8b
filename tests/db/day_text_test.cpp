// SPDX-License-Identifier: Apache-2.0
// The posting procedure receives the day as the workstation writes it and reads it in
// the order configured in the company, never by guessing.

#include "db/posting_call.h"
#include "support/company_database.h"

#include <gtest/gtest.h>

namespace kalmora::test {
namespace {

struct OrderCase
{
    const char *order;
    std::string (*write)(const std::string &iso);   // the day as that workstation writes it
    std::string (*misread)(const std::string &iso); // the same day in another order
};

std::string noLeadingZero(const std::string &field)
{
    return field[0] == '0' ? field.substr(1) : field;
}

// Guards against reading the day text in a fixed order (Firebird's own reading is month
// first) or posting another day than the one the user chose.
TEST(DayText, IsReadInTheOrderTheCompanyConfigures)
{
    const std::vector<OrderCase> cases{
        {"DMY", [](const std::string &d) { return dayText(d, "DMY"); },
         [](const std::string &d) { return dayText(d, "MDY"); }},
        {"DMY", // d.m.yy
         [](const std::string &d) {
             return noLeadingZero(d.substr(8, 2)) + "." + noLeadingZero(d.substr(5, 2)) + "." +
                    d.substr(2, 2);
         },
         [](const std::string &d) { return dayText(d, "YMD"); }},
        {"MDY", // m/d/yy
         [](const std::string &d) {
             return noLeadingZero(d.substr(5, 2)) + "/" + noLeadingZero(d.substr(8, 2)) + "/" +
                    d.substr(2, 2);
         },
         [](const std::string &d) { return dayText(d, "DMY"); }},
        {"YMD", [](const std::string &d) { return dayText(d, "YMD"); },
         [](const std::string &d) { return dayText(d, "MDY"); }},
    };
    for (const OrderCase &c : cases) {
        CompanyDatabase company({.invoices = 3, .dateOrder = c.order});
        const Isql sql = company.sql();
        const std::string iso = demoDays(sql).at(1);
        SCOPED_TRACE(std::string(c.order) + " " + c.write(iso));

        // The day written in another order is some other day, or no day at all: it
        // must not post the chosen day. Then the day as written posts it.
        const std::string posted = "select c.comp_fecha, count(*) as marked from comprobantes c "
                                   "join facturas f on f.comp_id = c.comp_id and f.fact_fecha = '" +
                                   iso + "' group by 1";
        // (On a day whose day and month are equal both writings are the same day.)
        const std::string other = c.misread(iso) != c.write(iso) ? c.misread(iso) : "";
        const std::vector<std::vector<SqlRow>> results = sql.queries(
            {postingCall(mainPoint(other)), posted, postingCall(mainPoint(c.write(iso))), posted});
        ASSERT_EQ(results.size(), 4u);
        EXPECT_EQ(results[1], std::vector<SqlRow>{}) << other;
        ASSERT_EQ(results[2].size(), 1u);
        EXPECT_EQ(results[2][0].at("ERROR"), "0");
        EXPECT_EQ(results[3], (std::vector<SqlRow>{{{"COMP_FECHA", iso}, {"MARKED", "3"}}}));
    }
}

// Guards against a lenient reading that turns a wrong text into some day: only three
// numeric fields in the configured order make a date; everything else is no date.
TEST(DayText, ReadsOnlyThreeNumericFieldsThatMakeARealDay)
{
    CompanyDatabase company({.invoices = 0, .days = 1});
    const struct
    {
        const char *text;
        const char *order;
        const char *day; // null: unreadable
    } cases[] = {
        {"15/01/2026", "DMY", "2026-01-15"}, {"01/15/2026", "MDY", "2026-01-15"},
        {"2026-01-15", "YMD", "2026-01-15"}, {" 5-1-26 ", "DMY", "2026-01-05"},
        {"5.1.26", "MDY", "2026-05-01"},     {"29/02/2024", "DMY", "2024-02-29"},
        {"31/12/1999", "DMY", "1999-12-31"}, {"15/01/2026", "MDY", nullptr},  // month 15
        {"31/12/9999", "DMY", "9999-12-31"}, {"32/12/9999", "DMY", nullptr},  // the range's end
        {"01/01/0001", "DMY", "0001-01-01"}, {"29/02/2025", "DMY", nullptr},  // not a leap year
        {"31/04/2026", "DMY", nullptr},                                       // April has 30 days
        {"00/01/2026", "DMY", nullptr},      {"15 ene 2026", "DMY", nullptr}, // month name
        {"ene 15 2026", "MDY", nullptr},     {"15/01", "DMY", nullptr},
        {"15/01/2026/1", "DMY", nullptr},    {"15/01/2026 10:30", "DMY", nullptr},
        {"15/01/026", "DMY", nullptr}, // a three-digit year
        {"115/01/2026", "DMY", nullptr},     {"", "DMY", nullptr},
        {"15/01/2026", "XYZ", nullptr},
    };
    std::string select;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        if (i > 0)
            select += " union all ";
        select += "select " + std::to_string(i) + " as n, fecha_corta(" +
                  sqlLiteral(cases[i].text) + ", " + sqlLiteral(cases[i].order) +
                  ") as dia from rdb$database";
    }
    const std::vector<SqlRow> rows = company.sql().query(select + " order by 1");
    ASSERT_EQ(rows.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(std::string(cases[i].order) + " '" + cases[i].text + "'");
        const std::optional<std::string> expected =
            cases[i].day ? std::optional<std::string>(cases[i].day) : std::nullopt;
        EXPECT_EQ(rows[i].at("DIA"), expected);
    }
}

} // namespace
} // namespace kalmora::test
