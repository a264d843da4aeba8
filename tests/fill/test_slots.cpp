// SPDX-License-Identifier: GPL-3.0-or-later
// The one slot model against the four walks it replaces: the numbering, the
// prompts' slot scan, the fill's slot list and the exports' entries. Every
// black pattern of the small grids, and random large grids.

#include "fill.h"
#include "promptslot.h"
#include "slots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace korvel {
namespace {

// The walks as they stood before the slot model, kept as its oracle.
namespace old {

struct GridSlot {
    bool down = false;
    int16_t row = 0;
    int16_t column = 0;
    int16_t length = 0;
    int number = 0;
};

std::vector<int> clueNumbers(const GridModel& grid) {
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;
    std::vector<int> numbers(static_cast<std::size_t>(std::max(0, R * C)), 0);
    int n = 0;
    for (int r = 0; r < R; ++r)
        for (int c = 0; c < C; ++c) {
            if (grid.isBlack(r, c))
                continue;
            const bool across =
                (c == 0 || grid.isBlack(r, c - 1)) && c < C - 1 && !grid.isBlack(r, c + 1);
            const bool down =
                (r == 0 || grid.isBlack(r - 1, c)) && r < R - 1 && !grid.isBlack(r + 1, c);
            if (across || down)
                numbers[static_cast<std::size_t>(r * C + c)] = ++n;
        }
    return numbers;
}

std::vector<GridSlot> findSlots(const GridModel& grid) {
    std::vector<GridSlot> slots;
    const std::vector<int> numbers = old::clueNumbers(grid);
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;
    auto number = [&](int r, int c) { return numbers[static_cast<std::size_t>(r * C + c)]; };
    for (int r = 0; r < R; ++r)
        for (int c = 0; c < C; ++c)
            if (!grid.isBlack(r, c) && (c == 0 || grid.isBlack(r, c - 1))) {
                int e = c;
                while (e + 1 < C && !grid.isBlack(r, e + 1))
                    ++e;
                if (e > c)
                    slots.push_back({false, static_cast<int16_t>(r), static_cast<int16_t>(c),
                                     static_cast<int16_t>(e - c + 1), number(r, c)});
            }
    for (int r = 0; r < R; ++r)
        for (int c = 0; c < C; ++c)
            if (!grid.isBlack(r, c) && (r == 0 || grid.isBlack(r - 1, c))) {
                int e = r;
                while (e + 1 < R && !grid.isBlack(e + 1, c))
                    ++e;
                if (e > r)
                    slots.push_back({true, static_cast<int16_t>(r), static_cast<int16_t>(c),
                                     static_cast<int16_t>(e - r + 1), number(r, c)});
            }
    return slots;
}

std::string describeSlot(const GridSlot& slot) {
    return std::to_string(slot.number) + (slot.down ? " down" : " across") + " (R" +
           std::to_string(slot.row + 1) + " C" + std::to_string(slot.column + 1) + ")";
}

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

} // namespace old

GridModel gridOfPattern(int rows, int columns, uint64_t blacks) {
    GridModel g = GridModel::make(static_cast<int16_t>(rows), static_cast<int16_t>(columns));
    for (int i = 0; i < rows * columns; ++i)
        if ((blacks >> i) & 1)
            g.setCell(i / columns, i % columns, i % 7 == 3 ? AtBlack : BLACK);
    return g;
}

GridModel randomGrid(std::mt19937_64& rng, int rows, int columns, double blackShare) {
    std::bernoulli_distribution black(blackShare);
    std::uniform_int_distribution<int> letter(0, 30);
    GridModel g = GridModel::make(static_cast<int16_t>(rows), static_cast<int16_t>(columns));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            if (black(rng))
                g.setCell(r, c, BLACK);
            else if (const int l = letter(rng); l < 26)
                g.setCell(r, c, static_cast<char>('A' + l));
            else if (l == 26)
                g.setCell(r, c, ' ');
        }
    return g;
}

