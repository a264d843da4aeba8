// SPDX-License-Identifier: GPL-3.0-or-later
#include "griddocument.h"
#include "patternsearch.h"
#include "placement.h"
#include "promptslot.h"
#include "recordinghost.h"
#include "refinements.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>

using namespace korvel;
using namespace korvel::testing;

namespace korvel {
// Beside Tool, where the test printer looks for it; this file's own.
static void PrintTo(Tool tool, std::ostream* os) {
    *os << (tool == Tool::PromptAcross ? "across"
            : tool == Tool::PromptDown ? "down"
                                       : "tool " + toolKey(tool));
}
} // namespace korvel

namespace {

struct Prompt {
    DictionaryStore store;
    EditorState editor;
    PatternState& ps = editor.pattern;
    Selection& sel = editor.selection;
    SearchFlags flags;
    RecordingHost host;
    DrawingRecorder recorder{host.drawing};
    Tool tool;

    // A prompt on row 4 from column 2 (across) or on column 2 from row 4
    // (down), as a grid click would leave the state.
    Prompt(const std::string& slot, Tool t = Tool::PromptAcross) : tool(t) {
        putDictionary(store, 1, "base.diz",
                      dictText({"ABACO", "CAB", "CABA", "DAB", "MAB!", "TABE", "ZAB"}));
        editor.setTool(tool, toolKey(tool));
        editor.addObserver(&recorder);
        ps.CurrentPattern = slot;
        ps.SlotPattern = slot;
        ps.testom = slot;
        const auto n = static_cast<int16_t>(slot.size());
        if (tool == Tool::PromptAcross) {
            ps.SlotFirstRow = ps.SlotLastRow = 4;
            ps.SlotFirstColumn = 2;
            ps.SlotLastColumn = static_cast<int16_t>(2 + n - 1);
            sel = {2, 4, n, 1};
        } else {
            ps.SlotFirstColumn = ps.SlotLastColumn = 2;
            ps.SlotFirstRow = 4;
            ps.SlotLastRow = static_cast<int16_t>(4 + n - 1);
            sel = {2, 4, 1, n};
        }
        flags.Accorcia = false;
    }
    EnabledSet enabled = allEnabled();
    SearchContext ctx() { return {store, enabled, editor, flags, host}; }
    void click(void (*command)(SearchContext&)) {
        auto c = ctx();
        command(c);
    }
};

} // namespace

TEST(Refinements, FreeHeadAcrossFreesTheLeadingRun) {
    Prompt p("??AB?");
    p.click(freeHeadRun);
    EXPECT_EQ(p.ps.CurrentPattern, "*AB?");
    EXPECT_EQ(p.ps.freedHead, "??");
    EXPECT_EQ(p.host.panels[2], " =3 "); // set by the search that follows
    EXPECT_EQ(p.host.drawing,
              (std::vector<std::string>{"repaint", "red 4,4,3,1", "green 2,4,2,1"}));
    EXPECT_EQ(p.host.patternLabel, "*AB?");
    EXPECT_EQ(p.host.testText, "");
    // Words and stems ending in AB? that fit the five cells, aligned to the end.
    EXPECT_EQ(p.host.list, (std::vector<std::string>{" CABA -1", " MAB(AE) -1", " TABE -1"}));

    // The opposite end cannot be freed now.
    p.host.beeps = 0;
    p.click(freeCueRun);
    EXPECT_EQ(p.host.panels[3], " not possible ");
    EXPECT_EQ(p.host.beeps, 1);
    EXPECT_EQ(p.ps.CurrentPattern, "*AB?");
    p.click(freeHeadRun);
    EXPECT_EQ(p.host.panels[3], " Already on! ");
}

TEST(Refinements, FreeHeadDownMovesRowsAndAllQueriesKeepOneCell) {
    Prompt p("????", Tool::PromptDown);
    p.click(freeHeadRun);
    EXPECT_EQ(p.ps.CurrentPattern, "*?");
    EXPECT_EQ(p.ps.freedHead, "???");
    EXPECT_EQ(p.host.drawing,
              (std::vector<std::string>{"repaint", "red 2,7,1,1", "green 2,4,1,3"}));
}

TEST(Refinements, FreeCueFreesTheTrailingRun) {
    Prompt p("?AB??");
    p.click(freeHeadRun);
    EXPECT_EQ(p.host.panels[3], " Wrong request! ");
    EXPECT_EQ(p.ps.CurrentPattern, "?AB??");
    p.click(freeCueRun);
    EXPECT_EQ(p.ps.CurrentPattern, "?AB*");
    EXPECT_EQ(p.ps.freedTail, "??");
    EXPECT_EQ(p.host.panels[2], " =3 ");
    EXPECT_EQ(p.host.drawing,
              (std::vector<std::string>{"repaint", "red 2,4,3,1", "green 5,4,2,1"}));
    p.click(freeHeadRun);
    EXPECT_EQ(p.host.panels[3], " Wrong request! ");
    p.click(trimHeadCell);
    EXPECT_EQ(p.host.panels[3], " Wrong request! ");

    Prompt q("????");
    q.click(freeCueRun);
    EXPECT_EQ(q.ps.CurrentPattern, "?*");
    EXPECT_EQ(q.ps.freedTail, "???");
}

