// SPDX-License-Identifier: GPL-3.0-or-later
// Actions history and the placement of results, each edit checked by do,
// undo and redo against the grid it should leave.
#include "actionshistory.h"
#include "griddocument.h"
#include "historyaccess.h"
#include "placement.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {

struct Fixture {
    GridModel grid;
    ActionsHistory h;
    int16_t row = 0;
    int16_t col = 0;

    explicit Fixture(int16_t rows = 5, int16_t cols = 7) : grid(GridModel::make(rows, cols)) {
        h.reset(grid.MaxSide);
    }
    AggiorResult put(int r, int c, char ch, bool newAction = true) {
        if (newAction) {
            h.beginAction();
        }
        row = static_cast<int16_t>(r);
        col = static_cast<int16_t>(c);
        return h.aggior(grid, row, col, ch);
    }
    RestoreResult undo() { return h.undo(grid, row, col); }
    RestoreResult redo() { return h.redo(grid, row, col); }
};

} // namespace

TEST(History, DoUndoRedoEveryEdit) {
    struct Edit {
        char before;
        char after;
    } edits[] = {{'?', 'A'}, {'A', BLACK}, {BLACK, '?'}, {'A', '?'}, {'?', BLACK}, {'Q', 'Z'}};
    for (const Edit& e : edits) {
        Fixture f;
        f.grid.setCell(2, 3, e.before);
        const GridModel start = f.grid;
        ASSERT_TRUE(f.put(2, 3, e.after).recorded);
        const GridModel done = f.grid;
        EXPECT_EQ(f.grid.cell(2, 3), e.after);
        EXPECT_EQ(f.h.DocumentChanged(), 1);
        EXPECT_TRUE(f.h.undoEnabled());
        const auto recordBefore = f.h.store();

        EXPECT_FALSE(f.undo().anomaly);
        EXPECT_EQ(f.grid.GridRows, start.GridRows);
        EXPECT_TRUE(f.h.redoEnabled());
        EXPECT_FALSE(f.h.undoEnabled());

        EXPECT_EQ(f.redo().statusText, " Redo n. 1 ");
        EXPECT_EQ(f.grid.GridRows, done.GridRows);
        EXPECT_EQ(f.h.store(), recordBefore); // the same swap twice
        EXPECT_FALSE(f.h.redoEnabled());
        EXPECT_TRUE(f.h.undoEnabled());
    }
}

TEST(History, SameCharacterRecordsNothing) {
    Fixture f;
    f.grid.setCell(0, 0, 'A');
    EXPECT_FALSE(f.put(0, 0, 'A').recorded);
    EXPECT_EQ(f.h.HistoryLength(), 0);
    EXPECT_EQ(f.h.DocumentChanged(), 0);
    EXPECT_FALSE(f.h.undoEnabled());
    EXPECT_EQ(f.h.PendingStart(), 1000); // the action is still pending
}

TEST(History, CellOutsideGridIsNotStored) {
    Fixture f(3, 3);
    const AggiorResult a = f.put(3, 0, 'A');
    EXPECT_FALSE(a.recorded);
    EXPECT_EQ(f.h.HistoryLength(), 0);
    EXPECT_TRUE(f.h.undoEnabled());
    EXPECT_EQ(f.h.DocumentChanged(), 1);
    EXPECT_EQ(f.grid.GridRows[3], "???");
}

TEST(History, FiveLetterWordIsOneAction) {
    Fixture f;
    const GridModel start = f.grid;
    f.h.beginAction();
    for (int i = 0; i < 5; ++i) {
        f.put(1, 1 + i, "HELLO"[i], false);
    }
    EXPECT_EQ(f.h.store()[0], 1001);
    EXPECT_EQ(f.h.store()[3], 1);
    const RestoreResult u = f.undo();
    EXPECT_EQ(u.statusText, " Undo n. 1 ");
    EXPECT_EQ(f.grid.GridRows, start.GridRows);
    ASSERT_EQ(f.h.restored().count, 5);
    EXPECT_EQ(f.h.restored().columns[0], 5); // last-changed first
    EXPECT_EQ(f.h.restored().columns[4], 1);
    EXPECT_EQ(f.row, 1);
    EXPECT_EQ(f.col, 1); // the word's first cell ends current
}

