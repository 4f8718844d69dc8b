// SPDX-License-Identifier: Apache-2.0
#include "driver/fb_metadata.h"

#include "driver/fb_command.h"
#include "driver/fb_types.h"

#include <firebird/Interface.h>

namespace kalmora::driver {

namespace {

std::string trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::int64_t integerAt(DriverCursor &cursor, std::size_t index)
{
    const core::Value &v = cursor.value(index);
    const auto *i = std::get_if<std::int64_t>(&v);
    return i ? *i : 0;
}

core::ColumnDesc describeStored(std::string name, std::int64_t fieldType, std::int64_t subType,
                                std::int64_t length, std::int64_t precision, std::int64_t scale,
                                std::int64_t charLength, bool required)
{
    core::ColumnDesc desc;
    desc.name = std::move(name);
    desc.required = required;
    desc.width = static_cast<int>(length);
    const unsigned sqlType = sqlTypeOfStored(fieldType);
    // A type the driver does not read is described as text.
    desc.type = columnTypeOf(sqlType, static_cast<int>(subType), scale < 0)
                    .value_or(core::ColumnType::String);
    if (sqlType == SQL_TEXT || sqlType == SQL_VARYING)
        desc.width = static_cast<int>(charLength > 0 ? charLength : length);
    if (desc.type == core::ColumnType::Decimal) {
        desc.precision = precision > 0 ? static_cast<int>(precision) : 18;
        desc.scale = static_cast<int>(-scale);
    }
    return desc;
}

} // namespace

std::vector<ProcedureParam> readProcedureParams(FbSession &session, const std::string &name)
{
    FbCommand command(session.shared_from_this());
    command.prepare("select p.rdb$parameter_name, p.rdb$parameter_type, f.rdb$field_type,"
                    " f.rdb$field_sub_type, f.rdb$field_length, f.rdb$field_precision,"
                    " f.rdb$field_scale, f.rdb$character_length,"
                    " coalesce(p.rdb$null_flag, f.rdb$null_flag, 0)"
                    " from rdb$procedure_parameters p"
                    " join rdb$fields f on f.rdb$field_name = p.rdb$field_source"
                    " where p.rdb$procedure_name = ? and p.rdb$package_name is null"
                    " order by p.rdb$parameter_type, p.rdb$parameter_number");
    command.setParameter(0, parameterTypeOf(core::Value(name)), core::Value(name));
    std::vector<ProcedureParam> params;
    std::unique_ptr<DriverCursor> cursor = command.execute();
    while (cursor->next()) {
        ProcedureParam param;
        param.output = integerAt(*cursor, 1) != 0;
        const core::Value &paramName = cursor->value(0);
        param.desc = describeStored(
            trimmed(isNull(paramName) ? std::string() : std::get<std::string>(paramName)),
            integerAt(*cursor, 2), integerAt(*cursor, 3), integerAt(*cursor, 4),
            integerAt(*cursor, 5), integerAt(*cursor, 6), integerAt(*cursor, 7),
            integerAt(*cursor, 8) != 0);
        params.push_back(std::move(param));
    }
    return params;
}

std::string FbMetaData::quotedName(const std::string &name) const
{
    return quoteName(name);
}

const std::vector<ProcedureParam> &FbMetaData::procedureParams(const std::string &name)
{
    return session_->procedureParams(name);
}

} // namespace kalmora::driver
