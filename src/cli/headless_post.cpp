#include "cli/headless_post.h"

#include "cli/headless_options.h"
#include "cli/headless_password.h"
#include "cli/headless_preview.h"
#include "cli/headless_terminal.h"
#include "company/data_module.h"
#include "core/errors.h"
#include "platform/date_locale.h"

#include <clocale>
#include <iostream>

namespace kalmora::cli {

namespace {

const char *const kProgram = "contabiliza-pos post: ";

std::string quoted(const std::string &name)
{
    return "\"" + name + "\"";
}

/// The PTVT_ID of the point the options name, among the rows of `CPuntos`: by --point-id
/// when given (and then --point, if given too, must be its name), else the one point whose
/// PTVT_NOM is exactly --point.
std::int64_t chosenPoint(data::DataModule &module, const PostOptions &options)
{
    data::TClientDataSet &points = module.CPuntos;
    if (options.pointId) {
        if (!points.locate("PTVT_ID", data::Value{*options.pointId}))
            throw UsageError("no hay un punto de venta con PTVT_ID " +
                             std::to_string(*options.pointId));
        const std::string name = module.CPuntosPTVT_NOM->asString();
        if (options.point && *options.point != name)
            throw UsageError("el punto de venta " + std::to_string(*options.pointId) +
                             " se llama " + quoted(name) + ", no " + quoted(*options.point));
        return *options.pointId;
    }

    std::vector<std::int64_t> matches;
    std::string known;
    for (points.first(); !points.eof(); points.next()) {
        const std::string name = module.CPuntosPTVT_NOM->asString();
        if (name == *options.point)
            matches.push_back(module.CPuntosPTVT_ID->asInteger());
        known += (known.empty() ? "" : ", ") + quoted(name) + " (" +
                 module.CPuntosPTVT_ID->asString() + ")";
    }
    if (matches.empty())
        throw UsageError("no hay un punto de venta llamado " + quoted(*options.point) +
                         "; los puntos de venta son: " + known);
    if (matches.size() > 1) {
        std::string ids;
        for (const std::int64_t id : matches)
            ids += (ids.empty() ? "" : ", ") + std::to_string(id);
        throw UsageError("hay varios puntos de venta llamados " + quoted(*options.point) +
                         " (PTVT_ID " + ids + "); elija uno con --point-id");
    }
    return matches.front();
}

/// The rows of `CError`, one a line, the columns separated by tabs.
void printErrorList(data::TClientDataSet &errors, std::ostream &out)
{
    for (errors.first(); !errors.eof(); errors.next()) {
        for (int c = 0; c < errors.fieldCount(); ++c)
            out << (c ? "\t" : "") << errors.fields(c).asString();
        out << '\n';
    }
    out.flush();
}

int exitFor(posting::PostingOutcome outcome)
{
    switch (outcome) {
    case posting::PostingOutcome::VoucherGenerated:
    case posting::PostingOutcome::PendingCompleted:
        return kPostVoucherGenerated;
    case posting::PostingOutcome::Errors:
        return kPostReportedErrors;
    case posting::PostingOutcome::NoPointChosen:
        return kPostUsage;
    case posting::PostingOutcome::NothingPosted:
    case posting::PostingOutcome::PostedElsewhere:
    case posting::PostingOutcome::NoVoucher:
        break;
    }
    return kPostNothingPosted;
}

int post(const PostOptions &options)
{
    const posting::ConnectInput login{options.server, options.user, headlessPassword(),
                                      options.company};

    data::DataModule module;
    TerminalWindow window(std::cout, std::cerr, stderrIsTerminal());
    posting::connectStep(module, login, window, window);

    window.choosePoint(chosenPoint(module, options));
    if (options.day)
        window.chooseDay(*options.day);
    // --preview: the same run, rolled back (headless_preview.h).
    posting::PostingOutcome outcome;
    if (options.preview) {
        const PostingPreviewResult preview = previewPosting(module, window);
        printPreview(preview, std::cout);
        outcome = preview.outcome;
    } else {
        outcome = posting::postingRun(module, window, window, window);
    }
    if (outcome == posting::PostingOutcome::Errors)
        printErrorList(module.CError, std::cout);
    return exitFor(outcome);
}

void printFailure(const std::string &message)
{
    std::cerr << errorBoxText(message) << std::endl;
}

} // namespace

int runHeadlessPost(int argc, char **argv)
{
    // The window's application object does this; the date pattern is read the same way.
    std::setlocale(LC_ALL, "");
    data::setCurrentDateSettings(platform::readLocaleDateSettings());

    try {
        const PostOptions options =
            parsePostOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::cout << postHelp();
            return 0;
        }
        return post(options);
    } catch (const UsageError &usage) {
        std::cerr << kProgram << usage.what() << "\n"
                  << "Vea «contabiliza-pos post --help»." << std::endl;
        return kPostUsage;
    } catch (const EAbort &) {
        return kPostFailure;
    } catch (const std::exception &failure) {
        printFailure(failure.what());
        return kPostFailure;
    } catch (...) {
        printFailure("Unknown failure");
        return kPostFailure;
    }
}

} // namespace kalmora::cli
