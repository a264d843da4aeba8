// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace korvel::templist {

// The one fixed per-user folder for the plain lists the library leaves for
// the loader: /tmp/korvel-<effective uid>. It is not created here.
std::string defaultFolder();

// Makes sure dir is a folder that only this user can reach: creates it with
// mode 0700 when missing, then requires that it is a real folder (not a
// symbolic link), owned by the effective user, with no permission for group
// or others. Returns false with a message otherwise; a folder that fails the
// check is left alone, never repaired or removed.
bool prepareFolder(const std::string& dir, std::string& error);

// Writes text as the list of dictFileName in dir (see tempListPath): into a
// new file of a unique name, created exclusively (O_EXCL, which also refuses
// a symbolic link) with mode 0600, then renamed over the list's name, which
// replaces a stale list or a link there without following it. On any failure
// nothing is left behind and false is returned with a message.
// Writes one list piece by piece, with the rules of writeList. Until commit
// succeeds the list has no name of its own; a writer destroyed or failing
// before that removes what it wrote.
class ListWriter {
public:
    ListWriter() = default;
    ~ListWriter();
    ListWriter(const ListWriter&) = delete;
    ListWriter& operator=(const ListWriter&) = delete;

    bool begin(const std::string& dir, std::string_view dictFileName, std::string& error);
    bool write(std::string_view bytes, std::string& error);
    bool commit(std::string& error);

private:
    void abandon();

    int fd_ = -1;
    std::string path_;
    std::string scratch_;
};

bool writeList(const std::string& dir, std::string_view dictFileName, std::string_view text,
               std::string& error);

} // namespace korvel::templist
