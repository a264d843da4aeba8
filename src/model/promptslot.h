// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gridmodel.h"
#include "promptstate.h"
#include "slots.h"

#include <cstdint>
#include <string>

namespace korvel {

// The drag that a prompt click ends (the grid's mouse-up leaves these behind).
// erablu: the drag covered more than one cell; x1blu, y1blu: its first column
// and row (0 without a drag); x2o, y2o: last column and row of the rectangle
// drawn last.
struct DragInfo {
    bool erablu = false;
    int16_t x1blu = 0;
    int16_t y1blu = 0;
    int16_t x2o = 0;
    int16_t y2o = 0;
};

// The drag test of a click: more than one cell when x1 != x2 or y1 != y2.
DragInfo makeDragInfo(int16_t x1, int16_t y1, int16_t x2, int16_t y2, int16_t x2o, int16_t y2o);

// What a prompt across or down built. When refused is true (prompt down on a
// black cell, or a drag whose last drawn end lies before the slot's first
// cell) nothing else was set and no search follows.
struct PromptSlot {
    bool refused = false;
    // Last column (across) or row (down) of the slot before a drag shortened
    // it: cfm or rfm.
    int16_t slotEndBeforeDrag = 0;
};

// Prompt across (tool 1) through (row, column), on the grid's slots (the
// overloads without them compute them): fills the slot bounds,
// CurrentPattern, SlotPattern and testom of ps, and the selection box. The
// slot runs from the cell to the right up to a black cell or the border, and
// to the left up to a black cell, the border, or the drag's first column.
// A drag's end shortens the slot; a drag across a black cell keeps the pattern
// to the cells before the black one while the box spans the drag. The freed
// head and tail are left to the caller (a click empties them).
PromptSlot promptAcross(const GridModel& grid, const Slots& slots, int16_t row, int16_t column,
                        const DragInfo& drag, PatternState& ps, Selection& sel);
inline PromptSlot promptAcross(const GridModel& grid, int16_t row, int16_t column,
                               const DragInfo& drag, PatternState& ps, Selection& sel) {
    return promptAcross(grid, Slots::of(grid), row, column, drag, ps, sel);
}
// Prompt down (tool 2): the same along the column. A click on a black cell is
// refused and changes nothing.
PromptSlot promptDown(const GridModel& grid, const Slots& slots, int16_t row, int16_t column,
                      const DragInfo& drag, PatternState& ps, Selection& sel);
inline PromptSlot promptDown(const GridModel& grid, int16_t row, int16_t column,
                             const DragInfo& drag, PatternState& ps, Selection& sel) {
    return promptDown(grid, Slots::of(grid), row, column, drag, ps, sel);
}

// The two words through a cell for the cross prompt: letters, "?" for empty
// cells and "#" at the cell itself, with the slot bounds.
struct CrossPatterns {
    std::string across;
    std::string down;
    int16_t SlotFirstColumn = 0;
    int16_t SlotLastColumn = 0;
    int16_t SlotFirstRow = 0;
    int16_t SlotLastRow = 0;
};
CrossPatterns crossPatterns(const GridModel& grid, const Slots& slots, int16_t row, int16_t column);
inline CrossPatterns crossPatterns(const GridModel& grid, int16_t row, int16_t column) {
    return crossPatterns(grid, Slots::of(grid), row, column);
}

} // namespace korvel
