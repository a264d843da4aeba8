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

} // namespace korvel
