// SPDX-License-Identifier: Apache-2.0
#pragma once
// The exit statuses of "contabiliza-pos post", shared by the command and its report.

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

} // namespace kalmora::cli
