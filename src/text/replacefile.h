// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one checked write of whole files, for every file the program and its
// tools write: the bytes go to a scratch file beside the target, every step
// is checked (write, sync, close, rename, sync of the folder), and on any
// failure the scratch file is removed and the old file stays byte for byte.
// Several files written together (an SVG puzzle and its solution) are all
// replaced or none is.

#include "regularfile.h"
#include "scratchfiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korvel {

// One file of a write: its name (bytes, as the file system takes them) and
// its whole new content.
struct FileReplacement {
    std::string path;
    std::string_view bytes;
    // The permissions of a new file, less what the umask takes away; 0 for
    // 0666 (so the umask alone decides). A file there keeps its own.
    mode_t newFileMode = 0;
};

namespace replacefile_detail {

inline std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

inline bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

inline mode_t currentUmask() {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
}

// The kernel's own limit of links followed in one path.
constexpr int MaxLinks = 40;

// Where a write to path lands: symbolic links at path followed to the file
// they lead to, which need not exist (a dangling link is followed to the new
// file it names). A relative link is taken from the link's folder. Fails on
// a loop of links.
inline bool resolveLinks(const std::string& path, std::string& target, std::string& error) {
    target = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0) {
            if (errno == ELOOP) {
                break;
            }
            // Missing (a new file) or unreachable: creating the scratch
            // file beside it tells which.
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            return true;
        }
        if (hops == MaxLinks) {
            break;
        }
        std::string link(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 4096, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) {
            error = systemError("cannot read the symbolic link " + target);
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        if (link[0] == '/') {
            target = link;
        } else {
            const std::size_t slash = target.rfind('/');
            target =
                (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + link;
        }
    }
    error = path + " is a loop of symbolic links";
    return false;
}

// What the checks before any write learned of one target.
struct Target {
    std::string path; // links followed
    std::string folder;
    std::string name;
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    mode_t mode = 0;
};

// Whether path can be replaced, without touching anything: the file it leads
// to must be a regular file that its owner has not marked read-only and that
// this user may write, or not exist yet.
inline bool examine(const std::string& path, Target& t, std::string& error) {
    if (path.empty()) {
        error = "no file name";
        return false;
    }
    if (!resolveLinks(path, t.path, error)) {
        return false;
    }
    const std::size_t slash = t.path.rfind('/');
    t.folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : t.path.substr(0, slash));
    t.name = slash == std::string::npos ? t.path : t.path.substr(slash + 1);
    struct stat st {};
    if (::stat(t.path.c_str(), &st) != 0) {
        return true;
    }
    if (!S_ISREG(st.st_mode)) {
        error = t.path + " is " + fileKind(st.st_mode);
        return false;
    }
    // The owner's write bit is asked directly, because root may write any
    // file: a file marked read-only stays so whoever runs the program.
    if ((st.st_mode & S_IWUSR) == 0) {
        error = t.path + " is read-only";
        return false;
    }
    // Only a writable folder is needed to rename over a file; a file this
    // user may not write (another user's, in a shared folder) is refused
    // all the same.
    if (::faccessat(AT_FDCWD, t.path.c_str(), W_OK, AT_EACCESS) != 0) {
        error = systemError("cannot write " + t.path);
        return false;
    }
    t.exists = true;
    t.dev = st.st_dev;
    t.ino = st.st_ino;
    t.mode = st.st_mode & 07777;
    return true;
}

// One scratch file: removed when the object goes unless renamed away, its
// lock held until then.
struct Scratch {
    ScratchName name;
    int fd = -1;
    // A second descriptor of the same open file, so that the lock outlives
    // the checked close of fd.
    int lockFd = -1;
    // Something under name is this writer's to remove.
    bool exists = false;
    // The old file, once exchanged out to name, locked so that no sweep
    // takes it while it may still have to go back.
    int oldFd = -1;

    Scratch() = default;
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    ~Scratch() {
        if (fd >= 0) {
            ::close(fd);
        }
        if (exists) {
            ::unlink(name.data());
        }
        if (lockFd >= 0) {
            ::close(lockFd);
        }
        if (oldFd >= 0) {
            ::close(oldFd);
        }
    }
};

