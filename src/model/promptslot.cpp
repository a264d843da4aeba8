// SPDX-License-Identifier: GPL-3.0-or-later
#include "promptslot.h"

#include <algorithm>

namespace korvel {

DragInfo makeDragInfo(int16_t x1, int16_t y1, int16_t x2, int16_t y2, int16_t x2o, int16_t y2o) {
    DragInfo d;
    d.erablu = x1 != x2 || y1 != y2;
    d.x1blu = d.erablu ? x1 : int16_t{0};
    d.y1blu = d.erablu ? y1 : int16_t{0};
    d.x2o = x2o;
    d.y2o = y2o;
    return d;
}

namespace {

// The slot along one line of cells: from the cell at `start` forward to the
// cell before the next black one or the border, and backward to the cell
// after the previous black one, the border, or the drag's first cell
// `dragFirst`. The bounds come from the grid's runs; at(i) reads cell i of
// the line for the pattern. A black cell at start ends the slot before it.
struct LineSlot {
    int16_t first = 0;
    int16_t last = 0;
    std::string pattern;
};

template <typename RunAt, typename At>
LineSlot lineSlot(RunAt runAt, At at, int16_t start, int16_t dragFirst) {
    LineSlot s;
    const CellRun here = runAt(start);
    const bool white = here.first <= here.last;
    s.last = white ? here.last : static_cast<int16_t>(start - 1);
    const CellRun before = runAt(start - 1);
    const int16_t runFirst = start > 0 && before.first <= before.last ? before.first : start;
    s.first = std::max<int16_t>(runFirst, std::min<int16_t>(start, dragFirst));
    for (int i = s.first; i <= s.last; ++i)
        s.pattern.push_back(at(i));
    return s;
}

// How many pattern characters a drag keeps: the drag's end shortens the
// pattern by the cells between it and the slot's end; a drag reaching past
// the slot's end keeps the whole pattern. Negative when the last drawn end
// lies more than one cell before the slot's first cell (a drag that left the
// grid before it was ever drawn keeps an earlier drag's end): no count of
// characters fits such a drag, and its click does nothing.
long keptByDrag(const std::string& pattern, int16_t slotEnd, int16_t dragEnd) {
    const long keep = static_cast<long>(pattern.size()) - (slotEnd - dragEnd);
    return std::min(keep, static_cast<long>(pattern.size()));
}

// What a prompt across and a prompt down share once the slot is found: the
// drag's cut, the slot bounds along the prompt's direction, the patterns.
// Returns false when the drag leaves no characters at all.
bool applySlot(const LineSlot& s, const DragInfo& drag, int16_t dragEnd, PatternState& ps,
               int16_t PatternState::*first, int16_t PatternState::*last, PromptSlot& out) {
    std::string pattern = s.pattern;
    if (drag.erablu) {
        const long keep = keptByDrag(pattern, s.last, dragEnd);
        if (keep < 0) {
            out.refused = true;
            return false;
        }
        pattern.resize(static_cast<std::size_t>(keep));
    }
    ps.*first = s.first;
    ps.*last = drag.erablu ? dragEnd : s.last;
    out.slotEndBeforeDrag = s.last;
    ps.testom = s.pattern;
    ps.CurrentPattern = pattern;
    ps.SlotPattern = pattern;
    return true;
}

} // namespace

PromptSlot promptAcross(const GridModel& grid, const Slots& slots, int16_t row, int16_t column,
                        const DragInfo& drag, PatternState& ps, Selection& sel) {
    PromptSlot out;
    const LineSlot s =
        lineSlot([&](int i) { return slots.runThrough(row, i, Direction::Across); },
                 [&](int i) { return grid.patternChar(row, i); }, column, drag.x1blu);
    if (!applySlot(s, drag, drag.x2o, ps, &PatternState::SlotFirstColumn,
                   &PatternState::SlotLastColumn, out)) {
        return out;
    }
    sel.cx = ps.SlotFirstColumn;
    sel.cy = row;
    sel.LAX = static_cast<int16_t>(ps.SlotLastColumn - ps.SlotFirstColumn + 1);
    sel.LAY = 1;
    return out;
}

PromptSlot promptDown(const GridModel& grid, const Slots& slots, int16_t row, int16_t column,
                      const DragInfo& drag, PatternState& ps, Selection& sel) {
    PromptSlot out;
    if (isBlackCell(grid.cell(row, column))) {
        out.refused = true;
        return out;
    }
    const LineSlot s =
        lineSlot([&](int i) { return slots.runThrough(i, column, Direction::Down); },
                 [&](int i) { return grid.patternChar(i, column); }, row, drag.y1blu);
    if (!applySlot(s, drag, drag.y2o, ps, &PatternState::SlotFirstRow, &PatternState::SlotLastRow,
                   out)) {
        return out;
    }
    sel.cx = column;
    sel.cy = ps.SlotFirstRow;
    sel.LAX = 1;
    sel.LAY = static_cast<int16_t>(ps.SlotLastRow - ps.SlotFirstRow + 1);
    return out;
}

CrossPatterns crossPatterns(const GridModel& grid, const Slots& slots, int16_t row,
                            int16_t column) {
    CrossPatterns p;
    auto across = [&](int i) { return i == column ? '#' : grid.patternChar(row, i); };
    auto down = [&](int i) { return i == row ? '#' : grid.patternChar(i, column); };
    // The cell itself counts as white, even a black one: it is the "#".
    auto runAcross = [&](int i) {
        return i == column ? CellRun{column, column} : slots.runThrough(row, i, Direction::Across);
    };
    auto runDown = [&](int i) {
        return i == row ? CellRun{row, row} : slots.runThrough(i, column, Direction::Down);
    };
    auto joined = [](auto runAt, int16_t at) {
        const CellRun before = runAt(at - 1);
        const CellRun after = runAt(at + 1);
        return CellRun{before.first <= before.last ? before.first : at,
                       after.first <= after.last ? after.last : at};
    };
    const CellRun ra = joined(runAcross, column);
    const CellRun rd = joined(runDown, row);
    LineSlot a = lineSlot([&](int) { return ra; }, across, column, 0);
    LineSlot d = lineSlot([&](int) { return rd; }, down, row, 0);
    p.across = std::move(a.pattern);
    p.SlotFirstColumn = a.first;
    p.SlotLastColumn = a.last;
    p.down = std::move(d.pattern);
    p.SlotFirstRow = d.first;
    p.SlotLastRow = d.last;
    return p;
}

} // namespace korvel
