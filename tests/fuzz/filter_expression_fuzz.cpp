// SPDX-License-Identifier: Apache-2.0
// Fuzz target: a filter text, read and then applied through a field of each type to rows of
// every kind of value.
#include "core/date_format.h"
#include "core/errors.h"
#include "data/field.h"
#include "data/filter_expression.h"
#include "fuzz_check.h"

#include <limits>
#include <memory>
#include <vector>

using namespace kalmora;
using namespace kalmora::core;
using namespace kalmora::data;
using kalmora::fuzz::check;

namespace {

std::vector<std::unique_ptr<TField>> fieldsOfEachType()
{
    std::vector<std::unique_ptr<TField>> fields;
    fields.push_back(std::make_unique<TStringField>("C", 4));
    fields.push_back(std::make_unique<TSmallintField>("S"));
    fields.push_back(std::make_unique<TIntegerField>("I"));
    fields.push_back(std::make_unique<TLargeintField>("L"));
    fields.push_back(std::make_unique<TDateField>("D"));
    fields.push_back(std::make_unique<TFMTBCDField>("N", 15, 4));
    fields.push_back(std::make_unique<TFloatField>("F"));
    fields.push_back(std::make_unique<TTimeField>("T"));
    fields.push_back(std::make_unique<TSQLTimeStampField>("TS"));
    fields.push_back(std::make_unique<TBlobField>("M", FieldType::Memo));
    return fields;
}

/// One row of each kind of value, extremes included.
std::vector<core::Value> valuesOfEachKind()
{
    using Limits = std::numeric_limits<std::int64_t>;
    return {core::Value{},
            core::Value{std::int64_t{0}},
            core::Value{Limits::min()},
            core::Value{Limits::max()},
            core::Value{Decimal{Limits::min(), 0}},
            core::Value{Decimal{Limits::max(), 4}},
            core::Value{Decimal{1, 18}},
            core::Value{Date{2026, 12, 10}},
            Value{Time{36000000}},
            Value{Timestamp{Date{1, 1, 1}, Time{}}},
            Value{1e300},
            Value{-0.0},
            Value{std::string("PPAL")},
            Value{std::string()}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const auto fields = fieldsOfEachType();
    static const auto values = valuesOfEachKind();
    static const bool settled = [] {
        core::DateSettings settings;
        settings.shortPattern = "dd/mm/yyyy";
        core::setCurrentDateSettings(settings);
        return true;
    }();
    (void)settled;

    FilterCondition condition;
    try {
        condition = parseFilter(kalmora::fuzz::text(data, size));
    } catch (const kalmora::core::EDBClient &) {
        return 0;
    }
    check(!condition.fieldName.empty() && !condition.op.empty(),
          "a filter names a field and an operator");
    for (const auto &field : fields) {
        MemoryTable::RowFilter filter;
        try {
            filter = makeRowFilter(condition, *field, 0);
        } catch (const kalmora::core::EDatabaseError &) {
            continue; // the constant is not a value of this field's type
        } catch (const kalmora::core::EConvertError &) {
            continue;
        }
        for (const Value &value : values) {
            const Value row[] = {value};
            const bool kept = filter(row);
            check(!kept || !isNull(value), "a null never matches");
        }
    }
    return 0;
}
