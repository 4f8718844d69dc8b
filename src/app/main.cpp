// SPDX-License-Identifier: Apache-2.0
// Program entry: the commands without a window, help and version, else the window.
#include "cli/headless_post.h"
#include "cli/headless_reverse.h"
#include "cli/headless_status.h"
#include "cli/program_help.h"
#include "app/window_program.h"

#include <QByteArray>
#include <cstdio>
#include <iostream>
#include <string_view>

namespace {

// Qt cannot open a window without a display; it would abort. Say so plainly instead.
bool displayReachable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char **argv)
{
    // "contabiliza-pos post ...": the posting from a terminal, with no window or display.
    if (argc > 1 && std::string_view(argv[1]) == "post")
        return kalmora::cli::runHeadlessPost(argc - 1, argv + 1);
    // "contabiliza-pos reverse ...": takes back a posting (cli/headless_reverse.h).
    if (argc > 1 && std::string_view(argv[1]) == "reverse")
        return kalmora::cli::runHeadlessReverse(argc - 1, argv + 1);
    // "contabiliza-pos status ...": the month's close at a glance (cli/headless_status.h).
    if (argc > 1 && std::string_view(argv[1]) == "status")
        return kalmora::cli::runHeadlessStatus(argc - 1, argv + 1);
    // Answered before anything needs a display.
    if (argc > 1 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << kalmora::cli::programHelp();
        return 0;
    }
    if (argc > 1 && std::string_view(argv[1]) == "--version") {
        std::cout << "contabiliza-pos " KALMORA_VERSION "\n";
        return 0;
    }
    // Any other first argument that is not an option (of the window's toolkit, such as
    // "-platform") is a command word, and not one the program knows: a mistyped command must
    // not open the window and drop what was asked, display or not.
    if (argc > 1 && !std::string_view(argv[1]).starts_with('-')) {
        std::fprintf(stderr,
                     "contabiliza-pos: orden desconocida «%s».\n"
                     "Vea «contabiliza-pos --help».\n",
                     argv[1]);
        return 64;
    }
    if (!displayReachable()) {
        std::fputs("contabiliza-pos: no display to open the window on (DISPLAY and "
                   "WAYLAND_DISPLAY are not set).\n"
                   "Without a window: \"contabiliza-pos post\"; see \"contabiliza-pos --help\".\n",
                   stderr);
        return 1;
    }
    return kalmora::app::runWindowProgram(argc, argv);
}
