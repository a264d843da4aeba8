// SPDX-License-Identifier: GPL-3.0-or-later
#include "templistfolder.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korvel {

namespace {

bool isPrivate(const struct stat& st) {
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 0077) == 0;
}

bool isAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

bool isScratchListName(std::string_view name) {
    constexpr std::size_t Suffix = 7; // ".XXXXXX"
    if (name.size() <= Suffix || name[name.size() - Suffix] != '.') {
        return false;
    }
    for (std::size_t k = name.size() - Suffix + 1; k < name.size(); ++k) {
        if (!isAlnum(name[k])) {
            return false;
        }
    }
    return true;
}

TempListFolder::~TempListFolder() {
    unlock();
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool TempListFolder::open(const std::string& folder, std::string& error) {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        locked_ = false;
    }
    if (folder.empty()) {
        error = "no folder for the word lists";
        return false;
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create the list folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = "the list folder " + folder +
                (errno == ELOOP || errno == ENOTDIR ? " is not a folder (or is a link)"
                                                    : std::string(": ") + std::strerror(errno));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = "the list folder " + folder + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    if (!isPrivate(st)) {
        error = "the list folder " + folder +
                (st.st_uid != ::geteuid() ? " belongs to another user" : " is open to other users");
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool TempListFolder::stillPrivate() const {
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 && isPrivate(st);
}

bool TempListFolder::lock(std::string& error) {
    if (fd_ < 0) {
        error = "the list folder is not open";
        return false;
    }
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            error = std::string("cannot lock the list folder: ") + std::strerror(errno);
            return false;
        }
    }
    locked_ = true;
    return true;
}

void TempListFolder::unlock() {
    if (locked_ && fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
    }
    locked_ = false;
}

int TempListFolder::sweepScratch() {
    if (fd_ < 0 || !locked_) {
        return 0;
    }
    // A second descriptor for the listing, so the locked one keeps its place.
    const int listFd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) {
        return 0;
    }
    DIR* dir = ::fdopendir(listFd);
    if (dir == nullptr) {
        ::close(listFd);
        return 0;
    }
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(dir)) {
        if (!isScratchListName(e->d_name)) {
            continue;
        }
        struct stat st {};
        if (::fstatat(fd_, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid()) {
            stale.emplace_back(e->d_name);
        }
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string& name : stale) {
        removed += ::unlinkat(fd_, name.c_str(), 0) == 0 ? 1 : 0;
    }
    return removed;
}

FileReadResult TempListFolder::readList(const std::string& listName, uint64_t cap,
                                        std::string& text,
                                        void (*prepare)(const void*, std::size_t)) const {
    if (fd_ < 0 || listName.empty() || listName.find('/') != std::string::npos) {
        text.clear();
        return {FileReadStatus::Failed, "has no list folder"};
    }
    return readRegularFile(fd_, listName, cap, text, true, prepare);
}

void TempListFolder::removeList(const std::string& listName) const {
    if (fd_ >= 0 && !listName.empty() && listName.find('/') == std::string::npos) {
        ::unlinkat(fd_, listName.c_str(), 0);
    }
}

} // namespace korvel
