// SPDX-License-Identifier: Apache-2.0
#pragma once
// What the tests read of their environment.

#include <cstdlib>
#include <string>

namespace kalmora::test {

/// The value of environment variable `name`; empty when it is not set.
inline std::string env(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

} // namespace kalmora::test
