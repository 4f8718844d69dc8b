// SPDX-License-Identifier: Apache-2.0
#include "grids/text_location.h"

#include <QLocale>

namespace kalmora::grids {

bool textMatches(const QString &cell, const QString &wanted, MatchKind match, bool ignoreCase)
{
    const QLocale locale;
    const QString a = ignoreCase ? locale.toUpper(cell) : cell;
    const QString b = ignoreCase ? locale.toUpper(wanted) : wanted;
    switch (match) {
    case MatchKind::AnyPart:
        return a.contains(b);
    case MatchKind::WholeField:
        return a == b;
    case MatchKind::Beginning:
        return a.startsWith(b);
    }
    return false;
}

} // namespace kalmora::grids
