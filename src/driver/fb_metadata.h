// SPDX-License-Identifier: Apache-2.0
#pragma once
// What a Firebird connection tells about names, transactions and procedures.

#include "driver/driver.h"
#include "driver/fb_session.h"

#include <memory>
#include <string>
#include <vector>

namespace kalmora::driver {

/// The declared parameters of procedure `name` (as stored): inputs in their order, then
/// outputs in theirs. Read from the system tables; empty for an unknown procedure.
std::vector<ProcedureParam> readProcedureParams(FbSession &session, const std::string &name);

class FbMetaData final : public DriverMetaData
{
public:
    explicit FbMetaData(std::shared_ptr<FbSession> session) : session_(std::move(session)) {}

    std::string quoteChar() const override { return "\""; }
    std::string quotedName(const std::string &name) const override;
    bool supportsTransactions() const override { return true; }
    const std::vector<ProcedureParam> &procedureParams(const std::string &name) override;

private:
    std::shared_ptr<FbSession> session_;
};

} // namespace kalmora::driver
