// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The scratch files of the checked writer (replacefile.h): their names, their
// removal when SIGINT, SIGTERM or SIGHUP ends the program, and the sweep of
// those a killed writer left behind. A write of several files is never cut
// in the middle of its renames by those signals (see RenamePhase), and a
// write past the file-size limit fails instead of killing the program.
//
// A scratch file is named ".NAME.korvel-XXXXXX" beside its target NAME. Its
// writer holds an flock on it from its creation until it is renamed over the
// target, and the kernel drops that lock however the writer ends. So a file of
// that name, owned by this user, that can be locked without waiting has no
// live writer, and the sweep removes it; a locked file, a file of another
// user and any other name are never touched.

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace korvel {

// What follows ".NAME" in a scratch file's name, before the six random
// characters of mkostemp.
inline constexpr std::string_view ScratchMark = ".korvel-";

namespace scratchfiles_detail {

// The names of the scratch files that exist now, for the signal handler,
// which may neither allocate nor lock. A slot is claimed by one writer
// (Free -> Filling), holds its name while Live, and is given back after the
// file is renamed or removed. A name longer than a slot, or a writer that
// finds every slot taken, goes unregistered: its file is then left to the
// next sweep.
enum SlotState : int { Free = 0, Filling = 1, Live = 2 };

struct ScratchSlot {
    std::atomic<int> state{Free};
    char path[4096];
};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");

inline ScratchSlot scratchSlots[16];

// The writes of several files that are renaming them now, in any thread, and
// whether a terminating signal has begun to end the program. The handler sets
// ending and then waits for renamesUnderWay to fall to 0; a writer counts
// itself in and then looks at ending, and renames nothing once it is set.
// So either the handler waits for the renames or the renames never start.
inline std::atomic<int> renamesUnderWay{0};
inline std::atomic<int> ending{0};

// How long the handler waits for renames under way: renames take
// microseconds, so only a hung file system makes it give up.
inline constexpr int RenameWaitMs = 5000;

// The signals that end the program and so must not fall between two renames,
// and SIGXFSZ, which must not either (it is harmless here, see below).
inline sigset_t heldSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) {
        sigaddset(&set, sig);
    }
    return set;
}

// Async-signal-safe: atomics, nanosleep, unlink, sigaction and raise only.
// A write of several files renaming them in another thread (never in this
// one: a writer blocks the signals in its own thread while it renames) is
// let finish first, so that its files are all new, not some new and some
// old. Then the scratch files are removed, among them the old files such a
// write exchanged out, the default action is restored and the signal raised
// again, so the program ends as the signal means (a shell sees "killed by
// SIGTERM").
inline void onTerminatingSignal(int sig) {
    const int saved = errno;
    ending.store(1);
    for (int waited = 0; renamesUnderWay.load() > 0 && waited < RenameWaitMs; ++waited) {
        struct timespec ms {
            0, 1000000
        };
        ::nanosleep(&ms, nullptr);
    }
    for (ScratchSlot& s : scratchSlots) {
        if (s.state.load() == Live) {
            ::unlink(s.path);
        }
    }
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(sig, &dfl, nullptr);
    errno = saved;
    // Blocked while this handler runs, the signal is delivered as it returns.
    ::raise(sig);
}

// SIGXFSZ, which the kernel sends to a write past the file-size limit
// (ulimit -f), is caught and does nothing, so the write fails with EFBIG
// ("File too large") as on a full disk: the checked writer keeps the old file
// and says so, instead of the program being killed with its unsaved work. A
// handler, not SIG_IGN, so that programs this one starts get the default
// again.
inline void onFileSizeSignal(int) {}

inline bool isScratchLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

} // namespace scratchfiles_detail

