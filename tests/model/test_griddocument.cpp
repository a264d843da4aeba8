// SPDX-License-Identifier: GPL-3.0-or-later
// The document: every edit checked by do, undo and redo against the grid it
// should leave and the changed flag it should show. (Open and save through
// the real file system: tests/export, openDocument and saveDocument.)
#include "griddocument.h"
#include "gridedit.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace korvel;

namespace {

std::string rowsOf(const GridModel& g) {
    std::string all;
    for (int16_t r = 0; r < g.RowCount; ++r)
        all += g.GridRows[static_cast<std::size_t>(r)] + "|";
    return all;
}

} // namespace

// Random edits on a document: after each, undo returns the grid it had before
// and redo the grid it had after; the changed flag follows the edits and only
// a save (setDocumentChanged false) clears it.
TEST(GridDocument, DoUndoRedoEveryEdit) {
    std::mt19937 rng(12);
    for (int round = 0; round < 40; ++round) {
        GridDocument doc;
        doc.newGrid(static_cast<int16_t>(2 + rng() % 6), static_cast<int16_t>(2 + rng() % 8));
        EXPECT_FALSE(doc.isModified());
        for (int step = 0; step < 20; ++step) {
            const auto r = static_cast<int16_t>(rng() % static_cast<unsigned>(doc.grid().RowCount));
            const auto c =
                static_cast<int16_t>(rng() % static_cast<unsigned>(doc.grid().ColumnCount));
            const std::string before = rowsOf(doc.grid());
            const bool black = rng() % 2;
            const CellEditResult e = doc.edit([&](DocumentEdit& ed) {
                ed.beginAction(); // as every grid click does
                return black ? blackWhite(ed, r, c) : clearCell(ed, r, c);
            });
            const std::string after = rowsOf(doc.grid());
            if (before == after)
                continue;
            EXPECT_TRUE(doc.isModified());
            int16_t row = r, col = c;
            ASSERT_FALSE(doc.edit([&](DocumentEdit& ed) { return ed.undo(row, col); }).anomaly);
            EXPECT_EQ(rowsOf(doc.grid()), before);
            ASSERT_FALSE(doc.edit([&](DocumentEdit& ed) { return ed.redo(row, col); }).anomaly);
            EXPECT_EQ(rowsOf(doc.grid()), after);
            if (step % 7 == 0) {
                doc.edit([](DocumentEdit& ed) { ed.setDocumentChanged(false); });
                EXPECT_FALSE(doc.isModified());
            }
            (void)e;
        }
    }
}

// One priclk: set by a placement, cleared by the document.
TEST(GridDocument, OnePriclk) {
    GridDocument doc;
    EXPECT_FALSE(doc.priclk());
    doc.edit([](DocumentEdit& e) { e.placement().priclk = true; });
    EXPECT_TRUE(doc.priclk());
    doc.edit([](DocumentEdit& e) { e.clearPriclk(); });
    EXPECT_FALSE(doc.placement().priclk);
}

// After a save, an Undo or Redo that changes a cell marks the document
// changed as a recorded change does, so that closing asks; one that changes
// nothing, and the save itself, leave the flag as they find it. The notice
// names the flag whenever it moves.
TEST(GridDocument, UndoAfterSaveIsAChange) {
    struct Seen : DocumentObserver {
        int file = 0;
        void documentChanged(const GridDocument&, const DocumentChange& c) override {
            file += c.file ? 1 : 0;
        }
    } seen;
    GridDocument doc;
    doc.newGrid(3, 4);
    doc.addObserver(&seen);
    doc.edit([](DocumentEdit& e) {
        e.beginAction();
        e.aggior(0, 0, 'A');
        e.aggior(0, 1, 'B');
    });
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(seen.file, 1);
    auto save = [&] { doc.edit([](DocumentEdit& e) { e.setDocumentChanged(false); }); };
    save();
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(seen.file, 2);
    int16_t r = 0, c = 0;
    doc.edit([&](DocumentEdit& e) { return e.undo(r, c); });
    EXPECT_EQ(doc.grid().GridRows[0], "????");
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(seen.file, 3);
    save();
    doc.edit([&](DocumentEdit& e) { return e.redo(r, c); });
    EXPECT_EQ(doc.grid().GridRows[0], "AB??");
    EXPECT_TRUE(doc.isModified());
    save();
    // Nothing left to redo: the grid stays, and so does the flag.
    doc.edit([&](DocumentEdit& e) { return e.redo(r, c); });
    EXPECT_FALSE(doc.isModified());
    // A clue taken back is a change too.
    const Slot first = doc.wordSlots().across()[0];
    doc.edit([&](DocumentEdit& e) { e.setClue(first, "Clue"); });
    save();
    doc.edit([&](DocumentEdit& e) { return e.undo(r, c); });
    EXPECT_TRUE(doc.clues().empty());
    EXPECT_TRUE(doc.isModified());
    doc.removeObserver(&seen);
}

// The notice tells when the Undo or Redo key's state moves, also for an
// undo that restores no cell; and "@" becomes black in one place.
TEST(GridDocument, HistoryKeysAndAtBlackInTheNotice) {
    struct Seen : DocumentObserver {
        std::vector<DocumentChange> changes;
        void documentChanged(const GridDocument&, const DocumentChange& c) override {
            changes.push_back(c);
        }
    } seen;
    GridDocument doc;
    doc.newGrid(2, 3);
    doc.addObserver(&seen);
    doc.edit([](DocumentEdit& e) {
        e.beginAction();
        e.aggior(1, 2, AtBlack);
    });
    ASSERT_EQ(seen.changes.size(), 1u);
    EXPECT_EQ(seen.changes[0].cells, std::vector<int>{5});
    EXPECT_TRUE(seen.changes[0].blacks);
    EXPECT_TRUE(seen.changes[0].history);
    EXPECT_EQ(doc.grid().cell(1, 2), BLACK);
    EXPECT_EQ(doc.wordSlots().number(0, 2), 0);
    EXPECT_EQ(doc.wordSlots().number(1, 0), 3);
    int16_t r = 0, c = 0;
    doc.edit([&](DocumentEdit& e) { return e.undo(r, c); });
    ASSERT_EQ(seen.changes.size(), 2u);
    EXPECT_TRUE(seen.changes[1].history); // Undo off, Redo on
    EXPECT_EQ(doc.grid().cell(1, 2), EmptyCell);
    // A second Redo restores nothing and moves no key: no notice.
    doc.edit([&](DocumentEdit& e) { return e.redo(r, c); });
    doc.edit([&](DocumentEdit& e) { return e.redo(r, c); });
    EXPECT_EQ(seen.changes.size(), 3u);
    doc.removeObserver(&seen);
}
