// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "puzzle.h"
#include "slots.h"

#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace korvel {

// The clues of a puzzle, one per key (first cell and direction). A clue is
// placed while a slot of its length starts at its key and unplaced
// otherwise; an unplaced clue is kept, shown and offered back to a slot that
// starts there again, until the user deletes it.
class ClueSet {
public:
    const std::map<ClueKey, Clue>& all() const { return clues_; }
    bool empty() const { return clues_.empty(); }
    std::size_t size() const { return clues_.size(); }

    const Clue* find(const ClueKey& key) const;
    // Puts the clue under its key, replacing any there.
    void put(Clue clue);
    void erase(const ClueKey& key);

    // The clue placed on a slot, or nullptr.
    const Clue* placedOn(const Slot& slot) const;
    bool isPlaced(const Clue& clue, const Slots& slots) const;
    // The clues no slot holds, in key order.
    std::vector<const Clue*> unplaced(const Slots& slots) const;

    // The placed clues whose slot's answer changed since they were written
    // (answerChanged), in key order.
    std::vector<const Clue*> changed(const GridModel& grid, const Slots& slots) const;
    // Gives every placed clue that does not know its answer the one its slot
    // holds now: a clue read from a file was written for the answer the file
    // gives. Unrecorded, as opening a file is.
    void settleAnswers(const GridModel& grid, const Slots& slots);

    friend bool operator==(const ClueSet&, const ClueSet&) = default;

private:
    std::map<ClueKey, Clue> clues_;
};

inline ClueKey keyOf(const Slot& slot) {
    return ClueKey{slot.row, slot.column, slot.direction};
}

// The mark of each cell of the puzzle's grid (r * ColumnCount + c; "" for
// none): the file's own marks while the blacks are as the file had them
// (KeptFields), otherwise Korvel's clue numbers.
std::vector<std::string> cellMarks(const Puzzle& puzzle, const Slots& slots);
// Whether the file's own marks and holes are in force (see KeptFields).
bool fileShapeHolds(const PuzzleDetails& details, const GridModel& grid);

// Whether a clue's slot no longer holds the answer the clue was written for:
// a letter it had is another letter now, or gone. A cell that was empty when
// the clue was written changes nothing (the clue was written ahead of that
// letter), and neither does a clue that does not know its answer. current
// is the slot's pattern (Slots::pattern), "?" for an empty cell.
bool answerChanged(const Clue& clue, std::string_view current);

// What a puzzle holds besides its grid, and what clue and detail edits change.
struct PuzzleText {
    ClueSet clues;
    PuzzleDetails details;
    friend bool operator==(const PuzzleText&, const PuzzleText&) = default;
};

// One clue's change: what its key held before and after (nothing for none).
struct ClueChange {
    ClueKey key;
    std::optional<Clue> before;
    std::optional<Clue> after;
};

struct DetailsChange {
    PuzzleDetails before;
    PuzzleDetails after;
};

} // namespace korvel
