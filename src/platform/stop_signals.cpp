// SPDX-License-Identifier: Apache-2.0
#include "platform/stop_signals.h"

#include <chrono>
#include <csignal>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace kalmora::platform {

void handStopSignalsTo(std::function<void(int signal)> onStop)
{
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    // Blocked everywhere, a stop signal stays pending until the watcher below takes it: no
    // handler that another library installs ever sees it.
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    std::thread([stops, onStop = std::move(onStop)] {
        for (;;) {
            int signal = 0;
            if (sigwait(&stops, &signal) == 0)
                onStop(signal);
        }
    }).detach();
}

void endBySignal(int signal)
{
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    ::_exit(128 + signal); // not reached: the default action ends the process
}

void limitExitTo(int seconds, int status)
{
    std::thread([seconds, status] {
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        ::_exit(status);
    }).detach();
}

} // namespace kalmora::platform
