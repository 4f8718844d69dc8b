// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string_view>

namespace kalmora::core {

/// Equal without regard to case (ASCII letters), as names of fields, parameters and
/// components are compared.
bool sameText(std::string_view a, std::string_view b);

} // namespace kalmora::core
