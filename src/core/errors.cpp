// SPDX-License-Identifier: Apache-2.0
#include "core/errors.h"

namespace kalmora::core {

std::string errorBoxText(const std::string &message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + '.';
    return message;
}

} // namespace kalmora::core
