#include "patternsearch.h"
#include "recordinghost.h"
#include "refinements.h"

#include <gtest/gtest.h>

using namespace korvel;
using korvel::testing::dictText;
using korvel::testing::putDictionary;
using korvel::testing::RecordingHost;

namespace {

struct Prompt {
    DictionaryStore store;
    PatternState ps;
    Selection sel;
    SearchFlags flags;
    RecordingHost host;
    int16_t tool;

    // A prompt on row 4 from column 2 (across) or on column 2 from row 4
    // (down), as a grid click would leave the state.
    Prompt(const std::string& slot, int16_t t = 1) : tool(t) {
        putDictionary(store, 1, "base.diz",
                      dictText({"ABACO", "CAB", "CABA", "DAB", "MAB!", "TABE", "ZAB"}));
        host.selection = &sel;
        ps.CurrentPattern = slot;
        ps.SlotPattern = slot;
        ps.testom = slot;
        const auto n = static_cast<int16_t>(slot.size());
        if (tool == 1) {
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
    SearchContext ctx() { return {store, ps, sel, flags, host, tool}; }
    void click(void (*command)(SearchContext&)) {
        auto c = ctx();
        command(c);
    }
};

} // namespace

TEST(Refinements, FreeHeadAcrossFreesTheLeadingRun) {
    Prompt p("??AB?");
    p.click(Command1_Click);
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
    p.click(Command4_Click);
    EXPECT_EQ(p.host.panels[3], " not possible ");
    EXPECT_EQ(p.host.beeps, 1);
    EXPECT_EQ(p.ps.CurrentPattern, "*AB?");
    p.click(Command1_Click);
    EXPECT_EQ(p.host.panels[3], " Already on! ");
}

TEST(Refinements, FreeHeadDownMovesRowsAndAllQueriesKeepOneCell) {
    Prompt p("????", 2);
    p.click(Command1_Click);
    EXPECT_EQ(p.ps.CurrentPattern, "*?");
    EXPECT_EQ(p.ps.freedHead, "???");
    EXPECT_EQ(p.host.drawing,
              (std::vector<std::string>{"repaint", "red 2,7,1,1", "green 2,4,1,3"}));
}

TEST(Refinements, FreeCueFreesTheTrailingRun) {
    Prompt p("?AB??");
    p.click(Command1_Click);
    EXPECT_EQ(p.host.panels[3], " Wrong request! ");
    EXPECT_EQ(p.ps.CurrentPattern, "?AB??");
    p.click(Command4_Click);
    EXPECT_EQ(p.ps.CurrentPattern, "?AB*");
    EXPECT_EQ(p.ps.freedTail, "??");
    EXPECT_EQ(p.host.panels[2], " =3 ");
    EXPECT_EQ(p.host.drawing,
              (std::vector<std::string>{"repaint", "red 2,4,3,1", "green 5,4,2,1"}));
    p.click(Command1_Click);
    EXPECT_EQ(p.host.panels[3], " Wrong request! ");
    p.click(Command2_Click);
    EXPECT_EQ(p.host.panels[3], " Wrong request! ");

    Prompt q("????");
    q.click(Command4_Click);
    EXPECT_EQ(q.ps.CurrentPattern, "?*");
    EXPECT_EQ(q.ps.freedTail, "???");
}

TEST(Refinements, TwoCellPatternsRefuseEverything) {
    Prompt p("A?");
    p.click(Command2_Click);
    EXPECT_EQ(p.host.panels[3], " not possible ");
    p.click(Command3_Click);
    EXPECT_EQ(p.host.panels[3], " not possible ");
    p.click(Command1_Click);
    EXPECT_EQ(p.host.panels[3], " Wrong request! ");
    p.click(Command4_Click);
    EXPECT_EQ(p.host.panels[3], " Wrong request! ");
    EXPECT_EQ(p.host.beeps, 4);
    EXPECT_EQ(p.ps.CurrentPattern, "A?");
    EXPECT_TRUE(p.host.list.empty());
}

TEST(Refinements, TrimCueDropsAFreedTailAndShortensTheSlot) {
    Prompt p("AB???");
    p.click(Command4_Click);
    ASSERT_EQ(p.ps.CurrentPattern, "AB*");
    p.host.drawing.clear();
    p.click(Command3_Click);
    EXPECT_EQ(p.ps.CurrentPattern, "AB");
    EXPECT_EQ(p.ps.freedTail, "");
    EXPECT_EQ(p.ps.SlotLastColumn, 3);
    EXPECT_EQ(p.ps.SlotPattern, "AB");
    EXPECT_EQ(p.ps.testom, "AB");
    EXPECT_EQ(p.host.drawing, (std::vector<std::string>{"repaint", "red 2,4,2,1"}));
    EXPECT_EQ(p.host.panels[3], " Wrong request! "); // the search refuses "AB"

    Prompt q("?AB??", 2);
    q.click(Command3_Click);
    EXPECT_EQ(q.ps.CurrentPattern, "?AB?");
    EXPECT_EQ(q.ps.SlotLastRow, 7);
    EXPECT_EQ(q.host.drawing, (std::vector<std::string>{"repaint", "red 2,4,1,4"}));
}

TEST(Refinements, TrimHeadMovesTheSlotStart) {
    Prompt p("?ABC");
    p.click(Command2_Click);
    EXPECT_EQ(p.ps.CurrentPattern, "ABC");
    EXPECT_EQ(p.ps.SlotPattern, "ABC");
    EXPECT_EQ(p.ps.testom, "ABC");
    EXPECT_EQ(p.ps.SlotFirstColumn, 3);
    EXPECT_EQ(p.host.drawing, (std::vector<std::string>{"repaint", "red 3,4,3,1"}));
    // "ABC" has no wildcard left: the search that follows refuses it.
    EXPECT_EQ(p.host.panels[3], " Wrong request! ");

    Prompt q("??AB", 2);
    q.click(Command1_Click);
    q.click(Command2_Click);
    EXPECT_EQ(q.ps.CurrentPattern, "AB");
    EXPECT_EQ(q.ps.freedHead, "");
    EXPECT_EQ(q.ps.SlotFirstRow, 5);
}

TEST(Refinements, BusySearchBlocksButRefusalsStillSpeak) {
    Prompt p("??AB?");
    p.flags.BusyCounter = 2;
    p.click(Command1_Click);
    EXPECT_EQ(p.ps.CurrentPattern, "??AB?");
    EXPECT_TRUE(p.host.panels.empty());
    p.ps.freedHead = "??";
    p.click(Command3_Click);
    EXPECT_EQ(p.host.panels[3], " not possible ");
}

TEST(Refinements, SearchResetClearsEverythingEvenWhenBusy) {
    Prompt p("?AB?");
    p.host.list = {"X -1"};
    p.flags.BusyCounter = 2;
    p.flags.abortRequest = 1;
    p.click(ResErr_Click);
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
