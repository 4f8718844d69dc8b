// SPDX-License-Identifier: Apache-2.0
// Field text conversions: what a typed text becomes in each field type, the exact failure
// texts, and how decimals show (exactly, never through floating point).
#include "core/date_format.h"
#include "core/decimal_text.h"
#include "core/errors.h"
#include "data/field.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>

using namespace kalmora;
using namespace kalmora::core;
using namespace kalmora::data;

namespace {

class FieldText : public ::testing::Test
{
protected:
    void SetUp() override
    {
        core::DateSettings settings;
        settings.shortPattern = "dd/mm/yyyy";
        core::setCurrentDateSettings(settings);
        core::setCurrentDecimalSeparator('.');
    }
    void TearDown() override { core::setCurrentDecimalSeparator('.'); }

    TIntegerField id{"AJCI_ID"};
    TSmallintField small{"SMALL"};
    TDateField day{"AJCI_FECINI"};
    TFMTBCDField rate{"AJCI_PORC", 15, 4};
    TStringField prefix{"PREF_PRE", 4};
};

std::string failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const core::Exception &e) {
        return e.message();
    }
    return "no failure";
}

} // namespace

// Typed text that reads: into the field's own kind of value; decimals are stored with the
// field's four decimals; a string is cut to its size; the empty text is null.
TEST_F(FieldText, TextsThatRead)
{
    day.setDisplayLabel("F.Desde");
    EXPECT_EQ(id.textValue("42"), core::Value{std::int64_t{42}});
    EXPECT_EQ(id.textValue("-7"), core::Value{std::int64_t{-7}});
    EXPECT_EQ(day.textValue("10/12/2026"), (core::Value{Date{2026, 12, 10}}));
    EXPECT_EQ(rate.textValue("0.8"), (core::Value{Decimal{8000, 4}}));
    EXPECT_EQ(rate.textValue("-19"), (core::Value{Decimal{-190000, 4}}));
    EXPECT_EQ(rate.textValue("1.23456"), (core::Value{Decimal{12346, 4}}));
    EXPECT_EQ(prefix.textValue("ABCDEF"), core::Value{std::string("ABCD")});
    EXPECT_TRUE(isNull(rate.textValue("")));
    // However many decimals are typed, they round to the field's four.
    EXPECT_EQ(rate.textValue("0.00005"), (core::Value{Decimal{1, 4}}));
    EXPECT_EQ(rate.textValue("-0." + std::string(60, '0') + "1"), (core::Value{Decimal{0, 4}}));
}

