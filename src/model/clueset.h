// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "puzzle.h"
#include "slots.h"

#include <map>
#include <optional>
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

    friend bool operator==(const ClueSet&, const ClueSet&) = default;

private:
    std::map<ClueKey, Clue> clues_;
};

inline ClueKey keyOf(const Slot& slot) {
    return ClueKey{slot.row, slot.column, slot.direction};
}

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
