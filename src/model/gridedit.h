// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "actionshistory.h"
#include "griddocument.h"
#include "gridmodel.h"
#include "promptstate.h"
#include "tool.h"

#include <cstdint>
#include <string>

namespace korvel {

// The position text of panel 4 after a grid click: " R" row " C" column,
// counted from 1, and two blanks.
std::string clickPositionText(int16_t row, int16_t column);
// The same after a written key: one blank at the end.
std::string keyPositionText(int16_t row, int16_t column);

// What a black/white or clear click did. The caller has begun the action
// (beginAction) and repaints the grid and draws `selection` afterwards.
struct CellEditResult {
    std::string panel2;
    std::string panel3;
    bool beep = false;
    bool historyCleared = false; // show HistoryClearedText
    Selection selection;
};

// Tool 0: a black cell becomes empty (" whitened "), an empty or lettered
// cell black (" blacked "), as one recorded change.
CellEditResult blackWhite(DocumentEdit& edit, int16_t row, int16_t column);
// Tool 5: a cell that is not empty (a black cell too) becomes empty
// (" cleared "); an empty one is refused with " it's empty already! " and a
// beep, and nothing is recorded.
CellEditResult clearCell(DocumentEdit& edit, int16_t row, int16_t column);

// A key going down on the grid, for every tool. vocali is set from the
// modifiers for the cross prompt; in the write tools (3 and 4) the arrows,
// Tab, Shift+Tab and Backspace move the cursor, and a letter or a blank is
// written (a blank empties the cell) and the cursor advances. A letter or a
// blank with Ctrl or Alt held writes nothing.
struct KeyResult {
    int16_t vocali = 0;
    // A letter or blank was written: empty the results list and its hint,
    // panel 2 := panel2, panel 3 := " ", panel 4 := panel4, panel 2's hint
    // := "", then repaint and draw the box on the written cell.
    bool wrote = false;
    std::string panel2;
    std::string panel4;
    // The cursor moved: repaint and draw the box on (row, column).
    bool moved = false;
    int16_t row = 0;
    int16_t column = 0;
    // The step used, kept by the window between keys.
    int16_t incr = 0;
    int16_t incc = 0;
    int beeps = 0;
    bool historyCleared = false;
};
KeyResult gridKeyDown(DocumentEdit& edit, Tool CurrentTool, int16_t CurrentRow,
                      int16_t CurrentColumn, int keyCode, int modifiers, int16_t incr,
                      int16_t incc);

// The whole part of a pointer coordinate in cells, kept within 16 bits.
int16_t wholePart(double v);

// The drag rectangle (DragRect) of the two prompt tools: x1, y1 are set by
// the button going down (the whole parts of the pointer position).
// A pointer move during a drag with tool 1 (along the row) or 2 (down the
// column): the far end follows the pointer, and the ends are exchanged when
// it passes the near one. Returns false when the rectangle reached outside
// the grid: its offending value is then brought to the nearest edge, and the
// drag stops following the pointer (the window repaints, erasing it).
bool dragMove(const GridModel& grid, Tool tool, double X, double Y, DragRect& drag);

// The button going up after a drag (tools 1 and 2): the current cell is the
// rectangle's first cell, and its far end is taken from the pointer, limited
// to the grid. The click that follows reads the rectangle.
void dragRelease(const GridModel& grid, Tool tool, double X, double Y, DragRect& drag,
                 int16_t& CurrentRow, int16_t& CurrentColumn);

} // namespace korvel
