// SPDX-License-Identifier: Apache-2.0
#pragma once
// What one day and point of a post command came to, as the command reports it when it posts
// several (--all-points, --from and --to) or writes JSON (--format json): a summary line, or
// one JSON object a line.

#include "core/value.h"
#include "posting/posting_run.h"
#include "cli/voucher_listing.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kalmora::cli {

/// One row of the error list: what is wrong, the value it is about, the interface used.
using PostErrorRow = posting::ErrorRow;

/// How the post command tells an outcome: its name for other tools and its exit status
/// (PostExit, post_exit.h). No outcome is a run that failed: "failure", kPostFailure.
struct OutcomeReport
{
    const char *name;
    int exitStatus;
};
OutcomeReport outcomeReport(const std::optional<posting::PostingOutcome> &outcome);

struct PostReport
{
    core::Date day;
    std::int64_t point = 0; // PTVT_ID
    std::string pointName;
    std::optional<posting::PostingOutcome> outcome; // none: the run failed
    /// What the window would have shown, its lines joined by spaces; for a failure, its
    /// message as the error box shows it.
    std::string message;
    std::optional<std::int64_t> voucher;     // COMP_ID of the voucher completed
    std::optional<std::int64_t> number;      // its COMP_NUMERO
    std::vector<PostErrorRow> errors;        // the error list of an outcome Errors
    bool preview = false;                    // --preview: nothing of it was stored
    std::optional<VoucherListing> previewed; // the voucher a preview would have generated
    int exitStatus = 0;                      // PostExit (post_exit.h)
};

/// The summary line, then each error row after a tab (its columns separated by tabs), then
/// the previewed voucher.
void printSummary(const PostReport &report, std::ostream &out);

/// One JSON object on one line: day, point, point_name, outcome, message, voucher, number,
/// errors, preview.
void printJson(const PostReport &report, std::ostream &out);

} // namespace kalmora::cli
