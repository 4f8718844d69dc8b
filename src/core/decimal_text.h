// SPDX-License-Identifier: Apache-2.0
#pragma once
// Exact decimals as text: the general number format that decimal fields show, the reading
// of typed text, and the user's decimal separator. No floating point is involved.

#include "core/value.h"

#include <optional>
#include <string>
#include <string_view>

namespace kalmora::core {

/// The user's decimal separator ("." until the locale says otherwise).
char currentDecimalSeparator();
void setCurrentDecimalSeparator(char separator);

/// General number format: at most `precision` significant digits (rounded half away from
/// zero), no trailing zeros, no thousands separator. nullopt when the whole part alone needs
/// more than `precision` digits.
std::optional<std::string> formatDecimal(const Decimal &value, int precision, char separator);

/// Reads an optional sign, digits and an optional `separator` with more digits; blanks around
/// the number are allowed. The scale is the number of digits written after the separator.
std::optional<Decimal> parseDecimal(std::string_view text, char separator);

/// The value with exactly `scale` decimals, rounded half away from zero when digits are
/// dropped; nullopt when it does not fit in 64 bits.
std::optional<Decimal> rescaled(const Decimal &value, int scale);

/// Compares two decimals by value (their scales may differ).
int compareDecimals(const Decimal &a, const Decimal &b);

/// A number in the general format of the failure messages ("%g" with 15 significant digits).
std::string formatGeneral(double value);

} // namespace kalmora::core
