#include "cli/post_report.h"

#include "cli/json_text.h"
#include "core/date_format.h"

#include <ostream>

namespace kalmora::cli {

namespace {

/// The outcome's name for other tools; "failure" for a run that failed.
const char *outcomeName(const std::optional<posting::PostingOutcome> &outcome)
{
    if (!outcome)
        return "failure";
    switch (*outcome) {
    case posting::PostingOutcome::NoPointChosen:
        return "no_point";
    case posting::PostingOutcome::NothingPosted:
        return "nothing_posted";
    case posting::PostingOutcome::VoucherGenerated:
        return "voucher_generated";
    case posting::PostingOutcome::PendingCompleted:
        return "pending_completed";
    case posting::PostingOutcome::PostedElsewhere:
        return "posted_elsewhere";
    case posting::PostingOutcome::NoVoucher:
        return "no_voucher";
    case posting::PostingOutcome::Errors:
        return "errors";
    }
    return "failure";
}

} // namespace

void printSummary(const PostReport &report, std::ostream &out)
{
    out << data::isoDateText(report.day) << ' ' << report.pointName << " (" << report.point
        << "): ";
    if (!report.outcome)
        out << "falla: ";
    out << (report.message.empty() ? std::string("Sin comprobante.") : report.message);
    if (report.voucher)
        out << " Comprobante " << *report.voucher << ", número "
            << (report.number ? std::to_string(*report.number) : std::string("-")) << '.';
    out << '\n';
    for (const PostErrorRow &row : report.errors)
        out << '\t' << row.description << '\t' << row.value << '\t' << row.interface << '\n';
    if (report.previewed)
        printVoucher(*report.previewed, false, out);
    out.flush();
}

void printJson(const PostReport &report, std::ostream &out)
{
    out << "{\"day\":" << jsonString(data::isoDateText(report.day)) << ",\"point\":" << report.point
        << ",\"point_name\":" << jsonString(report.pointName)
        << ",\"outcome\":" << jsonString(outcomeName(report.outcome))
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
