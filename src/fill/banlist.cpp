// SPDX-License-Identifier: GPL-3.0-or-later
#include "banlist.h"

#include "regularfile.h"
#include "wordindex.h"

#include <algorithm>
#include <fcntl.h>

namespace korvel {

std::string BanList::lineWord(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    if (line.empty() || line.front() == '\'' || line.front() == '#' ||
        line.size() > static_cast<std::size_t>(MaxWordLength))
        return {};
    std::string word(line);
    for (char& c : word) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c < 'A' || c > 'Z')
            return {};
    }
    return word;
}

BanList BanList::parse(std::string_view bytes) {
    BanList list;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view{} : bytes.substr(end + 1);
        if (std::string word = lineWord(line); !word.empty())
            list.words_.push_back(std::move(word));
    }
    std::sort(list.words_.begin(), list.words_.end());
    list.words_.erase(std::unique(list.words_.begin(), list.words_.end()), list.words_.end());
    return list;
}

bool BanList::contains(std::string_view word) const {
    const auto it = std::lower_bound(words_.begin(), words_.end(), word);
    return it != words_.end() && *it == word;
}

ShippedBans loadShippedBans(const std::string& folder) {
    ShippedBans bans;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    const std::string name(ShippedBanListName);
    std::string bytes;
    const FileReadResult read = readRegularFile(AT_FDCWD, prefix + name, MaxBanListBytes, bytes);
    if (read.status == FileReadStatus::Missing) {
        return bans;
    }
    bans.present = true;
    if (!read.ok()) {
        bans.problem = name + " " + read.cause;
        return bans;
    }
    bans.list = BanList::parse(bytes);
    return bans;
}

} // namespace korvel
