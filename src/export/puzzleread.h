// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "puzzle.h"
#include "slots.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// The kinds of .ipuz fields left out on reading because the puzzle's letters
// or shape give their meaning, so they would be wrong after the first edit.
enum class DroppedField {
    Checksum,  // "checksum": of the solution
    Saved,     // "saved": a solver's progress
    Answers,   // "answer", "answers" and the answers of clues
    ClueCells, // the "cells" a clue names
    Zones,     // "zones": groups of cells
    Misses,    // "misses": messages for wrong letters
};

// What a reader changed or left out to open a file, for the caller to tell.
struct PuzzleReadCounts {
    // Cells holding what a Korvel cell cannot (several letters, a digit, a
    // symbol), kept as their first letter when it is A to Z, otherwise left
    // empty.
    int cellsCut = 0;
    // .puz rebus squares kept as the first letter of their rebus.
    int rebusCut = 0;
    // Markup tags dropped from .ipuz texts.
    int markupDropped = 0;
    // Clues whose number and direction have no word in the grid; they are in
    // the puzzle, unplaced.
    int unplacedClues = 0;
    // Clue entries left out: of no shape the reader knows, or of another
    // direction than across and down.
    int cluesSkipped = 0;
    // Clues without a word left out because MaxUnplacedClues were kept
    // already.
    int cluesOverCap = 0;
    // .puz sections of circles or rebus squares cut short or failing their
    // own checksum, left out. A damaged section Korvel does not read (the
    // solver's timer or entries) is not counted here.
    int sectionsSkipped = 0;
    // The .puz solution is scrambled: its letters were left empty.
    bool scrambled = false;
    // A .puz checksum does not match: the file opened, but may be damaged.
    bool checksumsWrong = false;
    // What an .ipuz gave that would be wrong once the puzzle is edited, and
    // was therefore left out (see DroppedField); each kind once, in the
    // enum's order.
    std::vector<DroppedField> dropped{};
    // Cells whose style held more than a circle (a colour, a bar, another
    // shape): the rest of the style was left out.
    int stylesDropped = 0;

    friend bool operator==(const PuzzleReadCounts&, const PuzzleReadCounts&) = default;
};

// A puzzle read from another program's file, or nothing and the reason.
// warnings are sentences to show the user (from counts, and any a reader adds
// of its own); empty when the file opened as it is.
struct PuzzleReadResult {
    std::optional<Puzzle> puzzle;
    std::string error;
    std::vector<std::string> warnings;
    PuzzleReadCounts counts;
};

// The sentences for the counts that are not zero, in a fixed order.
std::vector<std::string> readWarnings(const PuzzleReadCounts& counts);

// The refusal of a board Korvel cannot hold (2 to 25 rows, 2 to 35
// columns), naming both sizes; nothing when it fits.
std::optional<std::string> boardSizeRefusal(int rows, int columns);

// The Korvel cell for a file's letter text (UTF-8): "A" to "Z" as they are,
// "a" to "z" as capitals, "" as empty. Anything else becomes its first
// character when that is a letter A to Z (either case), otherwise empty, and
// counts in cut.
char cellFromLetters(std::string_view text, int& cut);

// Unplaced clues beyond this many are left out (counted in cluesOverCap): a
// grid has at most a few hundred words, and each unplaced clue costs the
// window a line.
inline constexpr int MaxUnplacedClues = 1000;

// The longest clue length a file may give: an enumeration's words together
// ("3,4" is 7) are at most this.
inline constexpr int MaxClueLength = MaxRows + MaxColumns;

// Gathers the clues a file gives and places them on the grid's slots, giving
// every clue a key of its own.
//
// A clue numbered n in direction d goes on the slot Slots::numbered(n, d),
// with that slot's length. A clue with no such slot, or a second clue for a
// slot already taken, is kept unplaced:
// - on the cell numbered n, when the grid has one and that key is free, so
//   that it is placed again once a slot of its length starts there;
// - otherwise on a key below every grid Korvel holds (row MaxRows, columns
//   0, 1, 2 ... in the order the clues come), where no slot can ever start,
//   so it stays unplaced until the user deletes it.
// An unplaced clue's length is the sum of its enumeration's numbers ("3,4"
// gives 7), or 0 without one.
class ClueGatherer {
public:
    explicit ClueGatherer(const GridModel& grid);

    // A clue by number and direction. An enumeration that is just the slot's
    // length is dropped (the puzzle keeps it empty, meaning the length).
    void add(int number, Direction direction, std::string text, std::string enumeration,
             std::string label);
    // The same for a clue with more than those (an answer record, fields of
    // other programs): its key and length are set here.
    void add(int number, Direction direction, Clue clue);
    // A clue with no number at all (a label with no leading digits, or text
    // alone): kept unplaced.
    void addUnnumbered(Direction direction, std::string text, std::string enumeration,
                       std::string label);
    void addUnnumbered(Direction direction, Clue clue);
    // A clue whose key and length the file gives (Korvel's own list of
    // unplaced clues): kept as it is, or moved below the grids when another
    // clue holds its key already. One that fits the slot at its key is
    // placed, its enumeration dropped when it is just the length.
    void addKept(Clue clue);
    // Whether a file's key can be kept as it is: a cell of a grid Korvel
    // holds (row below MaxRows, column below MaxColumns), or a place below
    // the grids (row MaxRows, any column from 0). Any other key, a negative
    // one included, is moved below the grids by the reader.
    static bool isKeptKey(long long row, long long column);

    // The file's own marks of its cells (mark text to cell index r * columns
    // + c), for files whose marks are not Korvel's numbers: a clue is then
    // placed by them first (addAtMark).
    void useMarks(std::map<std::string, int> marks) { marks_ = std::move(marks); }
    // Places a clue on the slot of direction that starts at the cell marked
    // mark, or at the first mark of a range "2-3" (whose last mark must lie
    // in that slot). The clue's label is the mark unless it has one. False,
    // keeping nothing, when no marks are in use, no such slot is free, or
    // the range does not fit it.
    bool addAtMark(std::string_view mark, Direction direction, Clue& clue);

    // The clues in key order; the unplaced and skipped ones are counted.
    std::vector<Clue> take(PuzzleReadCounts& counts);

    // Not "slots": Qt code includes this header, and Qt defines that word.
    const Slots& wordSlots() const { return slots_; }

private:
    bool free(const ClueKey& key) const { return taken_.count(key) == 0; }
    // False, counting the clue in cluesOverCap, once MaxUnplacedClues are
    // kept.
    bool roomForUnplaced();
    void keep(Clue clue);
    ClueKey belowGrids(Direction direction);

    Slots slots_;
    std::map<std::string, int> marks_;
    std::vector<Clue> clues_;
    std::set<ClueKey> taken_;
    int16_t nextBelow_ = 0;
    int unplacedKept_ = 0;
    int overCap_ = 0;
};

} // namespace korvel