// The rename phase of a write of several files, for the time the object
// lives: the terminating signals (and SIGXFSZ) are blocked in this thread,
// and a handler running in another thread waits until the phase ends. When a
// terminating signal has already begun to end the program, entered() is
// false and nothing may be renamed.
class RenamePhase {
public:
    RenamePhase() {
        using namespace scratchfiles_detail;
        const sigset_t held = heldSignals();
        ::pthread_sigmask(SIG_BLOCK, &held, &old_);
        renamesUnderWay.fetch_add(1);
        entered_ = ending.load() == 0;
        if (!entered_) {
            renamesUnderWay.fetch_sub(1);
        }
    }
    ~RenamePhase() {
        if (entered_) {
            scratchfiles_detail::renamesUnderWay.fetch_sub(1);
        }
        // A signal that came meanwhile is delivered now, and finds every
        // file renamed.
        ::pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    RenamePhase(const RenamePhase&) = delete;
    RenamePhase& operator=(const RenamePhase&) = delete;
    bool entered() const { return entered_; }

private:
    sigset_t old_{};
    bool entered_ = false;
};

// Makes SIGINT, SIGTERM and SIGHUP remove the scratch files this process is
// writing before it ends, never between the renames of a write of several
// files, and makes a write past the file-size limit fail instead of killing
// the program (SIGXFSZ). Each program calls it once at the start of main; a
// signal the program was started with ignored stays ignored.
inline void removeScratchFilesOnSignals() {
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
        struct sigaction act {};
        act.sa_handler = scratchfiles_detail::onFileSizeSignal;
        sigemptyset(&act.sa_mask);
        act.sa_flags = SA_RESTART;
        ::sigaction(SIGXFSZ, &act, nullptr);
    }
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction act {};
        act.sa_handler = scratchfiles_detail::onTerminatingSignal;
        sigemptyset(&act.sa_mask);
        // The other two wait while the files are removed.
        for (const int other : {SIGINT, SIGTERM, SIGHUP}) {
            sigaddset(&act.sa_mask, other);
        }
        act.sa_flags = SA_RESTART;
        ::sigaction(sig, &act, nullptr);
    }
}

// The name of one scratch file, registered for the signal handler while it is
// armed. The name is built in a slot (or, when none is free, in a string of
// its own) so that mkostemp fills in the random part where the handler reads
// it.
class ScratchName {
public:
    ScratchName() = default;
    ScratchName(const ScratchName&) = delete;
    ScratchName& operator=(const ScratchName&) = delete;
    ~ScratchName() { disarm(); }

    // Sets the template "FOLDER/.NAME.korvel-XXXXXX" and arms it: from now
    // on a terminating signal unlinks whatever the name holds.
    void arm(const std::string& folder, const std::string& name) {
        using namespace scratchfiles_detail;
        disarm();
        own_ = (folder == "/" ? "" : folder) + "/." + name + std::string(ScratchMark) + "XXXXXX";
        if (own_.size() >= sizeof(ScratchSlot::path)) {
            return;
        }
        for (ScratchSlot& s : scratchSlots) {
            int expected = Free;
            if (s.state.compare_exchange_strong(expected, Filling)) {
                std::memcpy(s.path, own_.c_str(), own_.size() + 1);
                s.state.store(Live);
                slot_ = &s;
                return;
            }
        }
    }

    // Forgets the name; the file it names, if any, is the caller's.
    void disarm() {
        if (slot_ != nullptr) {
            slot_->state.store(scratchfiles_detail::Free);
            slot_ = nullptr;
        }
        own_.clear();
    }

    // The name, writable for mkostemp while armed.
    char* data() { return slot_ != nullptr ? slot_->path : own_.data(); }
    std::string str() const { return slot_ != nullptr ? std::string(slot_->path) : own_; }

private:
    scratchfiles_detail::ScratchSlot* slot_ = nullptr;
    std::string own_;
};

// Whether entry (a name inside a folder) is a scratch file name of target
// name: "." + name + ScratchMark + six letters or digits.
inline bool isScratchNameOf(std::string_view entry, std::string_view name) {
    const std::size_t head = 1 + name.size() + ScratchMark.size();
    if (entry.size() != head + 6 || entry[0] != '.' || entry.substr(1, name.size()) != name ||
        entry.substr(1 + name.size(), ScratchMark.size()) != ScratchMark) {
        return false;
    }
    for (std::size_t k = head; k < entry.size(); ++k) {
        if (!scratchfiles_detail::isScratchLetter(entry[k])) {
            return false;
        }
    }
    return true;
}

// Removes the scratch files of target name in folder whose writer is gone:
// regular files of this user that no process holds locked. Never waits; does
// nothing on any failure (a sweep only tidies up).
inline void sweepStaleScratchFiles(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const int dirfd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        if (!isScratchNameOf(e->d_name, name)) {
            continue;
        }
        const int fd =
            ::openat(dirfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat held {};
        struct stat named {};
        // Locked, it is the name of the file just opened still: a writer that
        // lost the race to its own lock sees its name gone and starts over.
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirfd, e->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
            ::unlinkat(dirfd, e->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(dir);
}

} // namespace korvel