TEST(Refinements, TwoCellPatternsRefuseEverything) {
    Prompt p("A?");
    p.click(trimHeadCell);
    EXPECT_EQ(p.host.panels[3], " not possible ");
    p.click(trimCueCell);
    EXPECT_EQ(p.host.panels[3], " not possible ");
    p.click(freeHeadRun);
    EXPECT_EQ(p.host.panels[3], " Wrong request! ");
    p.click(freeCueRun);
    EXPECT_EQ(p.host.panels[3], " Wrong request! ");
    EXPECT_EQ(p.host.beeps, 4);
    EXPECT_EQ(p.ps.CurrentPattern, "A?");
    EXPECT_TRUE(p.host.list.empty());
}

TEST(Refinements, TrimCueDropsAFreedTailAndShortensTheSlot) {
    Prompt p("AB???");
    p.click(freeCueRun);
    ASSERT_EQ(p.ps.CurrentPattern, "AB*");
    p.host.drawing.clear();
    p.click(trimCueCell);
    EXPECT_EQ(p.ps.CurrentPattern, "AB");
    EXPECT_EQ(p.ps.freedTail, "");
    EXPECT_EQ(p.ps.SlotLastColumn, 3);
    EXPECT_EQ(p.ps.SlotPattern, "AB");
    EXPECT_EQ(p.ps.testom, "AB");
    EXPECT_EQ(p.host.drawing, (std::vector<std::string>{"repaint", "red 2,4,2,1"}));
    EXPECT_EQ(p.host.panels[3], " Wrong request! "); // the search refuses "AB"

    Prompt q("?AB??", Tool::PromptDown);
    q.click(trimCueCell);
    EXPECT_EQ(q.ps.CurrentPattern, "?AB?");
    EXPECT_EQ(q.ps.SlotLastRow, 7);
    EXPECT_EQ(q.host.drawing, (std::vector<std::string>{"repaint", "red 2,4,1,4"}));
}

TEST(Refinements, TrimHeadMovesTheSlotStart) {
    Prompt p("?ABC");
    p.click(trimHeadCell);
    EXPECT_EQ(p.ps.CurrentPattern, "ABC");
    EXPECT_EQ(p.ps.SlotPattern, "ABC");
    EXPECT_EQ(p.ps.testom, "ABC");
    EXPECT_EQ(p.ps.SlotFirstColumn, 3);
    EXPECT_EQ(p.host.drawing, (std::vector<std::string>{"repaint", "red 3,4,3,1"}));
    // "ABC" has no wildcard left: the search that follows refuses it.
    EXPECT_EQ(p.host.panels[3], " Wrong request! ");

    Prompt q("??AB", Tool::PromptDown);
    q.click(freeHeadRun);
    q.click(trimHeadCell);
    EXPECT_EQ(q.ps.CurrentPattern, "AB");
    EXPECT_EQ(q.ps.freedHead, "");
    // The dropped "*" stood for two cells: the slot starts on the A.
    EXPECT_EQ(q.ps.SlotFirstRow, 6);
    EXPECT_EQ(q.host.drawing.back(), "red 2,6,1,2");
}

TEST(Refinements, BusySearchBlocksButRefusalsStillSpeak) {
    Prompt p("??AB?");
    p.flags.BusyCounter = 2;
    p.click(freeHeadRun);
    EXPECT_EQ(p.ps.CurrentPattern, "??AB?");
    EXPECT_TRUE(p.host.panels.empty());
    p.ps.freedHead = "??";
    p.click(trimCueCell);
    EXPECT_EQ(p.host.panels[3], " not possible ");
}

TEST(Refinements, SearchResetClearsEverythingEvenWhenBusy) {
    Prompt p("?AB?");
    p.host.list = {"X -1"};
    p.flags.BusyCounter = 2;
    p.flags.abortRequest = 1;
    p.click(resetSearch);
    EXPECT_EQ(p.flags.BusyCounter, 0);
    EXPECT_EQ(p.flags.abortRequest, 0);
    EXPECT_TRUE(p.host.list.empty());
    EXPECT_EQ(p.host.buttonsEnabled, 0);
    EXPECT_EQ(p.host.panels[2], " ");
    EXPECT_EQ(p.host.panels[3], " ");
    EXPECT_EQ(p.host.hints[2], "");
    EXPECT_EQ(p.host.listHint, "");
    EXPECT_EQ(p.host.pointers.back(), Pointers::Default);
}

