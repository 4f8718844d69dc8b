// SPDX-License-Identifier: Apache-2.0
#pragma once
// "contabiliza-pos post --preview": the posting run of the chosen day and point inside one
// transaction that is rolled back, printing the voucher it would generate. Nothing it
// writes stays and nothing stays locked. The voucher is left pending, so no voucher number
// is drawn; the keys the posting draws from generators (the voucher's COMP_ID, its lines'
// CMDE_ID, the error rows' ERRO_ITEM) are not transactional in the engine, so those values
// are not handed out again: the next voucher's COMP_ID skips them.

#include "posting/posting_run.h"
#include "cli/voucher_listing.h"

#include <iosfwd>
#include <optional>

namespace kalmora::company {
class DataModule;
}

namespace kalmora::cli {

class TerminalWindow;

struct PostingPreviewResult
{
    /// What the run came to; its message is the one the completion would have given.
    posting::PostingResult run;
    /// The voucher the run would generate (or complete); none for any other outcome.
    std::optional<VoucherListing> voucher;
};

/// Runs the posting run as `window` sets it up (day and point), in a transaction rolled back
/// before it returns, whatever happens. The voucher that would be generated (or completed)
/// is read before the rollback and its message is not shown; any other outcome's message
/// goes to `shown`, and `CError` keeps the error list. Fails as the completion would when
/// the voucher does not balance, and before anything is sent when the connection cannot
/// hold the run in one transaction. Each call is a transaction of its own: a preview of
/// several days or points calls it once for each.
PostingPreviewResult previewPosting(company::DataModule &module, TerminalWindow &window,
                                    core::MessageSink &shown);

/// Prints the voucher of `preview` (voucher_listing.h) under a line saying that nothing was
/// stored; nothing for a preview without one.
void printPreview(const PostingPreviewResult &preview, std::ostream &out);

} // namespace kalmora::cli
