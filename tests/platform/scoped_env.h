// SPDX-License-Identifier: Apache-2.0
#pragma once
// Sets or removes an environment variable for the life of the object, then puts back what
// was there.

#include <optional>
#include <string>

namespace kalmora::test {

class ScopedEnv
{
public:
    /// nullopt removes the variable.
    ScopedEnv(std::string name, const std::optional<std::string> &value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

} // namespace kalmora::test
