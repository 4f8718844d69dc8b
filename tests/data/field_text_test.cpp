// Field text conversions: what a typed text becomes in each field type, the exact failure
// texts, and how decimals show (exactly, never through floating point).
#include "core/date_format.h"
#include "core/decimal_text.h"
#include "core/errors.h"
#include "data/field.h"

#include <gtest/gtest.h>

using namespace kalmora;
using namespace kalmora::data;

namespace {

class FieldText : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DateSettings settings;
        settings.shortPattern = "dd/mm/yyyy";
        setCurrentDateSettings(settings);
        setCurrentDecimalSeparator('.');
    }
    void TearDown() override { setCurrentDecimalSeparator('.'); }

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
    } catch (const Exception &e) {
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
    EXPECT_EQ(id.textValue("42"), Value{std::int64_t{42}});
    EXPECT_EQ(id.textValue("-7"), Value{std::int64_t{-7}});
    EXPECT_EQ(day.textValue("10/12/2026"), (Value{Date{2026, 12, 10}}));
    EXPECT_EQ(rate.textValue("0.8"), (Value{Decimal{8000, 4}}));
    EXPECT_EQ(rate.textValue("-19"), (Value{Decimal{-190000, 4}}));
    EXPECT_EQ(rate.textValue("1.23456"), (Value{Decimal{12346, 4}}));
    EXPECT_EQ(prefix.textValue("ABCDEF"), Value{std::string("ABCD")});
    EXPECT_TRUE(isNull(rate.textValue("")));
    // However many decimals are typed, they round to the field's four.
    EXPECT_EQ(rate.textValue("0.00005"), (Value{Decimal{1, 4}}));
    EXPECT_EQ(rate.textValue("-0." + std::string(60, '0') + "1"), (Value{Decimal{0, 4}}));
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
    EXPECT_THROW(day.textValue("xx"), EConvertError);
    EXPECT_THROW(rate.textValue("xx"), EConvertError);
}

// The decimal separator is the user's: with a comma, "0,8" reads and 0.8 shows as "0,8".
TEST_F(FieldText, DecimalSeparatorIsTheUsers)
{
    setCurrentDecimalSeparator(',');
    EXPECT_EQ(rate.textValue("0,8"), (Value{Decimal{8000, 4}}));
    EXPECT_EQ(failureOf([&] { rate.textValue("0.8"); }), "0.8 is not a valid BCD value");
    EXPECT_EQ(formatDecimal(Decimal{8000, 4}, 15, ','), "0,8");
    EXPECT_TRUE(rate.acceptsChar(','));
    EXPECT_FALSE(rate.acceptsChar('.'));
}

// General number format: no trailing zeros, at most 15 significant digits, "BCD overflow"
// only when the whole part alone is too long.
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
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatDecimal(c.value, 15, '.').value_or("BCD overflow"), c.expected)
            << c.value.unscaled;
    EXPECT_EQ(formatDecimal(Decimal{1234567890123456789, 2}, 15, '.'), std::nullopt);
}

// Currency amounts assigned to a decimal field are exact with four decimals: 19 is 19.0000
// and 0.8 is 0.8000 (8000 ten-thousandths), whatever scale they were written with.
TEST_F(FieldText, CurrencyIsExactWithFourDecimals)
{
    EXPECT_EQ(rate.assignedValue(Value{Decimal{19, 0}}), (Value{Decimal{190000, 4}}));
    EXPECT_EQ(rate.assignedValue(Value{Decimal{8, 1}}), (Value{Decimal{8000, 4}}));
    EXPECT_EQ(day.assignedValue(Value{Timestamp{Date{2026, 12, 10}, Time{360000000}}}),
              (Value{Date{2026, 12, 10}}));
}
