// SPDX-License-Identifier: Apache-2.0
#pragma once
// The password of the headless commands: never on the command line.

#include <string>

namespace kalmora::cli {

/// The password from KALMORA_PASSWORD, else asked on the terminal. Throws UsageError
/// (headless_options.h) when it is empty or there is no terminal to ask on.
std::string headlessPassword();

} // namespace kalmora::cli
