// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lineindex.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvel {

// At most seven dictionaries, numbered 1 to 7; index 0 is never used. The
// searches read dictionaries 1 to 6 only.
inline constexpr int MaxDictionaries = 7;
inline constexpr int SearchedDictionaries = 6;
inline constexpr std::string_view LineSeparator = "\r\n";

// The in-memory word lists. Filled once at start-up by the loader and
// read-only afterwards. Each dictionary is one contiguous text; positions into
// it (LetterStart) are 1-based, as the searches count them.
struct DictionaryStore {
    std::array<std::string, MaxDictionaries + 1> DictFileName{};
    std::array<int64_t, MaxDictionaries + 1> DictLength{};
    std::array<std::string, MaxDictionaries + 1> DictText{};
    // LetterStart[i][L]: 1-based position of the first line of the run of
    // lines with initial L + 64 ("@" is 0, "A" 1, "Z" 26); 0 for none.
    std::array<std::array<int32_t, 27>, MaxDictionaries + 1> LetterStart{};
    // Read-only acceleration built from DictText; the searches use it to give
    // exactly the results of a line-by-line walk.
    std::array<LineIndex, MaxDictionaries + 1> Lines{};
    // The dictionaries folder, always ending in the path separator.
    std::string DictFolder;
    // Number of dictionaries loaded (the highest index in use).
    int count = 0;

    // Sets dictionary i's text and rebuilds its line index. DictLength follows
    // the text. LetterStart is the loader's business.
    void setText(int i, std::string text) {
        DictText[i] = std::move(text);
        DictLength[i] = static_cast<int64_t>(DictText[i].size());
        Lines[i] = LineIndex::build(DictText[i]);
    }
};

// Sets of the letters A to Z as 26-bit masks, bit 0 for "A", as the cross
// prompt and the fill count them.
using LetterMask = uint32_t;
inline constexpr LetterMask AllLetters = (1u << 26) - 1;

// A line that starts with ' or # is a remark: the searches skip it, the
// index leaves it out of the letter starts and the viewer hides it.
inline bool isRemarkInitial(char c) {
    return c == '\'' || c == '#';
}

// EndingCode: the one-character codes that end a base-dictionary stem, and the
// vowel set each one stands for. Returns "" for a character that is no code.
std::string_view endingVowels(char code);
bool isEndingCode(char c);

} // namespace korvel
