// SPDX-License-Identifier: GPL-3.0-or-later
#include "templist.h"

#include "templistpath.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvel::templist {

namespace {
std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}
} // namespace

std::string defaultFolder() {
    return "/tmp/korvel-" + std::to_string(geteuid());
}

bool prepareFolder(const std::string& dir, std::string& error) {
    if (dir.empty()) {
        error = "no temporary folder";
        return false;
    }
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        error = systemError("cannot create " + dir);
        return false;
    }
    struct stat st {};
    if (lstat(dir.c_str(), &st) != 0) {
        error = systemError("cannot inspect " + dir);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = dir + " is not a folder (or is a symbolic link)";
        return false;
    }
    if (st.st_uid != geteuid()) {
        error = dir + " belongs to another user";
        return false;
    }
    if ((st.st_mode & 0077) != 0) {
        error = dir + " is open to other users";
        return false;
    }
    return true;
}

ListWriter::~ListWriter() {
    abandon();
}

void ListWriter::abandon() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!scratch_.empty()) {
        unlink(scratch_.c_str());
        scratch_.clear();
    }
}

bool ListWriter::begin(const std::string& dir, std::string_view dictFileName, std::string& error) {
    abandon();
    path_ = tempListPath(dir, dictFileName);
    if (path_.empty()) {
        error = "no list name for " + std::string(dictFileName);
        return false;
    }
    // The list is written under a unique name created exclusively (O_EXCL
    // also refuses an existing symbolic link) and then renamed into place, so
    // a reader never sees a half-written list, and whatever had the final name
    // (a list left by an earlier run that died, even a link) is replaced
    // without being followed.
    std::string scratch = path_ + ".XXXXXX";
    fd_ = mkostemp(scratch.data(), O_CLOEXEC);
    if (fd_ < 0) {
        error = systemError("cannot create a list in " + dir);
        return false;
    }
    scratch_ = std::move(scratch);
    return true;
}

bool ListWriter::write(std::string_view bytes, std::string& error) {
    if (fd_ < 0) {
        error = "no list is being written";
        return false;
    }
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = systemError("cannot write " + scratch_);
            abandon();
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ListWriter::commit(std::string& error) {
    if (fd_ < 0) {
        error = "no list is being written";
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
        error = systemError("cannot write " + scratch_);
        abandon();
        return false;
    }
    if (rename(scratch_.c_str(), path_.c_str()) != 0) {
        error = systemError("cannot create " + path_);
        abandon();
        return false;
    }
    scratch_.clear();
    return true;
}

bool writeList(const std::string& dir, std::string_view dictFileName, std::string_view text,
               std::string& error) {
    ListWriter w;
    return w.begin(dir, dictFileName, error) && w.write(text, error) && w.commit(error);
}

} // namespace korvel::templist
