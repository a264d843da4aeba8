// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gridmodel.h"
#include "slots.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvel {

// What a puzzle says about itself besides its grid. Text is UTF-8 and plain
// (no markup); the writers escape what their formats need.
struct PuzzleDetails {
    std::string title;
    std::string author;
    std::string copyright;
    std::string notes;
    // The constructor's contact, for the submission layout only.
    std::string contactName;
    std::string contactEmail;
    std::string contactAddress;

    bool empty() const {
        return title.empty() && author.empty() && copyright.empty() && notes.empty() &&
               contactName.empty() && contactEmail.empty() && contactAddress.empty();
    }
    friend bool operator==(const PuzzleDetails&, const PuzzleDetails&) = default;
};

// Where a clue belongs: the first cell and direction of its slot. A clue
// keeps its key when numbers change, so it follows its slot.
struct ClueKey {
    int16_t row = 0;
    int16_t column = 0;
    Direction direction = Direction::Across;

    friend bool operator==(const ClueKey&, const ClueKey&) = default;
    friend auto operator<=>(const ClueKey&, const ClueKey&) = default;
};

// A clue: its key, the length of the slot it was written for, its text
// (UTF-8, plain), and what a file gave beyond that. A clue is placed while a
// slot of that length starts at its key; otherwise it is unplaced, kept until
// the user deletes it.
struct Clue {
    ClueKey key;
    int16_t length = 0;
    std::string text;
    // The answer's word lengths as a file gave them ("3,4"); empty means
    // the slot's length.
    std::string enumeration;
    // The label a file gave instead of the plain number ("2-3"); empty
    // means the slot's number.
    std::string label;

    friend bool operator==(const Clue&, const Clue&) = default;
};

// A whole puzzle as the file readers and writers exchange it: the grid, its
// clues (placed and unplaced, in key order), its details and its circled
// cells (index r * ColumnCount + c, ascending).
struct Puzzle {
    GridModel grid;
    std::vector<Clue> clues;
    PuzzleDetails details;
    std::vector<int> circles;

    // Anything a .kvl file cannot keep: clues, details or circles.
    bool hasMoreThanGrid() const { return !clues.empty() || !details.empty() || !circles.empty(); }
};

} // namespace korvel
