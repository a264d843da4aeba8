// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A signal sent at the moment the checked writer's scratch file exists: the
// folder is watched (inotify), and when the nth hidden file (the scratch
// files are ".NAME.korvel-XXXXXX") is created in it, the child gets the
// signal. What is left in the folder afterwards shows whether the child
// cleaned up.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace korvel::testing {

struct SignalledRun {
    int status = -1; // as waitpid gives it
    bool signalSent = false;
    bool killedBySignal(int sig) const { return WIFSIGNALED(status) && WTERMSIG(status) == sig; }
    bool exitedWith(int code) const { return WIFEXITED(status) && WEXITSTATUS(status) == code; }
};

// Runs child() in a new process and sends it sig as soon as the nth hidden
// file appears in folder (or never, when the child ends first). The child's
// return value is its exit status. Waits at most 60 s, then kills it.
inline SignalledRun signalOnScratch(const std::function<int()>& child, const std::string& folder,
                                    int sig, int nth = 1) {
    SignalledRun run;
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watch < 0 || inotify_add_watch(watch, folder.c_str(), IN_CREATE) < 0) {
        return run;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        std::_Exit(child());
    }
    int seen = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!run.signalSent && std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, &run.status, WNOHANG) == pid) {
            close(watch);
            return run;
        }
        pollfd p{watch, POLLIN, 0};
        if (poll(&p, 1, 5) <= 0) {
            continue;
        }
        alignas(inotify_event) char buf[4096];
        const ssize_t n = read(watch, buf, sizeof buf);
        for (ssize_t off = 0; off < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buf + off);
            if (e->len > 0 && e->name[0] == '.' && ++seen == nth) {
                kill(pid, sig);
                run.signalSent = true;
                break;
            }
            off += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        }
    }
    if (!run.signalSent) {
        kill(pid, SIGKILL);
    }
    waitpid(pid, &run.status, 0);
    close(watch);
    return run;
}

// A child that runs a program, its output thrown away.
inline std::function<int()> execChild(std::vector<std::string> argv) {
    return [argv = std::move(argv)]() -> int {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execv(args[0], args.data());
        return 127;
    };
}

} // namespace korvel::testing
