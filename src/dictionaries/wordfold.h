// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// How word lists are brought to the letters the dictionaries hold, shared by
// `korvel-mkdiz --fold` and the score lists so that a word is the same word
// in both.

// Code points of a line read as UTF-8; a line that is not valid UTF-8 as a
// whole is taken as Latin-1, one byte one character.
std::vector<char32_t> decodeUtf8(std::string_view line);

// One entry folded to upper-case A to Z: accented Latin letters to their base
// letter, "ß" to "SS", the ligatures "Æ", "Œ" and "Ĳ" to two letters. Nothing
// when the entry is empty or anything else remains (a blank, a hyphen, an
// apostrophe, a digit, a letter of another script).
std::optional<std::string> foldWord(std::string_view entry);

// The case of an entry as written, judged on its letters (others are passed
// over), for telling common words from names and abbreviations in lists that
// mix them.
enum class LetterCase {
    None,  // no letter at all
    Lower, // the first letter is lower case: "casa", "iPod"
    Title, // the first letter is upper case and a later one lower: "Roma", "McCoy"
    Upper, // every letter is upper case: "ONU", "A"
};
LetterCase letterCase(std::string_view entry);

} // namespace korvel
