// SPDX-License-Identifier: Apache-2.0
#pragma once
// The stored-procedure component (`Scontapend`): handlers set its parameters by name and
// execute it; nothing is read back.

#include "data/sql_connection.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalmora::data {

/// An input parameter of the component, as designed: its name and value. It is sent with
/// the type the procedure declares for its position.
class TParam
{
public:
    TParam(std::string name, core::Value value);
    const std::string &name() const { return name_; }
    const core::Value &value() const { return value_; }
    void setValue(core::Value value) { value_ = std::move(value); }
    void setAsInteger(std::int64_t value) { value_ = core::Value{value}; }
    std::int64_t asInteger() const;

private:
    std::string name_;
    core::Value value_;
};

class TSQLStoredProc : public ConnectionClient
{
public:
    TSQLStoredProc(std::string name, TSQLConnection &connection, std::string storedProcName);
    ~TSQLStoredProc() override;
    TSQLStoredProc(const TSQLStoredProc &) = delete;
    TSQLStoredProc &operator=(const TSQLStoredProc &) = delete;

    const std::string &name() const { return name_; }

    std::vector<TParam> &params() { return params_; }
    /// Compared without regard to case; fails with "<name>: Parameter '%s' not found".
    TParam &paramByName(std::string_view name);

    /// Connects on demand, reads the procedure's declared parameters once, binds the
    /// component's parameters to them by position with the declared types, executes the
    /// call and returns the rows affected.
    std::int64_t execProc();

    void connectionClosing() override;

private:
    std::string name_;
    TSQLConnection &connection_;
    std::string storedProcName_;
    std::vector<TParam> params_;
    std::optional<std::vector<driver::ProcedureParam>> declared_;
};

} // namespace kalmora::data
