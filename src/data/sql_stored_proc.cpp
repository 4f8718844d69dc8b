// SPDX-License-Identifier: Apache-2.0
#include "data/sql_stored_proc.h"

#include "core/errors.h"
#include "core/text_compare.h"
#include "data/statement_sender.h"

namespace kalmora::data {

TParam::TParam(std::string name, core::Value value)
    : name_(std::move(name)), value_(std::move(value))
{
}

std::int64_t TParam::asInteger() const
{
    const auto *i = std::get_if<std::int64_t>(&value_);
    return i ? *i : 0;
}

TSQLStoredProc::TSQLStoredProc(std::string name, TSQLConnection &connection,
                               std::string storedProcName)
    : name_(std::move(name)), connection_(connection), storedProcName_(std::move(storedProcName))
{
    connection_.addClient(this);
}

TSQLStoredProc::~TSQLStoredProc()
{
    connection_.removeClient(this);
}

TParam &TSQLStoredProc::paramByName(std::string_view name)
{
    for (TParam &param : params_)
        if (core::sameText(param.name(), name))
            return param;
    throw core::EDatabaseError(name_ + ": Parameter '" + std::string(name) + "' not found");
}

std::int64_t TSQLStoredProc::execProc()
{
    connection_.open();
    if (!declared_)
        declared_ = connection_.procedureParams(storedProcName_);
    std::vector<Param> bound;
    std::size_t position = 0;
    for (const driver::ProcedureParam &declared : *declared_) {
        if (declared.output)
            continue;
        if (position >= params_.size())
            break;
        bound.push_back(Param{declared.desc, params_[position++].value()});
    }
    return callProcedure(connection_, storedProcName_, bound);
}

void TSQLStoredProc::connectionClosing()
{
    // Another database may be connected next: read its declaration again.
    declared_.reset();
}

} // namespace kalmora::data
