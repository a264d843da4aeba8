// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace korvel {

// The text without its leading and trailing blanks. Only blanks: word lists,
// crossword files and the TEST field are 8-bit text in which a tab or any
// other byte is content.
inline std::string_view trimBlanks(std::string_view s) {
    const std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) {
        return {};
    }
    const std::size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

// Whether s ends with tail, ASCII letters compared without case. File
// names are bytes: no other byte is folded.
inline bool endsWithNoCase(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size()) {
        return false;
    }
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    const std::string_view end = s.substr(s.size() - tail.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        if (lower(end[i]) != lower(tail[i])) {
            return false;
        }
    }
    return true;
}

} // namespace korvel
