// SPDX-License-Identifier: Apache-2.0
#include "driver/fb_driver.h"

#include "driver/fb_client_library.h"
#include "driver/fb_connection.h"

#include <firebird/Interface.h>

namespace kalmora::driver {

FbDriver::FbDriver(Firebird::IMaster *master) : master_(master)
{
    provider_ = FbRef<Firebird::IProvider>(master_->getDispatcher());
    if (!provider_)
        throw DriverError(ResultCode::DriverInitFailed, {});
}

FbDriver::~FbDriver() = default;

std::unique_ptr<DriverConnection> FbDriver::createConnection()
{
    return std::make_unique<FbConnection>(master_, provider_.get());
}

std::unique_ptr<Driver> getSQLDriverINTERBASE(const std::string &vendorLib,
                                              const std::string & /*errorResourceFile*/)
{
    FbClientLibrary *client = FbClientLibrary::load(vendorLib);
    if (!client)
        return nullptr;
    return std::make_unique<FbDriver>(client->master());
}

} // namespace kalmora::driver
