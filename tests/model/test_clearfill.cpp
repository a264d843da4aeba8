// SPDX-License-Identifier: GPL-3.0-or-later
// Where each letter came from, and Clear Fill: random typing, fills, clears,
// undos, redos and placement take-backs on a document, against a plain stack
// of (grid, marks) snapshots; the actions history beside it untouched.
#include "clearfill.h"
#include "griddocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace korvel;

namespace {

// What the user sees: the grid and which of its letters the fill placed.
struct Snapshot {
    GridModel grid;
    std::vector<int> fillCells;

    friend bool operator==(const Snapshot& a, const Snapshot& b) {
        return a.grid.GridRows == b.grid.GridRows && a.fillCells == b.fillCells;
    }
};

Snapshot snapshotOf(const GridDocument& doc) {
    return {doc.grid(), doc.fillCells()};
}

// The fill's bulk change: letters into the given cells, as FillCommands
// records it.
AggiorResult fillCells(GridDocument& doc, const std::vector<std::pair<int, int>>& cells,
                       const std::string& letters) {
    BulkChange change;
    change.byFill = true;
    change.box = Selection{0, 0, doc.grid().ColumnCount, doc.grid().RowCount};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto [r, c] = cells[i];
        change.cells.push_back(CellChange{static_cast<int16_t>(r), static_cast<int16_t>(c),
                                          doc.grid().cell(r, c), letters[i % letters.size()]});
    }
    return doc.edit([&](DocumentEdit& e) { return e.record(std::move(change)); });
}

AggiorResult type(GridDocument& doc, int r, int c, const std::string& word, bool across = true) {
    return doc.edit([&](DocumentEdit& e) {
        e.beginAction();
        AggiorResult any;
        for (std::size_t i = 0; i < word.size(); ++i) {
            const int rr = across ? r : r + static_cast<int>(i);
            const int cc = across ? c + static_cast<int>(i) : c;
            const AggiorResult one =
                e.aggior(static_cast<int16_t>(rr), static_cast<int16_t>(cc), word[i]);
            any.recorded = any.recorded || one.recorded;
            any.historyCleared = any.historyCleared || one.historyCleared;
        }
        return any;
    });
}

RestoreResult undo(GridDocument& doc) {
    int16_t r = 0, c = 0;
    return doc.edit([&](DocumentEdit& e) { return e.undo(r, c); });
}

RestoreResult redo(GridDocument& doc) {
    int16_t r = 0, c = 0;
    return doc.edit([&](DocumentEdit& e) { return e.redo(r, c); });
}

ClearFillResult clear(GridDocument& doc, std::optional<Selection> box = std::nullopt) {
    return doc.edit([&](DocumentEdit& e) { return clearFill(e, box); });
}

std::string rowsOf(const GridModel& g) {
    std::string all;
    for (int16_t r = 0; r < g.RowCount; ++r)
        all += g.GridRows[static_cast<std::size_t>(r)] + "|";
    return all;
}

} // namespace

// A typed theme entry, a fill around it, Clear Fill: the theme stays, the
// fill's letters go; undo puts them back as the fill's, redo clears them
// again, and the typed letters never count as the fill's.
TEST(ClearFill, KeepsTypedLettersThroughUndoAndRedo) {
    GridDocument doc;
    doc.newGrid(3, 4);
    type(doc, 1, 0, "SEED");
    fillCells(doc, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {2, 0}, {2, 1}, {2, 2}, {2, 3}}, "ABCDWXYZ");
    EXPECT_EQ(rowsOf(doc.grid()), "ABCD|SEED|WXYZ|");
    EXPECT_EQ(doc.fillCells(), (std::vector<int>{0, 1, 2, 3, 8, 9, 10, 11}));
    const int16_t length = doc.history().HistoryLength();

    const ClearFillResult r = clear(doc);
    ASSERT_TRUE(r.result.recorded);
    EXPECT_EQ(r.cleared, 8);
    EXPECT_EQ(rowsOf(doc.grid()), "????|SEED|????|");
    EXPECT_TRUE(doc.fillCells().empty());
    // One step on the timeline, beside the store: its records are as they were.
    EXPECT_EQ(doc.history().HistoryLength(), length);

    // Its Undo says what the undo of a fill says: the record count plus one.
    EXPECT_EQ(undo(doc).statusText, " Undo n. 5 ");
    EXPECT_EQ(rowsOf(doc.grid()), "ABCD|SEED|WXYZ|");
    EXPECT_EQ(doc.fillCells(), (std::vector<int>{0, 1, 2, 3, 8, 9, 10, 11}));
    redo(doc);
    EXPECT_EQ(rowsOf(doc.grid()), "????|SEED|????|");
    undo(doc);
    undo(doc); // the fill
    EXPECT_EQ(rowsOf(doc.grid()), "????|SEED|????|");
    EXPECT_TRUE(doc.fillCells().empty());
    // Nothing of the fill's is left: Clear Fill changes nothing and records nothing.
    const ClearFillResult none = clear(doc);
    EXPECT_FALSE(none.result.recorded);
    EXPECT_EQ(none.cleared, 0);
    EXPECT_TRUE(doc.history().redoEnabled());
}

