// SPDX-License-Identifier: GPL-3.0-or-later
#include "banlist.h"

#include "regularfile.h"

#include <algorithm>
#include <fcntl.h>

namespace korvel {

BanList BanList::parse(std::string_view bytes) {
    BanList list;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view{} : bytes.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.empty() || line.front() == '\'' || line.front() == '#')
            continue;
        std::string word;
        bool letters = true;
        for (char c : line) {
            const char up = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            letters &= up >= 'A' && up <= 'Z';
            word += up;
        }
        if (letters)
            list.words_.insert(std::move(word));
    }
    return list;
}

std::vector<std::string> BanList::words() const {
    std::vector<std::string> out(words_.begin(), words_.end());
    std::sort(out.begin(), out.end());
    return out;
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
