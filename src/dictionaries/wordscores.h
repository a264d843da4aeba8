// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// How good a word is for a grid, from 0 (avoid) to 100 (best), read from the
// score lists of a dictionaries folder. Scores only rank words for the fill;
// the searches never read them.
inline constexpr int MinWordScore = 0;
inline constexpr int MaxWordScore = 100;
// The score of a word that no score list names.
inline constexpr int DefaultWordScore = 50;

// Score lists are the files of the dictionaries folder whose names end in
// ".scores" (in any case). The list that comes with the default dictionaries
// is "base.scores"; it is read first, then every other list in byte order of
// the names, so a list the user drops in beside it overrides it.
inline constexpr std::string_view ScoreListExtension = ".scores";
inline constexpr std::string_view BaseScoreListName = "base.scores";
// Largest score list read; a larger one is skipped with a warning.
inline constexpr uint64_t MaxScoreListBytes = 64ull * 1024 * 1024;
// Longest word a list can score; longer ones are left out as no words.
inline constexpr std::size_t MaxScoredWordLength = 255;

// What reading one list found. Every line falls in exactly one of the counts
// from `scored` to `badWord`.
struct ScoreListReport {
    std::string name;            // the file name, or the name given to addList
    uint64_t scored = 0;         // lines that gave a word a score
    uint64_t skipped = 0;        // blank lines and comment lines (starting with #)
    uint64_t noScore = 0;        // a word with no ";" or nothing after it
    uint64_t badScore = 0;       // the text after ";" is no whole number
    uint64_t badWord = 0;        // the word folds to nothing, or to more than A to Z
    uint64_t clamped = 0;        // of `scored`: scores outside 0..100 taken to the nearer end
    uint64_t duplicates = 0;     // of `scored`: words this list had already scored
    uint64_t firstFaultLine = 0; // 1-based line of the first noScore/badScore/badWord
    std::string error;           // why the file was not read; empty when it was

    uint64_t faults() const { return noScore + badScore + badWord; }
};

// Words and their scores, as read from `WORD;SCORE` lines. Each line is read
// as follows:
//  - lines end in LF or CR LF; a UTF-8 byte order mark at the start of a list
//    is ignored; blanks (space, tab) around the word and the score are ignored;
//  - a blank line, or one whose first non-blank character is '#', is skipped;
//  - the word is the text before the first ';', folded as `korvel-mkdiz
//    --fold` folds entries (UTF-8, or Latin-1 when the line is no valid UTF-8;
//    accents to their base letter, upper case); a word that then holds
//    anything but A to Z (a blank, hyphen, apostrophe, digit), is empty or is
//    longer than MaxScoredWordLength is left out (badWord);
//  - a line with no ';', or nothing after it, scores nothing (noScore): the
//    word keeps the score another line gives it, else the default;
//  - the score is a whole number, optionally signed ("+7", "-3"); anything
//    else is left out (badScore); a number below 0 or above 100 counts as 0 or
//    100 (clamped);
//  - a word scored twice in one list keeps the higher score (folding makes
//    "cafe" and "café", or "polo" and "Polo", one word); a word scored by a
//    later list takes that list's score whatever the earlier one said.
//
// Lookups take words as the word index holds them (A to Z, upper case) and
// cost one hash and one comparison: fit for scoring every word of an index
// of millions of words while it is built. Immutable lookups are safe from any
// number of threads.
class WordScores {
public:
    // Reads one list's text; its scores replace those of earlier lists.
    ScoreListReport addList(std::string_view text, std::string name = {});

    // The score of word (A to Z), or nothing when no list scores it.
    std::optional<int> score(std::string_view word) const noexcept;
    // The score of word, or fallback when no list scores it.
    int scoreOr(std::string_view word, int fallback = DefaultWordScore) const noexcept;

    // Number of words scored.
    std::size_t size() const noexcept { return count_; }
    bool empty() const noexcept { return count_ == 0; }

private:
    // One open-addressing slot, 8 bytes so that a lookup touches one cache
    // line of the table; offset == NoWord marks a free one. The tag (bits of
    // the hash that neither the part nor the place in it uses) spares most
    // mismatches a visit to words_.
    struct Slot {
        uint32_t offset = NoWord; // of the word in words_
        uint16_t tag = 0;
        uint8_t length = 0;
        uint8_t score = 0;
    };
    static constexpr uint32_t NoWord = UINT32_MAX;

    // The table is split by the top bits of a word's hash into parts, each
    // an open-addressing table of its own. A list is read in two passes: its
    // words are first gathered by part, in the list's order, and then each
    // part takes in its own. So the part a word goes into is small enough to
    // stay in the processor's caches while it is filled, and a list twice as
    // long takes twice the time (one table of millions of words took more
    // than twice: every word a miss of the caches, in a table that outgrew
    // them at every doubling).
    static constexpr int PartBits = 8;
    struct Part {
        std::vector<Slot> table; // a power of two long, at most 3/4 full
        // Beside each slot: the addList call that last set its score.
        std::vector<uint32_t> setBy;
        std::size_t count = 0;
    };
    static std::size_t partOf(uint64_t hash) noexcept { return hash >> (64 - PartBits); }

    // The slot of part holding word, or the free slot where it would go.
    std::size_t probe(const Part& part, std::string_view word, uint64_t hash) const noexcept;
    const Slot* find(std::string_view word) const noexcept;
    // Makes room in part for words words in all, at most 3/4 full.
    void reserve(Part& part, std::size_t words);

    std::string words_;       // every word once, back to back
    std::vector<Part> parts_; // 1 << PartBits of them once a list is read
    std::size_t count_ = 0;
    uint32_t lists_ = 0;
};

// The score lists of folder in the order they are read: base.scores first,
// then the other names ending in ".scores" (any case) in byte order. Only
// regular files, or links to them, count; other entries with such a name (a
// FIFO, a folder, a dangling link) go to skipped with the reason when given.
// A folder that cannot be listed has none.
struct SkippedScoreList {
    std::string name;
    std::string cause;
};
std::vector<std::string> scoreListNames(const std::string& folder,
                                        std::vector<SkippedScoreList>* skipped = nullptr);

// The scores of a dictionaries folder: every list of scoreListNames read
// whole (regular files only, at most MaxScoreListBytes each) and added in
// that order. A folder without lists gives empty scores, so every word has
// the default. reports, when given, gets one entry per list read or refused,
// in order; warnings, when given, gets one line for each list that could not
// be read or had lines left out, naming the file, the count and the first
// such line.
WordScores loadWordScores(const std::string& folder,
                          std::vector<ScoreListReport>* reports = nullptr,
                          std::vector<std::string>* warnings = nullptr);

// The warning for one list's report, or "" when it has nothing to say.
std::string scoreListWarning(const ScoreListReport& report);

// A count of the lines of a list left out for one reason, and that reason
// ("without a score").
struct LineFault {
    uint64_t count = 0;
    const char* why = "";
};

// The one-line warning of a word list read line by line (the score lists, the
// kind list): "LIST NAME ERROR" when it was not read, "LIST NAME: N lines left
// out (A, B), the first at line L" when lines were, "" otherwise.
std::string listWarning(std::string_view list, const std::string& name, const std::string& error,
                        const std::vector<LineFault>& faults, uint64_t firstFaultLine);

} // namespace korvel
