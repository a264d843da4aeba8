// SPDX-License-Identifier: GPL-3.0-or-later
// Grid model, dimensions, numbering, cursor and prompt slots.
#include "gridmodel.h"
#include "gridrows.h"
#include "promptslot.h"
#include "slots.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
#include <ostream>
#include <string>
#include <string_view>

using namespace korvel;
using korvel::testing::gridOf;

struct DimCase {
    const char* rows;
    const char* cols;
    bool ok;
    int r;
    int c;
};
void PrintTo(const DimCase& k, std::ostream* os) {
    *os << "rows \"" << k.rows << "\" columns \"" << k.cols << "\" -> ";
    if (k.ok) {
        *os << k.r << " x " << k.c;
    } else {
        *os << "refused";
    }
}
// A test name from a typed field: letters and digits kept, a blank or a minus
// spelled out.
std::string fieldName(std::string_view typed) {
    if (typed.empty()) {
        return "Empty";
    }
    std::string name;
    for (char ch : typed) {
        if (ch == ' ') {
            name += "Blank";
        } else if (ch == '-') {
            name += "Minus";
        } else {
            name += ch;
        }
    }
    return name;
}
class DimensionsTest : public ::testing::TestWithParam<DimCase> {};
TEST_P(DimensionsTest, Validation) {
    const DimCase& k = GetParam();
    const auto d = validateDimensions(k.rows, k.cols);
    ASSERT_EQ(d.has_value(), k.ok);
    if (k.ok) {
        EXPECT_EQ(d->rows, k.r);
        EXPECT_EQ(d->columns, k.c);
    }
}
INSTANTIATE_TEST_SUITE_P(
    Model, DimensionsTest,
    ::testing::Values(DimCase{"2", "35", true, 2, 35}, DimCase{"25", "2", true, 25, 2},
                      DimCase{"007", "07", true, 7, 7}, DimCase{"1", "10", false, 0, 0},
                      DimCase{"26", "10", false, 0, 0}, DimCase{"10", "36", false, 0, 0},
                      DimCase{"", "10", false, 0, 0}, DimCase{"10", "", false, 0, 0},
                      DimCase{"1a", "10", false, 0, 0}, DimCase{" 5", "10", false, 0, 0},
                      DimCase{"-5", "10", false, 0, 0},
                      DimCase{"99999999999999999999", "10", false, 0, 0}),
    [](const ::testing::TestParamInfo<DimCase>& info) {
        return "rows" + fieldName(info.param.rows) + "_cols" + fieldName(info.param.cols);
    });

TEST(Grid, NewGridHasExtraRowAndMaxSide) {
    GridModel g = GridModel::make(3, 4);
    ASSERT_EQ(g.GridRows.size(), 4u);
    for (const auto& row : g.GridRows) {
        EXPECT_EQ(row, "????");
    }
    EXPECT_EQ(g.MaxSide, 4);
    EXPECT_EQ(g.cell(3, 0), '\0'); // the extra row is outside the grid
    EXPECT_EQ(g.cell(0, 4), '\0');
    g.setCell(-1, 0, 'A');
    g.setCell(0, 9, 'A');
    EXPECT_EQ(g.GridRows[0], "????");
}

TEST(Grid, AtSignIsBlackAndNormalized) {
    GridModel g = gridOf({"A@", "??"});
    EXPECT_TRUE(g.isBlack(0, 1));
    EXPECT_TRUE(g.normalizeBlacks());
    EXPECT_EQ(g.GridRows[0], std::string("A") + BLACK);
    EXPECT_FALSE(g.normalizeBlacks());
}

TEST(Numbering, Examples) {
    {
        const auto n = Slots::of(GridModel::make(3, 3)).numbers();
        EXPECT_EQ(n, (std::vector<int>{1, 2, 3, 4, 0, 0, 5, 0, 0}));
    }
    {
        const auto n = Slots::of(gridOf({"?#", "??"})).numbers();
        EXPECT_EQ(n, (std::vector<int>{1, 0, 2, 0}));
    }
    {
        // The middle cell is boxed in by black cells and gets nothing.
        const auto n = Slots::of(gridOf({"?#?", "#?#", "?#?"})).numbers();
        EXPECT_EQ(n[4], 0);
    }
    {
        // Letters count as not black; a single-cell run is no word.
        const auto n = Slots::of(gridOf({"AB#", "C##"})).numbers();
        EXPECT_EQ(n, (std::vector<int>{1, 0, 0, 0, 0, 0}));
    }
}