TEST(History, UndoRedoNumbers) {
    Fixture f;
    f.put(0, 0, 'A');
    f.put(0, 1, 'B');
    f.put(0, 2, 'C');
    EXPECT_EQ(f.undo().statusText, " Undo n. 3 ");
    EXPECT_EQ(f.undo().statusText, " Undo n. 2 ");
    EXPECT_EQ(f.redo().statusText, " Redo n. 2 ");
    EXPECT_EQ(f.grid.GridRows[0], "AB?????");
}

TEST(History, NewChangeAfterUndoEndsRedo) {
    Fixture f;
    f.put(0, 0, 'A');
    f.put(0, 1, 'B');
    f.undo();
    f.put(4, 4, 'Z');
    const GridModel now = f.grid;
    EXPECT_EQ(f.h.RedoLimit(), f.h.HistoryLength());
    const RestoreResult r = f.redo();
    EXPECT_FALSE(r.anomaly);
    EXPECT_EQ(f.grid.GridRows, now.GridRows);
    EXPECT_EQ(f.h.restored().count, 0);
    EXPECT_FALSE(f.h.redoEnabled());
    EXPECT_TRUE(f.h.undoEnabled());
}

TEST(History, The101stChangeClearsTheHistory) {
    Fixture f(25, 35);
    f.h.beginAction();
    for (int i = 0; i < 100; ++i) {
        EXPECT_FALSE(f.put(i / 35, i % 35, 'A', i % 10 == 0).historyCleared);
    }
    EXPECT_EQ(f.h.HistoryLength(), 300);
    // The 101st change lies in the middle of an action.
    const AggiorResult a = f.put(20, 0, 'B', false);
    EXPECT_TRUE(a.historyCleared);
    EXPECT_EQ(f.h.HistoryLength(), 3);
    EXPECT_EQ(f.h.store()[0], 20); // no marker
    f.put(20, 1, 'C', false);
    f.undo();
    EXPECT_EQ(f.h.HistoryLength(), 0); // walked back to index 0
    EXPECT_EQ(f.grid.cell(20, 0), '?');
    EXPECT_EQ(f.grid.cell(20, 1), '?');
    EXPECT_EQ(f.grid.cell(0, 0), 'A'); // the cleared records are gone for good
}

TEST(History, UndoAtExactlyThreeHundred) {
    Fixture f(25, 35);
    for (int i = 0; i < 100; ++i) {
        f.put(i / 35, i % 35, 'A');
    }
    const GridModel full = f.grid;
    ASSERT_TRUE(f.h.clearIfFull()); // the toolbar's check before Undo
    const RestoreResult u = f.undo();
    EXPECT_EQ(u.statusText, " Undo n. 1 ");
    EXPECT_EQ(f.grid.GridRows, full.GridRows);
    EXPECT_TRUE(f.h.redoEnabled());
    EXPECT_FALSE(f.h.undoEnabled());
    f.redo();
    EXPECT_EQ(f.grid.GridRows, full.GridRows);
    EXPECT_FALSE(f.h.clearIfFull());
}

TEST(History, AnomalyLeavesCountersAlone) {
    Fixture f(3, 3);
    f.h.beginAction();
    f.put(0, 0, 'A', false);
    f.put(0, 1, 'B', false);
    HistoryTestAccess::overwriteEntry(f.h, 0, 1000 + 7); // a row outside the grid
    const int16_t len = f.h.HistoryLength();
    const RestoreResult u = f.undo();
    EXPECT_TRUE(u.anomaly);
    EXPECT_EQ(f.h.HistoryLength(), len);
    EXPECT_TRUE(f.h.undoEnabled());
    EXPECT_FALSE(f.h.redoEnabled());
    EXPECT_EQ(f.grid.cell(0, 1), '?'); // restored before the failure
}

