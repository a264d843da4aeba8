// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace korvel {

// English for a count, so that a message reads right for one and for many.

// The words for one thing or for several: forCount(n, "is", "are"),
// forCount(n, "its", "their").
constexpr std::string_view forCount(long long n, std::string_view one, std::string_view many) {
    return n == 1 ? one : many;
}

// The count and the words that follow it: counted(1, "clue has", "clues
// have") is "1 clue has", counted(3, ...) "3 clues have".
inline std::string counted(long long n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(forCount(n, one, many));
}

} // namespace korvel
