// SPDX-License-Identifier: GPL-3.0-or-later
// Bulk changes (a fill) on the history's timeline, and symmetric blacks:
// randomized runs against a plain stack of grids, and the history without
// fills compared with the history alone.
#include "actionshistory.h"
#include "griddocument.h"
#include "historyaccess.h"
#include "symmetry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace korvel;

namespace {

using Cell = std::pair<int16_t, int16_t>;

const char Alphabet[] = {'A', 'B', BLACK, EmptyCell};

BulkChange bulk(std::vector<CellChange> cells, Selection box) {
    BulkChange b;
    b.cells = std::move(cells);
    b.box = box;
    return b;
}

// The timeline the user sees: the grids before each action in force, and
// the grids after each action taken back. A cleared history forgets
// everything before the change that cleared it.
struct FillRun {
    GridModel grid;
    ActionsHistory h;
    std::vector<GridModel> undoStack;
    std::vector<GridModel> redoStack;
    int16_t row = 0;
    int16_t col = 0;
    std::mt19937 rng;
    int fillUndos = 0;

    FillRun(int16_t rows, int16_t cols, unsigned seed)
        : grid(GridModel::make(rows, cols)), rng(seed) {
        h.reset(grid.MaxSide);
        // Some blanks: a fill must give back the very byte it found.
        for (int r = 0; r < rows; r += 2)
            grid.GridRows[static_cast<std::size_t>(r)][0] = ' ';
    }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    void forget(const GridModel& base) {
        undoStack.assign(1, base);
        redoStack.clear();
    }

    void edit() {
        const GridModel before = grid;
        const int cells = 1 + pick(4);
        h.beginAction();
        bool cleared = false;
        bool recorded = false;
        for (int i = 0; i < cells; ++i) {
            const GridModel pre = grid;
            const AggiorResult r =
                h.aggior(grid, static_cast<int16_t>(pick(grid.RowCount)),
                         static_cast<int16_t>(pick(grid.ColumnCount)), Alphabet[pick(4)]);
            if (r.historyCleared) {
                EXPECT_EQ(h.HistoryLength(), r.recorded ? 3 : 0);
                cleared = true;
                forget(pre);
            }
            recorded |= r.recorded;
        }
        if (recorded && !cleared) {
            undoStack.push_back(before);
            redoStack.clear();
        }
    }

    void fill() {
        const int total = grid.RowCount * grid.ColumnCount;
        const int n = pick(3) == 0 ? total : std::min(total, 1 + pick(40));
        std::vector<int> cells(static_cast<std::size_t>(total));
        for (int i = 0; i < total; ++i)
            cells[static_cast<std::size_t>(i)] = i;
        std::shuffle(cells.begin(), cells.end(), rng);
        std::vector<CellChange> changes;
        for (int i = 0; i < n; ++i) {
            const int cell = cells[static_cast<std::size_t>(i)];
            const auto r = static_cast<int16_t>(cell / grid.ColumnCount);
            const auto c = static_cast<int16_t>(cell % grid.ColumnCount);
            const char before = grid.cell(r, c);
            char after = static_cast<char>('A' + pick(26));
            if (after == before)
                after = after == 'Z' ? 'A' : static_cast<char>(after + 1);
            changes.push_back(CellChange{r, c, before, after});
        }
        const GridModel pre = grid;
        const int16_t length = h.HistoryLength();
        const AggiorResult r = h.record(grid, nullptr, bulk(changes, Selection{0, 0, 1, 1}));
        ASSERT_TRUE(r.recorded);
        EXPECT_EQ(r.historyCleared, length == ActionsHistory::Full);
        if (r.historyCleared) {
            forget(pre);
        } else {
            undoStack.push_back(pre);
            redoStack.clear();
        }
        EXPECT_TRUE(h.undoEnabled());
        EXPECT_EQ(h.DocumentChanged(), 1);
    }

    void undo() {
        // The toolbar clears a full history before every key.
        if (h.clearIfFull()) {
            undoStack.clear();
            redoStack.clear();
        }
        const GridModel pre = grid;
        const RestoreResult r = h.undo(grid, row, col);
        ASSERT_FALSE(r.anomaly);
        fillUndos += r.bulk ? 1 : 0;
        if (!undoStack.empty()) {
            ASSERT_EQ(grid.GridRows, undoStack.back().GridRows);
            undoStack.pop_back();
            redoStack.push_back(pre);
        } else {
            ASSERT_EQ(grid.GridRows, pre.GridRows);
        }
        EXPECT_EQ(h.undoEnabled(), !undoStack.empty());
    }

