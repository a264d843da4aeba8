// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace korvel {

// The red selection box: left column, top row, width and height in cells.
struct Selection {
    int16_t cx = 0;
    int16_t cy = 0;
    int16_t LAX = 0;
    int16_t LAY = 0;
    friend bool operator==(const Selection&, const Selection&) = default;
};

// The drag rectangle of the two prompt tools, in whole cells (x1, y1 the
// first column and row, x2, y2 the last).
struct DragRect {
    int16_t x1 = 0;
    int16_t y1 = 0;
    int16_t x2 = 0;
    int16_t y2 = 0;
    friend bool operator==(const DragRect&, const DragRect&) = default;
};

// The pattern state of the last prompt across or down. Set by a grid click,
// rewritten by the head and tail refinements, read by the search and by the
// placement of a result.
struct PatternState {
    int16_t SlotFirstRow = 0;
    int16_t SlotLastRow = 0;
    int16_t SlotFirstColumn = 0;
    int16_t SlotLastColumn = 0;
    // One character per slot cell: a letter or "?", and at most one "*" at the
    // start or the end for a freed run.
    std::string CurrentPattern;
    // The whole slot's pattern; its length bounds the results.
    std::string SlotPattern;
    // The prompt's pattern, restart point of the free-length refinements.
    std::string testom;
    // The run of "?" freed at the start or end; only their lengths matter.
    std::string freedHead;
    std::string freedTail;
};

} // namespace korvel
