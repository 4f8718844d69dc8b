// SPDX-License-Identifier: Apache-2.0
#pragma once
// An environment variable set for the life of an object (the registry file, the locale).

#include <QByteArray>
#include <optional>

namespace kalmora::test {

class ScopedVariable
{
public:
    ScopedVariable(const char *name, const QByteArray &value);
    /// Gives the variable back its former value, or unsets it.
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable &) = delete;
    ScopedVariable &operator=(const ScopedVariable &) = delete;

private:
    const char *name_;
    std::optional<QByteArray> previous_;
};

} // namespace kalmora::test
