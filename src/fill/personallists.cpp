// SPDX-License-Identifier: GPL-3.0-or-later
#include "personallists.h"

#include "banlist.h"
#include "regularfile.h"
#include "replacefile.h"
#include "wordindex.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvel {

namespace {

PersonalList otherList(PersonalList list) {
    return list == PersonalList::MyWords ? PersonalList::Banned : PersonalList::MyWords;
}

std::string pathOf(const std::string& folder, PersonalList list) {
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    return path + std::string(personalListFileName(list));
}

// Makes folder and any missing folder above it, each closed to others.
bool makeFolder(const std::string& folder, std::string& error) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/')
            continue;
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "cannot make the folder " + part + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

class FolderLock {
public:
    ~FolderLock() {
        if (fd_ >= 0)
            ::close(fd_); // also drops the lock
    }
    bool lock(const std::string& folder, std::string& error) {
        fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) {
            error = "cannot open the folder " + folder + ": " + std::strerror(errno);
            return false;
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                error = "cannot lock the folder " + folder + ": " + std::strerror(errno);
                return false;
            }
        }
        return true;
    }
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

// The list's text; "" for a missing list. dirfd is the folder's, or
// AT_FDCWD to name the list by its whole path.
bool readList(int dirfd, const std::string& folder, PersonalList list, std::string& text,
              std::string& error) {
    const std::string name =
        dirfd == AT_FDCWD ? pathOf(folder, list) : std::string(personalListFileName(list));
    const FileReadResult r = readRegularFile(dirfd, name, MaxPersonalListBytes, text);
    if (r.ok() || r.status == FileReadStatus::Missing) {
        if (!r.ok())
            text.clear();
        return true;
    }
    error = pathOf(folder, list) + " " + r.cause;
    return false;
}

} // namespace

std::string_view personalListFileName(PersonalList list) {
    return list == PersonalList::MyWords ? MyWordsFileName : BannedWordsFileName;
}

bool isPersonalWord(std::string_view word) {
    return word.size() >= static_cast<std::size_t>(MinWordLength) &&
           word.size() <= static_cast<std::size_t>(MaxWordLength) &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

PersonalWords readPersonalLists(const std::string& folder) {
    PersonalWords out;
    for (PersonalList list : {PersonalList::MyWords, PersonalList::Banned}) {
        std::string text;
        std::string error;
        if (!readList(AT_FDCWD, folder, list, text, error)) {
            out.problems.push_back(error);
            continue;
        }
        (list == PersonalList::MyWords ? out.myWords : out.banned) = BanList::parse(text).words();
    }
    return out;
}

std::string listWithWord(std::string_view text, std::string_view word) {
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t end = rest.find('\n');
        if (BanList::lineWord(rest.substr(0, end)) == word)
            return std::string(text);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    std::string out(text);
    if (!out.empty() && out.back() != '\n')
        out += '\n';
    out += word;
    out += '\n';
    return out;
}

std::string listWithoutWord(std::string_view text, std::string_view word) {
    std::string out;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line =
            text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
        text.remove_prefix(line.size());
        if (BanList::lineWord(line.substr(0, end)) != word)
            out += line;
    }
    return out;
}

PersonalListEdit addToPersonalList(const std::string& folder, PersonalList list,
                                   std::string_view word) {
    PersonalListEdit edit;
    if (!isPersonalWord(word)) {
        edit.error = "\"" + std::string(word) + "\" is no word of 2 to 35 letters A to Z";
        return edit;
    }
    if (folder.empty()) {
        edit.error = "no folder for your lists is known (neither XDG_DATA_HOME nor HOME is set)";
        return edit;
    }
    if (!makeFolder(folder, edit.error))
        return edit;
    FolderLock held;
    if (!held.lock(folder, edit.error))
        return edit;
    std::string mine;
    std::string other;
    if (!readList(held.fd(), folder, list, mine, edit.error) ||
        !readList(held.fd(), folder, otherList(list), other, edit.error))
        return edit;
    const std::string newMine = listWithWord(mine, word);
    const std::string newOther = listWithoutWord(other, word);
    edit.added = newMine != mine;
    edit.takenFromOther = newOther != other;
    std::vector<FileReplacement> writes;
    if (edit.added)
        writes.push_back({pathOf(folder, list), newMine, 0600});
    if (edit.takenFromOther)
        writes.push_back({pathOf(folder, otherList(list)), newOther, 0600});
    if (!writes.empty() && !replaceFiles(writes, edit.error)) {
        edit.added = false;
        edit.takenFromOther = false;
        return edit;
    }
    edit.ok = true;
    return edit;
}

} // namespace korvel
