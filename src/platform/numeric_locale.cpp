// SPDX-License-Identifier: Apache-2.0
#include "platform/numeric_locale.h"

#include <langinfo.h>
#include <locale.h>
#include <string_view>

namespace kalmora::platform {

char readLocaleDecimalSeparator()
{
    locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr))
        return '.';
    const std::string_view radix = nl_langinfo_l(RADIXCHAR, user);
    const char separator = radix.size() == 1 && radix[0] > ' ' && radix[0] < 127 ? radix[0] : '.';
    freelocale(user);
    return separator;
}

} // namespace kalmora::platform
