#pragma once

#include "gridentries.h"
#include "gridmodel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// The contents of an Across Lite .puz file, as bytes (the format's text is
// Latin-1). solution and state hold width x height cells, row after row:
// "." for a black cell; in state "-" for a cell the solver has not filled.
// clues are in the format's order: by number, an across clue before the down
// clue of the same number.
struct PuzPuzzle {
    int width = 0;
    int height = 0;
    std::string solution;
    std::string state;
    std::string title;
    std::string author;
    std::string copyright;
    std::vector<std::string> clues;
    std::string notes;
};

// The format's running checksum over a region, started from start.
uint16_t puzChecksum(std::string_view region, uint16_t start);

// The order of the clues in a .puz file: by number, the across clue of a
// number before its down clue.
struct PuzClue {
    int number = 0;
    bool across = true;
};
std::vector<PuzClue> puzClueOrder(const GridEntries& entries);

// The file bytes for a puzzle: the 52-byte header (version "1.3") with all
// four checksums, the two boards, then the strings, each ended by NUL. The
// caller keeps the sizes consistent (writePuz and readPuz do).
std::string encodePuz(const PuzPuzzle& puzzle);

// The grid as a .puz: its letters as the solution, every white cell unfilled
// in the player state, empty title, author, copyright and notes, and one
// empty clue per word. Refused, with the reason in error and no bytes: a grid
// with an empty white cell (the format needs every answer letter), a cell
// whose character the format cannot hold (it takes A to Z, 0 to 9 and the
// Latin-1 capitals), and a grid without words.
struct PuzWriteResult {
    std::string bytes;
    std::string error;
};
PuzWriteResult writePuz(const GridModel& grid);

// Reads .puz bytes: the header, both boards and the strings; any sections
// after the notes are skipped. Refused, with the reason: a file shorter than
// its header and boards, a wrong magic string, a board side of 0, a string
// without its NUL, a scrambled solution, and any checksum that does not match.
struct PuzReadResult {
    std::optional<PuzPuzzle> puzzle;
    std::string error;
};
PuzReadResult readPuz(std::string_view bytes);

// The grid of a puzzle's solution: "." becomes a black cell, every other byte
// stays as it is. Refused (nothing, with the reason) when the sides lie
// outside 2..25 rows and 2..35 columns.
std::optional<GridModel> gridFromPuz(const PuzPuzzle& puzzle, std::string& error);

} // namespace korvel