namespace {

// A grid line (a row across, a column down) prompted as a click on its first
// cell makes it, freed at the head and trimmed there, then placed with the
// one word the dictionary holds.
struct FreeTrimPlace {
    const char* line;    // the slot, "?" for an empty cell
    const char* word;    // the only dictionary word
    int trims;           // Trim HEAD presses after Free HEAD
    const char* pattern; // CurrentPattern before the placement
    const char* placed;  // the line afterwards
};

void PrintTo(const FreeTrimPlace& c, std::ostream* os) {
    *os << "line \"" << c.line << "\", word " << c.word << ", " << c.trims << " trim(s)";
}

// "??C??" and "CAB" give "2C2_CAB": the runs of empty cells as their lengths.
std::string caseName(const FreeTrimPlace& c, Tool tool) {
    std::string name;
    int empty = 0;
    for (const char* p = c.line;; ++p) {
        if (*p == '?') {
            ++empty;
            continue;
        }
        if (empty > 0) {
            name += std::to_string(empty);
        }
        empty = 0;
        if (*p == '\0') {
            break;
        }
        name += *p;
    }
    return name + "_" + c.word + (tool == Tool::PromptAcross ? "_across" : "_down");
}

class FreeHeadThenTrimHead : public ::testing::TestWithParam<std::tuple<FreeTrimPlace, Tool>> {};

} // namespace

TEST_P(FreeHeadThenTrimHead, PlacesOnThePatternsOwnCells) {
    const auto& [c, tool] = GetParam();
    const std::string line = c.line;
    const auto n = static_cast<int16_t>(line.size());
    // The line lies in row 1 or column 1 of a grid one cell wider around it.
    GridModel grid = GridModel::make(tool == Tool::PromptAcross ? 3 : static_cast<int16_t>(n + 1),
                                     tool == Tool::PromptAcross ? static_cast<int16_t>(n + 1) : 3);
    auto at = [&](int16_t i) -> std::pair<int16_t, int16_t> {
        return tool == Tool::PromptAcross ? std::pair<int16_t, int16_t>{1, i}
                                          : std::pair<int16_t, int16_t>{i, 1};
    };
    for (int16_t i = 0; i < n; ++i)
        grid.setCell(at(i).first, at(i).second, line[static_cast<std::size_t>(i)]);
    grid.setCell(at(n).first, at(n).second, BLACK);

    DictionaryStore store;
    putDictionary(store, 1, "base.diz", dictText({c.word}));
    EditorState editor;
    editor.setTool(tool, toolKey(tool));
    PatternState& ps = editor.pattern;
    Selection& sel = editor.selection;
    SearchFlags flags;
    flags.Accorcia = false;
    RecordingHost host;
    const auto [r0, c0] = at(0);
    const PromptSlot slot = tool == Tool::PromptAcross
                                ? promptAcross(grid, r0, c0, DragInfo{}, ps, sel)
                                : promptDown(grid, r0, c0, DragInfo{}, ps, sel);
    ASSERT_FALSE(slot.refused);
    const EnabledSet enabled = allEnabled();
    SearchContext ctx{store, enabled, editor, flags, host};
    freeHeadRun(ctx);
    for (int t = 0; t < c.trims; ++t)
        trimHeadCell(ctx);
    ASSERT_EQ(ps.CurrentPattern, c.pattern);
    ASSERT_EQ(host.list.size(), 1u) << host.panels[3];
    // The box drawn by the trim covers exactly the pattern's cells.
    const auto [fr, fc] = at(static_cast<int16_t>(n - std::string(c.pattern).size()));
    EXPECT_EQ(sel.cx, fc);
    EXPECT_EQ(sel.cy, fr);
    EXPECT_EQ(tool == Tool::PromptAcross ? sel.LAX : sel.LAY,
              static_cast<int16_t>(std::string(c.pattern).size()));

    GridDocument doc;
    doc.openPuzzle(Puzzle{grid, {}, {}, {}}, "");
    int16_t row = r0;
    int16_t column = c0;
    const ListClickResult r = doc.edit([&](DocumentEdit& e) {
        PlacementContext pc{tool, e, sel, ps, row, column};
        return e.placement().Lists_Click(host.list.front(), pc);
    });
    ASSERT_TRUE(r.placed);
    std::string after;
    for (int16_t i = 0; i < n; ++i)
        after += doc.grid().cell(at(i).first, at(i).second);
    EXPECT_EQ(after, c.placed);
    EXPECT_EQ(doc.grid().cell(at(n).first, at(n).second), BLACK);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FreeHeadThenTrimHead,
    ::testing::Combine(::testing::Values(FreeTrimPlace{"???E?", "ED", 1, "E?", "???ED"},
                                         FreeTrimPlace{"??A?", "AX", 1, "A?", "??AX"},
                                         FreeTrimPlace{"????A?", "AT", 1, "A?", "????AT"},
                                         FreeTrimPlace{"??C??", "CAB", 1, "C??", "??CAB"},
                                         FreeTrimPlace{"??CA??", "ADE", 2, "A??", "??CADE"}),
                       ::testing::Values(Tool::PromptAcross, Tool::PromptDown)),
    [](const ::testing::TestParamInfo<std::tuple<FreeTrimPlace, Tool>>& info) {
        return caseName(std::get<0>(info.param), std::get<1>(info.param));
    });
