// SPDX-License-Identifier: Apache-2.0
#include "cli/headless_post.h"

#include "core/day_range.h"
#include "core/errors.h"
#include "company/data_module.h"
#include "cli/headless_command.h"
#include "cli/headless_options.h"
#include "cli/headless_password.h"
#include "cli/headless_preview.h"
#include "cli/headless_terminal.h"
#include "cli/point_choice.h"
#include "cli/post_report.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <utility>

namespace kalmora::cli {

namespace {

const char *const kProgram = "contabiliza-pos post: ";

/// The error rows one a line, the columns separated by tabs.
void printErrorList(const std::vector<posting::ErrorRow> &errors, std::ostream &out)
{
    for (const posting::ErrorRow &row : errors)
        out << row.description << '\t' << row.value << '\t' << row.interface << '\n';
    out.flush();
}

/// The lines of a message as shown (separated by "\r", "\n" or both), joined by spaces;
/// empty lines are left out.
std::string oneLine(const std::string &text)
{
    std::string line;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            line += (line.empty() ? "" : " ") + text.substr(start, end - start);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return line;
}

/// The voucher's COMP_NUMERO, read through `lookup`; none while it has none.
std::optional<std::int64_t> voucherNumber(data::TClientDataSet &lookup, std::int64_t voucher)
{
    const std::optional<VoucherListing> listing = readVoucher(lookup, voucher);
    if (!listing || !listing->number)
        return std::nullopt;
    std::int64_t number = 0;
    const std::string &text = *listing->number;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

/// Posts (or previews) one day and point on its own and reports what came of it; a failure
/// is reported, never thrown, so that the next day and point still run.
PostReport reportedRun(company::DataModule &module, const PostOptions &options,
                       const core::Date &day, const std::pair<std::int64_t, std::string> &point)
{
    PostReport report;
    report.day = day;
    report.point = point.first;
    report.pointName = point.second;
    report.preview = options.preview;
    // The report renders the result: the run's messages are not shown as it goes.
    SilentMessages silent;
    TerminalWindow window(std::cout, std::cerr, stderrIsTerminal());
    window.chooseDay(day);
    window.choosePoint(point.first);
    try {
        posting::PostingResult result;
        if (options.preview) {
            PostingPreviewResult preview = previewPosting(module, window, silent);
            result = std::move(preview.run);
            report.previewed = std::move(preview.voucher);
            if (report.previewed)
                result.message =
                    result.outcome == posting::PostingOutcome::PendingCompleted
                        ? "Vista previa: se completaría el comprobante que una contabilización "
                          "anterior de este día dejó pendiente; no se guardó nada."
                        : "Vista previa: se generaría este comprobante; no se guardó nada.";
        } else {
            result = posting::postingRun(module, window, window, silent);
        }
        report.outcome = result.outcome;
        report.exitStatus = outcomeReport(result.outcome).exitStatus;
        report.message = oneLine(result.message);
        report.errors = std::move(result.errors);
        if (result.voucher) {
            report.voucher = result.voucher;
            report.number = voucherNumber(module.Cborrar, *result.voucher);
        }
    } catch (const std::exception &failure) {
        report.outcome.reset();
        report.exitStatus = kPostFailure;
        report.message = core::errorBoxText(failure.what());
    }
    return report;
}

/// --all-points, --from and --to, --format json: each day and point on its own, one report
/// each; the worst exit status of them all.
int postEach(company::DataModule &module, const PostOptions &options, const core::Date &today)
{
    std::vector<std::pair<std::int64_t, std::string>> points = allPoints(module);
    if (!options.allPoints) {
        const std::int64_t chosen = chosenPoint(module, options.point, options.pointId);
        std::erase_if(points, [&](const auto &point) { return point.first != chosen; });
    }
    const std::vector<core::Date> days = options.from
                                             ? core::daysBetween(*options.from, *options.to)
                                             : std::vector<core::Date>{options.day.value_or(today)};
    if (points.empty()) {
        // Nothing ran, so nothing was posted: not a success.
        std::cerr << kProgram << "la compañía no tiene puntos de venta" << std::endl;
        return kPostNothingPosted;
    }
    int worst = kPostVoucherGenerated;
    for (const core::Date &day : days) {
        for (const auto &point : points) {
            const PostReport report = reportedRun(module, options, day, point);
            if (options.format == PostFormat::Json)
                printJson(report, std::cout);
            else
                printSummary(report, std::cout);
            worst = std::max(worst, report.exitStatus);
        }
    }
    return worst;
}

int post(const PostOptions &options)
{
    const posting::ConnectInput login{options.server, options.user, headlessPassword(),
                                      options.company};

    company::DataModule module;
    TerminalWindow window(std::cout, std::cerr, stderrIsTerminal());
    posting::connectStep(module, login, window, window, options.limits);
    if (options.manyRuns() || options.format == PostFormat::Json)
        return postEach(module, options, window.day());

    window.choosePoint(chosenPoint(module, options.point, options.pointId));
    if (options.day)
        window.chooseDay(*options.day);
    // --preview: the same run, rolled back (headless_preview.h).
    posting::PostingResult result;
    if (options.preview) {
        PostingPreviewResult preview = previewPosting(module, window, window);
        printPreview(preview, std::cout);
        result = std::move(preview.run);
    } else {
        result = posting::postingRun(module, window, window, window);
    }
    printErrorList(result.errors, std::cout);
    return outcomeReport(result.outcome).exitStatus;
}

} // namespace

int runHeadlessPost(int argc, char **argv)
{
    return runHeadlessCommand(argc, argv, "post", [](const std::vector<std::string> &args) {
        const PostOptions options = parsePostOptions(args);
        if (options.help) {
            std::cout << postHelp();
            return 0;
        }
        return post(options);
    });
}

} // namespace kalmora::cli
