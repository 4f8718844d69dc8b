// SPDX-License-Identifier: Apache-2.0
// Fuzz target: text typed into fields of each type, the text they show of a day and a time,
// and the exact decimals under them. Input: a byte choosing the decimal separator, one the
// date pattern, one the sizes of the fields and a scale, two the year, one the month, one
// the day, two the time of day; then the text, and after a NUL a second number to compare
// with.
#include "core/date_format.h"
#include "core/decimal_text.h"
#include "core/errors.h"
#include "data/field.h"
#include "fuzz_check.h"

#include <climits>
#include <memory>
#include <string>
#include <vector>

using namespace kalmora;
using namespace kalmora::core;
using namespace kalmora::data;
using kalmora::fuzz::check;

namespace {

/// A field with its text of a value in reach.
template <class Field> class Shown : public Field
{
public:
    using Field::Field;
    std::string shown(const Value &value) const { return this->textOf(value); }
};

/// The value `text` stands for in `field`, or nullopt when the field refuses it as the user
/// would see it refused (a conversion failure); anything else thrown escapes.
template <class Field>
std::optional<core::Value> typedInto(const Field &field, std::string_view text)
{
    try {
        return field.textValue(text);
    } catch (const kalmora::core::EDatabaseError &) {
    } catch (const kalmora::core::EConvertError &) {
    }
    return std::nullopt;
}

/// What a field shows of a value it read, it reads again as the same value.
template <class Field> void readsBackWhatItShows(const Field &field, std::string_view text)
{
    const auto value = typedInto(field, text);
    if (!value || isNull(*value))
        return;
    const std::string shown = field.shown(*value);
    const auto again = typedInto(field, shown);
    check(again && *again == *value, "a field reads back the text it shows");
}

/// What a field shows of a value, it reads back as that value.
template <class Field> void showsAndReadsBack(const Field &field, const Value &value)
{
    const auto again = typedInto(field, field.shown(value));
    check(again && *again == value, "a field reads back the text it shows");
}

template <class Field> void refusesOrReads(const Field &field, std::string_view text)
{
    if (const auto value = typedInto(field, text); value && !isNull(*value))
        field.shown(*value);
}

void decimals(std::string_view text, std::string_view other, char separator, int scale)
{
    const auto number = core::parseDecimal(text, separator);
    if (!number)
        return;
    const auto exact = core::formatDecimal(*number, INT_MAX, separator);
    check(exact.has_value(), "every decimal can be written in full");
    const auto back = core::parseDecimal(*exact, separator);
    check(back && core::compareDecimals(*back, *number) == 0,
          "a decimal written in full reads back");
    check(core::formatDecimal(*number, 1 + scale % 20, separator).has_value() ||
              number->unscaled != 0,
          "zero fits any precision");

    if (const auto rescaledNumber = core::rescaled(*number, scale)) {
        check(rescaledNumber->scale == scale, "a rescaled decimal has the scale asked for");
        if (scale >= number->scale)
            check(core::compareDecimals(*rescaledNumber, *number) == 0,
                  "adding decimals keeps the value");
    }
    if (const auto second = core::parseDecimal(other, separator))
        check(core::compareDecimals(*number, *second) == -core::compareDecimals(*second, *number),
              "comparing two decimals either way gives opposite answers");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view input = kalmora::fuzz::text(data, size);
    const unsigned char separatorChoice = kalmora::fuzz::takeByte(input);
    const unsigned char patternChoice = kalmora::fuzz::takeByte(input);
    const unsigned char shape = kalmora::fuzz::takeByte(input);
    const int year =
        1 + (kalmora::fuzz::takeByte(input) * 256 + kalmora::fuzz::takeByte(input)) % 9999;
    const int month = 1 + kalmora::fuzz::takeByte(input) % 12;
    const int day = 1 + kalmora::fuzz::takeByte(input) % 28;
    const std::uint32_t seconds =
        (kalmora::fuzz::takeByte(input) * 256u + kalmora::fuzz::takeByte(input)) * 2u % 86400u;
    const std::string_view text = kalmora::fuzz::takePart(input);
    const std::string_view other = input;

    const char separators[] = {'.', ',', '\''};
    const char separator = separators[separatorChoice % 3];
    core::setCurrentDecimalSeparator(separator);
    const char *patterns[] = {"dd/mm/yyyy", "m/d/yyyy",      "yyyy-mm-dd",
                              "d mmm yyyy", "yyyy. mm. dd.", "dddd, mmmm d, yyyy"};
    core::DateSettings settings = currentDateSettings();
    settings.shortPattern = patterns[patternChoice % std::size(patterns)];
    settings.separator = settings.shortPattern.find('/') != std::string::npos ? '/' : '-';
    core::setCurrentDateSettings(settings);

    const int scale = shape % 64;
    decimals(text, other, separator, scale);

    const Date date{year, month, day};
    showsAndReadsBack(Shown<TDateField>("D"), core::Value{date});
    showsAndReadsBack(Shown<TTimeField>("T"), core::Value{Time{seconds * 10000}});
    showsAndReadsBack(Shown<TSQLTimeStampField>("TS"), core::Value{Timestamp{date, Time{}}});
    showsAndReadsBack(Shown<TSQLTimeStampField>("TS"),
                      core::Value{Timestamp{date, Time{seconds * 10000}}});

    readsBackWhatItShows(Shown<TIntegerField>("I"), text);
    readsBackWhatItShows(Shown<TSmallintField>("S"), text);
    readsBackWhatItShows(Shown<TLargeintField>("L"), text);
    readsBackWhatItShows(Shown<TDateField>("D"), text);
    readsBackWhatItShows(Shown<TTimeField>("T"), text);
    readsBackWhatItShows(Shown<TSQLTimeStampField>("TS"), text);
    readsBackWhatItShows(Shown<TStringField>("C", 1 + shape % 40), text);
    refusesOrReads(Shown<TFMTBCDField>("N", 1 + shape % 19, shape % 8), text);
    refusesOrReads(Shown<TFloatField>("F"), text);
    refusesOrReads(Shown<TBlobField>("B"), text);
    return 0;
}
