// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clueset.h"
#include "fill.h"
#include "gridmodel.h"
#include "wordindex.h"

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

// A complete slot that is a word of a scored index, with its score.
struct ScoredEntry {
    Slot slot;
    std::string word;
    int score = 0;
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
    // slots that are words of it, how many those are, and the ten with the
    // lowest scores (lowest first, then in slot order).
    bool scored = false;
    int scoredEntries = 0;
    double meanScore = 0;
    std::vector<ScoredEntry> weakest;
    // The fill's minimum score, and how many of those complete slots score
    // under it (counted only when it is above 0).
    int minScore = 0;
    int underMinimum = 0;
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
GridStatistics gridStatistics(const GridModel& grid, const Slots& slots, const WordIndex* index,
                              int minScore = 0, const ClueSet* clues = nullptr);
inline GridStatistics gridStatistics(const GridModel& grid, const WordIndex* index,
                                     int minScore = 0) {
    return gridStatistics(grid, Slots::of(grid), index, minScore);
}

// The statistics as the box shows them, lines separated by CR LF. The clue
// lines follow the word lengths, only when clues were counted; the score
// lines come last, and only for a scored index; the line of the entries
// under the minimum only for a minimum above 0.
std::string statisticsText(const GridStatistics& stats);

} // namespace korvel
