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

} // namespace korvel