// A letter typed over the fill's is the constructor's; its undo makes the
// fill's letter (and its mark) come back.
TEST(ClearFill, TypingOverTheFillAndUndoingIt) {
    GridDocument doc;
    doc.newGrid(2, 3);
    fillCells(doc, {{0, 0}, {0, 1}, {0, 2}}, "CAT");
    type(doc, 0, 1, "O");
    EXPECT_EQ(doc.fillCells(), (std::vector<int>{0, 2}));
    clear(doc);
    EXPECT_EQ(rowsOf(doc.grid()), "?O?|???|");
    undo(doc); // the clear
    undo(doc); // the typed O
    EXPECT_EQ(rowsOf(doc.grid()), "CAT|???|");
    EXPECT_EQ(doc.fillCells(), (std::vector<int>{0, 1, 2}));
    redo(doc);
    EXPECT_EQ(doc.fillCells(), (std::vector<int>{0, 2}));
}

// Only the cells of the box are cleared; a box reaching past the grid is cut.
TEST(ClearFill, LimitedToTheBox) {
    GridDocument doc;
    doc.newGrid(4, 4);
    fillCells(doc,
              {{0, 0},
               {0, 1},
               {0, 2},
               {0, 3},
               {1, 0},
               {1, 1},
               {1, 2},
               {1, 3},
               {2, 0},
               {2, 1},
               {2, 2},
               {2, 3},
               {3, 0},
               {3, 1},
               {3, 2},
               {3, 3}},
              "ABCDEFGHIJKLMNOP");
    const ClearFillResult r = clear(doc, Selection{2, 2, 5, 5});
    EXPECT_EQ(r.cleared, 4);
    EXPECT_EQ(r.box.LAX, 2);
    EXPECT_EQ(r.box.LAY, 2);
    EXPECT_EQ(rowsOf(doc.grid()), "ABCD|EFGH|IJ??|MN??|");
    EXPECT_EQ(doc.fillCells().size(), 12u);
    EXPECT_EQ(undo(doc).box.LAX, 2);
    EXPECT_EQ(rowsOf(doc.grid()), "ABCD|EFGH|IJKL|MNOP|");
}

// Fill Again drops the last fill and records another: the marks of the
// dropped one go with it, those from before it stay.
TEST(ClearFill, DroppedFillTakesItsMarks) {
    GridDocument doc;
    doc.newGrid(2, 2);
    type(doc, 0, 0, "AB");
    fillCells(doc, {{1, 0}, {1, 1}}, "CD");
    const bool dropped = doc.edit([](DocumentEdit& e) { return e.dropLastBulk(); });
    ASSERT_TRUE(dropped);
    EXPECT_EQ(rowsOf(doc.grid()), "AB|??|");
    EXPECT_TRUE(doc.fillCells().empty());
}

// A placement from the results list is typed, not the fill's, and its
// silent take-back brings back what the fill had there.
TEST(ClearFill, PlacementTakeBackRestoresTheMarks) {
    GridDocument doc;
    doc.newGrid(1, 4);
    fillCells(doc, {{0, 0}, {0, 1}, {0, 2}, {0, 3}}, "WORD");
    type(doc, 0, 0, "LORE");
    EXPECT_EQ(doc.fillCells(), (std::vector<int>{1, 2})); // O and R were not written
    const bool ok = doc.edit([](DocumentEdit& e) { return e.takeBackLastAction(); });
    ASSERT_TRUE(ok);
    EXPECT_EQ(rowsOf(doc.grid()), "WORD|");
    EXPECT_EQ(doc.fillCells(), (std::vector<int>{0, 1, 2, 3}));
}