// Every stated failure text, with the field's display name where it names one.
TEST_F(FieldText, FailureTexts)
{
    day.setDisplayLabel("F.Desde");
    rate.setDisplayLabel("Porc");
    const struct
    {
        std::function<void()> action;
        const char *expected;
    } cases[] = {
        {[&] { id.textValue("12a"); }, "'12a' is not a valid integer value for field 'AJCI_ID'"},
        {[&] { id.textValue("99999999999"); },
         "99999999999 is not a valid value for field 'AJCI_ID'. The allowed range is -2147483648 "
         "to 2147483647"},
        {[&] { small.textValue("40000"); },
         "40000 is not a valid value for field 'SMALL'. The allowed range is -32768 to 32767"},
        {[&] { day.textValue("31/02/2026"); }, "'31/02/2026' is not a valid date"},
        {[&] { day.textValue("mañana"); }, "'mañana' is not a valid date"},
        {[&] { rate.textValue("1,5"); }, "1,5 is not a valid BCD value"},
        {[&] { rate.textValue("abc"); }, "abc is not a valid BCD value"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(failureOf(c.action), c.expected);
}

// The date failure is a conversion error; the BCD one too.
TEST_F(FieldText, ConversionFailuresAreConvertErrors)
{
    EXPECT_THROW(day.textValue("xx"), core::EConvertError);
    EXPECT_THROW(rate.textValue("xx"), core::EConvertError);
}

// The decimal separator is the user's: with a comma, "0,8" reads and 0.8 shows as "0,8".
TEST_F(FieldText, DecimalSeparatorIsTheUsers)
{
    core::setCurrentDecimalSeparator(',');
    EXPECT_EQ(rate.textValue("0,8"), (core::Value{Decimal{8000, 4}}));
    EXPECT_EQ(failureOf([&] { rate.textValue("0.8"); }), "0.8 is not a valid BCD value");
    EXPECT_EQ(core::formatDecimal(Decimal{8000, 4}, 15, ','), "0,8");
    EXPECT_TRUE(rate.acceptsChar(','));
    EXPECT_FALSE(rate.acceptsChar('.'));
}

// General number format: no trailing zeros, at most 15 significant digits (an exact half
// of the last one rounded away from zero), "BCD overflow" only when the whole part alone is
// too long.
TEST(DecimalText, GeneralFormat)
{
    const struct
    {
        Decimal value;
        const char *expected;
    } cases[] = {
        {{8000, 4}, "0.8"},
        {{190000, 4}, "19"},
        {{0, 4}, "0"},
        {{-5, 4}, "-0.0005"},
        {{1234567890123456789, 4}, "123456789012346"},
        {{123456789012345678, 4}, "12345678901234.6"},
        {{1234567890123455, 1}, "123456789012346"},
        {{-1234567890123455, 1}, "-123456789012346"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(core::formatDecimal(c.value, 15, '.').value_or("BCD overflow"), c.expected)
            << c.value.unscaled;
    EXPECT_EQ(core::formatDecimal(Decimal{1234567890123456789, 2}, 15, '.'), std::nullopt);
}

// Currency amounts assigned to a decimal field are exact with four decimals: 19 is 19.0000
// and 0.8 is 0.8000 (8000 ten-thousandths), whatever scale they were written with.
TEST_F(FieldText, CurrencyIsExactWithFourDecimals)
{
    EXPECT_EQ(rate.assignedValue(core::Value{Decimal{19, 0}}), (core::Value{Decimal{190000, 4}}));
    EXPECT_EQ(rate.assignedValue(core::Value{Decimal{8, 1}}), (core::Value{Decimal{8000, 4}}));
    EXPECT_EQ(day.assignedValue(core::Value{Timestamp{Date{2026, 12, 10}, Time{360000000}}}),
              (core::Value{Date{2026, 12, 10}}));
}

// Guards: decimals whose scales lie far apart (a filter constant typed with forty decimals
// against a whole number) compare by value, and rescaling never overflows on the way: the
// products of powers of ten once passed even the 128-bit intermediate, and the answers were
// whatever the overflow left. Guards against an exact half dropped by rescaling rounding
// down or toward zero instead of away from zero.
TEST(DecimalText, ScalesFarApartCompareAndRescaleExactly)
{
    const auto tiny = [](std::int64_t unscaled) { return Decimal{unscaled, 40}; };
    const struct
    {
        Decimal a;
        Decimal b;
        int order;
    } comparisons[] = {
        {{1, 0}, tiny(1), 1},
        {{-1, 0}, tiny(1), -1},
        {{0, 0}, tiny(1), -1},
        {{0, 0}, tiny(-1), 1},
        {{0, 0}, tiny(0), 0},
        {{std::numeric_limits<std::int64_t>::min(), 0}, tiny(-5), -1},
        {{std::numeric_limits<std::int64_t>::max(), 19}, {1, 0}, -1},
        {{std::numeric_limits<std::int64_t>::max(), 0}, {1, 20}, 1},
        {{std::numeric_limits<std::int64_t>::min(), 60}, {-1, 0}, 1},
        {{10, 1}, {1, 0}, 0},
    };
    for (const auto &c : comparisons) {
        SCOPED_TRACE(std::to_string(c.a.unscaled) + "e-" + std::to_string(c.a.scale) + " vs " +
                     std::to_string(c.b.unscaled) + "e-" + std::to_string(c.b.scale));
        EXPECT_EQ(core::compareDecimals(c.a, c.b), c.order);
        EXPECT_EQ(core::compareDecimals(c.b, c.a), -c.order);
    }

    const struct
    {
        Decimal value;
        int scale;
        std::optional<Decimal> expected;
    } rescales[] = {
        {{1, 0}, 18, Decimal{1000000000000000000, 18}},
        {{9, 0}, 18, Decimal{9000000000000000000, 18}},
        {{10, 0}, 18, std::nullopt},
        {{1, 0}, 20, std::nullopt},
        {{-1, 0}, 45, std::nullopt},
        {{std::numeric_limits<std::int64_t>::max(), 0}, 60, std::nullopt},
        {{0, 0}, 60, Decimal{0, 60}},
        {tiny(5), 0, Decimal{0, 0}},
        // An exact half of the last kept digit goes away from zero, whatever its sign.
        {{5, 5}, 4, Decimal{1, 4}},
        {{-5, 5}, 4, Decimal{-1, 4}},
        {{-500, 7}, 4, Decimal{-1, 4}},
        {{-25, 1}, 0, Decimal{-3, 0}},
        {{-499, 7}, 4, Decimal{0, 4}},
    };
    for (const auto &c : rescales) {
        SCOPED_TRACE(std::to_string(c.value.unscaled) + " to scale " + std::to_string(c.scale));
        EXPECT_EQ(rescaled(c.value, c.scale), c.expected);
    }
}

// Guards: a date and time field reads back the text it shows when the short date has blanks
// of its own ("2026. 12. 10." in Hungarian, "10 Dec 2026"): the text was cut at its first
// blank, so such a field refused every value typed or shown.
TEST_F(FieldText, DateAndTimeReadWithBlanksInTheShortDate)
{
    TSQLTimeStampField stamp("FACT_FECHA");
    const Timestamp morning{Date{2026, 12, 10}, Time{(10 * 3600 + 30 * 60) * 10000}};
    const Timestamp midnight{Date{2026, 12, 10}, Time{}};
    const struct
    {
        const char *pattern;
        const char *text;
        std::optional<Timestamp> expected;
    } cases[] = {
        {"yyyy. mm. dd.", "2026. 12. 10. 10:30:00", morning},
        {"yyyy. mm. dd.", "2026. 12. 10.", midnight},
        {"d mm yyyy", "10 12 2026 10:30", morning},
        {"d mm yyyy", "10 12 2026", midnight},
        {"dd/mm/yyyy", "10/12/2026 10:30:00", morning},
        {"dd/mm/yyyy", "10/12/2026", midnight},
        {"dd/mm/yyyy", "10/12/2026 25:00", std::nullopt},
        {"d mm yyyy", "10 12 10:30", std::nullopt},
        {"dd/mm/yyyy", "10:30", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " | " + c.text);
        core::DateSettings settings;
        settings.shortPattern = c.pattern;
        core::setCurrentDateSettings(settings);
        if (c.expected)
            EXPECT_EQ(stamp.textValue(c.text), core::Value{*c.expected});
        else
            EXPECT_EQ(failureOf([&] { stamp.textValue(c.text); }),
                      "'" + std::string(c.text) + "' is not a valid date and time");
    }
}
