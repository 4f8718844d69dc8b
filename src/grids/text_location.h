// SPDX-License-Identifier: Apache-2.0
#pragma once
// What a text location in a grid looks for: the request that both the incremental search and
// the find dialog hand to DBGridEh::locateText.

#include <QString>

namespace kalmora::grids {

enum class MatchKind { AnyPart, WholeField, Beginning };
enum class SearchDirection { Up, Down, FromFirst };

struct TextLocation
{
    QString text;
    /// A column (display order), or -1 for every visible column.
    int column = -1;
    MatchKind match = MatchKind::AnyPart;
    SearchDirection direction = SearchDirection::FromFirst;
    bool ignoreCase = true;
    /// Compare the field's displayed text rather than its plain value.
    bool displayed = true;
};

/// Whether `cell` matches `wanted` by `match`; with `ignoreCase` both are upper-cased by the
/// user's locale first.
bool textMatches(const QString &cell, const QString &wanted, MatchKind match, bool ignoreCase);

} // namespace kalmora::grids
