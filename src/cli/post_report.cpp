// SPDX-License-Identifier: Apache-2.0
#include "cli/post_report.h"

#include "core/date_format.h"
#include "cli/json_text.h"
#include "cli/post_exit.h"

#include <ostream>
#include <string_view>

namespace kalmora::cli {

namespace {

/// `text` on one line of a terminal: a line break (CR LF, CR or LF) is one space, and every
/// other control character is written as \xHH, so nothing that a name or a failure holds
/// can split a summary line or drive the terminal.
std::string oneLine(std::string_view text)
{
    static const char hex[] = "0123456789abcdef";
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\r' || byte == '\n') {
            if (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            line += ' ';
        } else if (byte < 0x20 || byte == 0x7f) {
            line += "\\x";
            line += hex[byte >> 4];
            line += hex[byte & 0xf];
        } else {
            line += char(byte);
        }
    }
    return line;
}

} // namespace

OutcomeReport outcomeReport(const std::optional<posting::PostingOutcome> &outcome)
{
    if (!outcome)
        return {"failure", kPostFailure};
    switch (*outcome) {
    case posting::PostingOutcome::NoPointChosen:
        return {"no_point", kPostUsage};
    case posting::PostingOutcome::NothingPosted:
        return {"nothing_posted", kPostNothingPosted};
    case posting::PostingOutcome::VoucherGenerated:
        return {"voucher_generated", kPostVoucherGenerated};
    case posting::PostingOutcome::PendingCompleted:
        return {"pending_completed", kPostVoucherGenerated};
    case posting::PostingOutcome::PostedElsewhere:
        return {"posted_elsewhere", kPostNothingPosted};
    case posting::PostingOutcome::NoVoucher:
        return {"no_voucher", kPostNothingPosted};
    case posting::PostingOutcome::Errors:
        return {"errors", kPostReportedErrors};
    }
    return {"failure", kPostFailure};
}

void printSummary(const PostReport &report, std::ostream &out)
{
    out << core::isoDateText(report.day) << ' ' << oneLine(report.pointName) << " (" << report.point
        << "): ";
    if (!report.outcome)
        out << "falla: ";
    out << (report.message.empty() ? std::string("Sin comprobante.") : oneLine(report.message));
    if (report.voucher)
        out << " Comprobante " << *report.voucher << ", número "
            << (report.number ? std::to_string(*report.number) : std::string("-")) << '.';
    out << '\n';
    for (const PostErrorRow &row : report.errors)
        out << '\t' << oneLine(row.description) << '\t' << oneLine(row.value) << '\t'
            << oneLine(row.interface) << '\n';
    if (report.previewed)
        printVoucher(*report.previewed, false, out);
    out.flush();
}

void printJson(const PostReport &report, std::ostream &out)
{
    out << "{\"day\":" << jsonString(core::isoDateText(report.day)) << ",\"point\":" << report.point
        << ",\"point_name\":" << jsonString(report.pointName)
        << ",\"outcome\":" << jsonString(outcomeReport(report.outcome).name)
        << ",\"message\":" << jsonString(report.message) << ",\"voucher\":";
    if (report.voucher)
        out << *report.voucher;
    else
        out << "null";
    out << ",\"number\":" << (report.number ? std::to_string(*report.number) : std::string("null"))
        << ",\"errors\":[";
    for (std::size_t i = 0; i < report.errors.size(); ++i) {
        const PostErrorRow &row = report.errors[i];
        out << (i ? "," : "") << "{\"description\":" << jsonString(row.description)
            << ",\"value\":" << jsonString(row.value)
            << ",\"interface\":" << jsonString(row.interface) << '}';
    }
    out << "],\"preview\":" << (report.preview ? "true" : "false") << "}\n";
    out.flush();
}

} // namespace kalmora::cli
