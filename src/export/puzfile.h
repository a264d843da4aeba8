// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "celltext.h"
#include "gridmodel.h"
#include "slots.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// Declared only, so that the files which include this header for the grid
// exports do not take in the puzzle types (and the names of slots.h); a
// caller of the puzzle functions includes puzzleread.h.
struct Puzzle;
struct PuzzleReadResult;

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
    // The header's version, at most 4 bytes: the notes count in the
    // checksums from "1.3" on, and the text is UTF-8 from "2.0" on
    // (ISO-8859-1 before).
    std::string version = "1.3";
    // The extra sections read and written here, each empty when the file has
    // none: GRBS (a byte per cell: 0, or 1 + the key of the cell's rebus in
    // RTBL), RTBL (the rebus table, " 1:ABC; 2:XY;") and GEXT (a byte of
    // flags per cell, 0x80 a circle).
    std::string rebusGrid;
    std::string rebusTable;
    std::string markup;
};

// The format's running checksum over a region, started from start.
uint16_t puzChecksum(std::string_view region, uint16_t start);

// The order of the clues in a .puz file: by number, the across clue of a
// number before its down clue.
struct PuzClue {
    int number = 0;
    bool across = true;
};
std::vector<PuzClue> puzClueOrder(const Slots& gridSlots);

// The file bytes for a puzzle: the 52-byte header (its version, "1.3" unless
// the puzzle says otherwise) with all four checksums, the two boards, the
// strings, each ended by NUL, then the sections GRBS, RTBL and GEXT that are
// not empty, each with its checksum. The caller keeps the sizes consistent
// (writePuz and readPuz do).
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

// The puzzle as a .puz: as writePuz(grid) above, with the details' title,
// author, copyright and notes, the placed clues' texts (a word without one
// gets an empty clue; unplaced clues, enumerations, labels and the contact
// details have no place in the format), and the circles as a GEXT section.
// The text is written in ISO-8859-1: typographic quotes, dashes and the
// ellipsis become their plain forms, and any other character the encoding
// cannot hold refuses the export, naming the clue (number and direction) or
// the detail and the character. A puzzle with no details, clues or circles
// gives exactly writePuz(puzzle.grid).
PuzWriteResult writePuz(const Puzzle& puzzle);

// Reads .puz bytes: the header wherever its ACROSS&DOWN mark is (bytes
// before it are skipped, and the checksums count from the header's start),
// both boards, the strings, then the sections GRBS, RTBL and GEXT (other
// sections, and any cut short or failing their own checksum, are skipped).
// Refused, with the reason: no ACROSS&DOWN mark, a file shorter than its
// header and boards, a board side of 0, a string without its NUL, a scrambled
// solution, and any checksum that does not match.
struct PuzReadResult {
    std::optional<PuzPuzzle> puzzle;
    std::string error;
};
PuzReadResult readPuz(std::string_view bytes);

// The grid of a puzzle's solution: "." becomes a black cell, every other byte
// stays as it is. Refused (nothing, with the reason) when the sides lie
// outside 2..25 rows and 2..35 columns.
std::optional<GridModel> gridFromPuz(const PuzPuzzle& puzzle, std::string& error);

// Opens a .puz as real files are, into a puzzle: the layout as readPuz reads
// it, but checksums that do not match only warn (PuzzleReadCounts), and a
// scrambled solution opens with its black squares, clues and details and
// every letter empty. "." and ":" (diagramless) are black; a rebus square
// keeps the first letter of its rebus (counted); a letter Korvel cannot hold
// is cut (cellFromLetters, counted); GEXT's 0x80 cells are the circles. The
// text is decoded by version (latin1ToUtf8 before 2.0, UTF-8 from 2.0). The
// clues go to the grid's words in the format's order through ClueGatherer
// (an empty clue gives none; a count that differs from the words warns).
// Refused as readPuz refuses a broken layout, and a board Korvel cannot hold
// (boardSizeRefusal).
PuzzleReadResult puzzleFromPuz(std::string_view bytes);

} // namespace korvel
