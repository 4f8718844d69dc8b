// SPDX-License-Identifier: Apache-2.0
#include "cli/status_report.h"

#include "core/date_format.h"
#include "cli/json_text.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <string_view>

namespace kalmora::cli {

namespace {

using posting::DayState;
using posting::DayStatus;
using posting::MonthStatus;

constexpr std::array kStates{DayState::Posted,   DayState::ToPost,       DayState::Pending,
                             DayState::Reversed, DayState::Inconsistent, DayState::Nothing};

/// The state's symbol in the grid.
const char *symbol(DayState state, bool utf8)
{
    switch (state) {
    case DayState::Posted:
        return utf8 ? "✓" : "+";
    case DayState::ToPost:
        return utf8 ? "○" : "o";
    case DayState::Pending:
        return utf8 ? "…" : "p";
    case DayState::Reversed:
        return utf8 ? "↺" : "r";
    case DayState::Inconsistent:
        return utf8 ? "✗" : "X";
    case DayState::Nothing:
        break;
    }
    return utf8 ? "·" : ".";
}

/// The state as the text report names it.
const char *label(DayState state)
{
    switch (state) {
    case DayState::Posted:
        return "contabilizado";
    case DayState::ToPost:
        return "por contabilizar";
    case DayState::Pending:
        return "pendiente";
    case DayState::Reversed:
        return "revertido";
    case DayState::Inconsistent:
        return "inconsistente";
    case DayState::Nothing:
        break;
    }
    return "sin ventas";
}

/// `text` on one line: a control character is a space, so that no name splits a line or
/// drives the terminal.
std::string oneLine(std::string_view text)
{
    std::string line(text);
    for (char &c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    return line;
}

/// The columns `text` takes on a terminal: one for each character (UTF-8 continuation
/// bytes take none).
std::size_t columns(std::string_view text)
{
    return std::size_t(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xc0) != 0x80;
    }));
}

std::string pointLabel(const posting::StatusPoint &point)
{
    return oneLine(point.name) + " (" + std::to_string(point.id) + ")";
}

std::string dayPointLabel(const DayStatus &entry)
{
    return core::isoDateText(entry.day) + " " + oneLine(entry.pointName) + " (" +
           std::to_string(entry.point) + ")";
}

std::string voucherText(const posting::VoucherStatus &voucher)
{
    std::string text = "comprobante " + std::to_string(voucher.id);
    if (voucher.number)
        text += " número " + std::to_string(*voucher.number);
    text += voucher.completed ? " completado" : " pendiente";
    if (voucher.reversedBy) {
        text += ", revertido por el comprobante " + std::to_string(*voucher.reversedBy);
        if (voucher.reversedByNumber)
            text += " número " + std::to_string(*voucher.reversedByNumber);
    }
    return text;
}

std::string jsonOptional(const std::optional<std::int64_t> &value)
{
    return value ? std::to_string(*value) : std::string("null");
}

/// `field` as a CSV field: quoted when it holds a comma, a quote or a line break, each
/// quote doubled.
std::string csvField(std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(field);
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

struct Summary
{
    std::array<std::int64_t, kStates.size()> counts{};
    std::int64_t toPost = 0;
    std::int64_t toPostAmount = 0;
};

Summary summaryOf(const MonthStatus &status)
{
    Summary summary;
    for (const DayStatus &entry : status.entries) {
        const auto at = std::find(kStates.begin(), kStates.end(), entry.state);
        ++summary.counts[std::size_t(at - kStates.begin())];
        summary.toPost += entry.toPost();
        summary.toPostAmount += entry.toPostAmount();
    }
    return summary;
}

/// Three heading lines over the day columns: the month where it starts (YYYY-MM, or only
/// MM when the next month starts too soon after it), then the tens and the units of the day.
void printDayHeadings(const MonthStatus &status, std::size_t indent, std::ostream &out)
{
    std::string months;
    for (std::size_t i = 0; i < status.days.size(); ++i) {
        if (i != 0 && status.days[i].day != 1)
            continue;
        std::size_t next = i + 1;
        while (next < status.days.size() && status.days[next].day != 1)
            ++next;
        const std::string month = core::isoDateText(status.days[i]).substr(0, 7);
        const std::size_t room = next - i;
        months.resize(i, ' ');
        if (next == status.days.size() || month.size() < room)
            months += month;
        else if (room > 2)
            months += month.substr(5);
    }
    std::string tens, units;
    for (const core::Date &day : status.days) {
        tens += day.day >= 10 ? char('0' + day.day / 10) : ' ';
        units += char('0' + day.day % 10);
    }
    while (!tens.empty() && tens.back() == ' ')
        tens.pop_back();
    const std::string margin(indent, ' ');
    out << margin << months << '\n' << margin << tens << '\n' << margin << units << '\n';
}

} // namespace

const char *stateName(DayState state)
{
    switch (state) {
    case DayState::Posted:
        return "posted";
    case DayState::ToPost:
        return "to_post";
    case DayState::Pending:
        return "pending";
    case DayState::Reversed:
        return "reversed";
    case DayState::Inconsistent:
        return "inconsistent";
    case DayState::Nothing:
        break;
    }
    return "nothing";
}

int statusExit(const MonthStatus &status)
{
    int worst = 0;
    for (const DayStatus &entry : status.entries) {
        if (entry.state == DayState::Inconsistent)
            return 2;
        if (entry.state != DayState::Posted && entry.state != DayState::Nothing)
            worst = 1;
    }
    return worst;
}

