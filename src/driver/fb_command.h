#pragma once
// One statement on a Firebird connection.

#include "driver/driver.h"
#include "driver/fb_handles.h"
#include "driver/fb_message.h"
#include "driver/fb_session.h"

#include <memory>
#include <optional>
#include <vector>

namespace kalmora::data {

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
    void setParameter(std::size_t index, const ColumnDesc &type, const Value &value) override;
    std::unique_ptr<DriverCursor> execute() override;
    std::int64_t rowsAffected() const override { return rowsAffected_; }

private:
    void releaseHandles() noexcept override { statement_.reset(); }

    std::shared_ptr<FbSession> session_;
    FbRef<Firebird::IStatement> statement_;
    FbRef<Firebird::IMessageMetadata> inputMetadata_;
    FbRef<Firebird::IMessageMetadata> outputMetadata_;
    unsigned type_ = 0;
    std::vector<std::optional<FbBoundParam>> params_;
    std::int64_t rowsAffected_ = 0;
};

/// The text of a call of procedure `name` with `inputs` "?" parameters.
std::string procedureCallText(const std::string &name, std::size_t inputs);

} // namespace kalmora::data
