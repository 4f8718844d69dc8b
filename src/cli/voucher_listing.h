#pragma once
// A voucher as the headless commands print it: a heading with its day, point and number of
// invoices, one line per voucher line (account, rate, debit, credit and detail, separated by
// tabs) and the totals.

#include <cstdint>
#include <iosfwd>

namespace kalmora::data {
class TClientDataSet;
}

namespace kalmora::cli {

/// Prints voucher `voucher` (its COMP_ID) as the connection of `lookup` sees it, reading it
/// through `lookup`, which is left closed. A `stored` voucher's heading starts with its
/// COMP_ID and number; a preview's does not, as neither stays. Returns whether the voucher
/// exists and its debits equal its credits.
bool printVoucher(data::TClientDataSet &lookup, std::int64_t voucher, bool stored,
                  std::ostream &out);

} // namespace kalmora::cli
