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

// The slot along one line of cells. at(i) reads cell i of the line; the scan
// runs forward from `start` and backward from start - 1, stopping before the
// drag's first cell `dragFirst`.
struct LineSlot {
    int16_t first = 0;
    int16_t last = 0;
    std::string pattern;
};

template <typename At> LineSlot scanSlot(At at, int16_t count, int16_t start, int16_t dragFirst) {
    LineSlot s;
    s.first = 0;
    s.last = static_cast<int16_t>(count - 1);
    for (int i = start; i <= count - 1; ++i) {
        const char ch = at(i);
        if (isBlackCell(ch)) {
            s.last = static_cast<int16_t>(i - 1);
            break;
        }
        s.pattern.push_back(ch);
    }
    std::string head;
    for (int i = start - 1; i >= 0; --i) {
        if (i < dragFirst) {
            s.first = static_cast<int16_t>(i + 1);
            break;
        }
        const char ch = at(i);
        if (isBlackCell(ch)) {
            s.first = static_cast<int16_t>(i + 1);
            break;
        }
        head.push_back(ch);
    }
    std::reverse(head.begin(), head.end());
    s.pattern.insert(0, head);
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

PromptSlot promptAcross(const GridModel& grid, int16_t row, int16_t column, const DragInfo& drag,
                        PatternState& ps, Selection& sel) {
    PromptSlot out;
    const LineSlot s = scanSlot([&](int i) { return grid.patternChar(row, i); }, grid.ColumnCount,
                                column, drag.x1blu);
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

PromptSlot promptDown(const GridModel& grid, int16_t row, int16_t column, const DragInfo& drag,
                      PatternState& ps, Selection& sel) {
    PromptSlot out;
    if (isBlackCell(grid.cell(row, column))) {
        out.refused = true;
        return out;
    }
    const LineSlot s = scanSlot([&](int i) { return grid.patternChar(i, column); }, grid.RowCount,
                                row, drag.y1blu);
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

CrossPatterns crossPatterns(const GridModel& grid, int16_t row, int16_t column) {
    CrossPatterns p;
    auto across = [&](int i) { return i == column ? '#' : grid.patternChar(row, i); };
    auto down = [&](int i) { return i == row ? '#' : grid.patternChar(i, column); };
    LineSlot a = scanSlot(across, grid.ColumnCount, column, 0);
    LineSlot d = scanSlot(down, grid.RowCount, row, 0);
    p.across = std::move(a.pattern);
    p.SlotFirstColumn = a.first;
    p.SlotLastColumn = a.last;
    p.down = std::move(d.pattern);
    p.SlotFirstRow = d.first;
    p.SlotLastRow = d.last;
    return p;
}

} // namespace korvel