void printStatusText(const MonthStatus &status, bool utf8, std::ostream &out)
{
    if (!status.days.empty())
        out << "Contabilización del " << core::isoDateText(status.days.front()) << " al "
            << core::isoDateText(status.days.back()) << '\n';
    std::size_t width = 0;
    for (const posting::StatusPoint &point : status.points)
        width = std::max(width, columns(pointLabel(point)));
    width += 2;
    printDayHeadings(status, width, out);
    for (std::size_t p = 0; p < status.points.size(); ++p) {
        const std::string name = pointLabel(status.points[p]);
        out << name << std::string(width - columns(name), ' ');
        for (std::size_t d = 0; d < status.days.size(); ++d)
            out << symbol(status.entries[d * status.points.size() + p].state, utf8);
        out << '\n';
    }
    out << "Leyenda:";
    for (const DayState state : kStates)
        out << "  " << symbol(state, utf8) << ' ' << label(state);
    out << "\n\n";

    for (const DayStatus &entry : status.entries) {
        if (entry.state == DayState::Posted || entry.state == DayState::Nothing)
            continue;
        out << dayPointLabel(entry) << ": " << label(entry.state) << "; " << entry.invoices
            << " facturas de contado por " << posting::centsText(entry.amount) << ", "
            << entry.posted << " contabilizadas, " << entry.toPost() << " por contabilizar por "
            << posting::centsText(entry.toPostAmount());
        for (const posting::VoucherStatus &voucher : entry.vouchers)
            out << "; " << voucherText(voucher);
        for (const std::string &problem : entry.problems)
            out << "; " << problem;
        out << '\n';
    }

    const Summary summary = summaryOf(status);
    out << "Resumen:";
    for (std::size_t s = 0; s < kStates.size(); ++s)
        out << (s ? ", " : " ") << label(kStates[s]) << ' ' << summary.counts[s];
    out << "; quedan por contabilizar " << summary.toPost << " facturas por "
        << posting::centsText(summary.toPostAmount) << ".\n";
    out.flush();
}

void printStatusJson(const MonthStatus &status, std::ostream &out)
{
    for (const DayStatus &entry : status.entries) {
        out << "{\"day\":" << jsonString(core::isoDateText(entry.day))
            << ",\"point\":" << entry.point << ",\"point_name\":" << jsonString(entry.pointName)
            << ",\"state\":" << jsonString(stateName(entry.state))
            << ",\"invoices\":" << entry.invoices
            << ",\"amount\":" << posting::centsText(entry.amount) << ",\"posted\":" << entry.posted
            << ",\"posted_amount\":" << posting::centsText(entry.postedAmount)
            << ",\"to_post\":" << entry.toPost()
            << ",\"to_post_amount\":" << posting::centsText(entry.toPostAmount())
            << ",\"vouchers\":[";
        for (std::size_t v = 0; v < entry.vouchers.size(); ++v) {
            const posting::VoucherStatus &voucher = entry.vouchers[v];
            out << (v ? "," : "") << "{\"voucher\":" << voucher.id
                << ",\"number\":" << jsonOptional(voucher.number)
                << ",\"state\":" << jsonString(voucher.completed ? "completed" : "pending")
                << ",\"reversed_by\":" << jsonOptional(voucher.reversedBy)
                << ",\"reversed_by_number\":" << jsonOptional(voucher.reversedByNumber)
                << ",\"debits\":" << posting::centsText(voucher.debits)
                << ",\"credits\":" << posting::centsText(voucher.credits)
                << ",\"cash_line\":" << posting::centsText(voucher.cashLine)
                << ",\"invoiced\":" << posting::centsText(voucher.invoiced) << '}';
        }
        out << "],\"problems\":[";
        for (std::size_t p = 0; p < entry.problems.size(); ++p)
            out << (p ? "," : "") << jsonString(entry.problems[p]);
        out << "]}\n";
    }
    const Summary summary = summaryOf(status);
    out << "{\"summary\":{";
    for (std::size_t s = 0; s < kStates.size(); ++s)
        out << (s ? "," : "") << jsonString(stateName(kStates[s])) << ':' << summary.counts[s];
    out << ",\"to_post_invoices\":" << summary.toPost
        << ",\"to_post_amount\":" << posting::centsText(summary.toPostAmount) << "}}\n";
    out.flush();
}

void printStatusCsv(const MonthStatus &status, std::ostream &out)
{
    out << "day,point,point_name,state,invoices,amount,posted,to_post,to_post_amount,vouchers,"
           "problems\r\n";
    for (const DayStatus &entry : status.entries) {
        std::string vouchers;
        for (const posting::VoucherStatus &voucher : entry.vouchers)
            vouchers += (vouchers.empty() ? "" : "; ") + voucherText(voucher);
        std::string problems;
        for (const std::string &problem : entry.problems)
            problems += (problems.empty() ? "" : "; ") + problem;
        out << core::isoDateText(entry.day) << ',' << entry.point << ','
            << csvField(entry.pointName) << ',' << stateName(entry.state) << ',' << entry.invoices
            << ',' << posting::centsText(entry.amount) << ',' << entry.posted << ','
            << entry.toPost() << ',' << posting::centsText(entry.toPostAmount()) << ','
            << csvField(vouchers) << ',' << csvField(problems) << "\r\n";
    }
    out.flush();
}

} // namespace kalmora::cli
