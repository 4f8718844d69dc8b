// SPDX-License-Identifier: Apache-2.0
#pragma once
// "contabiliza-pos post": the connect step and the posting run from a terminal, without a
// window or a display. See postHelp() (headless_options.h) for the command line.

#include "cli/headless_command.h"

namespace kalmora::cli {

/// Exit statuses of the post command.
enum PostExit : int {
    kPostVoucherGenerated = 0,
    kPostNothingPosted = 1,
    kPostReportedErrors = 2,
    kPostFailure = kCommandFailure,
    kPostUsage = kCommandUsage,
};

/// Runs the command; `argv[0]` is "post". Returns the exit status.
int runHeadlessPost(int argc, char **argv);

} // namespace kalmora::cli
