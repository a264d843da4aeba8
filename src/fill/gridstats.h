// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clueset.h"
#include "fill.h"
#include "gridmodel.h"
#include "wordindex.h"
#include "wordkinds.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// Whether some word of the index fits a pattern of letters "A" to "Z" and
// "?" (any letter). Any other byte fits no word.
bool patternFits(const WordIndex& index, std::string_view pattern);

// A slot that does not fit the dictionaries: complete and no word, or no word
// fits the letters it has.
struct SlotMisfit {
    Slot slot;
    std::string pattern; // its letters, "?" for an empty cell
    bool complete = false;
};

// Under this score a word of the lists counts as rare: the score lists'
// scale has 50 and above for the words a constructor would publish.
inline constexpr int RareScoreBelow = 50;

// Why an entry is weak, besides its score; the first that holds, in this
// order.
enum class WeakReason : uint8_t {
    None,
    NotInLists,   // complete and no word of the enabled dictionaries
    OwnBan,       // on the user's banned list
    ShippedBan,   // on the ban list of the dictionaries folder
    Banned,       // banned, the list unknown (no notes given)
    Abbreviation, // known only as an abbreviation (base.kinds)
    Name,         // known only as a name (base.kinds)
    Rare,         // scores under RareScoreBelow
};
inline constexpr std::size_t WeakReasonCount = 8;
// "not in the lists", "banned by your list", "abbreviation", "rare" ...;
// "" for None.
std::string weakReasonText(WeakReason reason);

// What the statistics know of the words besides the index. Every pointer may
// be null; the lists are sorted, words of A to Z.
struct WordNotes {
    const WordKinds* kinds = nullptr;
    const std::vector<std::string>* ownBans = nullptr;
    // The folder's ban list, when the fill keeps its words out.
    const std::vector<std::string>* shippedBans = nullptr;
};

// A complete slot that is a word of a scored index, with its score, or (score
// -1, reason NotInLists) a complete slot that is no word of it.
struct ScoredEntry {
    Slot slot;
    std::string word;
    int score = 0;
    WeakReason reason = WeakReason::None;
};

// A clue whose slot's answer changed since it was written: the answer it was
// written for, and the slot's letters now ("?" for an empty cell).
struct ChangedClue {
    Slot slot;
    std::string was;
    std::string now;
};

// What "Grid Statistics" shows of a grid.
struct GridStatistics {
    int rows = 0;
    int columns = 0;
    int acrossWords = 0;
    int downWords = 0;
    int blackCells = 0;
    double blackPercent = 0;
    int letterCells = 0;
    int emptyCells = 0;
    // Words (slots) per length, index = length (0 and 1 stay 0).
    std::vector<int> lengths;
    // White cells in one word only (unchecked), and in none at all.
    int uncheckedCells = 0;
    int isolatedCells = 0;
    // Filled by gridStatistics only when given an index.
    bool dictionariesChecked = false;
    std::vector<SlotMisfit> misfits;
    // Filled only when the index has scores: the mean score of the complete
    // slots that are words of it, how many those are, and the ten weakest
    // complete slots: those that are no word first, then the banned ones,
    // then the lowest scores (each group in slot order), each with its
    // reason.
    bool scored = false;
    int scoredEntries = 0;
    double meanScore = 0;
    std::vector<ScoredEntry> weakest;
    // The fill's minimum score, and how many of those complete slots score
    // under it (counted only when it is above 0).
    int minScore = 0;
    int underMinimum = 0;
    // Complete slots per reason (index: WeakReason), all of them, not only
    // the ten weakest.
    std::array<int, WeakReasonCount> reasons{};
    // Filled only when given the puzzle's clues and it has some: the words
    // with a clue, and the clues whose answer changed since they were
    // written (answerChanged), in slot order.
    bool cluesCounted = false;
    int cluedWords = 0;
    std::vector<ChangedClue> changedClues;
};

// Counts the grid's words (the runs the clue numbering numbers), black cells
// and unchecked cells; with an index, also lists the slots that do not fit it,
// and with a scored index the mean score, the weakest entries and, for a
// minimum above 0, the entries under it.
// notes tell the reasons that the index cannot: the kinds and which list
// banned a word.
GridStatistics gridStatistics(const GridModel& grid, const Slots& slots, const WordIndex* index,
                              int minScore = 0, const ClueSet* clues = nullptr,
                              const WordNotes& notes = {});
inline GridStatistics gridStatistics(const GridModel& grid, const WordIndex* index,
                                     int minScore = 0, const WordNotes& notes = {}) {
    return gridStatistics(grid, Slots::of(grid), index, minScore, nullptr, notes);
}

// The statistics as the box shows them, lines separated by CR LF. The clue
// lines follow the word lengths, only when clues were counted; the score
// lines come last, and only for a scored index; the line of the entries
// under the minimum only for a minimum above 0.
std::string statisticsText(const GridStatistics& stats);

} // namespace korvel