TEST(History, RestoredCellsOverflowIsAnAnomaly) {
    Fixture f(2, 2); // room for 3 restored cells
    f.h.beginAction();
    f.put(0, 0, 'A', false);
    f.put(0, 1, 'B', false);
    f.put(1, 0, 'C', false);
    f.put(1, 1, 'D', false);
    EXPECT_TRUE(f.undo().anomaly);
    EXPECT_EQ(f.h.HistoryLength(), 12);
}

// Placement ----------------------------------------------------------------

namespace {
struct Board {
    GridDocument doc;
    const GridModel& grid = doc.grid();
    const ActionsHistory& history = doc.history();
    const Placement& pl = doc.placement();
    Selection sel;
    PatternState ps;
    int16_t row = 0;
    int16_t col = 0;
    Tool tool = Tool::PromptAcross;

    Board() { doc.newGrid(5, 7); }
    // A prompt across on row r, columns first..last; as the grid click does.
    void promptAcross(int r, int first, int last) {
        ps.SlotFirstColumn = static_cast<int16_t>(first);
        ps.SlotLastColumn = static_cast<int16_t>(last);
        sel = Selection{static_cast<int16_t>(first), static_cast<int16_t>(r),
                        static_cast<int16_t>(last - first + 1), 1};
        doc.edit([](DocumentEdit& e) {
            e.placement().priclk = false;
            e.beginAction();
        });
        tool = Tool::PromptAcross;
    }
    ListClickResult click(std::string_view line) {
        return doc.edit([&](DocumentEdit& e) {
            PlacementContext ctx{tool, e, sel, ps, row, col};
            return e.placement().Lists_Click(line, ctx);
        });
    }
    void setRow(int r, const std::string& cells) {
        doc.edit([&](DocumentEdit& e) {
            for (std::size_t c = 0; c < cells.size(); ++c)
                e.layCell(static_cast<int16_t>(r), static_cast<int16_t>(c), cells[c]);
        });
    }
    void beginAction() {
        doc.edit([](DocumentEdit& e) { e.beginAction(); });
    }
    void aggior(int16_t r, int16_t c, char ch) {
        doc.edit([&](DocumentEdit& e) { e.aggior(r, c, ch); });
    }
    void undo() {
        doc.edit([&](DocumentEdit& e) { e.undo(row, col); });
    }
    void redo() {
        doc.edit([&](DocumentEdit& e) { e.redo(row, col); });
    }
};
} // namespace

TEST(Placement, StemCyclesThroughEndings) {
    Board b;
    b.promptAcross(0, 0, 4);
    b.click("GATT(AO) -1");
    EXPECT_EQ(b.grid.GridRows[0], "GATTA??");
    b.click("GATT(AO) -1");
    EXPECT_EQ(b.grid.GridRows[0], "GATTO??");
    const ListClickResult r = b.click("GATT(AO) -1");
    EXPECT_EQ(b.grid.GridRows[0], "GATTA??");
    EXPECT_EQ(r.testText, "GATTA");
    EXPECT_EQ(r.panel3, " ");
    EXPECT_TRUE(r.placed);
    EXPECT_EQ(b.ps.CurrentPattern, "GATTA");
    EXPECT_EQ(b.history.HistoryLength(), 15); // only the last placement's action
    b.undo();
    EXPECT_EQ(b.grid.GridRows[0], "???????");
}

