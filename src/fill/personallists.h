// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// The user's own lists for the fill, kept in the per-user data folder: words
// the fill may place with the highest score whatever the dictionaries hold
// ("My Words") and words it must never place (banned). Each is a plain list,
// one word a line, read as BanList reads it (case-blind; blank lines, remark
// lines starting with ' or #, and lines with anything but letters skipped).
// The searches never read them.
enum class PersonalList { MyWords, Banned };

inline constexpr std::string_view MyWordsFileName = "my-words.txt";
inline constexpr std::string_view BannedWordsFileName = "banned-words.txt";
// Largest list read; a personal list of words stays far below it.
inline constexpr uint64_t MaxPersonalListBytes = 16u << 20;

std::string_view personalListFileName(PersonalList list);

// Whether word can go on a list: 2 to 35 letters A to Z, as the fill's words.
bool isPersonalWord(std::string_view word);

struct PersonalWords {
    std::vector<std::string> myWords; // sorted, each once
    std::vector<std::string> banned;  // sorted, each once
    // One line per list that is there but could not be read (that list is
    // then empty): its path and why. A missing list is simply empty.
    std::vector<std::string> problems;
};

// Reads both lists of folder, each whole and bounded (regular files only).
PersonalWords readPersonalLists(const std::string& folder);

// The text of a list with word added as a line of its own at the end (a
// last line without its end gets one first); the text as it was when a line
// of it already reads word (folded as the list reads it).
std::string listWithWord(std::string_view text, std::string_view word);
// The text of a list without the lines that read word; every other line
// stays as it was.
std::string listWithoutWord(std::string_view text, std::string_view word);

struct PersonalListEdit {
    bool ok = false;
    // The list did not hold the word before (it does now).
    bool added = false;
    // The word was on the other list and was taken off it: a word is either
    // the user's own or banned.
    bool takenFromOther = false;
    std::string error; // why nothing was changed, when not ok
};

// Puts word (isPersonalWord) on list in folder and takes it off the other
// list. The folder is made when missing, closed to others (0700), and a new
// list is made readable by the user alone (0600). The read and the write of
// both lists happen under an exclusive lock on the folder, so two copies of
// the program adding words at once keep both; the lists are written through
// the checked writer, both or neither, and on any failure they stay as they
// were.
PersonalListEdit addToPersonalList(const std::string& folder, PersonalList list,
                                   std::string_view word);

} // namespace korvel