inline bool sameFile(int fd, const char* path) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path, &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// Creates the scratch file of t, locked against the sweeps.
inline bool createScratch(const Target& t, Scratch& s, std::string& error) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        s.name.arm(t.folder, t.name);
        const int fd = ::mkostemp(s.name.data(), O_CLOEXEC);
        if (fd < 0) {
            error = systemError("cannot create a file in " + t.folder);
            s.name.disarm();
            return false;
        }
        int locked = 0;
        while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        // Without locks (some network file systems) the file is still
        // written; only a sweep at the same moment could take it away.
        if (locked != 0 || sameFile(fd, s.name.data())) {
            s.fd = fd;
            s.exists = true;
            return true;
        }
        // A sweep locked and removed it before this lock: a new name.
        ::close(fd);
    }
    error = "cannot create a file in " + t.folder + ": each new file was removed at once";
    return false;
}

inline bool fillScratch(Scratch& s, mode_t mode, std::string_view bytes, std::string& error) {
    const std::string name = s.name.str();
    if (::fchmod(s.fd, mode) != 0) {
        error = systemError("cannot set the permissions of " + name);
        return false;
    }
    if (!writeAll(s.fd, bytes)) {
        error = systemError("cannot write " + name);
        return false;
    }
    if (::fsync(s.fd) != 0) {
        error = systemError("cannot write " + name + " to the disk");
        return false;
    }
    s.lockFd = ::fcntl(s.fd, F_DUPFD_CLOEXEC, 0);
    const int fd = s.fd;
    s.fd = -1;
    if (::close(fd) != 0) {
        error = systemError("cannot close " + name);
        return false;
    }
    return true;
}

inline bool syncFolder(const std::string& folder, std::string& error) {
    const int dirfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd < 0) {
        error = systemError("cannot open the folder " + folder);
        return false;
    }
    const bool synced = ::fsync(dirfd) == 0 || errno == EINVAL;
    const int syncError = errno;
    ::close(dirfd);
    if (!synced) {
        errno = syncError;
        error = systemError("cannot write the folder " + folder + " to the disk");
        return false;
    }
    return true;
}

// How a file that is not the last was put in place, and so how it is taken
// back when a later one fails.
enum class Placed { Exchanged, Created, Replaced };

inline bool unsupported(int e) {
    return e == EINVAL || e == ENOSYS || e == EOPNOTSUPP;
}

// For the tests alone: called after each rename of a write of several files
// but the last, with the number of files renamed so far, so that a test can
// send a signal at the moment the files are part new and part old.
inline void (*betweenRenames)(std::size_t renamed) = nullptr;

} // namespace replacefile_detail