    void redo() {
        if (h.clearIfFull()) {
            undoStack.clear();
            redoStack.clear();
        }
        const GridModel pre = grid;
        const RestoreResult r = h.redo(grid, row, col);
        ASSERT_FALSE(r.anomaly);
        if (!redoStack.empty()) {
            ASSERT_EQ(grid.GridRows, redoStack.back().GridRows);
            redoStack.pop_back();
            undoStack.push_back(pre);
            EXPECT_EQ(h.redoEnabled(), !redoStack.empty());
        } else {
            ASSERT_EQ(grid.GridRows, pre.GridRows);
        }
    }
};

// A Black/White click with symmetry, as the grid click makes it.
CellEditResult click(GridDocument& doc, int16_t r, int16_t c, Symmetry sym) {
    return doc.edit([&](DocumentEdit& e) {
        e.beginAction();
        return blackWhiteSymmetric(e, r, c, sym);
    });
}

} // namespace

TEST(FillHistory, RandomRunsMatchAStackOfGrids) {
    int fillUndos = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        FillRun run(static_cast<int16_t>(3 + seed % 5), static_cast<int16_t>(4 + seed % 7), seed);
        for (int step = 0; step < 400; ++step) {
            const int op = run.pick(10);
            if (op < 4)
                run.edit();
            else if (op < 5)
                run.fill();
            else if (op < 8)
                run.undo();
            else
                run.redo();
            if (::testing::Test::HasFatalFailure()) {
                ADD_FAILURE() << "seed " << seed << " step " << step;
                return;
            }
        }
        fillUndos += run.fillUndos;
    }
    EXPECT_GT(fillUndos, 200);
}

// Without fills, undo and redo through the fill history leave the history
// exactly as its own undo and redo do.
TEST(FillHistory, WithoutFillsTheHistoryIsUnchanged) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        GridModel a = GridModel::make(4, 6);
        GridModel b = a;
        ActionsHistory ha;
        ActionsHistory hb;
        ha.reset(a.MaxSide);
        hb.reset(b.MaxSide);
        int16_t ra = 0, ca = 0, rb = 0, cb = 0;
        for (int step = 0; step < 500; ++step) {
            const int op = pick(3);
            if (op == 0) {
                ha.beginAction();
                hb.beginAction();
                for (int i = 1 + pick(3); i > 0; --i) {
                    const auto r = static_cast<int16_t>(pick(4));
                    const auto c = static_cast<int16_t>(pick(6));
                    const char ch = Alphabet[pick(4)];
                    ha.aggior(a, r, c, ch);
                    hb.aggior(b, r, c, ch);
                }
            } else {
                ha.clearIfFull();
                hb.clearIfFull();
                PuzzleText text;
                const RestoreResult r =
                    op == 1 ? ha.undo(a, ra, ca, &text) : ha.redo(a, ra, ca, &text);
                const RestoreResult s = op == 1 ? hb.undo(b, rb, cb) : hb.redo(b, rb, cb);
                EXPECT_FALSE(r.bulk);
                EXPECT_EQ(r.statusText, s.statusText);
                EXPECT_EQ(r.anomaly, s.anomaly);
            }
            ASSERT_EQ(a.GridRows, b.GridRows) << seed << " " << step;
            ASSERT_EQ(ha.store(), hb.store());
            ASSERT_EQ(ha.HistoryLength(), hb.HistoryLength());
            ASSERT_EQ(ha.RedoLimit(), hb.RedoLimit());
            ASSERT_EQ(ha.undoEnabled(), hb.undoEnabled());
            ASSERT_EQ(ha.redoEnabled(), hb.redoEnabled());
            ASSERT_EQ(ra, rb);
            ASSERT_EQ(ca, cb);
        }
    }
}

