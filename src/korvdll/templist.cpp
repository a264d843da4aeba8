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
std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }
} // namespace

std::string defaultFolder() { return "/tmp/korvel-" + std::to_string(geteuid()); }

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

bool writeList(const std::string& dir, std::string_view dictFileName, std::string_view text,
               std::string& error) {
    const std::string path = tempListPath(dir, dictFileName);
    if (path.empty()) {
        error = "no list name for " + std::string(dictFileName);
        return false;
    }
    // The list is written under a unique name created exclusively (O_EXCL
    // also refuses an existing symbolic link) and then renamed into place, so
    // a reader never sees a half-written list, and whatever had the final name
    // (a list left by an earlier run that died, even a link) is replaced
    // without being followed.
    std::string scratch = path + ".XXXXXX";
    const int fd = mkostemp(scratch.data(), O_CLOEXEC);
    if (fd < 0) {
        error = systemError("cannot create a list in " + dir);
        return false;
    }
    const char* p = text.data();
    std::size_t left = text.size();
    bool ok = true;
    while (left > 0) {
        const ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = systemError("cannot write " + scratch);
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (close(fd) != 0 && ok) {
        error = systemError("cannot write " + scratch);
        ok = false;
    }
    if (ok && rename(scratch.c_str(), path.c_str()) != 0) {
        error = systemError("cannot create " + path);
        ok = false;
    }
    if (!ok) {
        unlink(scratch.c_str());
    }
    return ok;
}

} // namespace korvel::templist