// Writes each file's bytes as the whole file at its path, all or none: every
// file is written to its scratch file and synced before the first is
// renamed into place. A file there keeps its permissions, a new one gets
// those the umask allows; through a symbolic link (a dangling one too) the
// file it leads to is written and the link stays. Refused, with nothing
// written: anything but a regular file at a path, a loop of links, a file
// whose owner has no write permission (for root too) or that this user may
// not write, two paths that are one file. Stale scratch files of a path,
// left by a writer that was killed, are removed first.
//
// The files are renamed into place one after the other. When a rename
// fails, those already renamed are exchanged back (renameat2), so that every
// path holds what it held before; a file system that cannot exchange two
// names keeps the ones already renamed, and error says so. SIGINT, SIGTERM
// and SIGHUP (with removeScratchFilesOnSignals) end the program before the
// first rename or after the last, never between two. On failure error says
// which step failed and why.
inline bool replaceFiles(const std::vector<FileReplacement>& files, std::string& error) {
    using namespace replacefile_detail;
    const std::size_t n = files.size();
    std::vector<Target> targets(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (!examine(files[i].path, targets[i], error)) {
            return false;
        }
        for (std::size_t j = 0; j < i; ++j) {
            const bool same =
                targets[i].path == targets[j].path ||
                (targets[i].exists && targets[j].exists && targets[i].dev == targets[j].dev &&
                 targets[i].ino == targets[j].ino);
            if (same) {
                error = files[j].path + " and " + files[i].path + " are one file";
                return false;
            }
        }
    }
    for (const Target& t : targets) {
        sweepStaleScratchFiles(t.folder, t.name);
    }

    const mode_t fresh = 0666 & ~currentUmask();
    const std::unique_ptr<Scratch[]> scratch(new Scratch[n]);
    for (std::size_t i = 0; i < n; ++i) {
        const mode_t newMode =
            files[i].newFileMode != 0 ? (files[i].newFileMode & ~currentUmask()) : fresh;
        if (!createScratch(targets[i], scratch[i], error) ||
            !fillScratch(scratch[i], targets[i].exists ? targets[i].mode : newMode, files[i].bytes,
                         error)) {
            return false;
        }
    }

    // From the first rename to the last, SIGINT, SIGTERM and SIGHUP wait (or
    // their handler in another thread does), so that they never find the
    // paths part new and part old.
    const RenamePhase phase;
    if (!phase.entered()) {
        error = "the program is ending: nothing was replaced";
        return false;
    }
    std::vector<Placed> placed;
    std::string replacedAlready;
    for (std::size_t i = 0; i < n; ++i) {
        Scratch& s = scratch[i];
        const Target& t = targets[i];
        const bool last = i + 1 == n;
        bool ok = false;
        Placed how = Placed::Replaced;
        if (!last) {
            // The file taken out keeps the scratch name until the end, so
            // that a failure further on can exchange it back.
            const unsigned flag = t.exists ? RENAME_EXCHANGE : RENAME_NOREPLACE;
            if (t.exists) {
                s.oldFd = ::open(t.path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
                if (s.oldFd >= 0) {
                    ::flock(s.oldFd, LOCK_EX | LOCK_NB);
                }
            }
            ok = ::renameat2(AT_FDCWD, s.name.data(), AT_FDCWD, t.path.c_str(), flag) == 0;
            if (ok) {
                how = t.exists ? Placed::Exchanged : Placed::Created;
            } else if (unsupported(errno)) {
                ok = ::rename(s.name.data(), t.path.c_str()) == 0;
                how = t.exists ? Placed::Replaced : Placed::Created;
            }
        } else {
            ok = ::rename(s.name.data(), t.path.c_str()) == 0;
        }
        if (!ok) {
            error = systemError("cannot replace " + t.path);
            // Taken back last first.
            for (std::size_t j = placed.size(); j-- > 0;) {
                const Target& back = targets[j];
                if (placed[j] == Placed::Exchanged) {
                    ::renameat2(AT_FDCWD, scratch[j].name.data(), AT_FDCWD, back.path.c_str(),
                                RENAME_EXCHANGE);
                } else if (placed[j] == Placed::Created) {
                    ::unlink(back.path.c_str());
                } else {
                    replacedAlready += (replacedAlready.empty() ? "" : ", ") + back.path;
                }
            }
            if (!replacedAlready.empty()) {
                error += " (" + replacedAlready + " replaced already)";
            }
            return false;
        }
        if (how != Placed::Exchanged) {
            s.exists = false;
        }
        placed.push_back(how);
        if (!last && betweenRenames != nullptr) {
            betweenRenames(placed.size());
        }
    }
    // The renames themselves reach the disk only with their folders.
    for (std::size_t i = 0; i < n; ++i) {
        bool seen = false;
        for (std::size_t j = 0; j < i; ++j) {
            seen = seen || targets[j].folder == targets[i].folder;
        }
        if (!seen && !syncFolder(targets[i].folder, error)) {
            return false;
        }
    }
    return true;
}

// Writes bytes as the whole file at path: replaceFiles with one file.
inline bool replaceFile(const std::string& path, std::string_view bytes, std::string& error) {
    return replaceFiles({FileReplacement{path, bytes}}, error);
}

// Whether replaceFile could write path now: the same checks, and a scratch
// file made beside it and removed again. path itself is neither created nor
// changed. For a program that would otherwise find out only after long work.
inline bool checkReplaceable(const std::string& path, std::string& error) {
    using namespace replacefile_detail;
    Target t;
    Scratch s;
    return examine(path, t, error) && createScratch(t, s, error);
}

} // namespace korvel
