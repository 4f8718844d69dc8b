// SPDX-License-Identifier: Apache-2.0
#pragma once
// What every headless command does around its own work: the locale read as the window reads
// it, and every failure turned into its message on standard error and its exit status.

#include <functional>
#include <string>
#include <vector>

namespace kalmora::cli {

/// The exit statuses every headless command shares.
constexpr int kCommandFailure = 3; ///< a failure, shown on standard error as the error box shows it
constexpr int kCommandUsage = 64;

/// Runs the command `name` ("post"): `work` parses the arguments after the name, prints the
/// help when asked or does the work, and returns the exit status. A UsageError (see
/// headless_options.h) is told with a pointer to the command's help.
int runHeadlessCommand(int argc, char **argv, const std::string &name,
                       const std::function<int(const std::vector<std::string> &args)> &work);

} // namespace kalmora::cli
