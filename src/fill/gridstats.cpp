// SPDX-License-Identifier: GPL-3.0-or-later
#include "gridstats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvel {

bool patternFits(const WordIndex& index, std::string_view pattern) {
    const int len = static_cast<int>(pattern.size());
    if (len < MinWordLength || len > MaxWordLength || index.count(len) == 0)
        return false;
    const std::size_t blocks = index.blocks(len);
    std::vector<uint64_t> acc;
    for (int pos = 0; pos < len; ++pos) {
        const char ch = pattern[static_cast<std::size_t>(pos)];
        if (ch == EmptyCell)
            continue;
        if (ch < 'A' || ch > 'Z')
            return false;
        const uint64_t* bits = index.bits(len, pos, ch - 'A');
        if (acc.empty()) {
            acc.assign(bits, bits + blocks);
        } else {
            for (std::size_t b = 0; b < blocks; ++b)
                acc[b] &= bits[b];
        }
    }
    if (acc.empty())
        return true;
    for (uint64_t v : acc) {
        if (v != 0)
            return true;
    }
    return false;
}

GridStatistics gridStatistics(const GridModel& grid, const Slots& slots, const WordIndex* index,
                              int minScore, const ClueSet* clues) {
    GridStatistics s;
    s.rows = grid.RowCount;
    s.columns = grid.ColumnCount;
    s.lengths.assign(MaxWordLength + 1, 0);
    if (grid.isEmpty())
        return s;
    const std::size_t cells = static_cast<std::size_t>(grid.RowCount) * grid.ColumnCount;
    std::vector<int> wordsThrough(cells, 0);
    s.dictionariesChecked = index != nullptr;
    for (const Slot& slot : slots.all()) {
        (slot.down() ? s.downWords : s.acrossWords) += 1;
        if (slot.length < static_cast<int>(s.lengths.size()))
            ++s.lengths[static_cast<std::size_t>(slot.length)];
        for (int cell : slots.cells(slot))
            ++wordsThrough[static_cast<std::size_t>(cell)];
        const std::string pattern = Slots::pattern(grid, slot);
        if (index && !patternFits(*index, pattern)) {
            const bool complete = pattern.find(EmptyCell) == std::string::npos;
            s.misfits.push_back(SlotMisfit{slot, pattern, complete});
        }
        if (index && index->hasScores()) {
            if (const int64_t id = index->find(pattern); id >= 0) {
                s.weakest.push_back(
                    {slot, pattern, index->score(slot.length, static_cast<uint32_t>(id))});
            }
        }
    }
    if (index && index->hasScores()) {
        s.scored = true;
        s.scoredEntries = static_cast<int>(s.weakest.size());
        s.minScore = std::max(0, minScore);
        double sum = 0;
        for (const ScoredEntry& e : s.weakest) {
            sum += e.score;
            s.underMinimum += e.score < s.minScore ? 1 : 0;
        }
        s.meanScore = s.weakest.empty() ? 0 : sum / static_cast<double>(s.weakest.size());
        std::stable_sort(
            s.weakest.begin(), s.weakest.end(),
            [](const ScoredEntry& a, const ScoredEntry& b) { return a.score < b.score; });
        if (s.weakest.size() > 10)
            s.weakest.resize(10);
    }
    for (int r = 0; r < grid.RowCount; ++r) {
        for (int c = 0; c < grid.ColumnCount; ++c) {
            if (grid.isBlack(r, c)) {
                ++s.blackCells;
                continue;
            }
            if (grid.patternChar(r, c) == EmptyCell)
                ++s.emptyCells;
            else
                ++s.letterCells;
            const int through = wordsThrough[static_cast<std::size_t>(r) * grid.ColumnCount + c];
            if (through == 1)
                ++s.uncheckedCells;
            else if (through == 0)
                ++s.isolatedCells;
        }
    }
    s.blackPercent = 100.0 * s.blackCells / static_cast<double>(cells);
    if (clues && !clues->empty()) {
        s.cluesCounted = true;
        for (const Slot& slot : slots.all()) {
            const Clue* clue = clues->placedOn(slot);
            if (!clue)
                continue;
            ++s.cluedWords;
            std::string now = Slots::pattern(grid, slot);
            if (answerChanged(*clue, now))
                s.changedClues.push_back({slot, clue->answer, std::move(now)});
        }
    }
    return s;
}

std::string statisticsText(const GridStatistics& s) {
    const std::string nl = "\r\n";
    char percent[32];
    std::snprintf(percent, sizeof percent, "%.1f", s.blackPercent);
    std::string t;
    t +=
        "Grid: " + std::to_string(s.rows) + " rows, " + std::to_string(s.columns) + " columns" + nl;
    t += "Words: " + std::to_string(s.acrossWords + s.downWords) + " (" +
         std::to_string(s.acrossWords) + " across, " + std::to_string(s.downWords) + " down)" + nl;
    t += "Black cells: " + std::to_string(s.blackCells) + " (" + percent + " %)" + nl;
    t += "Letters: " + std::to_string(s.letterCells) +
         ", empty cells: " + std::to_string(s.emptyCells) + nl;
    t += "Unchecked cells (in one word only): " + std::to_string(s.uncheckedCells) + nl;
    if (s.isolatedCells > 0)
        t += "Cells in no word: " + std::to_string(s.isolatedCells) + nl;
    t += "Word lengths:" + nl;
    for (std::size_t len = 0; len < s.lengths.size(); ++len) {
        if (s.lengths[len] > 0)
            t += "  " + std::to_string(len) + " letters: " + std::to_string(s.lengths[len]) + nl;
    }
    if (s.cluesCounted) {
        t += "Clues: " + std::to_string(s.cluedWords) + " of " +
             std::to_string(s.acrossWords + s.downWords) + " words" + nl;
        if (!s.changedClues.empty()) {
            t += "Clues whose answer changed since they were written: " +
                 std::to_string(s.changedClues.size()) + nl;
            for (const ChangedClue& c : s.changedClues)
                t +=
                    "  " + describeSlot(c.slot) + " " + c.now + " (written for " + c.was + ")" + nl;
        }
    }
    if (!s.dictionariesChecked)
        return t;
    if (s.misfits.empty()) {
        t += "Every word fits the enabled dictionaries.";
    } else {
        t += "Words not in the enabled dictionaries: " + std::to_string(s.misfits.size()) + nl;
        for (const SlotMisfit& m : s.misfits) {
            t += "  " + describeSlot(m.slot) + " " + m.pattern +
                 (m.complete ? " (no such word)" : " (no word fits)") + nl;
        }
    }
    if (!s.scored)
        return t;
    if (s.misfits.empty())
        t += nl;
    if (s.scoredEntries == 0) {
        t += "Mean score: no complete word yet" + nl;
        return t;
    }
    char mean[32];
    std::snprintf(mean, sizeof mean, "%.1f", s.meanScore);
    t += "Mean score: " + std::string(mean) + " (" + std::to_string(s.scoredEntries) +
         " complete words)" + nl;
    if (s.minScore > 0)
        t += "Under the minimum score of " + std::to_string(s.minScore) + ": " +
             std::to_string(s.underMinimum) + nl;
    t += "Weakest entries:" + nl;
    for (const ScoredEntry& e : s.weakest)
        t += "  " + describeSlot(e.slot) + " " + e.word + " " + std::to_string(e.score) + nl;
    return t;
}

} // namespace korvel