// The hovered cell is the cell under the pointer. Rounding pos - 1 to the
// nearest integer instead would make the left half of every cell act on its
// left neighbour (2.3 giving cell 1), so a click on a cell's left half would
// write or black the wrong cell.
TEST(Cursor, HoverIsTheCellUnderThePointer) {
    struct Case {
        double pos;
        int16_t count;
        int16_t cell;
    };
    const Case cases[] = {
        {2.7, 5, 2},  {2.3, 5, 2},   {2.0, 5, 2},   {1.999, 5, 1}, {0.2, 5, 0},
        {0.0, 5, 0},  {4.99, 5, 4},  {5.0, 5, 4},   {99.0, 5, 4},  {-0.01, 5, 0},
        {-7.0, 5, 0}, {1e9, 35, 34}, {-1e9, 35, 0}, {0.5, 1, 0},   {3.0, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hoverIndex(c.pos, c.count), c.cell) << "pos " << c.pos << " count " << c.count;
    EXPECT_EQ(hoverIndex(std::numeric_limits<double>::quiet_NaN(), 5), 0);
}

struct MoveCase {
    int r, c, incr, incc;
    int er, ec, beeps;
};
std::string stepName(int incr, int incc) {
    return incr > 0 ? "down" : incr < 0 ? "up" : incc > 0 ? "right" : "left";
}
void PrintTo(const MoveCase& k, std::ostream* os) {
    *os << "from " << k.r << "," << k.c << " " << stepName(k.incr, k.incc) << " -> " << k.er << ","
        << k.ec << ", " << k.beeps << " beep(s)";
}
class MoveCursor : public ::testing::TestWithParam<MoveCase> {};
TEST_P(MoveCursor, WrapRules) {
    const MoveCase& k = GetParam();
    const GridModel g = GridModel::make(3, 3);
    const CursorMove m = moveCursor(g, static_cast<int16_t>(k.r), static_cast<int16_t>(k.c),
                                    static_cast<int16_t>(k.incr), static_cast<int16_t>(k.incc));
    EXPECT_EQ(m.row, k.er);
    EXPECT_EQ(m.column, k.ec);
    EXPECT_EQ(m.beeps, k.beeps);
}
INSTANTIATE_TEST_SUITE_P(Model, MoveCursor,
                         ::testing::Values(MoveCase{0, 2, 0, 1, 1, 0, 1},  // across: next row
                                           MoveCase{2, 2, 1, 0, 0, 0, 1},  // down at the end
                                           MoveCase{0, 0, -1, 0, 2, 2, 1}, // up from top-left
                                           MoveCase{0, 0, 0, -1, 2, 2, 1}, // left from top-left
                                           MoveCase{2, 2, 0, 1, 0, 0, 1},  // across at the end
                                           MoveCase{2, 0, 1, 0, 0, 1, 1},  // down: next column
                                           MoveCase{1, 1, 0, 1, 1, 2, 0},
                                           MoveCase{1, 1, 0, -1, 1, 0, 0}),
                         [](const ::testing::TestParamInfo<MoveCase>& info) {
                             const MoveCase& k = info.param;
                             return "from" + std::to_string(k.r) + "_" + std::to_string(k.c) + "_" +
                                    stepName(k.incr, k.incc);
                         });

TEST(Cursor, BlackCellBeeps) {
    const GridModel g = gridOf({"?#?", "???"});
    const CursorMove m = moveCursor(g, 0, 0, 0, 1);
    EXPECT_EQ(m.column, 1);
    EXPECT_EQ(m.beeps, 1);
}

TEST(Prompt, AcrossSameSlotFromEveryCell) {
    const GridModel g = gridOf({"#AB?B#?"});
    for (int16_t c = 1; c <= 4; ++c) {
        PatternState ps;
        Selection sel;
        promptAcross(g, 0, c, DragInfo{}, ps, sel);
        EXPECT_EQ(ps.CurrentPattern, "AB?B") << c;
        EXPECT_EQ(ps.SlotPattern, "AB?B");
        EXPECT_EQ(ps.testom, "AB?B");
        EXPECT_EQ(ps.SlotFirstColumn, 1);
        EXPECT_EQ(ps.SlotLastColumn, 4);
        EXPECT_EQ(sel.cx, 1);
        EXPECT_EQ(sel.LAX, 4);
        EXPECT_EQ(sel.LAY, 1);
    }
}

TEST(Prompt, AcrossEdgesAndBlackCell) {
    const GridModel g = gridOf({"?A#??"});
    struct {
        int16_t col;
        const char* pattern;
        int first, last;
    } cases[] = {{0, "?A", 0, 1}, {4, "??", 3, 4}, {2, "?A", 0, 1}, {1, "?A", 0, 1}};
    for (const auto& k : cases) {
        PatternState ps;
        Selection sel;
        promptAcross(g, 0, k.col, DragInfo{}, ps, sel);
        EXPECT_EQ(ps.CurrentPattern, k.pattern) << k.col;
        EXPECT_EQ(ps.SlotFirstColumn, k.first);
        EXPECT_EQ(ps.SlotLastColumn, k.last);
    }
}

TEST(Prompt, BlankAndMissingCellsReadEmpty) {
    GridModel g = gridOf({"A???"});
    g.GridRows[0] = "A ";
    PatternState ps;
    Selection sel;
    promptAcross(g, 0, 0, DragInfo{}, ps, sel);
    EXPECT_EQ(ps.CurrentPattern, "A???");
}

TEST(Prompt, DragShortensTheSlot) {
    const GridModel g = GridModel::make(1, 8);
    PatternState ps;
    Selection sel;
    const DragInfo d = makeDragInfo(1, 0, 3, 0, 3, 0);
    ASSERT_TRUE(d.erablu);
    const PromptSlot s = promptAcross(g, 0, 1, d, ps, sel);
    EXPECT_EQ(ps.testom, "???????");
    EXPECT_EQ(ps.CurrentPattern, "???");
    EXPECT_EQ(ps.SlotPattern, "???");
    EXPECT_EQ(s.slotEndBeforeDrag, 7);
    EXPECT_EQ(ps.SlotFirstColumn, 1);
    EXPECT_EQ(ps.SlotLastColumn, 3);
    EXPECT_EQ(sel.cx, 1);
    EXPECT_EQ(sel.LAX, 3);
}

TEST(Prompt, DragAcrossBlackCell) {
    const GridModel g = gridOf({"?A?#??"});
    PatternState ps;
    Selection sel;
    const DragInfo d = makeDragInfo(1, 0, 4, 0, 4, 0);
    promptAcross(g, 0, 1, d, ps, sel);
    EXPECT_EQ(ps.CurrentPattern, "A?"); // only the cells before the black one
    EXPECT_EQ(ps.SlotLastColumn, 4);
    EXPECT_EQ(sel.cx, 1);
    EXPECT_EQ(sel.LAX, 4);
}

// The last drawn drag end is left over from an earlier drag when the pointer
// left the grid before anything was drawn. An end just left of the slot keeps
// no character; one further left asks for fewer than none, and the click then
// leaves the pattern state and the box as they were.
TEST(Prompt, StaleDragEndBeforeTheSlot) {
    struct Case {
        bool down;
        int16_t end; // x2o or y2o
        bool refused;
        const char* pattern;
    } cases[] = {{false, 4, false, ""},
                 {false, 2, true, "keep"},
                 {true, 4, false, ""},
                 {true, 0, true, "keep"}};
    for (const Case& k : cases) {
        const GridModel g = k.down ? GridModel::make(8, 8) : GridModel::make(3, 8);
        PatternState ps;
        ps.CurrentPattern = "keep";
        ps.SlotPattern = "keep";
        Selection sel{7, 7, 7, 7};
        const DragInfo d =
            k.down ? makeDragInfo(1, 5, 1, 7, 1, k.end) : makeDragInfo(5, 1, 7, 1, k.end, 1);
        const PromptSlot s =
            k.down ? promptDown(g, 5, 1, d, ps, sel) : promptAcross(g, 1, 5, d, ps, sel);
        EXPECT_EQ(s.refused, k.refused) << k.end;
        EXPECT_EQ(ps.CurrentPattern, k.pattern) << k.end;
        EXPECT_EQ(ps.SlotPattern, k.pattern) << k.end;
        if (k.refused) {
            EXPECT_EQ(sel.cx, 7);
            EXPECT_EQ(sel.LAX, 7);
            EXPECT_EQ(sel.LAY, 7);
        } else {
            EXPECT_EQ(k.down ? sel.LAY : sel.LAX, 0);
        }
    }
}

TEST(Prompt, DownMirrorsAcross) {
    const GridModel g = gridOf({"?", "A", "#", "?", "B"});
    PatternState ps;
    Selection sel;
    promptDown(g, 4, 0, DragInfo{}, ps, sel);
    EXPECT_EQ(ps.CurrentPattern, "?B");
    EXPECT_EQ(ps.SlotFirstRow, 3);
    EXPECT_EQ(ps.SlotLastRow, 4);
    EXPECT_EQ(sel.cx, 0);
    EXPECT_EQ(sel.cy, 3);
    EXPECT_EQ(sel.LAX, 1);
    EXPECT_EQ(sel.LAY, 2);

    PatternState before;
    before.CurrentPattern = "keep";
    Selection s2{7, 7, 7, 7};
    EXPECT_TRUE(promptDown(g, 2, 0, DragInfo{}, before, s2).refused);
    EXPECT_EQ(before.CurrentPattern, "keep");
    EXPECT_EQ(s2.cx, 7);

    // A drag down from row 0 to row 0 of a longer slot is no drag.
    const GridModel tall = GridModel::make(6, 1);
    PatternState p3;
    promptDown(tall, 1, 0, makeDragInfo(0, 1, 0, 3, 0, 3), p3, sel);
    EXPECT_EQ(p3.testom, "?????");
    EXPECT_EQ(p3.CurrentPattern, "???");
    EXPECT_EQ(sel.cy, 1);
    EXPECT_EQ(sel.LAY, 3);
}

TEST(Prompt, CrossPatterns) {
    const GridModel g = gridOf({"#C?", "A??", "?#B"});
    const CrossPatterns p = crossPatterns(g, 1, 1);
    EXPECT_EQ(p.across, "A#?");
    EXPECT_EQ(p.down, "C#");
    EXPECT_EQ(p.SlotFirstRow, 0);
    EXPECT_EQ(p.SlotLastRow, 1);
    EXPECT_EQ(p.SlotFirstColumn, 0);
    EXPECT_EQ(p.SlotLastColumn, 2);
}
