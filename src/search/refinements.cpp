// SPDX-License-Identifier: GPL-3.0-or-later
#include "refinements.h"

#include "patternsearch.h"

#include <algorithm>

namespace korvel {

namespace {

// The direction a prompt runs in: across moves columns (cx, LAX, the slot's
// first and last column), down moves rows (cy, LAY, first and last row).
struct Axis {
    int16_t Selection::*pos;
    int16_t Selection::*size;
    int16_t Selection::*crossSize;
    int16_t PatternState::*first;
    int16_t PatternState::*last;
};

Axis axisOf(const SearchContext& ctx) {
    if (ctx.editor.CurrentTool() != Tool::PromptDown) {
        return {&Selection::cx, &Selection::LAX, &Selection::LAY, &PatternState::SlotFirstColumn,
                &PatternState::SlotLastColumn};
    }
    return {&Selection::cy, &Selection::LAY, &Selection::LAX, &PatternState::SlotFirstRow,
            &PatternState::SlotLastRow};
}

// The selection covers the slot from its first to its last cell.
void selectSlot(SearchContext& ctx, const Axis& a) {
    Selection& sel = ctx.editor.selection;
    sel.*a.pos = ctx.editor.pattern.*a.first;
    sel.*a.size =
        static_cast<int16_t>(ctx.editor.pattern.*a.last - ctx.editor.pattern.*a.first + 1);
    sel.*a.crossSize = 1;
}

void refuse(SearchContext& ctx, std::string_view message) {
    ctx.host.showRemark(message);
    ctx.host.beep();
}

// Steps 1 to 3 of every button: the refusal while the opposite end is free,
// the busy test, the action title. Returns false when the button stops here.
bool beginRefinement(SearchContext& ctx, bool oppositeFree, std::string_view refusal,
                     std::string_view title) {
    if (oppositeFree) {
        refuse(ctx, refusal);
        return false;
    }
    if (ctx.flags.BusyCounter > 0) {
        return false;
    }
    ctx.host.showCount(title);
    ctx.host.showRemark(" ");
    return true;
}

void searchAgain(SearchContext& ctx) {
    ctx.host.setPatternLabel(ctx.editor.pattern.CurrentPattern);
    ctx.host.setTestText("");
    searchPattern(ctx);
}

int16_t len16(const std::string& s) {
    return static_cast<int16_t>(s.size());
}

} // namespace

void freeHeadRun(SearchContext& ctx) {
    PatternState& ps = ctx.editor.pattern;
    if (!beginRefinement(ctx, !ps.freedTail.empty(), " Wrong request! ",
                         " Free length at Start ")) {
        return;
    }
    const std::string& pat = ps.CurrentPattern;
    if (!pat.empty() && pat[0] == '*') {
        refuse(ctx, " Already on! ");
        return;
    }
    if (pat.empty() || pat[0] != '?' || pat.size() < 3 || pat[1] != '?') {
        refuse(ctx, " Wrong request! ");
        return;
    }
    // g: 1-based position of the first fixed character among 1..length-1, or
    // the length when every one of them is "?". At least one cell stays fixed.
    std::size_t g = pat.size();
    for (std::size_t i = 0; i + 1 < pat.size(); ++i) {
        if (pat[i] != '?') {
            g = i + 1;
            break;
        }
    }
    ps.freedHead = pat.substr(0, g - 1);
    ps.CurrentPattern = "*" + pat.substr(g - 1);

    // Red box on the fixed part, then green on the freed run before it.
    Selection& sel = ctx.editor.selection;
    const Axis a = axisOf(ctx);
    const int16_t freed = len16(ps.freedHead);
    const int16_t remembered = sel.*a.pos;
    sel.*a.pos = static_cast<int16_t>(remembered + freed);
    sel.*a.size = static_cast<int16_t>(len16(ps.CurrentPattern) - 1);
    ctx.editor.rinfresca();
    ctx.editor.drawSelection();
    sel.*a.pos = remembered;
    sel.*a.size = freed;
    ctx.editor.drawGreenBox();
    searchAgain(ctx);
}

void freeCueRun(SearchContext& ctx) {
    PatternState& ps = ctx.editor.pattern;
    if (!beginRefinement(ctx, !ps.freedHead.empty(), " not possible ", " Free Length at End ")) {
        return;
    }
    const std::string& pat = ps.CurrentPattern;
    if (!pat.empty() && pat.back() == '*') {
        refuse(ctx, " Already on! ");
        return;
    }
    if (pat.empty() || pat.back() != '?' || pat.size() < 3 || pat[pat.size() - 2] != '?') {
        refuse(ctx, " Wrong request! ");
        return;
    }
    // g: 1-based position of the last fixed character, searching from the
    // length down to 2; 1 when there is none. The first cell always stays.
    std::size_t g = 1;
    for (std::size_t i = pat.size(); i >= 2; --i) {
        if (pat[i - 1] != '?') {
            g = i;
            break;
        }
    }
    ps.freedTail = pat.substr(g);
    ps.CurrentPattern = pat.substr(0, g) + "*";

    // Red box on the fixed part, then green on the freed run after it.
    Selection& sel = ctx.editor.selection;
    const Axis a = axisOf(ctx);
    sel.*a.size = static_cast<int16_t>(len16(ps.CurrentPattern) - 1);
    ctx.editor.rinfresca();
    ctx.editor.drawSelection();
    sel.*a.pos = static_cast<int16_t>(sel.*a.pos + sel.*a.size);
    sel.*a.size = len16(ps.freedTail);
    ctx.editor.drawGreenBox();
    searchAgain(ctx);
}

void trimHeadCell(SearchContext& ctx) {
    PatternState& ps = ctx.editor.pattern;
    if (!beginRefinement(ctx, !ps.freedTail.empty(), " Wrong request! ", " Trim head ")) {
        return;
    }
    if (ps.CurrentPattern.size() < 3) {
        refuse(ctx, " not possible ");
        return;
    }
    ps.testom = ps.CurrentPattern.substr(1);
    ps.SlotPattern = ps.testom;
    // A dropped "*" drops the whole freed run it stood for: the slot then
    // starts on the pattern's first fixed cell, where a placement writes the
    // first letter.
    int16_t dropped = 1;
    if (ps.CurrentPattern[0] == '*') {
        dropped = std::max<int16_t>(1, len16(ps.freedHead));
        ps.freedHead.clear();
    }
    ps.CurrentPattern.erase(0, 1);

    const Axis a = axisOf(ctx);
    ps.*a.first = static_cast<int16_t>(ps.*a.first + dropped);
    ctx.editor.rinfresca();
    selectSlot(ctx, a);
    ctx.editor.drawSelection();
    searchAgain(ctx);
}

void trimCueCell(SearchContext& ctx) {
    PatternState& ps = ctx.editor.pattern;
    if (!beginRefinement(ctx, !ps.freedHead.empty(), " not possible ", " Trim ends ")) {
        return;
    }
    if (ps.CurrentPattern.size() < 3) {
        refuse(ctx, " not possible ");
        return;
    }
    ps.testom = ps.CurrentPattern.substr(0, ps.CurrentPattern.size() - 1);
    ps.SlotPattern = ps.testom;
    if (ps.CurrentPattern.back() == '*') {
        ps.freedTail.clear();
    }
    ps.CurrentPattern.pop_back();

    // A trimmed free end drops the whole freed run: the slot's end follows
    // the pattern's length again.
    const bool endsFixed = ps.CurrentPattern.back() != '?';
    const Axis a = axisOf(ctx);
    if (endsFixed) {
        ps.*a.last = static_cast<int16_t>(ps.*a.first + len16(ps.CurrentPattern) - 1);
        ps.testom = ps.CurrentPattern;
    } else {
        --(ps.*a.last);
    }
    ctx.editor.rinfresca();
    selectSlot(ctx, a);
    ctx.editor.drawSelection();
    searchAgain(ctx);
}

void resetSearch(SearchContext& ctx) {
    ctx.flags.BusyCounter = 0;
    ctx.flags.abortRequest = 0;
    ctx.host.setPointers(Pointers::Default);
    ctx.host.showCount(" ");
    ctx.host.showRemark(" ");
    ctx.host.setHeadTailButtonsEnabled(false);
    ctx.host.clearList();
    ctx.host.setListHint("");
    ctx.host.showCountHint("");
}

} // namespace korvel
