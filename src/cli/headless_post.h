// SPDX-License-Identifier: Apache-2.0
#pragma once
// "contabiliza-pos post": the connect step and the posting run from a terminal, without a
// window or a display. See postHelp() (headless_options.h) for the command line.

#include "cli/post_exit.h"

namespace kalmora::cli {

/// Runs the command; `argv[0]` is "post". Returns the exit status.
int runHeadlessPost(int argc, char **argv);

} // namespace kalmora::cli
