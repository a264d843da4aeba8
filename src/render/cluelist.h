// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "puzzle.h"
#include "slots.h"

#include <string>
#include <vector>

namespace korvel {

// One line of a printed clue list, all text valid UTF-8: the slot; its label
// (the clue's own label when a file gave one, otherwise the mark of its
// first cell: the slot's number, or the file's own mark, see cellMarks);
// the clue's text, with the enumeration in brackets when a file gave one,
// and empty for a slot without a clue; the slot's letters, "?" for an empty
// cell.
struct ClueListEntry {
    Slot slot;
    std::string label;
    std::string text;
    std::string answer;
};

// The list for every slot, across then down, each in number order. A clue
// is shown for the slot whose first cell, direction and length it names;
// unplaced clues are left out. Control characters in a text become blanks.
std::vector<ClueListEntry> clueList(const Puzzle& puzzle, const Slots& wordSlots);

} // namespace korvel
