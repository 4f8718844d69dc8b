// SPDX-License-Identifier: Apache-2.0
#pragma once
// JSON text for the reports other tools read: strings quoted and escaped so that any bytes
// come out as valid JSON.

#include <string>
#include <string_view>

namespace kalmora::cli {

/// `text` as a JSON string, quotes included. Quotes, backslashes and control characters are
/// escaped; valid UTF-8 passes as it is; a byte that is not part of a valid UTF-8 sequence
/// becomes U+FFFD, so the line is always valid JSON.
std::string jsonString(std::string_view text);

} // namespace kalmora::cli