// A fill of every cell of a 15 by 15 grid is 225 cells, more than twice what
// the history holds: one undo and one redo still take it back and put it
// back byte for byte, around ordinary edits before and after it.
TEST(FillHistory, FillLargerThanTheHistoryUndoesWhole) {
    GridModel grid = GridModel::make(15, 15);
    grid.GridRows[3][4] = ' ';
    grid.GridRows[7][7] = BLACK;
    ActionsHistory h;
    h.reset(grid.MaxSide);
    int16_t row = 0, col = 0;
    h.beginAction();
    h.aggior(grid, 0, 0, 'Q');
    const GridModel beforeFill = grid;
    std::vector<CellChange> changes;
    for (int16_t r = 0; r < 15; ++r)
        for (int16_t c = 0; c < 15; ++c)
            if (!grid.isBlack(r, c) && grid.cell(r, c) != 'Q')
                changes.push_back(CellChange{r, c, grid.cell(r, c), char('A' + (r + c) % 26)});
    ASSERT_GT(changes.size(), 200u);
    ASSERT_TRUE(h.record(grid, nullptr, bulk(changes, Selection{0, 0, 15, 15})).recorded);
    const GridModel filled = grid;
    EXPECT_EQ(h.HistoryLength(), 3); // the fill stores no records
    h.beginAction();
    h.aggior(grid, 7, 7, EmptyCell);
    const GridModel afterEdit = grid;

    EXPECT_FALSE(h.undo(grid, row, col).bulk); // the edit
    EXPECT_EQ(grid.GridRows, filled.GridRows);
    const RestoreResult u = h.undo(grid, row, col);
    EXPECT_TRUE(u.bulk);
    EXPECT_EQ(u.statusText, " Undo n. 2 ");
    EXPECT_EQ(grid.GridRows, beforeFill.GridRows);
    EXPECT_EQ(grid.GridRows[3][4], ' ');
    EXPECT_TRUE(h.undoEnabled());
    EXPECT_FALSE(h.undo(grid, row, col).bulk); // the Q
    EXPECT_FALSE(h.undoEnabled());
    EXPECT_FALSE(h.redo(grid, row, col).bulk);
    const RestoreResult r = h.redo(grid, row, col);
    EXPECT_TRUE(r.bulk);
    EXPECT_EQ(r.statusText, " Redo n. 1 ");
    EXPECT_EQ(grid.GridRows, filled.GridRows);
    EXPECT_TRUE(h.redoEnabled());
    h.redo(grid, row, col);
    EXPECT_EQ(grid.GridRows, afterEdit.GridRows);
    EXPECT_FALSE(h.redoEnabled());

    // Taken back and then a new change: the fill can no longer be put back.
    h.undo(grid, row, col);
    h.undo(grid, row, col);
    h.beginAction();
    h.aggior(grid, 1, 1, 'Z');
    EXPECT_EQ(h.lastBulkInForce(), nullptr);
    EXPECT_EQ(h.bulkCount(), 0u);
    h.redo(grid, row, col);
    EXPECT_EQ(grid.cell(2, 2), EmptyCell);
}

TEST(FillHistory, ClearedHistoryForgetsFillsAndDropLastRestores) {
    GridModel grid = GridModel::make(3, 3);
    ActionsHistory h;
    h.reset(grid.MaxSide);
    const GridModel empty = grid;
    h.record(grid, nullptr, bulk({{0, 0, EmptyCell, 'A'}, {1, 1, EmptyCell, 'B'}}, {}));
    ASSERT_NE(h.lastBulkInForce(), nullptr);
    EXPECT_TRUE(h.dropLastBulk(grid, nullptr));
    EXPECT_EQ(grid.GridRows, empty.GridRows);
    EXPECT_EQ(h.bulkCount(), 0u);
    EXPECT_FALSE(h.undoEnabled());
    // A before byte that is not the cell's is refused.
    EXPECT_FALSE(h.record(grid, nullptr, bulk({{0, 0, 'X', 'A'}}, {})).recorded);
    h.record(grid, nullptr, bulk({{0, 0, EmptyCell, 'A'}}, {}));
    h.reset(grid.MaxSide);
    EXPECT_EQ(h.lastBulkInForce(), nullptr);
    EXPECT_EQ(h.bulkCount(), 0u);
    // A full history is cleared by the fill itself, which then stands alone.
    HistoryTestAccess::overwriteLength(h, ActionsHistory::Full);
    const AggiorResult r = h.record(grid, nullptr, bulk({{2, 2, EmptyCell, 'C'}}, {}));
    EXPECT_TRUE(r.historyCleared);
    EXPECT_EQ(h.HistoryLength(), 0);
    int16_t row = 0, col = 0;
    EXPECT_TRUE(h.undo(grid, row, col).bulk);
    EXPECT_EQ(grid.cell(2, 2), EmptyCell);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(col, 2);
}

