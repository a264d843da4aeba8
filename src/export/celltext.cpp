// SPDX-License-Identifier: GPL-3.0-or-later
#include "celltext.h"

#include "puzzletext.h"

namespace korvel {

std::optional<std::string> cellLetter(char ch) {
    const auto u = static_cast<unsigned char>(ch);
    if (ch == EmptyCell || ch == ' ' || u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0xA0) {
        return std::nullopt;
    }
    std::string s;
    appendUtf8(s, u);
    return s;
}

std::string validUtf8(std::string_view text) {
    // Every byte that starts no valid sequence (overlong forms, surrogates,
    // values past U+10FFFF included) reads as U+FFFD.
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();)
        appendUtf8(out, nextCodePoint(text, at));
    return out;
}

} // namespace korvel
