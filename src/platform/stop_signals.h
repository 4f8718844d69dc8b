// SPDX-License-Identifier: Apache-2.0
#pragma once
// Stopping the program from outside, and how long its end may take. SIGINT (Ctrl+C) and
// SIGTERM (a logout, a shutdown, "systemctl stop") must stop it at any moment; the Firebird
// client catches both once it is loaded and would swallow them. And the exit path runs the
// client's shutdown, which must not hold the process, and the engine's locks, for ever.

#include <functional>

namespace kalmora::platform {

/// Takes SIGINT and SIGTERM away from the calling thread, and so from every thread started
/// from it afterwards (the database client's among them), and hands each one that arrives to
/// `onStop`, on a thread of its own. Call it before anything starts a thread. `onStop` gets
/// the signal's number; it must be safe to call from another thread.
void handStopSignalsTo(std::function<void(int signal)> onStop);

/// Ends the process by `signal` itself, with its default action, as if nothing had caught it:
/// the parent (a shell: 130 for SIGINT, 143 for SIGTERM) sees the signal that ended it.
[[noreturn]] void endBySignal(int signal);

/// Ends the process with `status` if it is still running `seconds` from now, whatever its
/// exit handlers are waiting for.
void limitExitTo(int seconds, int status);

} // namespace kalmora::platform