TEST(Placement, SecondLineReplacesFirstUnlessGridClicked) {
    Board b;
    b.promptAcross(1, 2, 4);
    b.click("ABC -2");
    b.click("XYZ -3");
    EXPECT_EQ(b.grid.GridRows[1], "??XYZ??");
    EXPECT_EQ(b.history.HistoryLength(), 9);

    b.promptAcross(1, 2, 4); // a grid click in between
    b.click("DEF -1");
    EXPECT_EQ(b.grid.GridRows[1], "??DEF??");
    EXPECT_EQ(b.history.HistoryLength(), 18);
    b.undo();
    EXPECT_EQ(b.grid.GridRows[1], "??XYZ??");
}

TEST(Placement, PaddedResultSkipsBlanks) {
    Board b;
    b.setRow(2, "QR?????");
    b.promptAcross(2, 0, 4);
    b.click("  ABC -1");
    EXPECT_EQ(b.grid.GridRows[2], "QRABC??");
    EXPECT_EQ(b.sel.cx, 2);
    EXPECT_EQ(b.sel.LAX, 3);
    EXPECT_EQ(b.sel.LAY, 1);
}

TEST(Placement, Down) {
    Board b;
    b.ps.SlotFirstRow = 1;
    b.sel = Selection{3, 1, 1, 3};
    b.tool = Tool::PromptDown;
    b.click(" XY -4");
    EXPECT_EQ(b.grid.cell(2, 3), 'X');
    EXPECT_EQ(b.grid.cell(3, 3), 'Y');
    EXPECT_EQ(b.grid.cell(1, 3), '?');
    EXPECT_EQ(b.sel.cy, 2);
    EXPECT_EQ(b.sel.LAY, 2);
    EXPECT_EQ(b.sel.LAX, 1);
}

TEST(Placement, UnchangedCellsAreNotRecordedNorTakenBack) {
    Board b;
    b.setRow(0, "CA?????");
    b.promptAcross(0, 0, 2);
    b.click("CAT -1");
    EXPECT_EQ(b.history.HistoryLength(), 3);
    b.click("CAR -1");
    EXPECT_EQ(b.grid.GridRows[0], "CAR????");
    EXPECT_EQ(b.history.HistoryLength(), 3);
}

TEST(Placement, NoChangePlacementNeverTakesBackAnEarlierAction) {
    Board b;
    b.promptAcross(0, 0, 2);
    b.beginAction();
    b.row = 0;
    b.col = 0;
    b.aggior(0, 0, 'C'); // the user's own earlier change
    b.aggior(0, 1, 'A');
    b.aggior(0, 2, 'T');
    b.promptAcross(0, 0, 2);
    b.click("CAT -1"); // changes nothing
    b.click("COT -1");
    EXPECT_EQ(b.grid.GridRows[0], "COT????");
    EXPECT_EQ(b.history.HistoryLength(), 12); // C, A, T stay in force
    b.click("CUT -1");                        // takes back only O
    EXPECT_EQ(b.grid.GridRows[0], "CUT????");
}

TEST(Placement, KeyAfterPlacementIsNotTakenBack) {
    Board b;
    b.promptAcross(0, 0, 2);
    b.click("CAT -1");
    b.beginAction(); // a write-tool key on another cell
    b.aggior(3, 3, 'K');
    b.click("DOG -1");
    EXPECT_EQ(b.grid.cell(3, 3), 'K');
    EXPECT_EQ(b.grid.GridRows[0], "DOG????");
}

TEST(Placement, CrossWritesTheFirstCharacter) {
    Board b;
    b.tool = Tool::PromptCross;
    b.sel = Selection{4, 2, 1, 1};
    const ListClickResult r = b.click("E (Acr-1 / Dwn-3)");
    EXPECT_EQ(b.grid.cell(2, 4), 'E');
    EXPECT_EQ(r.testText, "E");
    EXPECT_TRUE(b.pl.priclk);
    b.click("I");
    EXPECT_EQ(b.grid.cell(2, 4), 'I');
    EXPECT_EQ(b.history.HistoryLength(), 3);
}

