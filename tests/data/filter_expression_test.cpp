// SPDX-License-Identifier: Apache-2.0
// Filter texts: the comparison of a field with a constant read in the field's own type.
#include "core/date_format.h"
#include "core/errors.h"
#include "data/field.h"
#include "data/filter_expression.h"

#include <gtest/gtest.h>

using namespace kalmora;
using namespace kalmora::core;
using namespace kalmora::data;

namespace {

/// Rows of (PREF_PRE text(4), AJCI_FECINI date, AJCI_PORC decimal).
const std::vector<std::vector<core::Value>> rows{
    {core::Value{std::string("PPAL")}, core::Value{Date{2026, 12, 10}}, Value{Decimal{190000, 4}}},
    {Value{std::string("K'N")}, Value{Date{2026, 10, 12}}, Value{Decimal{50000, 4}}},
    {Value{std::string("")}, Value{}, Value{Decimal{0, 4}}},
};

std::vector<int> matching(const std::string &text, const TField &field, int column)
{
    const MemoryTable::RowFilter filter = makeRowFilter(parseFilter(text), field, column);
    std::vector<int> result;
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (filter(rows[r]))
            result.push_back(int(r));
    return result;
}

} // namespace

// The constant takes the field's type: a date in the short date pattern compared by day, a
// number exactly, a text as written (quotes doubled inside, not cut to the field's size); a
// null never matches.
TEST(FilterExpression, ConstantTakesTheFieldsType)
{
    core::DateSettings settings;
    settings.shortPattern = "dd/mm/yyyy";
    core::setCurrentDateSettings(settings);
    TStringField prefix("PREF_PRE", 4);
    TDateField day("AJCI_FECINI");
    TFMTBCDField rate("AJCI_PORC", 15, 4);
    EXPECT_EQ(matching("AJCI_FECINI = '10/12/2026'", day, 1), std::vector<int>{0});
    EXPECT_EQ(matching("AJCI_FECINI <> '10/12/2026'", day, 1), std::vector<int>{1});
    EXPECT_EQ(matching("AJCI_PORC = 19", rate, 2), std::vector<int>{0});
    EXPECT_EQ(matching("AJCI_PORC >= '5'", rate, 2), (std::vector<int>{0, 1}));
    EXPECT_EQ(matching("PREF_PRE = 'K''N'", prefix, 0), std::vector<int>{1});
    EXPECT_EQ(matching("PREF_PRE = 'PPALX'", prefix, 0), std::vector<int>{});
    EXPECT_EQ(matching("PREF_PRE = ''", prefix, 0), std::vector<int>{2});
}

// A text that is not a comparison is refused by the engine; a date that cannot be read
// fails as the date field's conversion does.
TEST(FilterExpression, Failures)
{
    for (const char *text : {"AJCI_FECINI", "= '1'", "AJCI_FECINI = '1", "A = 1 B"})
        EXPECT_THROW(parseFilter(text), core::EDBClient) << text;
    TDateField day("AJCI_FECINI");
    try {
        makeRowFilter(parseFilter("AJCI_FECINI = '31/31/2026'"), day, 0);
        FAIL() << "no failure";
    } catch (const core::EConvertError &e) {
        EXPECT_STREQ(e.what(), "'31/31/2026' is not a valid date");
    }
}