TEST(Symmetry, Partners) {
    const GridModel odd = GridModel::make(5, 7);
    EXPECT_EQ(symmetricPartner(odd, 0, 0, Symmetry::Rotate180), Cell(4, 6));
    EXPECT_EQ(symmetricPartner(odd, 2, 3, Symmetry::Rotate180), Cell(2, 3));
    EXPECT_EQ(symmetricPartner(odd, 1, 2, Symmetry::LeftRight), Cell(1, 4));
    EXPECT_EQ(symmetricPartner(odd, 1, 2, Symmetry::TopBottom), Cell(3, 2));
    EXPECT_EQ(symmetricPartner(odd, 1, 2, Symmetry::None), Cell(1, 2));
    const GridModel even = GridModel::make(4, 6);
    EXPECT_EQ(symmetricPartner(even, 1, 2, Symmetry::Rotate180), Cell(2, 3));
    EXPECT_EQ(symmetricPartner(even, 1, 2, Symmetry::LeftRight), Cell(1, 3));
}

// Every symmetry on odd and even sizes: a click blackens the cell and its
// partner as one action; one undo takes both back; a second click whitens
// both; the black cells stay symmetric throughout.
TEST(Symmetry, BlackWhiteIsOneActionOnOddAndEvenSizes) {
    for (Symmetry sym : {Symmetry::Rotate180, Symmetry::LeftRight, Symmetry::TopBottom}) {
        for (auto [rows, cols] : {std::pair{5, 5}, std::pair{4, 6}, std::pair{7, 4}}) {
            for (int16_t r = 0; r < rows; ++r) {
                for (int16_t c = 0; c < cols; ++c) {
                    GridDocument doc;
                    doc.newGrid(static_cast<int16_t>(rows), static_cast<int16_t>(cols));
                    const GridModel& grid = doc.grid();
                    const ActionsHistory& h = doc.history();
                    const auto [pr, pc] = symmetricPartner(grid, r, c, sym);
                    // a letter the blackening replaces
                    doc.edit([&](DocumentEdit& e) { e.layCell(pr, pc, 'K'); });
                    const GridModel start = grid;
                    const CellEditResult e = click(doc, r, c, sym);
                    EXPECT_EQ(e.panel2, " blacked ");
                    EXPECT_TRUE(grid.isBlack(r, c));
                    EXPECT_TRUE(grid.isBlack(pr, pc));
                    const bool self = pr == r && pc == c;
                    EXPECT_EQ(h.HistoryLength(), self ? 3 : 6);
                    const GridModel blacked = grid;
                    int16_t cr = 0, cc = 0;
                    doc.edit([&](DocumentEdit& ed) { ed.undo(cr, cc); });
                    EXPECT_EQ(grid.GridRows, start.GridRows);
                    EXPECT_EQ(h.HistoryLength(), 0);
                    doc.edit([&](DocumentEdit& ed) { ed.redo(cr, cc); });
                    EXPECT_EQ(grid.GridRows, blacked.GridRows);
                    EXPECT_EQ(click(doc, r, c, sym).panel2, " whitened ");
                    EXPECT_EQ(grid.cell(r, c), EmptyCell);
                    EXPECT_EQ(grid.cell(pr, pc), EmptyCell);
                }
            }
        }
    }
}

TEST(Symmetry, WhiteningKeepsAPartnerLetterAndNoneIsPlainBlackWhite) {
    GridDocument doc;
    doc.newGrid(3, 3);
    const GridModel& grid = doc.grid();
    const ActionsHistory& h = doc.history();
    doc.edit([](DocumentEdit& e) {
        e.layCell(0, 0, BLACK);
        e.layCell(2, 2, 'E');
    });
    click(doc, 0, 0, Symmetry::Rotate180);
    EXPECT_EQ(grid.cell(0, 0), EmptyCell);
    EXPECT_EQ(grid.cell(2, 2), 'E');
    EXPECT_EQ(h.HistoryLength(), 3);
    click(doc, 0, 1, Symmetry::None);
    EXPECT_TRUE(grid.isBlack(0, 1));
    EXPECT_EQ(grid.cell(2, 1), EmptyCell);
}
