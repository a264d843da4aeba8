// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gridmodel.h"

#include <string>
#include <string_view>

namespace korvel {

// Declared only, so that the files which include this header for the grid
// exports do not take in the puzzle types (and the names of slots.h); a
// caller of the puzzle functions includes puzzleread.h.
struct Puzzle;
struct PuzzleReadResult;

// The grid as an .ipuz crossword (version 2, UTF-8 JSON): its dimensions;
// "puzzle" with each cell's clue number (0 for a white cell without one, "#"
// for a black cell); "solution" with the letters ("#" for a black cell, null
// for an empty one); "clues" with an "Across" and a "Down" list holding
// [number, ""] for every word, in the order of the numbers; and the title.
// The clue texts are left empty for the constructor to write. The title may
// hold any bytes; what is not UTF-8 is replaced. Ends with a line feed.
std::string writeIpuz(const GridModel& grid, std::string_view title);

// The puzzle as an .ipuz crossword. A puzzle with no clues, no details and
// no circles gives exactly the bytes of writeIpuz(grid, title) above.
// Besides those:
// - "title" is the details' title when it is set, otherwise title;
//   "author", "copyright" and "notes" are written when set;
// - a word with a placed clue is written as {"number", "clue",
//   "enumeration"} in its list ("number" is the clue's label when it has
//   one, the enumeration its own or else the word's length); a word without
//   one stays [number, ""];
// - a circled cell of the "puzzle" board is {"cell": n, "style":
//   {"shapebg": "circle"}} (circles on black cells are not written);
// - the unplaced clues go to "org.korvel:unplaced" (key, length, text,
//   enumeration and label of each, in key order) and the contact details to
//   "org.korvel:contact", the format having no place for either; the cells
//   whose letters a fill placed (Puzzle::fillCells) go to "org.korvel:fill"
//   as [row, column] pairs.
// Texts are HTML, as the format reads them: "&", "<" and ">" as entities and
// line breaks as "<br/>". So puzzleFromIpuz gives back the same puzzle, and
// writing that again the same bytes. Ends with a line feed.
std::string writeIpuz(const Puzzle& puzzle, std::string_view title);

// Reads an .ipuz crossword from its bytes, as other programs write them:
// - the bare JSON or the JSONP wrapper ipuz({...}); versions 1 and 2 of the
//   format; any "kind" list holding a crossword (other kinds are refused);
// - "block" and "empty" as the file sets them; "puzzle" cells as numbers,
//   labels, the block, null (no cell: black) or objects {"cell", "style"}
//   ("shapebg": "circle", in the style or in a named style, is a circle);
// - "solution" cells as strings, null (empty) or objects {"value"}; a cell
//   Korvel cannot hold is cut (cellFromLetters) and counted;
// - "Across" and "Down" clue lists (also "Across:anything") of [number,
//   "text"], "text" or objects {"number" or "numbers", "clue",
//   "enumeration", "label"}; a string number such as "2-3" is placed by its
//   leading number and kept as the label. Clues are placed by ClueGatherer;
//   [number, ""] gives no clue;
// - "title", "author", "copyright", "notes" and the texts of clues as HTML:
//   character references decoded, tags dropped (counted);
// - Korvel's own "org.korvel:unplaced", "org.korvel:contact" and
//   "org.korvel:fill" (entries not naming a cell with a letter are passed
//   over).
// Refused, with the reason: bytes that are not JSON, JSON nested more than
// 100 levels deep (before it is parsed), no crossword kind, a version other
// than 1 or 2, dimensions Korvel cannot hold (boardSizeRefusal), and boards
// that do not match the dimensions.
PuzzleReadResult puzzleFromIpuz(std::string_view bytes);

// A JSON string literal for UTF-8 text: quotes, backslashes and control
// characters escaped.
std::string jsonString(std::string_view utf8);

} // namespace korvel
