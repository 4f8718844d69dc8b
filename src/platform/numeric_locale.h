// SPDX-License-Identifier: Apache-2.0
#pragma once
// The user's decimal separator from the C library's locale (LC_NUMERIC).

namespace kalmora::platform {

/// The decimal separator of the locale that the environment names now (LC_ALL, LC_NUMERIC,
/// LANG), read afresh on every call so that a change of settings is seen. "." when the
/// locale cannot be read or its separator is not one printable ASCII character (a one-byte
/// separator cannot hold more).
char readLocaleDecimalSeparator();

} // namespace kalmora::platform
