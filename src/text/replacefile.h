#pragma once

// The one checked write of a whole file, for every file the program and its
// tools write: the bytes go to a scratch file beside the target, every step
// is checked (write, sync, close, rename, sync of the folder), and on any
// failure the scratch file is removed and the old file stays byte for byte.

#include "regularfile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace korvel {

namespace replacefile_detail {

inline std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Closes a descriptor and removes a scratch file unless released.
struct Scratch {
    int fd = -1;
    std::string path;
    ~Scratch() {
        if (fd >= 0) {
            ::close(fd);
        }
        if (!path.empty()) {
            ::unlink(path.c_str());
        }
    }
};

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

} // namespace replacefile_detail

// Writes bytes as the whole file at path. A file there keeps its
// permissions, a new one gets those the umask allows; through a symbolic
// link the file it leads to is replaced and the link stays. Anything but a
// regular file at path is refused. On failure error says which step failed
// and why, and nothing on disk has changed.
inline bool replaceFile(const std::string& path, std::string_view bytes, std::string& error) {
    using namespace replacefile_detail;
    if (path.empty()) {
        error = "no file name";
        return false;
    }
    std::string target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    mode_t mode = 0666 & ~currentUmask();
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            error = target + " is " + fileKind(st.st_mode);
            return false;
        }
        mode = st.st_mode & 07777;
    }
    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);

    Scratch scratch;
    std::string tmpl = (folder == "/" ? "" : folder) + "/." + name + ".XXXXXX";
    scratch.fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (scratch.fd < 0) {
        error = systemError("cannot create a file in " + folder);
        return false;
    }
    scratch.path = tmpl;
    if (::fchmod(scratch.fd, mode) != 0) {
        error = systemError("cannot set the permissions of " + scratch.path);
        return false;
    }
    if (!writeAll(scratch.fd, bytes)) {
        error = systemError("cannot write " + scratch.path);
        return false;
    }
    if (::fsync(scratch.fd) != 0) {
        error = systemError("cannot write " + scratch.path + " to the disk");
        return false;
    }
    const int fd = scratch.fd;
    scratch.fd = -1;
    if (::close(fd) != 0) {
        error = systemError("cannot close " + scratch.path);
        return false;
    }
    if (::rename(scratch.path.c_str(), target.c_str()) != 0) {
        error = systemError("cannot replace " + target);
        return false;
    }
    scratch.path.clear();
    // The rename itself reaches the disk only with its folder.
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

} // namespace korvel
