// SPDX-License-Identifier: Apache-2.0
#pragma once
// A voucher as the headless commands show it: its heading (number, detail, day's point and
// number of invoices), its lines (account, rate, debit, credit and detail) and the totals.
// Read once, then printed as text (or in any other form the commands offer).

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kalmora::data {
class TClientDataSet;
} // namespace kalmora::data

namespace kalmora::cli {

struct VoucherLine
{
    std::string account;
    std::string rate; // "19%"; empty for a line without one
    std::string debit;
    std::string credit;
    std::string detail;
};

/// Amounts as the server writes them, with the column's two decimals: exact, and summed
/// there.
struct VoucherListing
{
    std::int64_t id = 0;               // COMP_ID
    std::optional<std::string> number; // COMP_NUMERO; none while pending
    std::string detail;
    std::string point;
    std::string invoices; // the invoices the voucher posts
    std::vector<VoucherLine> lines;
    std::string debits;
    std::string credits;

    bool balances() const { return debits == credits; }
};

/// Voucher `voucher` (its COMP_ID) as the connection of `lookup` sees it, read through
/// `lookup`, which is left closed; nullopt when there is none.
std::optional<VoucherListing> readVoucher(data::TClientDataSet &lookup, std::int64_t voucher);

/// Prints `voucher` one line per voucher line, the columns separated by tabs. A `stored`
/// voucher's heading starts with its COMP_ID and number; a preview's does not, as neither
/// stays.
void printVoucher(const VoucherListing &voucher, bool stored, std::ostream &out);

} // namespace kalmora::cli