// Everything the four walks say about a grid, compared with the model.
void expectSameAsOldWalks(const GridModel& g) {
    const Slots s = Slots::of(g);
    ASSERT_EQ(s.numbers(), old::clueNumbers(g));

    const std::vector<old::GridSlot> fill = old::findSlots(g);
    ASSERT_EQ(fill.size(), s.size());
    for (std::size_t i = 0; i < fill.size(); ++i) {
        EXPECT_EQ(fill[i].down, s[i].down());
        EXPECT_EQ(fill[i].row, s[i].row);
        EXPECT_EQ(fill[i].column, s[i].column);
        EXPECT_EQ(fill[i].length, s[i].length);
        EXPECT_EQ(fill[i].number, s[i].number);
        EXPECT_EQ(old::describeSlot(fill[i]), describeSlot(s[i]));
        EXPECT_EQ(s.startingAt(s[i].row, s[i].column, s[i].direction), static_cast<int>(i));
        EXPECT_EQ(s.numbered(s[i].number, s[i].direction), static_cast<int>(i));
        for (int p = 0; p < s[i].length; ++p) {
            EXPECT_EQ(s.slotAt(s[i].rowAt(p), s[i].columnAt(p), s[i].direction),
                      static_cast<int>(i));
            EXPECT_EQ(s.positionIn(s[i].rowAt(p), s[i].columnAt(p), s[i].direction), p);
        }
    }

    // The prompts' scan through every cell, black ones too, with every drag
    // start, and the cross prompt's two words.
    for (int r = 0; r < g.RowCount; ++r)
        for (int c = 0; c < g.ColumnCount; ++c) {
            const auto row = static_cast<int16_t>(r);
            const auto col = static_cast<int16_t>(c);
            auto acrossAt = [&](int i) { return g.patternChar(row, i); };
            auto downAt = [&](int i) { return g.patternChar(i, col); };
            for (int16_t drag = 0; drag <= std::max(c, r); ++drag) {
                DragInfo d;
                d.erablu = drag > 0;
                d.x1blu = drag;
                d.y1blu = drag;
                d.x2o = static_cast<int16_t>(g.ColumnCount - 1);
                d.y2o = static_cast<int16_t>(g.RowCount - 1);
                if (drag <= c) {
                    const old::LineSlot o = old::scanSlot(acrossAt, g.ColumnCount, col, drag);
                    PatternState ps;
                    Selection sel;
                    if (!promptAcross(g, s, row, col, d, ps, sel).refused) {
                        EXPECT_EQ(ps.testom, o.pattern);
                        EXPECT_EQ(ps.SlotFirstColumn, o.first);
                    }
                }
                if (drag <= r && !g.isBlack(r, c)) {
                    const old::LineSlot o = old::scanSlot(downAt, g.RowCount, row, drag);
                    PatternState ps;
                    Selection sel;
                    if (!promptDown(g, s, row, col, d, ps, sel).refused) {
                        EXPECT_EQ(ps.testom, o.pattern);
                        EXPECT_EQ(ps.SlotFirstRow, o.first);
                    }
                }
            }
            const CrossPatterns p = crossPatterns(g, s, row, col);
            const old::LineSlot a = old::scanSlot([&](int i) { return i == c ? '#' : acrossAt(i); },
                                                  g.ColumnCount, col, 0);
            const old::LineSlot dn =
                old::scanSlot([&](int i) { return i == r ? '#' : downAt(i); }, g.RowCount, row, 0);
            EXPECT_EQ(p.across, a.pattern);
            EXPECT_EQ(p.SlotFirstColumn, a.first);
            EXPECT_EQ(p.SlotLastColumn, a.last);
            EXPECT_EQ(p.down, dn.pattern);
            EXPECT_EQ(p.SlotFirstRow, dn.first);
            EXPECT_EQ(p.SlotLastRow, dn.last);
        }
}

TEST(Slots, EveryBlackPatternOfTheSmallGridsAgreesWithTheOldWalks) {
    for (const auto& [rows, columns] :
         std::vector<std::pair<int, int>>{{2, 2}, {2, 3}, {3, 2}, {3, 3}, {2, 7}, {4, 4}, {3, 5}}) {
        for (uint64_t blacks = 0; blacks < (uint64_t{1} << (rows * columns)); ++blacks) {
            SCOPED_TRACE(std::to_string(rows) + "x" + std::to_string(columns) + " pattern " +
                         std::to_string(blacks));
            expectSameAsOldWalks(gridOfPattern(rows, columns, blacks));
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

TEST(Slots, RandomLargeGridsAgreeWithTheOldWalks) {
    std::mt19937_64 rng(20261209);
    std::uniform_int_distribution<int> rows(2, MaxRows);
    std::uniform_int_distribution<int> columns(2, MaxColumns);
    for (int i = 0; i < 400; ++i) {
        const double share = (i % 5) * 0.1;
        expectSameAsOldWalks(randomGrid(rng, rows(rng), columns(rng), share));
        if (::testing::Test::HasFailure())
            return;
    }
    expectSameAsOldWalks(randomGrid(rng, MaxRows, MaxColumns, 0.0));
    expectSameAsOldWalks(randomGrid(rng, MaxRows, MaxColumns, 1.0));
}

} // namespace
} // namespace korvel