TEST(Placement, TestFunctionsOnlyCopyTheWord) {
    struct Case {
        Tool tool;
        const char* line;
        bool handled;
        const char* test;
    } cases[] = {
        {Tool::Anagrams, " no Anagrams ", false, ""},
        {Tool::Anagrams, " ", true, " "},
        {Tool::Anagrams, "AMOR", true, "AMOR"},
        {Tool::Thesaurus, "=         synonyms         =", false, ""},
        {Tool::Thesaurus, ">         antonyms          <", false, ""},
        {Tool::Thesaurus, " no Syn./Ant. ", false, ""},
        {Tool::Thesaurus, "=HAPPY", true, "HAPPY"},
        {Tool::Thesaurus, ">SAD", true, "SAD"},
        {Tool::Thesaurus, "=WELL-KNOWN", true, "WELL-KNOWN"},
        {Tool::Spelling, " OK Spelling ", false, ""},
        {Tool::Spelling, "HOUSE", true, "HOUSE"},
    };
    for (const Case& k : cases) {
        Board b;
        b.tool = k.tool;
        const GridModel before = b.grid;
        const ListClickResult r = b.click(k.line);
        EXPECT_EQ(r.handled, k.handled) << k.line;
        EXPECT_EQ(r.testText, k.test) << k.line;
        EXPECT_FALSE(r.placed);
        EXPECT_FALSE(b.pl.priclk);
        EXPECT_EQ(b.grid.GridRows, before.GridRows);
    }
}

TEST(Placement, DictionarySuffix) {
    EXPECT_EQ(Placement::stripDictionarySuffix("ABC -1"), "ABC");
    EXPECT_EQ(Placement::stripDictionarySuffix("  ABC(AO) -1"), "  ABC(AO)");
    EXPECT_EQ(Placement::stripDictionarySuffix("CAN-CAN -3"), "CAN-CAN");
    EXPECT_EQ(Placement::stripDictionarySuffix("-ABC"), "-ABC");
    EXPECT_EQ(Placement::stripDictionarySuffix("-"), "-");
    EXPECT_EQ(Placement::stripDictionarySuffix("A -"), "A -");
}

TEST(Placement, HyphenatedWordIsPlacedWhole) {
    Board b;
    b.promptAcross(0, 0, 6);
    b.click("CAN-CAN -3");
    EXPECT_EQ(b.grid.GridRows[0], "CAN-CAN");
}

TEST(Placement, EndingCycleRestartsOnOtherLines) {
    Board b;
    b.promptAcross(0, 0, 3);
    b.click("GAT(AEI) -1");
    b.click("GAT(AEI) -1");
    EXPECT_EQ(b.grid.GridRows[0], "GATE???");
    b.click("DOGS -2");
    EXPECT_EQ(b.pl.cyclePosition, 0);
    EXPECT_TRUE(b.pl.lastStemEntry.empty());
    b.click("GAT(AEI) -1");
    EXPECT_EQ(b.grid.GridRows[0], "GATA???");
}

TEST(Placement, DoUndoRedo) {
    for (Tool tool : {Tool::PromptAcross, Tool::PromptDown, Tool::PromptCross}) {
        Board b;
        b.setRow(1, "?B?????");
        b.setRow(2, "?O?????");
        b.ps.SlotFirstColumn = 0;
        b.ps.SlotFirstRow = 0;
        b.sel = tool == Tool::PromptAcross
                    ? Selection{0, 1, 3, 1}
                    : (tool == Tool::PromptDown ? Selection{1, 0, 1, 3} : Selection{2, 1, 1, 1});
        b.tool = tool;
        const GridModel before = b.grid;
        b.click(tool == Tool::PromptCross ? "X (Acr-1)" : "ABC -1");
        const GridModel placed = b.grid;
        EXPECT_NE(placed.GridRows, before.GridRows);
        b.undo();
        EXPECT_EQ(b.grid.GridRows, before.GridRows) << static_cast<int>(tool);
        b.redo();
        EXPECT_EQ(b.grid.GridRows, placed.GridRows) << static_cast<int>(tool);
    }
}
