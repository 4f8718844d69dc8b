// SPDX-License-Identifier: Apache-2.0
#pragma once
// The month's close at a glance: for every day and point of sale of a range, the cash
// invoices, how many of them are posted, the vouchers that posted them, and the checks of
// those vouchers against the invoices, read from the company database in one read-only
// snapshot transaction by a few set-wise queries (grouped by day and point). Nothing is
// written and no lock is taken, so a posting never waits for it.

#include "core/value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kalmora::data {
class TSQLConnection;
}

namespace kalmora::posting {

/// The state of one day and point, from the best to the worst.
enum class DayState {
    Nothing,      ///< no cash invoices
    Posted,       ///< every cash invoice posted and the checks pass
    ToPost,       ///< cash invoices not posted, no voucher pending
    Reversed,     ///< a reversed voucher, and its invoices not posted again
    Pending,      ///< a voucher not completed
    Inconsistent, ///< a check failed (DayStatus::problems says which)
};

/// A posting voucher (COMP_ORIGEN 'FACTURAS CONTADO') of a day and point.
struct VoucherStatus
{
    std::int64_t id = 0;                    ///< COMP_ID
    std::optional<std::int64_t> number;     ///< COMP_NUMERO; none while pending
    bool completed = false;                 ///< COMP_ESTADO 'D'
    std::optional<std::int64_t> reversedBy; ///< COMP_REVERTIDO_POR: the reversing voucher
    std::optional<std::int64_t> reversedByNumber;
    std::int64_t debits = 0;   ///< cents
    std::int64_t credits = 0;  ///< cents
    std::int64_t cashLine = 0; ///< cents: the cash line (item 1), debit less credit
    std::int64_t invoiced = 0; ///< cents: the total of the invoices of the range marked with it
};

struct DayStatus
{
    core::Date day;
    std::int64_t point = 0; ///< PTVT_ID
    std::string pointName;
    DayState state = DayState::Nothing;
    std::int64_t invoices = 0; ///< cash invoices of the day and point
    std::int64_t amount = 0;   ///< cents: their total, bases plus VAT
    std::int64_t posted = 0;   ///< of them, marked with a voucher
    std::int64_t postedAmount = 0;
    std::vector<VoucherStatus> vouchers; ///< by COMP_ID
    /// One sentence for each failed check, with the voucher and the figures.
    std::vector<std::string> problems;

    std::int64_t toPost() const { return invoices - posted; }
    std::int64_t toPostAmount() const { return amount - postedAmount; }
};

/// A point of sale as the status reads it.
struct StatusPoint
{
    std::int64_t id = 0;
    std::string name;
};

struct MonthStatus
{
    std::vector<core::Date> days;    ///< every day of the range, in order
    std::vector<StatusPoint> points; ///< by PTVT_ID
    /// One for each day and point, by day, then by PTVT_ID.
    std::vector<DayStatus> entries;
};

/// Reads the days from `from` to `to` (both included, `from` not after `to`) of every point
/// of sale, or of `point` alone, over `connection`, in one read-only snapshot transaction.
/// The cash invoices of a point are those of its prefix and its cash customer, chosen as the
/// posting chooses them (the prefix's AUTO_NITCONTADO, else the configured cash customer).
MonthStatus readMonthStatus(data::TSQLConnection &connection, const core::Date &from,
                            const core::Date &to, std::optional<std::int64_t> point = {});

/// The statements readMonthStatus() sends, in order: the points, the invoices grouped by day,
/// point, prefix, customer and voucher, and the vouchers with their sums. Each takes the
/// first and the last day as its parameters, then the point when `onePoint`.
std::vector<std::string> monthStatusQueries(bool onePoint);

/// `cents` as text with two decimals and a point: "-12.05".
std::string centsText(std::int64_t cents);

} // namespace kalmora::posting
