// SPDX-License-Identifier: GPL-3.0-or-later
// Grid clicks and keys that change cells: do, undo, redo.
#include "gridedit.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {
// A 3 by 3 document and the edits of a grid click or key on it.
struct Board {
    GridDocument doc;
    const GridModel& grid = doc.grid();
    const ActionsHistory& history = doc.history();
    int16_t row = 0;
    int16_t col = 0;
    Board() { doc.newGrid(3, 3); }
    void set(int16_t r, int16_t c, char ch) {
        doc.edit([&](DocumentEdit& e) { e.layCell(r, c, ch); });
    }
    // A grid click begins an action before it edits.
    template <typename Fn> CellEditResult click(Fn fn) {
        return doc.edit([&](DocumentEdit& e) {
            e.beginAction();
            return fn(e);
        });
    }
    KeyResult key(Tool tool, int16_t r, int16_t c, int keyCode, int mods) {
        return doc.edit(
            [&](DocumentEdit& e) { return gridKeyDown(e, tool, r, c, keyCode, mods, 0, 0); });
    }
    void undo() {
        doc.edit([&](DocumentEdit& e) { e.undo(row, col); });
    }
    void redo() {
        doc.edit([&](DocumentEdit& e) { e.redo(row, col); });
    }
};
} // namespace

TEST(GridEdit, PositionTexts) {
    EXPECT_EQ(clickPositionText(0, 4), " R1 C5  ");
    EXPECT_EQ(keyPositionText(12, 0), " R13 C1 ");
}

TEST(GridEdit, BlackWhiteDoUndoRedo) {
    struct Case {
        char before;
        char after;
        const char* panel2;
    } cases[] = {{'?', BLACK, " blacked "}, {'Q', BLACK, " blacked "}, {BLACK, '?', " whitened "}};
    for (const Case& k : cases) {
        Board b;
        b.set(1, 2, k.before);
        const CellEditResult r = b.click([](DocumentEdit& ed) { return blackWhite(ed, 1, 2); });
        EXPECT_EQ(r.panel2, k.panel2);
        EXPECT_EQ(r.panel3, " ");
        EXPECT_FALSE(r.beep);
        EXPECT_EQ(r.selection.cx, 2);
        EXPECT_EQ(r.selection.cy, 1);
        EXPECT_EQ(r.selection.LAX, 1);
        EXPECT_EQ(b.grid.cell(1, 2), k.after);
        b.undo();
        EXPECT_EQ(b.grid.cell(1, 2), k.before);
        b.redo();
        EXPECT_EQ(b.grid.cell(1, 2), k.after);
    }
}

TEST(GridEdit, ClearDoUndoRedo) {
    Board b;
    b.set(0, 0, BLACK);
    const CellEditResult r = b.click([](DocumentEdit& ed) { return clearCell(ed, 0, 0); });
    EXPECT_EQ(r.panel2, " cleared ");
    EXPECT_EQ(b.grid.cell(0, 0), '?');
    b.undo();
    EXPECT_EQ(b.grid.cell(0, 0), BLACK);
    b.redo();
    EXPECT_EQ(b.grid.cell(0, 0), '?');

    const CellEditResult e = b.click([](DocumentEdit& ed) { return clearCell(ed, 2, 2); });
    EXPECT_EQ(e.panel3, " it's empty already! ");
    EXPECT_EQ(e.panel2, " ");
    EXPECT_TRUE(e.beep);
    EXPECT_EQ(b.history.HistoryLength(), 3);
}

TEST(GridEdit, WriteAcrossWrapsToNextRow) {
    Board b;
    const KeyResult k = b.key(Tool::WriteAcross, 0, 2, 'A', 0);
    EXPECT_TRUE(k.wrote);
    EXPECT_EQ(k.panel2, " A ");
    EXPECT_EQ(k.panel4, " R1 C3 ");
    EXPECT_EQ(b.grid.cell(0, 2), 'A');
    EXPECT_EQ(k.beeps, 1);
    EXPECT_EQ(k.row, 1);
    EXPECT_EQ(k.column, 0);
    EXPECT_EQ(k.incc, 1);
    b.undo();
    EXPECT_EQ(b.grid.cell(0, 2), '?');
    b.redo();
    EXPECT_EQ(b.grid.cell(0, 2), 'A');
}

TEST(GridEdit, KeysInWriteTools) {
    struct Case {
        Tool tool;
        int r, c, key, mods;
        int er, ec, beeps;
        bool moved;
    } cases[] = {
        {Tool::WriteDown, 2, 2, 40, 0, 0, 0, 1, true},    // Down at the bottom-right cell
        {Tool::WriteAcross, 0, 0, 38, 0, 2, 2, 1, true},  // Up at the top-left cell
        {Tool::WriteAcross, 1, 1, 8, 0, 1, 0, 0, true},   // Backspace
        {Tool::WriteAcross, 1, 1, 9, 1, 1, 0, 0, true},   // Shift+Tab is Backspace
        {Tool::WriteAcross, 1, 1, 9, 0, 1, 2, 0, true},   // Tab
        {Tool::WriteAcross, 1, 1, 39, 0, 1, 2, 0, true},  // Right
        {Tool::WriteDown, 1, 1, 37, 0, 1, 0, 0, true},    // Left
        {Tool::BlackWhite, 1, 1, 38, 0, 1, 1, 0, false},  // other tools ignore arrows
        {Tool::WriteAcross, 1, 1, 49, 0, 1, 1, 0, false}, // "1" does nothing
    };
    for (const Case& k : cases) {
        Board b;
        const KeyResult res =
            b.key(k.tool, static_cast<int16_t>(k.r), static_cast<int16_t>(k.c), k.key, k.mods);
        EXPECT_EQ(res.moved, k.moved) << k.key;
        EXPECT_EQ(res.row, k.er) << k.key;
        EXPECT_EQ(res.column, k.ec) << k.key;
        EXPECT_EQ(res.beeps, k.beeps) << k.key;
        EXPECT_FALSE(res.wrote);
        EXPECT_EQ(b.history.HistoryLength(), 0);
    }
}

