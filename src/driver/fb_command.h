// SPDX-License-Identifier: Apache-2.0
#pragma once
// One statement on a Firebird connection.

#include "driver/driver.h"
#include "driver/fb_handles.h"
#include "driver/fb_message.h"
#include "driver/fb_session.h"

#include <memory>
#include <optional>
#include <vector>

namespace kalmora::driver {

class FbCommand final : public DriverCommand, private FbDependent
{
public:
    explicit FbCommand(std::shared_ptr<FbSession> session);
    ~FbCommand() override;
    FbCommand(const FbCommand &) = delete;
    FbCommand &operator=(const FbCommand &) = delete;

    void prepare(const std::string &text) override;
    void prepareProcedure(const std::string &name) override;
    std::size_t parameterCount() const override { return params_.size(); }
    void setParameter(std::size_t index, const core::ColumnDesc &type,
                      const core::Value &value) override;
    std::unique_ptr<DriverCursor> execute() override;
    std::int64_t rowsAffected() const override;

private:
    void releaseHandles() noexcept override { statement_.reset(); }

    std::shared_ptr<FbSession> session_;
    FbRef<Firebird::IStatement> statement_;
    FbInputMessage input_;
    FbRef<Firebird::IMessageMetadata> outputMetadata_;
    unsigned outputLength_ = 0;
    unsigned type_ = 0;
    std::vector<std::optional<FbBoundParam>> params_;
    // Inside an explicit transaction the server is asked for the count only when a caller
    // wants it: the question costs about a fifth of a one-row insert (a round trip on a
    // remote server), and a save does not need it for its inserts.
    mutable std::int64_t rowsAffected_ = 0;
    mutable bool rowsAffectedPending_ = false;
};

/// `name` between double quotes, inner double quotes doubled: the form in which the
/// server takes a name exactly as stored.
std::string quoteName(const std::string &name);

/// The text of a call of procedure `name` with `inputs` "?" parameters.
std::string procedureCallText(const std::string &name, std::size_t inputs);

} // namespace kalmora::driver
