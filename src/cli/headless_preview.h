#pragma once
// "contabiliza-pos post --preview": the posting run of the chosen day and point inside one
// transaction that is rolled back, printing the voucher it would generate. Nothing it
// writes stays and nothing stays locked. The voucher is left pending, so no voucher number
// is drawn; the keys the posting draws from generators (the voucher's COMP_ID, its lines'
// CMDE_ID, the error rows' ERRO_ITEM) are not transactional in the engine, so those values
// are not handed out again: the next voucher's COMP_ID skips them.

#include "posting/posting_run.h"

#include <iosfwd>

namespace kalmora::data {
class DataModule;
}

namespace kalmora::cli {

class TerminalWindow;

/// Runs the posting run as `window` sets it up, in a transaction rolled back at the end
/// whatever happens. A voucher that would be generated (or completed) is printed on `out`
/// (voucher_listing.h) in place of the run's message, and the run fails as the completion
/// would when it does not balance; any other outcome's message goes to `window`, and
/// `CError` keeps the error list. Fails, before anything is sent, when the connection
/// cannot hold the run in one transaction.
posting::PostingOutcome previewPosting(data::DataModule &module, TerminalWindow &window,
                                       std::ostream &out);

} // namespace kalmora::cli
