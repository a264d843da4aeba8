#include "refinements.h"

#include "patternsearch.h"

namespace korvel {

namespace {

bool isAcross(const SearchContext& ctx) { return ctx.CurrentTool != 2; }

void refuse(SearchContext& ctx, std::string_view message) {
    ctx.host.setPanelText(3, message);
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
    ctx.host.setPanelText(2, title);
    ctx.host.setPanelText(3, " ");
    return true;
}

void searchAgain(SearchContext& ctx) {
    ctx.host.setPatternLabel(ctx.pattern.CurrentPattern);
    ctx.host.setTestText("");
    searchPattern(ctx);
}

int16_t len16(const std::string& s) { return static_cast<int16_t>(s.size()); }

} // namespace

void Command1_Click(SearchContext& ctx) {
    PatternState& ps = ctx.pattern;
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

    Selection& sel = ctx.selection;
    const int16_t freed = len16(ps.freedHead);
    if (isAcross(ctx)) {
        const int16_t remembered = sel.cx;
        sel.cx = static_cast<int16_t>(sel.cx + freed);
        sel.LAX = static_cast<int16_t>(len16(ps.CurrentPattern) - 1);
        ctx.host.repaint();
        ctx.host.drawSelection();
        sel.cx = remembered;
        sel.LAX = freed;
    } else {
        const int16_t remembered = sel.cy;
        sel.cy = static_cast<int16_t>(sel.cy + freed);
        sel.LAY = static_cast<int16_t>(len16(ps.CurrentPattern) - 1);
        ctx.host.repaint();
        ctx.host.drawSelection();
        sel.cy = remembered;
        sel.LAY = freed;
    }
    ctx.host.drawGreenBox();
    searchAgain(ctx);
}

void Command4_Click(SearchContext& ctx) {
    PatternState& ps = ctx.pattern;
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

    Selection& sel = ctx.selection;
    const int16_t freed = len16(ps.freedTail);
    if (isAcross(ctx)) {
        sel.LAX = static_cast<int16_t>(len16(ps.CurrentPattern) - 1);
        ctx.host.repaint();
        ctx.host.drawSelection();
        sel.cx = static_cast<int16_t>(sel.cx + sel.LAX);
        sel.LAX = freed;
    } else {
        sel.LAY = static_cast<int16_t>(len16(ps.CurrentPattern) - 1);
        ctx.host.repaint();
        ctx.host.drawSelection();
        sel.cy = static_cast<int16_t>(sel.cy + sel.LAY);
        sel.LAY = freed;
    }
    ctx.host.drawGreenBox();
    searchAgain(ctx);
}

void Command2_Click(SearchContext& ctx) {
    PatternState& ps = ctx.pattern;
    if (!beginRefinement(ctx, !ps.freedTail.empty(), " Wrong request! ", " Trim head ")) {
        return;
    }
    if (ps.CurrentPattern.size() < 3) {
        refuse(ctx, " not possible ");
        return;
    }
    ps.testom = ps.CurrentPattern.substr(1);
    ps.SlotPattern = ps.testom;
    if (ps.CurrentPattern[0] == '*') {
        ps.freedHead.clear();
    }
    ps.CurrentPattern.erase(0, 1);

    Selection& sel = ctx.selection;
    if (isAcross(ctx)) {
        ++ps.SlotFirstColumn;
        ctx.host.repaint();
        sel.cx = ps.SlotFirstColumn;
        sel.LAX = static_cast<int16_t>(ps.SlotLastColumn - ps.SlotFirstColumn + 1);
        sel.LAY = 1;
    } else {
        ++ps.SlotFirstRow;
        ctx.host.repaint();
        sel.cy = ps.SlotFirstRow;
        sel.LAX = 1;
        sel.LAY = static_cast<int16_t>(ps.SlotLastRow - ps.SlotFirstRow + 1);
    }
    ctx.host.drawSelection();
    searchAgain(ctx);
}

void Command3_Click(SearchContext& ctx) {
    PatternState& ps = ctx.pattern;
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
    const int16_t len = len16(ps.CurrentPattern);
    Selection& sel = ctx.selection;
    if (isAcross(ctx)) {
        if (endsFixed) {
            ps.SlotLastColumn = static_cast<int16_t>(ps.SlotFirstColumn + len - 1);
            ps.testom = ps.CurrentPattern;
        } else {
            --ps.SlotLastColumn;
        }
        ctx.host.repaint();
        sel.cx = ps.SlotFirstColumn;
        sel.LAX = static_cast<int16_t>(ps.SlotLastColumn - ps.SlotFirstColumn + 1);
        sel.LAY = 1;
    } else {
        if (endsFixed) {
            ps.SlotLastRow = static_cast<int16_t>(ps.SlotFirstRow + len - 1);
            ps.testom = ps.CurrentPattern;
        } else {
            --ps.SlotLastRow;
        }
        ctx.host.repaint();
        sel.cy = ps.SlotFirstRow;
        sel.LAX = 1;
        sel.LAY = static_cast<int16_t>(ps.SlotLastRow - ps.SlotFirstRow + 1);
    }
    ctx.host.drawSelection();
    searchAgain(ctx);
}

void ResErr_Click(SearchContext& ctx) {
    ctx.flags.BusyCounter = 0;
    ctx.flags.abortRequest = 0;
    ctx.host.setPointers(Pointers::Default);
    ctx.host.setPanelText(2, " ");
    ctx.host.setPanelText(3, " ");
    ctx.host.setHeadTailButtonsEnabled(false);
    ctx.host.clearList();
    ctx.host.setListHint("");
    ctx.host.setPanelHint(2, "");
}

} // namespace korvel
