#include "cli/headless_command.h"

#include "cli/headless_options.h"
#include "cli/headless_terminal.h"
#include "core/date_format.h"
#include "core/errors.h"
#include "platform/date_locale.h"

#include <clocale>
#include <iostream>

namespace kalmora::cli {

namespace {

void printFailure(const std::string &message)
{
    std::cerr << errorBoxText(message) << std::endl;
}

} // namespace

int runHeadlessCommand(int argc, char **argv, const std::string &name,
                       const std::function<int(const std::vector<std::string> &args)> &work)
{
    // The window's application object does this; the date pattern is read the same way.
    std::setlocale(LC_ALL, "");
    data::setCurrentDateSettings(platform::readLocaleDateSettings());

    try {
        return work(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError &usage) {
        std::cerr << "contabiliza-pos " << name << ": " << usage.what() << "\n"
                  << "Vea «contabiliza-pos " << name << " --help»." << std::endl;
        return kCommandUsage;
    } catch (const EAbort &) {
        return kCommandFailure;
    } catch (const std::exception &failure) {
        printFailure(failure.what());
        return kCommandFailure;
    } catch (...) {
        printFailure("Unknown failure");
        return kCommandFailure;
    }
}

} // namespace kalmora::cli
