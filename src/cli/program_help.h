// SPDX-License-Identifier: Apache-2.0
#pragma once
// The program's own "--help": how it is started (the window, or one of the headless
// commands), with each command's help after it.

#include <string>

namespace kalmora::cli {

/// The text of "contabiliza-pos --help".
std::string programHelp();

} // namespace kalmora::cli
