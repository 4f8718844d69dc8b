// SPDX-License-Identifier: Apache-2.0
#pragma once
// The arguments of the headless command "contabiliza-pos post": what to connect to and
// what to post. The password is never one of them.

#include "core/value.h"
#include "posting/connect_step.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kalmora::cli {

/// How the post command reports: the window's messages as text, or one JSON object a line.
enum class PostFormat { Text, Json };

struct PostOptions
{
    bool help = false;
    std::string server; // may be empty: the database path then starts with "/datos/"
    std::string company;
    std::string user;
    posting::WaitLimits limits;
    std::optional<core::Date> day; // none: today, as the window sets it when connecting
    std::optional<std::string> point;
    std::optional<std::int64_t> pointId;
    bool allPoints = false; // --all-points: every point of the company, each on its own
    /// --from and --to: every day from the one to the other, both included; both or neither.
    std::optional<core::Date> from;
    std::optional<core::Date> to;
    bool preview = false; // --preview: run it and roll it back (headless_preview.h)
    PostFormat format = PostFormat::Text;

    /// Whether the command posts (or previews) more than one day and point, or may: each is
    /// then reported on its own (post_report.h).
    bool manyRuns() const { return allPoints || from.has_value(); }
};

/// The longest range of days --from and --to may name: a year (a mistyped year would
/// otherwise post thousands of days).
inline constexpr int kMaxPostDays = 366;

/// A command line that cannot be run; what() says why, in one line.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// What every command that logs in is told: where, which company, as whom.
struct LoginOptions
{
    bool help = false;
    std::string server; // may be empty: the database path then starts with "/datos/"
    std::string company;
    std::string user;
    /// --connect-timeout and --lock-timeout (seconds), else the environment's or the defaults.
    posting::WaitLimits limits;
};

/// Reads the value of the option being read (the next argument, or what follows "=").
using OptionValue = std::function<std::string()>;

/// Reads a command's arguments: "--help" / "-h" and the login options into `login`, every
/// other option to `own`, which reads its value through the function it is given (a flag
/// reads none) and returns false for an option it does not know. Then, unless help was
/// asked for, refuses a missing --server, --company or --user and a company code that
/// leads out of its folder. Throws UsageError.
void readOptions(const std::vector<std::string> &args, LoginOptions &login,
                 const std::function<bool(const std::string &name, const OptionValue &value)> &own);

/// Reads the arguments after "post". Options take their value as the next argument or
/// after "=" ("--date=2026-03-07"). Throws UsageError for an unknown option, a missing
/// value, a day that is not a valid YYYY-MM-DD, a point id that is not a whole number or
/// lies outside the range of PTVT_ID (a 32-bit INTEGER), a --format other than text or
/// json, and, unless --help is given, a missing --server, --company, --user, or point;
/// --all-points together with --point or --point-id; --date together with --from or --to;
/// --from without --to or the reverse; a --to before --from, or more than kMaxPostDays
/// days between them.
PostOptions parsePostOptions(const std::vector<std::string> &args);

/// The text of --help.
std::string postHelp();

/// The value of a day option (--date, --from, --to): a valid YYYY-MM-DD from the year 1.
/// Throws UsageError.
core::Date dayOptionValue(const std::string &text);

/// The value of --point-id: a whole number that PTVT_ID (INTEGER) can hold. Throws
/// UsageError.
std::int64_t pointIdOptionValue(const std::string &text);

/// Refuses, as a UsageError, a --to before --from and a range of more than kMaxPostDays
/// days.
void checkDayRange(const core::Date &from, const core::Date &to);

} // namespace kalmora::cli
