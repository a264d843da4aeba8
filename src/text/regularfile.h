// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Bounded whole reads of regular files, for every file the program opens to
// read: a FIFO must not block the open, /dev/zero must not fill the memory,
// and a huge file must be refused before it is read.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace korvel {

enum class FileReadStatus { Ok, Missing, NotRegular, TooLarge, Failed };

struct FileReadResult {
    FileReadStatus status = FileReadStatus::Failed;
    // Why it failed, to follow the file's name: "is a FIFO", "cannot be
    // opened: Permission denied".
    std::string cause;
    bool ok() const { return status == FileReadStatus::Ok; }
};

// What a file of this mode is, for a message: "a FIFO", "a folder" ...
inline std::string fileKind(mode_t mode) {
    switch (mode & S_IFMT) {
    case S_IFREG:
        return "a regular file";
    case S_IFDIR:
        return "a folder";
    case S_IFIFO:
        return "a FIFO";
    case S_IFSOCK:
        return "a socket";
    case S_IFCHR:
    case S_IFBLK:
        return "a device";
    case S_IFLNK:
        return "a symbolic link";
    default:
        return "not a regular file";
    }
}

// Opens the file at path (relative to dirfd; AT_FDCWD for the current folder)
// to read, refusing anything that is not a regular file. The open does not
// block (O_NONBLOCK), so a FIFO is refused instead of waiting for a writer.
// With noFollow a symbolic link at path itself is refused too. On success fd
// is the open descriptor, which the caller closes, and st its status; on
// failure fd is -1 and nothing stays open.
inline FileReadResult openRegularFile(int dirfd, const std::string& path, bool noFollow, int& fd,
                                      struct stat& st) {
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (noFollow ? O_NOFOLLOW : 0);
    fd = ::openat(dirfd, path.c_str(), flags);
    if (fd < 0) {
        const int e = errno;
        if (e == ENOENT || e == ENOTDIR) {
            return FileReadResult{FileReadStatus::Missing,
                                  std::string("cannot be opened: ") + std::strerror(e)};
        }
        if (e == ELOOP && noFollow) {
            return FileReadResult{FileReadStatus::NotRegular, "is a symbolic link"};
        }
        if (e == ELOOP) {
            return FileReadResult{FileReadStatus::NotRegular, "is a loop of symbolic links"};
        }
        return FileReadResult{FileReadStatus::Failed,
                              std::string("cannot be opened: ") + std::strerror(e)};
    }
    FileReadResult result{FileReadStatus::Ok, {}};
    if (::fstat(fd, &st) != 0) {
        result = FileReadResult{FileReadStatus::Failed,
                                std::string("cannot be opened: ") + std::strerror(errno)};
    } else if (!S_ISREG(st.st_mode)) {
        result = FileReadResult{FileReadStatus::NotRegular, "is " + fileKind(st.st_mode)};
    }
    if (!result.ok()) {
        ::close(fd);
        fd = -1;
    }
    return result;
}

// Reads the file at path (relative to dirfd; AT_FDCWD for the current folder)
// whole into out, refusing what openRegularFile refuses and anything longer
// than cap bytes. The read goes on until the end of the file, so a file that
// grows while read (or one whose size the system does not know) is still held
// to cap. prepare, when given, sees the buffer once it is reserved (huge-page
// advice). out is empty unless the result is Ok.
inline FileReadResult readRegularFile(int dirfd, const std::string& path, uint64_t cap,
                                      std::string& out, bool noFollow = false,
                                      void (*prepare)(const void*, std::size_t) = nullptr) {
    out.clear();
    const auto failure = [&](FileReadStatus s, std::string cause) {
        out.clear();
        out.shrink_to_fit();
        return FileReadResult{s, std::move(cause)};
    };
    int fd = -1;
    struct stat st {};
    FileReadResult opened = openRegularFile(dirfd, path, noFollow, fd, st);
    if (!opened.ok()) {
        return failure(opened.status, std::move(opened.cause));
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    const uint64_t size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    if (size > cap) {
        return failure(FileReadStatus::TooLarge,
                       "is larger than " + std::to_string(cap) + " bytes");
    }
    // Room for the one byte more read below, so the buffer is never moved.
    out.reserve(static_cast<std::size_t>(size) + 1);
    if (prepare != nullptr && size > 0) {
        prepare(out.data(), static_cast<std::size_t>(size));
    }
    // One byte more than the size tells a file that grew from one that ended.
    std::size_t have = 0;
    out.resize(static_cast<std::size_t>(size) + 1);
    for (;;) {
        if (have == out.size()) {
            if (out.size() > cap) {
                return failure(FileReadStatus::TooLarge,
                               "is larger than " + std::to_string(cap) + " bytes");
            }
            out.resize(std::min<uint64_t>(cap + 1, out.size() * 2 + 4096));
        }
        const ssize_t n = ::read(fd, out.data() + have, out.size() - have);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return failure(FileReadStatus::Failed,
                           std::string("cannot be read: ") + std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        have += static_cast<std::size_t>(n);
    }
    if (have > cap) {
        return failure(FileReadStatus::TooLarge,
                       "is larger than " + std::to_string(cap) + " bytes");
    }
    out.resize(have);
    return FileReadResult{FileReadStatus::Ok, {}};
}

} // namespace korvel
