// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace korvel {

// Name of the plain list that the companion library leaves for a .diz
// dictionary: the dictionary's file name less its last 4 characters, so
// "base.diz" gives "base". Empty when that leaves no name of a file (".diz"
// leaves nothing; "..diz" and "...diz" leave the folder itself or the one
// above it), in which case no list may be written or read for it.
inline std::string tempListName(std::string_view dictFileName) {
    if (dictFileName.size() <= 4) {
        return {};
    }
    const std::string_view name = dictFileName.substr(0, dictFileName.size() - 4);
    if (name == "." || name == "..") {
        return {};
    }
    return std::string(name);
}

// Full path of that list inside the per-user temporary folder. The library
// writes it and the loader reads and deletes it, so both must use this one
// function. Empty when tempListName or the folder is empty, so that no list is
// ever looked for in the root or the current folder.
inline std::string tempListPath(std::string_view tempFolder, std::string_view dictFileName) {
    std::string name = tempListName(dictFileName);
    if (name.empty() || tempFolder.empty()) {
        return {};
    }
    std::string path(tempFolder);
    if (path.back() != '/') {
        path += '/';
    }
    return path + name;
}

} // namespace korvel
