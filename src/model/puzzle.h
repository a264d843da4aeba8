// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gridmodel.h"
#include "slots.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace korvel {

// Fields of another program's file that Korvel has no place for, each its
// name and its value as JSON text, in the order the file gave them; written
// back as they were.
using OtherFields = std::vector<std::pair<std::string, std::string>>;

// What a file gave that Korvel keeps without using it.
struct KeptFields {
    OtherFields ipuz;
    // The shape of the file's board beyond Korvel's numbers: its own mark of
    // each cell ("" for none; r * ColumnCount + c), when the marks are not
    // Korvel's numbers (they are what clue labels such as "2-3" name), and
    // the cells that are no cell at all (a board's holes), ascending. Korvel
    // shows them as black. They hold while the blacks stay as they were when
    // read, given in shape ("#" for a black cell, "." for a white one, a row
    // after the other); once the blacks change, Korvel's numbers are in
    // force and the holes are plain black cells.
    std::vector<std::string> cellMarks;
    std::vector<int> holes;
    std::string shape;

    bool empty() const { return ipuz.empty() && cellMarks.empty() && holes.empty(); }
    friend bool operator==(const KeptFields&, const KeptFields&) = default;
};

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
    // What a published puzzle carries besides: the words before the puzzle,
    // the publisher, how hard it is, and the words shown after it is solved.
    std::string intro{};
    std::string publisher{};
    std::string difficulty{};
    std::string explanation{};
    // The language the puzzle is written in, as a code: "it", "en", or ""
    // when not known (the printed words are then English). Not a detail a
    // .kvl file loses: every puzzle has one, so it alone does not make a
    // puzzle more than its grid.
    std::string language{};
    KeptFields kept{};

    bool empty() const {
        return title.empty() && author.empty() && copyright.empty() && notes.empty() &&
               contactName.empty() && contactEmail.empty() && contactAddress.empty() &&
               intro.empty() && publisher.empty() && difficulty.empty() && explanation.empty() &&
               kept.empty();
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
    // The slot's letters when the clue was written or last confirmed ("?"
    // for a cell that was empty); empty when not known. A clue whose answer
    // changed since is flagged (see answerChanged).
    std::string answer{};
    // Fields of the file's clue entry that Korvel has no place for.
    OtherFields otherFields{};

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
