// SPDX-License-Identifier: GPL-3.0-or-later
#include "puzzleread.h"

#include "plural.h"
#include "puzzletext.h"

#include <algorithm>
#include <cstdint>

namespace korvel {

namespace {

// "3,4" gives 7, "(5)" gives 5; 0 for text without digits or past any grid.
int16_t enumerationLength(std::string_view enumeration) {
    int sum = 0;
    int run = 0;
    for (char ch : enumeration) {
        if (ch >= '0' && ch <= '9') {
            run = std::min(run * 10 + (ch - '0'), 1000);
        } else {
            sum += run;
            run = 0;
        }
    }
    sum += run;
    return static_cast<int16_t>(sum <= MaxClueLength ? sum : 0);
}

} // namespace

std::vector<std::string> readWarnings(const PuzzleReadCounts& c) {
    std::vector<std::string> out;
    if (c.checksumsWrong) {
        out.push_back("The file's checksums do not match its contents: it may be damaged. Check "
                      "its letters and clues.");
    }
    if (c.scrambled) {
        out.push_back("The solution in this file is scrambled: its black squares, clues and "
                      "details are here, its letters are left empty.");
    }
    if (c.cellsCut > 0) {
        out.push_back(counted(c.cellsCut, "cell", "cells") +
                      " held more than one letter A to Z (several letters, a digit or a "
                      "symbol); " +
                      std::string(forCount(c.cellsCut, "it keeps", "each keeps")) +
                      " its first letter when that is one, and is left empty otherwise.");
    }
    if (c.rebusCut > 0) {
        out.push_back(counted(c.rebusCut, "rebus square keeps", "rebus squares keep") +
                      " only the first letter of " +
                      std::string(forCount(c.rebusCut, "its rebus.", "their rebuses.")));
    }
    if (c.markupDropped > 0) {
        out.push_back(counted(c.markupDropped, "markup tag (italics, bold ...) was",
                              "markup tags (italics, bold ...) were") +
                      " dropped from the texts.");
    }
    if (c.unplacedClues > 0) {
        out.push_back(counted(c.unplacedClues, "clue has", "clues have") + " no word of " +
                      std::string(forCount(c.unplacedClues, "its", "their")) +
                      " number and direction in the grid, and " +
                      std::string(forCount(c.unplacedClues, "is", "are")) + " kept unplaced.");
    }
    if (c.cluesSkipped > 0) {
        out.push_back(counted(c.cluesSkipped, "clue entry", "clue entries") +
                      " could not be read and " +
                      std::string(forCount(c.cluesSkipped, "was", "were")) + " left out.");
    }
    if (c.cluesOverCap > 0) {
        out.push_back(counted(c.cluesOverCap, "more clue without a word was",
                              "more clues without a word were") +
                      " left out: Korvel keeps at most " + std::to_string(MaxUnplacedClues) +
                      " of them.");
    }
    if (c.stylesDropped > 0 || !c.dropped.empty()) {
        // What was left out, and whether the words name one thing or many.
        std::vector<std::pair<std::string, bool>> what;
        for (const DroppedField f : c.dropped) {
            switch (f) {
            case DroppedField::Checksum:
                what.emplace_back("its checksum", false);
                break;
            case DroppedField::Saved:
                what.emplace_back("a solver's saved progress", false);
                break;
            case DroppedField::Answers:
                what.emplace_back("its answers", true);
                break;
            case DroppedField::ClueCells:
                what.emplace_back("the cells its clues name", true);
                break;
            case DroppedField::Zones:
                what.emplace_back("its zones of cells", true);
                break;
            case DroppedField::Misses:
                what.emplace_back("its messages for wrong letters", true);
                break;
            }
        }
        if (c.stylesDropped > 0)
            what.emplace_back(counted(c.stylesDropped, "cell's style", "cells' styles") +
                                  " (colours, bars, shapes other than circles)",
                              c.stylesDropped > 1);
        std::string list;
        for (std::size_t i = 0; i < what.size(); ++i)
            list += (i == 0 ? "" : i + 1 == what.size() ? " and " : ", ") + what[i].first;
        const bool many = what.size() > 1 || what.front().second;
        out.push_back("Left out of the file, as " + std::string(many ? "they" : "it") +
                      " would be wrong once the puzzle is edited: " + list + ".");
    }
    if (c.sectionsSkipped > 0) {
        out.push_back(counted(c.sectionsSkipped, "section", "sections") +
                      " of the file (circles or rebus squares) " +
                      std::string(forCount(c.sectionsSkipped, "was", "were")) +
                      " damaged and left out.");
    }
    return out;
}

std::optional<std::string> boardSizeRefusal(int rows, int columns) {
    if (rows >= MinRows && rows <= MaxRows && columns >= MinColumns && columns <= MaxColumns) {
        return std::nullopt;
    }
    return "The puzzle has " + std::to_string(rows) + " rows and " + std::to_string(columns) +
           " columns; Korvel holds " + std::to_string(MinRows) + " to " + std::to_string(MaxRows) +
           " rows and " + std::to_string(MinColumns) + " to " + std::to_string(MaxColumns) +
           " columns.";
}

char cellFromLetters(std::string_view text, int& cut) {
    if (text.empty()) {
        return EmptyCell;
    }
    const auto letter = [](char ch) -> char {
        if (ch >= 'A' && ch <= 'Z') {
            return ch;
        }
        if (ch >= 'a' && ch <= 'z') {
            return static_cast<char>(ch - 'a' + 'A');
        }
        return EmptyCell;
    };
    const char first = letter(text[0]);
    if (text.size() > 1 || first == EmptyCell) {
        ++cut;
    }
    return first;
}

ClueGatherer::ClueGatherer(const GridModel& grid) : slots_(Slots::of(grid)) {}

bool ClueGatherer::addAtMark(std::string_view mark, Direction direction, Clue& clue) {
    if (marks_.empty() || mark.empty())
        return false;
    std::string_view first = mark;
    std::string_view last;
    if (const std::size_t dash = mark.find('-');
        dash != std::string_view::npos && dash > 0 && dash + 1 < mark.size()) {
        first = mark.substr(0, dash);
        last = mark.substr(dash + 1);
    }
    const auto at = marks_.find(std::string(first));
    if (at == marks_.end())
        return false;
    const int columns = slots_.columns();
    const int s = slots_.startingAt(at->second / columns, at->second % columns, direction);
    if (s < 0)
        return false;
    const Slot& slot = slots_[static_cast<std::size_t>(s)];
    if (!last.empty()) {
        const auto end = marks_.find(std::string(last));
        if (end != marks_.end() &&
            slots_.slotAt(end->second / columns, end->second % columns, direction) != s)
            return false;
    }
    const ClueKey key{slot.row, slot.column, direction};
    if (!free(key))
        return false;
    clue.key = key;
    clue.length = slot.length;
    if (clue.enumeration == std::to_string(slot.length))
        clue.enumeration.clear();
    if (clue.label.empty())
        clue.label = std::string(mark);
    keep(std::move(clue));
    return true;
}

void ClueGatherer::add(int number, Direction direction, std::string text, std::string enumeration,
                       std::string label) {
    Clue clue;
    clue.text = std::move(text);
    clue.enumeration = std::move(enumeration);
    clue.label = std::move(label);
    add(number, direction, std::move(clue));
}

void ClueGatherer::add(int number, Direction direction, Clue clue) {
    const int s = slots_.numbered(number, direction);
    if (s >= 0) {
        const Slot& slot = slots_[static_cast<std::size_t>(s)];
        const ClueKey key{slot.row, slot.column, direction};
        if (free(key)) {
            if (clue.enumeration == std::to_string(slot.length)) {
                clue.enumeration.clear();
            }
            clue.key = key;
            clue.length = slot.length;
            keep(std::move(clue));
            return;
        }
    }
    if (!roomForUnplaced()) {
        return;
    }
    clue.length = enumerationLength(clue.enumeration);
    const std::vector<int>& numbers = slots_.numbers();
    const auto cell = std::find(numbers.begin(), numbers.end(), number);
    if (number > 0 && cell != numbers.end()) {
        const auto at = static_cast<int>(cell - numbers.begin());
        clue.key = {static_cast<int16_t>(at / slots_.columns()),
                    static_cast<int16_t>(at % slots_.columns()), direction};
    }
    if (number <= 0 || cell == numbers.end() || !free(clue.key)) {
        clue.key = belowGrids(direction);
    }
    keep(std::move(clue));
}

void ClueGatherer::addUnnumbered(Direction direction, std::string text, std::string enumeration,
                                 std::string label) {
    Clue clue;
    clue.text = std::move(text);
    clue.enumeration = std::move(enumeration);
    clue.label = std::move(label);
    addUnnumbered(direction, std::move(clue));
}

void ClueGatherer::addUnnumbered(Direction direction, Clue clue) {
    if (!roomForUnplaced()) {
        return;
    }
    clue.key = belowGrids(direction);
    clue.length = enumerationLength(clue.enumeration);
    keep(std::move(clue));
}

void ClueGatherer::addKept(Clue clue) {
    if (!roomForUnplaced()) {
        return;
    }
    if (!free(clue.key)) {
        clue.key = belowGrids(clue.key.direction);
    }
    // A clue that fits the slot at its key is placed, and keeps its
    // enumeration as a placed clue does.
    const int s = slots_.startingAt(clue.key.row, clue.key.column, clue.key.direction);
    if (s >= 0 && slots_[static_cast<std::size_t>(s)].length == clue.length &&
        clue.enumeration == std::to_string(clue.length)) {
        clue.enumeration.clear();
    }
    keep(std::move(clue));
}

bool ClueGatherer::isKeptKey(long long row, long long column) {
    if (row >= 0 && row < MaxRows) {
        return column >= 0 && column < MaxColumns;
    }
    return row == MaxRows && column >= 0 && column <= INT16_MAX;
}

bool ClueGatherer::roomForUnplaced() {
    if (unplacedKept_ >= MaxUnplacedClues) {
        ++overCap_;
        return false;
    }
    ++unplacedKept_;
    return true;
}

void ClueGatherer::keep(Clue clue) {
    taken_.insert(clue.key);
    clues_.push_back(std::move(clue));
}

ClueKey ClueGatherer::belowGrids(Direction direction) {
    ClueKey key{MaxRows, nextBelow_, direction};
    while (!free(key)) {
        key.column = ++nextBelow_;
    }
    ++nextBelow_;
    return key;
}

std::vector<Clue> ClueGatherer::take(PuzzleReadCounts& counts) {
    std::sort(clues_.begin(), clues_.end(),
              [](const Clue& a, const Clue& b) { return a.key < b.key; });
    for (const Clue& clue : clues_) {
        const int s = slots_.startingAt(clue.key.row, clue.key.column, clue.key.direction);
        if (s < 0 || slots_[static_cast<std::size_t>(s)].length != clue.length) {
            ++counts.unplacedClues;
        }
    }
    counts.cluesOverCap += overCap_;
    overCap_ = 0;
    return std::move(clues_);
}

} // namespace korvel
