// SPDX-License-Identifier: GPL-3.0-or-later
#include "clueset.h"

namespace korvel {

const Clue* ClueSet::find(const ClueKey& key) const {
    const auto it = clues_.find(key);
    return it == clues_.end() ? nullptr : &it->second;
}

void ClueSet::put(Clue clue) {
    const ClueKey key = clue.key;
    clues_.insert_or_assign(key, std::move(clue));
}

void ClueSet::erase(const ClueKey& key) {
    clues_.erase(key);
}

const Clue* ClueSet::placedOn(const Slot& slot) const {
    const Clue* c = find(keyOf(slot));
    return c && c->length == slot.length ? c : nullptr;
}

bool ClueSet::isPlaced(const Clue& clue, const Slots& slots) const {
    const int s = slots.startingAt(clue.key.row, clue.key.column, clue.key.direction);
    return s >= 0 && slots[static_cast<std::size_t>(s)].length == clue.length;
}

std::vector<const Clue*> ClueSet::unplaced(const Slots& slots) const {
    std::vector<const Clue*> out;
    for (const auto& [key, clue] : clues_)
        if (!isPlaced(clue, slots))
            out.push_back(&clue);
    return out;
}

std::vector<const Clue*> ClueSet::changed(const GridModel& grid, const Slots& slots) const {
    std::vector<const Clue*> out;
    for (const auto& [key, clue] : clues_) {
        const int s = slots.startingAt(key.row, key.column, key.direction);
        if (s < 0)
            continue;
        const Slot& slot = slots[static_cast<std::size_t>(s)];
        if (slot.length == clue.length && answerChanged(clue, Slots::pattern(grid, slot)))
            out.push_back(&clue);
    }
    return out;
}

void ClueSet::settleAnswers(const GridModel& grid, const Slots& slots) {
    for (auto& [key, clue] : clues_) {
        if (!clue.answer.empty())
            continue;
        const int s = slots.startingAt(key.row, key.column, key.direction);
        if (s >= 0 && slots[static_cast<std::size_t>(s)].length == clue.length)
            clue.answer = Slots::pattern(grid, slots[static_cast<std::size_t>(s)]);
    }
}

bool fileShapeHolds(const PuzzleDetails& details, const GridModel& grid) {
    const std::string& shape = details.kept.shape;
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;
    if (shape.empty() || shape.size() != static_cast<std::size_t>(R) * static_cast<std::size_t>(C))
        return false;
    for (int r = 0; r < R; ++r)
        for (int c = 0; c < C; ++c)
            if ((shape[static_cast<std::size_t>(r * C + c)] == '#') != grid.isBlack(r, c))
                return false;
    return true;
}

std::vector<std::string> cellMarks(const Puzzle& puzzle, const Slots& slots) {
    const std::vector<std::string>& own = puzzle.details.kept.cellMarks;
    if (!own.empty() && own.size() == slots.numbers().size() &&
        fileShapeHolds(puzzle.details, puzzle.grid))
        return own;
    std::vector<std::string> out;
    out.reserve(slots.numbers().size());
    for (int n : slots.numbers())
        out.push_back(n > 0 ? std::to_string(n) : std::string());
    return out;
}

bool answerChanged(const Clue& clue, std::string_view current) {
    if (clue.answer.empty() || clue.answer.size() != current.size())
        return false;
    for (std::size_t i = 0; i < current.size(); ++i) {
        const char was = clue.answer[i];
        if (was != EmptyCell && was != ' ' && current[i] != was)
            return true;
    }
    return false;
}

} // namespace korvel