TEST(GridEdit, LetterOnBlackAndSpaceOnLetter) {
    Board b;
    b.set(1, 1, BLACK);
    KeyResult k = b.key(Tool::WriteAcross, 1, 1, 'B', 0);
    EXPECT_FALSE(k.wrote);
    EXPECT_FALSE(k.moved);
    EXPECT_EQ(k.beeps, 1);
    EXPECT_EQ(b.grid.cell(1, 1), BLACK);

    b.set(0, 0, 'Z');
    k = b.key(Tool::WriteDown, 0, 0, 32, 0);
    EXPECT_TRUE(k.wrote);
    EXPECT_EQ(k.panel2, "   ");
    EXPECT_EQ(b.grid.cell(0, 0), '?');
    EXPECT_EQ(k.row, 1); // write down advances down
    EXPECT_EQ(k.column, 0);
}

TEST(GridEdit, LettersTypeOnlyWithoutCtrlOrAlt) {
    // Every modifier state against letters and the blank in both write
    // tools: Shift alone still types, any Ctrl or Alt never does.
    for (Tool tool : {Tool::WriteAcross, Tool::WriteDown}) {
        for (int mods = 0; mods < 8; ++mods) {
            for (int key : {int('A'), int('Z'), int('Y'), 32}) {
                Board b;
                b.set(1, 1, 'Q');
                const KeyResult k = b.key(tool, 1, 1, key, mods);
                const bool types = (mods & (CtrlKey | AltKey)) == 0;
                EXPECT_EQ(k.wrote, types) << static_cast<int>(tool) << " " << mods << " " << key;
                EXPECT_EQ(k.moved, types);
                EXPECT_EQ(b.grid.cell(1, 1), types ? (key == 32 ? '?' : char(key)) : 'Q');
                EXPECT_EQ(b.history.HistoryLength(), types ? 3 : 0);
            }
        }
    }
}

TEST(GridEdit, VowelsOnlyFromModifiers) {
    Board b;
    EXPECT_EQ(b.key(Tool::PromptCross, 0, 0, 17, CtrlKey).vocali, 1);
    EXPECT_EQ(b.key(Tool::PromptCross, 0, 0, 18, AltKey).vocali, 0);
    EXPECT_EQ(b.key(Tool::PromptCross, 0, 0, 17, CtrlKey | ShiftKey).vocali, 0);
    EXPECT_EQ(b.key(Tool::WriteAcross, 0, 0, 17, CtrlKey).vocali, 0);
}

TEST(GridEdit, DragFollowsAndExchangesEnds) {
    const GridModel g = GridModel::make(5, 10);
    DragRect d{5, 2, 5, 2};
    const double xs[] = {8.5, 7.2, 6.9, 5.1, 4.8, 3.3};
    const int16_t expect[][2] = {{5, 8}, {5, 7}, {5, 6}, {5, 5}, {4, 5}, {3, 4}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(dragMove(g, Tool::PromptAcross, xs[i], 2.5, d));
        EXPECT_EQ(d.x1, expect[i][0]) << xs[i];
        EXPECT_EQ(d.x2, expect[i][1]) << xs[i];
        EXPECT_EQ(d.y1, 2);
        EXPECT_EQ(d.y2, 2);
    }
    // Leaving the grid stops the drag at the edge.
    EXPECT_FALSE(dragMove(g, Tool::PromptAcross, 12.0, 2.5, d));
    EXPECT_EQ(d.x2, 9);
    DragRect down{3, 1, 3, 1};
    EXPECT_TRUE(dragMove(g, Tool::PromptDown, 7.9, 3.5, down));
    EXPECT_EQ(down.x2, 3);
    EXPECT_EQ(down.y2, 3);
    EXPECT_FALSE(dragMove(g, Tool::PromptDown, 3.5, -0.5, down));
    EXPECT_EQ(down.y1, 0);

    int16_t row = -1;
    int16_t col = -1;
    DragRect r{2, 1, 2, 1};
    dragRelease(g, Tool::PromptAcross, 40.0, 9.0, r, row, col);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 2);
    EXPECT_EQ(r.x2, 9);
    EXPECT_EQ(r.y2, 1);
}

// The toolbar keys name exactly the thirteen tools, and the right click's
// pairs stay within the write tools and within the prompt tools.
TEST(Tools, KeysAndPairs) {
    for (int n = 0; n <= 12; ++n) {
        const Tool t = static_cast<Tool>(n);
        EXPECT_EQ(toolOfKey(toolKey(t)), t) << n;
        EXPECT_EQ(isGridTool(t), n <= 6) << n;
        const std::optional<Tool> other = pairedTool(t);
        EXPECT_EQ(other.has_value(), isWriteTool(t) || isPromptTool(t)) << n;
        if (other) {
            EXPECT_NE(*other, t);
            EXPECT_EQ(pairedTool(*other), t);
            EXPECT_EQ(isWriteTool(*other), isWriteTool(t));
        }
    }
    for (const char* key :
         {"", "a", "a13", "a99", "a00", "a07", "b1", "A1", "a1x", "a-1", "a 1", "a123", "a1 "})
        EXPECT_FALSE(toolOfKey(key).has_value()) << '"' << key << '"';
}
