// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gridmodel.h"

#include <cstdint>

namespace korvel {

// One cell written by a command that changes many cells at once (a fill):
// the byte before and the byte after.
struct CellChange {
    int16_t row = 0;
    int16_t column = 0;
    char before = EmptyCell;
    char after = EmptyCell;
    // Whether the fill had placed the cell's letter, before and after; the
    // document fills these in when the change is recorded (see
    // GridDocument::fillMarks).
    bool fillBefore = false;
    bool fillAfter = false;
};

} // namespace korvel
