// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// The cell alphabet. A cell holds one byte: EmptyCell, BLACK, "A" to "Z", or
// AtBlack, which files may hold for a black cell and which normalizeBlacks()
// rewrites to BLACK. A blank (or a character missing from a short row) reads
// as empty when a pattern is built.
inline constexpr char BLACK = '\x10';
inline constexpr char EmptyCell = '?';
inline constexpr char AtBlack = '@';

inline constexpr int16_t MinRows = 2;
inline constexpr int16_t MaxRows = 25;
inline constexpr int16_t MinColumns = 2;
inline constexpr int16_t MaxColumns = 35;

inline bool isBlackCell(char c) {
    return c == BLACK || c == AtBlack;
}

// The crossword under construction. RowCount and ColumnCount are 0 before
// the first grid. GridRows has RowCount + 1 strings: rows 0 to RowCount - 1,
// each exactly ColumnCount bytes, and the extra row at index RowCount that is
// never drawn, edited or saved. Only make() and the file reader build one, so
// every row in use has the full width.
struct GridModel {
    int16_t RowCount = 0;
    int16_t ColumnCount = 0;
    int16_t MaxSide = 0;
    std::vector<std::string> GridRows;

    // A fresh grid of all-empty cells. The counts must already be valid
    // (validateDimensions, or the file reader's own check).
    static GridModel make(int16_t rows, int16_t columns);

    bool isEmpty() const { return RowCount == 0 || ColumnCount == 0; }
    bool contains(int r, int c) const {
        return r >= 0 && c >= 0 && r < RowCount && c < ColumnCount;
    }
    // The byte of cell (r, c); '\0' for a cell outside the grid, which no
    // caller treats as black, empty or a letter.
    char cell(int r, int c) const;
    bool isBlack(int r, int c) const { return isBlackCell(cell(r, c)); }
    // Writes one cell; ignored outside the grid. Editing goes through the
    // actions history's aggior, which calls this.
    void setCell(int r, int c, char ch);
    // The character a search pattern gets for a cell: the letter as stored,
    // "?" for an empty cell, a blank or a missing byte.
    char patternChar(int r, int c) const;

    // The one rewrite of every "@" to BLACK (not recorded in the history).
    // Returns true when a cell changed; changed, when given, gets the index
    // r * ColumnCount + c of each such cell.
    bool normalizeBlacks(std::vector<int>* changed = nullptr);
};

// The grid-dimensions dialog's check of its two texts: both must be decimal
// digits only (leading zeros allowed, "007" is 7), rows 2 to 25 and columns 2
// to 35. Returns nothing when the texts are refused; the dialog then shows
// DimensionsErrorText under DimensionsErrorTitle.
struct Dimensions {
    int16_t rows = 0;
    int16_t columns = 0;
};
std::optional<Dimensions> validateDimensions(std::string_view rowsText,
                                             std::string_view columnsText);
inline constexpr std::string_view DimensionsErrorTitle = "E R R O R";
inline constexpr std::string_view DimensionsErrorText = "Wrong boundaries\r\nRetry ...";

// The hovered cell index for a pointer coordinate in cells: the cell under
// the pointer, floor(pos), limited to 0..count - 1 (a pointer left of or
// above the grid gives 0, one past its end the last cell).
int16_t hoverIndex(double pos, int16_t count);

// The write cursor's step. The caller applies it only with the write tools
// (3 and 4). beeps counts the wrap beep and the beep for landing on a black
// cell (0, 1 or 2).
struct CursorMove {
    int16_t row = 0;
    int16_t column = 0;
    int beeps = 0;
};
CursorMove moveCursor(const GridModel& grid, int16_t row, int16_t column, int16_t incr,
                      int16_t incc);

} // namespace korvel
