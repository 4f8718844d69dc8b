// SPDX-License-Identifier: Apache-2.0
#pragma once
// "contabiliza-pos reverse": takes back a completed posting of cash sales through the
// company database's REVIERTE_CONTADO, in one transaction, and prints the reversing voucher.

#include "posting/connect_step.h"
#include "cli/headless_command.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kalmora::cli {

/// Exit statuses of the reverse command.
enum ReverseExit : int {
    kReverseDone = 0,
    kReverseRefused = 1, ///< the database refused it and changed nothing; the reason is printed
    kReverseFailure = kCommandFailure,
    kReverseUsage = kCommandUsage,
};

struct ReverseOptions
{
    bool help = false;
    std::string server;
    std::string company;
    std::string user;
    posting::WaitLimits limits;
    std::int64_t voucher = 0; // COMP_ID
};

/// Reads the arguments after "reverse", in the manner of parsePostOptions(). Throws
/// UsageError (headless_options.h).
ReverseOptions parseReverseOptions(const std::vector<std::string> &args);

/// The text of --help.
std::string reverseHelp();

/// Runs the command; `argv[0]` is "reverse". Returns the exit status.
int runHeadlessReverse(int argc, char **argv);

} // namespace kalmora::cli
