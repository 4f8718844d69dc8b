// SPDX-License-Identifier: Apache-2.0
// The date picker's display follows the short date pattern language.
#include "widgets/date_picker.h"

#include <gtest/gtest.h>

namespace {

using kalmora::widgets::DatePicker;

// Guards against a pattern field read wrongly (case, run length, era letters), quoted text
// taken for fields, or the separator ignored.
TEST(DatePicker, ShowsTheDayInTheShortDatePattern)
{
    struct Case
    {
        const char *pattern;
        char separator;
        const char *shown;
    };
    const Case cases[] = {
        {"m/d/yy", '/', "1/20/03"},        {"dd/mm/yyyy", '.', "20.01.2003"},
        {"yyyy-MM-DD", '/', "2003-01-20"}, {"'Day' d/m", '/', "Day 20/1"},
        {"\"h\"yy y", '/', "h03 03"},      {"ggyyyy/mm/dd", '/', "2003/01/20"},
        {"d/m/yyy", '-', "20-1-2003"},
    };
    DatePicker picker(nullptr);
    picker.setDate(QDate(2003, 1, 20));
    for (const Case &test : cases) {
        picker.setDisplayFormat(DatePicker::displayFormatFor(test.pattern, test.separator));
        EXPECT_EQ(picker.text().toStdString(), test.shown) << test.pattern;
    }
}

} // namespace
