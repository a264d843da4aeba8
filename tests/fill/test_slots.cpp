// The one slot model against the four walks it replaces: the numbering, the
// prompts' slot scan, the fill's slot list and the exports' entries. Every
// black pattern of the small grids, and random large grids.

#include "fill.h"
#include "gridentries.h"
#include "promptslot.h"
#include "slots.h"

#include <gtest/gtest.h>

#include <random>

namespace korvel {
namespace {

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
    ASSERT_EQ(s.numbers(), clueNumbers(g));

    const std::vector<GridSlot> fill = findSlots(g);
    ASSERT_EQ(fill.size(), s.size());
    for (std::size_t i = 0; i < fill.size(); ++i) {
        EXPECT_EQ(fill[i].down, s[i].down());
        EXPECT_EQ(fill[i].row, s[i].row);
        EXPECT_EQ(fill[i].column, s[i].column);
        EXPECT_EQ(fill[i].length, s[i].length);
        EXPECT_EQ(fill[i].number, s[i].number);
        EXPECT_EQ(describeSlot(fill[i]), describeSlot(s[i]));
        EXPECT_EQ(s.startingAt(s[i].row, s[i].column, s[i].direction), static_cast<int>(i));
        EXPECT_EQ(s.numbered(s[i].number, s[i].direction), static_cast<int>(i));
        for (int p = 0; p < s[i].length; ++p) {
            EXPECT_EQ(s.slotAt(s[i].rowAt(p), s[i].columnAt(p), s[i].direction),
                      static_cast<int>(i));
            EXPECT_EQ(s.positionIn(s[i].rowAt(p), s[i].columnAt(p), s[i].direction), p);
        }
    }

    const GridEntries entries = gridEntries(g);
    ASSERT_EQ(entries.across.size(), s.across().size());
    ASSERT_EQ(entries.down.size(), s.down().size());
    for (std::size_t i = 0; i < entries.across.size(); ++i) {
        const Slot& a = s.across()[i];
        EXPECT_EQ(entries.across[i].number, a.number);
        EXPECT_EQ(entries.across[i].row, a.row);
        EXPECT_EQ(entries.across[i].column, a.column);
        EXPECT_EQ(entries.across[i].length, a.length);
    }
    for (std::size_t i = 0; i < entries.down.size(); ++i) {
        const Slot& d = s.down()[i];
        EXPECT_EQ(entries.down[i].number, d.number);
        EXPECT_EQ(entries.down[i].row, d.row);
        EXPECT_EQ(entries.down[i].column, d.column);
        EXPECT_EQ(entries.down[i].length, d.length);
    }

    // The prompts' scan through every cell: the cross prompt's slot bounds
    // are the runs through the cell.
    for (int r = 0; r < g.RowCount; ++r)
        for (int c = 0; c < g.ColumnCount; ++c) {
            if (g.isBlack(r, c))
                continue;
            const CrossPatterns p = crossPatterns(g, static_cast<int16_t>(r),
                                                  static_cast<int16_t>(c));
            const Run a = s.runThrough(r, c, Direction::Across);
            const Run d = s.runThrough(r, c, Direction::Down);
            EXPECT_EQ(p.SlotFirstColumn, a.first);
            EXPECT_EQ(p.SlotLastColumn, a.last);
            EXPECT_EQ(p.SlotFirstRow, d.first);
            EXPECT_EQ(p.SlotLastRow, d.last);
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
