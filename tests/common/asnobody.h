// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The checks that root passes by its privileges (writing a file whose mode
// forbids it) are tested as another user: when the tests run as root, a
// child process drops to "nobody" and runs the code under test there.

#include <cstdlib>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvel::testing {

struct OtherUser {
    uid_t uid = 0;
    gid_t gid = 0;
};

// The user "nobody", when this process is root and may become it.
inline bool nobodyUser(OtherUser& user) {
    if (geteuid() != 0) {
        return false;
    }
    const passwd* pw = getpwnam("nobody");
    if (pw == nullptr || pw->pw_uid == 0) {
        return false;
    }
    user = {pw->pw_uid, pw->pw_gid};
    return true;
}

// Runs fn in a child process as user; returns its exit status (fn's return
// value), or -1 when the child could not become user or did not end normally.
inline int runAs(const OtherUser& user, const std::function<int()>& fn) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(user.gid) != 0 || setuid(user.uid) != 0) {
            std::_Exit(255);
        }
        std::_Exit(fn());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 255) {
        return -1;
    }
    return WEXITSTATUS(status);
}

} // namespace korvel::testing
