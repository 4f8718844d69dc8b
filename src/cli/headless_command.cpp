// SPDX-License-Identifier: Apache-2.0
#include "cli/headless_command.h"

#include "core/date_format.h"
#include "core/errors.h"
#include "platform/date_locale.h"
#include "platform/stop_signals.h"
#include "cli/headless_options.h"
#include "cli/headless_terminal.h"

#include <clocale>
#include <csignal>
#include <iostream>
#include <unistd.h>

namespace kalmora::cli {

namespace {

void printFailure(const std::string &message)
{
    std::cerr << core::errorBoxText(message) << std::endl;
}

constexpr int kExitLimitSeconds = 5;

int runCommand(int argc, char **argv, const std::string &name,
               const std::function<int(const std::vector<std::string> &args)> &work)
{
    // Ctrl+C and SIGTERM end the command at any moment, before the database client (which
    // would swallow them) starts a thread. Whatever was not committed is not stored: the
    // server rolls back the transaction of a connection that goes; a voucher completed and
    // committed before stays, and its summary line was printed.
    platform::handStopSignalsTo([name](int signal) {
        endPromptForSignal();
        const std::string line = "contabiliza-pos " + name + ": interrumpido por " +
                                 (signal == SIGINT ? "SIGINT" : "SIGTERM") +
                                 "; lo que no se había confirmado no se guardó\n";
        [[maybe_unused]] const ssize_t written = ::write(2, line.data(), line.size());
        platform::endBySignal(signal);
    });

    // The window's application object does this; the date pattern is read the same way.
    std::setlocale(LC_ALL, "");
    core::setCurrentDateSettings(platform::readLocaleDateSettings());

    try {
        return work(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError &usage) {
        std::cerr << "contabiliza-pos " << name << ": " << usage.what() << "\n"
                  << "Vea «contabiliza-pos " << name << " --help»." << std::endl;
        return kCommandUsage;
    } catch (const core::EAbort &) {
        return kCommandFailure;
    } catch (const std::exception &failure) {
        printFailure(failure.what());
        return kCommandFailure;
    } catch (...) {
        printFailure("Unknown failure");
        return kCommandFailure;
    }
}

} // namespace

int runHeadlessCommand(int argc, char **argv, const std::string &name,
                       const std::function<int(const std::vector<std::string> &args)> &work)
{
    const int status = runCommand(argc, argv, name, work);
    // The exit handlers shut the database client down; they may not hold the process.
    platform::limitExitTo(kExitLimitSeconds, status);
    return status;
}

} // namespace kalmora::cli
