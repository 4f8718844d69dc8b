// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <string_view>

namespace kalmora::core {

/// The quoting rule for statement and filter texts: the value between single quotes with
/// every single quote inside doubled; an empty value gives two single quotes.
std::string quotedString(std::string_view value);

} // namespace kalmora::core
