// SPDX-License-Identifier: Apache-2.0
#pragma once
// Runs a helper program (isql-fb, db/make-company) for the tests and collects what it
// printed.

#include <string>
#include <vector>

namespace kalmora::test {

struct ProgramResult
{
    int exitCode = -1; // the exit status; -1 when it did not exit normally
    std::string out;   // standard output
    std::string err;   // standard error
};

/// Runs `argv[0]` (looked up in PATH) with `input` on its standard input and waits for
/// it. Throws std::runtime_error when it cannot be started.
ProgramResult runProgram(const std::vector<std::string> &argv, const std::string &input = {});

} // namespace kalmora::test
