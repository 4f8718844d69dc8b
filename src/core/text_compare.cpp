// SPDX-License-Identifier: Apache-2.0
#include "core/text_compare.h"

namespace kalmora::core {

namespace {
char upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}
} // namespace

bool sameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i]))
            return false;
    return true;
}

} // namespace kalmora::core
