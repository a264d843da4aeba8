// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A real signal sent while a write of several files is between its renames:
// the child process sets the checked writer's test hook, which tells the
// parent when the given number of files is renamed and then waits; the
// parent sends the signal, gives it time to land, and lets the child go on.
// The child starts as a program does (its signals at their defaults, then
// removeScratchFilesOnSignals), and with secondThread has a thread that only
// waits, so that the signal may land there while the renaming thread holds it
// off.

#include "replacefile.h"
#include "scratchsignal.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace korvel::testing {

namespace renamesignal_detail {

inline int readyFd = -1;
inline int goFd = -1;
inline std::size_t pauseAfter = 1;

inline void pauseHere(std::size_t renamed) {
    if (renamed != pauseAfter) {
        return;
    }
    char c = 'r';
    while (::write(readyFd, &c, 1) < 0 && errno == EINTR) {
    }
    while (::read(goFd, &c, 1) < 0 && errno == EINTR) {
    }
}

} // namespace renamesignal_detail

// Runs child() in a new process that pauses once afterRenamed files of a
// write are renamed, sends it sig there, and lets it go on 100 ms later. The
// child's return value is its exit status. signalSent is false when the child
// never reached the pause (it ended, or 60 s passed; then it is killed).
inline SignalledRun signalBetweenRenames(const std::function<int()>& child, int sig,
                                         std::size_t afterRenamed = 1, bool secondThread = false) {
    SignalledRun run;
    int ready[2];
    int go[2];
    if (::pipe(ready) != 0 || ::pipe(go) != 0) {
        return run;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        ::close(go[1]);
        for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) {
            std::signal(s, SIG_DFL);
        }
        removeScratchFilesOnSignals();
        if (secondThread) {
            std::thread([] {
                for (;;) {
                    ::pause();
                }
            }).detach();
        }
        renamesignal_detail::readyFd = ready[1];
        renamesignal_detail::goFd = go[0];
        renamesignal_detail::pauseAfter = afterRenamed;
        replacefile_detail::betweenRenames = renamesignal_detail::pauseHere;
        const int status = child();
        // A signal that landed in the other thread ends the program once the
        // renames are done, from that thread: a program goes on after a
        // write, so this one waits a while for it before it exits.
        if (secondThread) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
        std::_Exit(status);
    }
    ::close(ready[1]);
    ::close(go[0]);
    pollfd p{ready[0], POLLIN, 0};
    char c = 0;
    const int polled = ::poll(&p, 1, 60000);
    if (polled == 1 && ::read(ready[0], &c, 1) == 1) {
        ::kill(pid, sig);
        run.signalSent = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        // A child the signal ended has closed its end of the pipe: the
        // write fails instead of ending this process with SIGPIPE.
        const auto oldPipe = std::signal(SIGPIPE, SIG_IGN);
        const char g = 'g';
        (void)!::write(go[1], &g, 1);
        std::signal(SIGPIPE, oldPipe);
    } else if (polled == 0) {
        ::kill(pid, SIGKILL);
    }
    // Otherwise the child ended without pausing (the pipe closed).
    ::waitpid(pid, &run.status, 0);
    ::close(ready[0]);
    ::close(go[1]);
    return run;
}

} // namespace korvel::testing
