// SPDX-License-Identifier: Apache-2.0
#pragma once
// The Firebird driver: the driver object over one loaded client library.

#include "driver/driver.h"
#include "driver/fb_handles.h"

#include <memory>
#include <string>

namespace Firebird {
class IMaster;
class IProvider;
} // namespace Firebird

namespace kalmora::driver {

class FbDriver final : public Driver
{
public:
    /// Throws DriverError (DriverInitFailed) when the client gives no provider.
    explicit FbDriver(Firebird::IMaster *master);
    ~FbDriver() override;
    std::unique_ptr<DriverConnection> createConnection() override;

private:
    Firebird::IMaster *master_;
    FbRef<Firebird::IProvider> provider_;
};

/// The driver library's entry point: loads the client library `vendorLib`
/// (fb_client_library.h) and returns the driver over it, or nullptr when it cannot be
/// loaded. The error resource file is not used: the client gives its own texts.
std::unique_ptr<Driver> getSQLDriverINTERBASE(const std::string &vendorLib,
                                              const std::string &errorResourceFile);

} // namespace kalmora::driver
