#pragma once

#include "gridmodel.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// One word of the grid as the exports list it: the clue number of its first
// cell (the number the window shows there), where it starts and how many
// cells it runs.
struct GridEntry {
    int number = 0;
    int row = 0;
    int column = 0;
    int length = 0;
};

// The across and down words, each list in the order of its numbers. A word is
// a run of at least two non-black cells; empty cells count as non-black, as
// in the numbering, so a half-built grid has the same words it shows.
struct GridEntries {
    std::vector<GridEntry> across;
    std::vector<GridEntry> down;
};
GridEntries gridEntries(const GridModel& grid);

// What an export writes for a cell that is not black: the letter as UTF-8
// (the file's bytes are read as Latin-1, as the window shows them), or
// nothing for an empty cell. Empty are "?", a blank, a missing byte and the
// control bytes, which no export could show.
std::optional<std::string> cellLetter(char ch);

// Text as UTF-8 that is certain to be valid: valid sequences stay, every
// other byte becomes U+FFFD. File names come from the file system unchecked.
std::string validUtf8(std::string_view text);

} // namespace korvel
