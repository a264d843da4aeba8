// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "regularfile.h"

#include <cstdint>
#include <string>

namespace korvel {

// The per-user folder in which the companion library leaves the plain lists,
// as the loader works in it. Every instance of the program (windows, tools,
// scripts) uses the same folder and the same fixed list names, so a library
// call, the read of its list and the list's removal must run as one critical
// section per user: lock() takes an exclusive flock on the folder itself and
// waits for any other load to leave it.
//
// The folder is opened once and used through that descriptor only (openat,
// unlinkat), so a folder swapped for a link after the check can never lead a
// read or a removal elsewhere.
class TempListFolder {
public:
    TempListFolder() = default;
    ~TempListFolder();
    TempListFolder(const TempListFolder&) = delete;
    TempListFolder& operator=(const TempListFolder&) = delete;

    // Creates folder with mode 0700 when it is missing, then opens it and
    // checks that it is a real folder (not a link), owned by the effective
    // user and closed to group and others. Returns false with the reason
    // otherwise; nothing in such a folder may be read or removed.
    bool open(const std::string& folder, std::string& error);
    bool isOpen() const { return fd_ >= 0; }

    // Checks again, through the descriptor, that the folder is still the
    // user's own and private (a library call may have run in between).
    bool stillPrivate() const;

    // Waits for the exclusive lock; false only when it cannot be taken.
    bool lock(std::string& error);
    void unlock();

    // Under the lock no load is writing a list, so a scratch file
    // ("<list>.XXXXXX") found there was left by a load that died half-way
    // (killed while decoding); removes those. Returns how many went.
    int sweepScratch();

    // The list of a dictionary, read whole (a regular file, no link, at most
    // cap bytes), and its removal.
    FileReadResult readList(const std::string& listName, uint64_t cap, std::string& text,
                            void (*prepare)(const void*, std::size_t) = nullptr) const;
    void removeList(const std::string& listName) const;

private:
    int fd_ = -1;
    bool locked_ = false;
};

// Whether name has the shape of a scratch list: "<list>.XXXXXX", six letters
// or digits as mkstemp makes them.
bool isScratchListName(std::string_view name);

} // namespace korvel
