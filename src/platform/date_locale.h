// SPDX-License-Identifier: Apache-2.0
#pragma once
// The user's date settings from the C library's locale (LC_TIME): the short date pattern,
// translated from the locale's strftime date format into the pattern language of the date
// rendering (core/date_format.h), its separator, and the month and day names.

#include "core/date_format.h"

#include <optional>
#include <string>
#include <string_view>

namespace kalmora::platform {

/// The date settings of the locale that the environment names now (LC_ALL, LC_TIME, LANG),
/// read afresh on every call so that a change of settings is seen. Whatever cannot be read
/// keeps its fallback: separator "/", pattern "m/d/yy", and the names of the "C" locale.
kalmora::core::DateSettings readLocaleDateSettings();

/// A strftime date format in the pattern language: %d dd, %e d, %m mm, %y yy, %Y yyyy,
/// %b/%h mmm, %B mmmm, %a ddd, %A dddd, %D mm/dd/yy, %F yyyy-mm-dd, %% %, %n and %t a line
/// feed and a tab. The flags "-" and "_" make %d and %m d and m; the other flags are dropped,
/// and so are the modifiers E and O where the C library takes them (E on years, O on %d %e
/// %m %y and month names); elsewhere they make the format one that is not translated.
/// Literal letters and quotes are quoted so that they come out as written, and two fields of
/// one letter side by side are kept apart by empty quotes. nullopt when the
/// format holds anything that is not a date field (a time, a week number, a width, ...).
std::optional<std::string> datePatternFromStrftime(std::string_view format);

/// The separator of a pattern: its first character that is neither in a field (letters d,
/// m, y, g in either case) nor in quoted text, nor a digit, nor a letter, nor a control
/// character, nor a byte above 127 (part of a multibyte character, which a one-byte
/// separator cannot hold); "/" when there is none.
char dateSeparatorOf(std::string_view pattern);

} // namespace kalmora::platform
