// SPDX-License-Identifier: GPL-3.0-or-later
#include "banlist.h"

#include "wordindex.h"

#include <algorithm>

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
            list.words_.insert(std::move(word));
    }
    return list;
}

std::vector<std::string> BanList::words() const {
    std::vector<std::string> out(words_.begin(), words_.end());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace korvel
