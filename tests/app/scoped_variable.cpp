// SPDX-License-Identifier: Apache-2.0
#include "scoped_variable.h"

#include <QtGlobal>

namespace kalmora::test {

ScopedVariable::ScopedVariable(const char *name, const QByteArray &value) : name_(name)
{
    if (qEnvironmentVariableIsSet(name))
        previous_ = qgetenv(name);
    qputenv(name, value);
}

ScopedVariable::~ScopedVariable()
{
    if (previous_)
        qputenv(name_, *previous_);
    else
        qunsetenv(name_);
}

} // namespace kalmora::test