// Random runs: typing, fills, clears (whole grid or a box), undos and redos,
// each step checked against a stack of snapshots of the grid with its marks.
// 40 steps of at most two typed cells stay within the history's store, so
// no run is cut by its clearing.
TEST(ClearFill, RandomRunsAgainstSnapshots) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        GridDocument doc;
        const int rows = 2 + pick(5);
        const int cols = 2 + pick(6);
        doc.newGrid(static_cast<int16_t>(rows), static_cast<int16_t>(cols));
        std::vector<Snapshot> undos;
        std::vector<Snapshot> redos;
        for (int step = 0; step < 40; ++step) {
            const Snapshot before = snapshotOf(doc);
            const int what = pick(6);
            bool recorded = false;
            bool cleared = false;
            if (what == 0) {
                std::vector<std::pair<int, int>> cells;
                for (int r = 0; r < rows; ++r)
                    for (int c = 0; c < cols; ++c)
                        if (pick(3) == 0 && doc.grid().cell(r, c) != 'Q')
                            cells.emplace_back(r, c);
                if (cells.empty())
                    continue;
                const AggiorResult r = fillCells(doc, cells, "Q");
                recorded = r.recorded;
                cleared = r.historyCleared;
                Snapshot expected = before;
                for (const auto& [rr, cc] : cells) {
                    expected.grid.setCell(rr, cc, 'Q');
                    expected.fillCells.push_back(rr * cols + cc);
                }
                std::sort(expected.fillCells.begin(), expected.fillCells.end());
                expected.fillCells.erase(
                    std::unique(expected.fillCells.begin(), expected.fillCells.end()),
                    expected.fillCells.end());
                ASSERT_EQ(snapshotOf(doc), expected) << "seed " << seed << " step " << step;
            } else if (what == 1) {
                std::optional<Selection> box;
                if (pick(2) == 0)
                    box = Selection{
                        static_cast<int16_t>(pick(cols)), static_cast<int16_t>(pick(rows)),
                        static_cast<int16_t>(1 + pick(cols)), static_cast<int16_t>(1 + pick(rows))};
                const ClearFillResult r = clear(doc, box);
                recorded = r.result.recorded;
                cleared = r.result.historyCleared;
                Snapshot expected = before;
                std::vector<int> kept;
                for (int cell : before.fillCells) {
                    const int rr = cell / cols;
                    const int cc = cell % cols;
                    if (!box || (cc >= box->cx && cc < box->cx + box->LAX && rr >= box->cy &&
                                 rr < box->cy + box->LAY))
                        expected.grid.setCell(rr, cc, EmptyCell);
                    else
                        kept.push_back(cell);
                }
                expected.fillCells = kept;
                ASSERT_EQ(snapshotOf(doc), expected) << "seed " << seed << " step " << step;
                ASSERT_EQ(r.cleared, static_cast<int>(before.fillCells.size() - kept.size()));
            } else if (what == 2 && doc.history().undoEnabled()) {
                if (doc.edit([](DocumentEdit& e) { return e.clearIfFull(); })) {
                    undos.clear();
                    redos.clear();
                    continue;
                }
                const RestoreResult r = undo(doc);
                ASSERT_FALSE(r.anomaly);
                ASSERT_FALSE(undos.empty()) << "seed " << seed << " step " << step;
                ASSERT_EQ(snapshotOf(doc), undos.back()) << "seed " << seed << " step " << step;
                redos.push_back(before);
                undos.pop_back();
                continue;
            } else if (what == 3 && doc.history().redoEnabled()) {
                const RestoreResult r = redo(doc);
                ASSERT_FALSE(r.anomaly);
                if (redos.empty()) {
                    // The key stays enabled after a typed letter, as it always
                    // did; the redo then has nothing to put back.
                    ASSERT_EQ(snapshotOf(doc), before) << "seed " << seed << " step " << step;
                    continue;
                }
                ASSERT_EQ(snapshotOf(doc), redos.back()) << "seed " << seed << " step " << step;
                undos.push_back(before);
                redos.pop_back();
                continue;
            } else {
                const int r = pick(rows);
                const int c = pick(cols);
                const std::string word = std::string(1 + pick(2), "QXY?"[pick(4)]);
                const bool across = pick(2) == 0;
                const int length = static_cast<int>(word.size());
                if ((across && c + length > cols) || (!across && r + length > rows))
                    continue;
                const AggiorResult res = type(doc, r, c, word, across);
                recorded = rowsOf(doc.grid()) != rowsOf(before.grid);
                cleared = res.historyCleared;
                Snapshot expected = before;
                for (int i = 0; i < length; ++i) {
                    const int rr = across ? r : r + i;
                    const int cc = across ? c + i : c;
                    if (before.grid.cell(rr, cc) == word[0])
                        continue;
                    expected.grid.setCell(rr, cc, word[0]);
                    std::erase(expected.fillCells, rr * cols + cc);
                }
                ASSERT_EQ(snapshotOf(doc), expected) << "seed " << seed << " step " << step;
            }
            if (cleared) {
                // A full store was emptied: nothing before this change can
                // be undone any more.
                undos.clear();
                redos.clear();
                undos.push_back(before);
            } else if (recorded) {
                undos.push_back(before);
                redos.clear();
            }
        }
    }
}
