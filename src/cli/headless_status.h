// SPDX-License-Identifier: Apache-2.0
#pragma once
// "contabiliza-pos status": the month's close at a glance. For every day and point of sale
// of a range, what is posted, what is not, which voucher is pending or reversed, and whether
// each voucher matches the invoices it claims (posting/month_status.h), read in one
// read-only transaction; printed as a month grid, JSON or CSV (status_report.h).

#include "posting/connect_step.h"
#include "cli/headless_command.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kalmora::cli {

/// Exit statuses of the status command.
enum StatusExit : int {
    kStatusClosed = 0,       ///< every day and point posted, or with nothing to post
    kStatusOpen = 1,         ///< something to post, pending or reversed
    kStatusInconsistent = 2, ///< a check failed
    kStatusFailure = kCommandFailure,
    kStatusUsage = kCommandUsage,
};

enum class StatusFormat { Text, Json, Csv };

struct StatusOptions
{
    bool help = false;
    std::string server;
    std::string company;
    std::string user;
    posting::WaitLimits limits;
    core::Date from;
    core::Date to;
    std::optional<std::string> point; // none with pointId: every point
    std::optional<std::int64_t> pointId;
    StatusFormat format = StatusFormat::Text;
};

/// Reads the arguments after "status", in the manner of parsePostOptions(): --from and --to
/// are both needed, at most kMaxPostDays days apart. Throws UsageError (headless_options.h).
StatusOptions parseStatusOptions(const std::vector<std::string> &args);

/// The text of --help.
std::string statusHelp();

/// Runs the command; `argv[0]` is "status". Returns the exit status.
int runHeadlessStatus(int argc, char **argv);

} // namespace kalmora::cli
