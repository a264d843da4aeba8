// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "actionshistory.h"
#include "gridmodel.h"
#include "promptstate.h"
#include "tool.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace korvel {

class DocumentEdit;

// The window state a list click reads and changes, and the document's edit
// through which it writes.
struct PlacementContext {
    Tool CurrentTool;
    DocumentEdit& edit;
    Selection& selection;
    PatternState& pattern;
    int16_t& CurrentRow;
    int16_t& CurrentColumn;
};

// What a click on a results line did, for the window to show.
struct ListClickResult {
    // False when the line stands for nothing (" no Anagrams ", the thesaurus
    // headers, " OK Spelling ", " no Syn./Ant. "): nothing changed at all.
    bool handled = false;
    // Status panel 3 once Prepara ran: "" or, after a take-back, " ".
    std::string panel3;
    // The word for the TEST field; set only when hasTestText.
    bool hasTestText = false;
    std::string testText;
    // The grid was written (tools 1, 2 and 6): repaint, draw the selection box
    // and disable the four head and tail buttons.
    bool placed = false;
    // A grid change met a full history (show HistoryClearedText).
    bool historyCleared = false;
    // The take-back met a broken record (show HistoryAnomalyText).
    bool anomaly = false;
};

// The results list's click: reduces the clicked line to its word, steps a
// base-dictionary stem through its endings, takes the previous trial
// placement back, and writes the word along the slot or the letter into the
// crossing cell through the actions history.
class Placement {
public:
    // Set after a placement; the next list click first takes it back. The
    // window clears it on every grid click, Undo and Redo.
    bool priclk = false;

    // The ending cycle: the last stem line clicked, its stem, its vowel set
    // and the 1-based position of the ending used last.
    std::string lastStemEntry;
    std::string stem;
    std::string vowelSet;
    int16_t cyclePosition = 0;

    // The caller has checked the busy counter.
    ListClickResult Lists_Click(std::string_view line, PlacementContext& ctx);

    // Resolves a stem line to its next ending, takes the previous placement
    // back when priclk is set, and begins a new action. Returns the text of
    // panel 3.
    std::string Prepara(std::string& text, PlacementContext& ctx, bool& anomaly);

    // The word of a list line: the engine's " -n" suffix removed. A word that
    // holds "-" itself (dictionaries 2 to 6 list lines as stored) is kept
    // whole; only a trailing blank, "-" and digits is the suffix.
    static std::string stripDictionarySuffix(std::string_view text);

private:
    // Where the history stood after the last placement and how many cells it
    // recorded: a take-back happens only while that placement is still the
    // history's most recent action (no record and no bulk change after it),
    // so it never removes another change.
    int16_t placedEnd_ = -1;
    int placedCells_ = 0;
};

} // namespace korvel
