// SPDX-License-Identifier: GPL-3.0-or-later
// The editor state beside the document: what is drawn over the picture until
// it is drawn whole again, the notices that name what came and went, the
// cursor's notices by cause, and the document's changes of cells taken as the
// whole repaint that follows them.
#include "editorstate.h"
#include "gridedit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvel;

namespace {

// Writes every notice as one line: "repaint -N" for a whole repaint that
// dropped N marks, "+N" for N marks drawn, "cursor K" (K the cause), "tool".
struct Notices : EditorObserver {
    std::vector<std::string> lines;
    void editorChanged(const EditorState&, const EditorChange& c) override {
        std::string line;
        if (c.repainted)
            line += "repaint -" + std::to_string(c.dropped.size());
        if (c.added > 0)
            line += "+" + std::to_string(c.added);
        if (c.cursor)
            line += "cursor " + std::to_string(static_cast<int>(c.cause));
        if (c.tool)
            line += "tool";
        lines.push_back(line);
    }
};

GridMark box(int16_t x, int16_t y, int16_t w, int16_t h, MarkColour colour = MarkColour::Red) {
    return GridMark{GridMark::Kind::Box, colour, x, y, w, h};
}

GridMark outline(int16_t x, int16_t y, int16_t w, int16_t h, MarkColour colour) {
    return GridMark{GridMark::Kind::Outline, colour, x, y, w, h};
}

} // namespace

// Boxes accumulate over the picture until the next whole repaint, which
// names every one it takes away; the box drawn last is remembered apart.
TEST(EditorState, MarksLastUntilTheWholeRepaint) {
    EditorState e;
    Notices n;
    e.addObserver(&n);
    e.selectCell(2, 3);
    e.drawSelection();
    e.selection = Selection{0, 1, 4, 1};
    e.drawGreenBox();
    EXPECT_EQ(e.marks(),
              (std::vector<GridMark>{box(3, 2, 1, 1), box(0, 1, 4, 1, MarkColour::Green)}));
    // A green box is not the selection drawn last.
    EXPECT_EQ(e.lastSelection(), (Selection{3, 2, 1, 1}));
    e.showBox(Selection{1, 1, 1, 3});
    EXPECT_EQ(e.marks(), (std::vector<GridMark>{box(1, 1, 1, 3)}));
    EXPECT_EQ(e.lastSelection(), (Selection{1, 1, 1, 3}));
    EXPECT_EQ(n.lines, (std::vector<std::string>{"+1", "+1", "repaint -2", "+1"}));
    e.removeObserver(&n);
}

// Each move of a drag erases the rectangle drawn last in white and draws
// the new one in blue; the first erases whatever rectangle was drawn before.
TEST(EditorState, DragOutlinesEraseTheLastOne) {
    EditorState e;
    e.drag = DragRect{1, 2, 5, 2};
    e.drawDrag();
    e.drag = DragRect{1, 2, 3, 2};
    e.drawDrag();
    EXPECT_EQ(e.drawnDrag(), (DragRect{1, 2, 3, 2}));
    EXPECT_EQ(e.marks(), (std::vector<GridMark>{outline(0, 0, 1, 1, MarkColour::White),
                                                outline(1, 2, 5, 1, MarkColour::Blue),
                                                outline(1, 2, 5, 1, MarkColour::White),
                                                outline(1, 2, 3, 1, MarkColour::Blue)}));
}

// The numbers switched off are printed again in white over the picture;
// the next whole repaint prints them in the colour then chosen.
TEST(EditorState, NumbersAsTheyWereLastChosen) {
    EditorState e;
    EXPECT_TRUE(e.pictureNumbersShown());
    e.drawNumbers(false);
    EXPECT_TRUE(e.pictureNumbersShown());
    EXPECT_EQ(e.marks().back().kind, GridMark::Kind::Numbers);
    EXPECT_EQ(e.marks().back().colour, MarkColour::White);
    e.rinfresca();
    EXPECT_FALSE(e.pictureNumbersShown());
    EXPECT_TRUE(e.marks().empty());
    e.setNumbersShown(true);
    EXPECT_FALSE(e.pictureNumbersShown());
    e.rinfresca();
    EXPECT_TRUE(e.pictureNumbersShown());
}

// A change of cells in the document is the whole repaint that follows every
// change; clues and details leave the picture alone.
TEST(EditorState, CellChangesRepaintTheWholeGrid) {
    GridDocument doc;
    doc.newGrid(3, 4);
    EditorState e;
    Notices n;
    doc.addObserver(&e);
    e.addObserver(&n);
    e.selectCell(0, 0);
    e.drawSelection();
    const Slot first = doc.wordSlots().across()[0];
    doc.edit([&](DocumentEdit& d) { d.setClue(first, "Clue"); });
    EXPECT_EQ(e.marks().size(), 1u);
    doc.edit([](DocumentEdit& d) {
        d.beginAction();
        blackWhite(d, 1, 1);
    });
    EXPECT_TRUE(e.marks().empty());
    EXPECT_EQ(n.lines, (std::vector<std::string>{"+1", "repaint -1"}));
    doc.removeObserver(&e);
    e.removeObserver(&n);
}

// The cursor tells its cause; the pointer only when the cell changes, a
// click or a key every time.
TEST(EditorState, CursorNoticesByCause) {
    EditorState e;
    Notices n;
    e.addObserver(&n);
    e.setCurrentCell(0, 0);
    e.setCurrentCell(1, 2);
    e.setCurrentCell(1, 2, CursorCause::Click);
    e.setCurrentCell(1, 3, CursorCause::Key);
    e.setTool(Tool::WriteDown, "a4");
    EXPECT_EQ(e.CurrentRow(), 1);
    EXPECT_EQ(e.CurrentColumn(), 3);
    EXPECT_EQ(e.CurrentToolKey(), "a4");
    EXPECT_EQ(n.lines, (std::vector<std::string>{"cursor 0", "cursor 1", "cursor 2", "tool"}));
    e.removeObserver(&n);
}
