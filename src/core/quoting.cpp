// SPDX-License-Identifier: Apache-2.0
#include "core/quoting.h"

namespace kalmora::core {

std::string quotedString(std::string_view value)
{
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted += '\'';
    for (char c : value) {
        if (c == '\'')
            quoted += '\'';
        quoted += c;
    }
    quoted += '\'';
    return quoted;
}

} // namespace kalmora::core
