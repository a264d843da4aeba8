// SPDX-License-Identifier: GPL-3.0-or-later
#include "searchcommands.h"

#include "anagrams.h"
#include "bytetext.h"
#include "desktop.h"
#include "enabledset.h"
#include "historyboxes.h"
#include "mainwindowui.h"
#include "placement.h"
#include "resultslist.h"
#include "statuspanels.h"
#include "windowsearchhost.h"

#include <QAction>
#include <QLineEdit>

namespace korvel {

SearchContext SearchCommands::context() {
    return {c_.store, c_.enabled, c_.editor, c_.flags, c_.host};
}

// ---------------------------------------------------------------- results list

void SearchCommands::Lists_Click() {
    if (c_.flags.busy())
        return;
    const std::string line = c_.ui.lists->currentLine();
    if (c_.ui.lists->currentRow() < 0)
        return;
    EditorState& e = c_.editor;
    int16_t row = e.CurrentRow();
    int16_t column = e.CurrentColumn();
    const ListClickResult r = c_.doc.edit([&](DocumentEdit& edit) {
        PlacementContext ctx{e.CurrentTool(), edit, e.selection, e.pattern, row, column};
        return edit.placement().Lists_Click(line, ctx);
    });
    e.setCurrentCell(row, column);
    if (!r.handled)
        return;
    c_.ui.stb1->setText(3, fromBytes(r.panel3));
    showHistoryBoxes(c_.desktop, c_.parent, r.anomaly, r.historyCleared);
    // A take-back without a new placement still changed the grid.
    if (r.placed || !r.panel3.empty())
        e.rinfresca();
    if (r.placed)
        e.drawSelection();
    if (r.hasTestText)
        c_.ui.textb->setText(fromBytes(r.testText));
    if (r.placed)
        c_.host.setHeadTailButtonsEnabled(false);
}

void SearchCommands::refine(void (*refinement)(SearchContext&)) {
    if (c_.flags.scanDepth > 0 && c_.flags.BusyCounter <= 0)
        return;
    SearchContext ctx = context();
    const ScanScope scope(c_.flags);
    refinement(ctx);
}

void SearchCommands::runAnagrams() {
    // The scan yields to the event loop; while it runs the other commands
    // stay out, so that nothing empties the list under it. It offers no
    // abort: a click on panel 2 meanwhile is forgotten at the end.
    SearchFlags& flags = c_.flags;
    const ScanScope scope(flags);
    flags.BusyCounter = 1;
    findAnagrams(toBytes(c_.ui.textb->text()), c_.store, c_.host, flags);
    flags.BusyCounter = 0;
    flags.abortRequest = 0;
    c_.ui.stb1->panel(2)->setBevel(StatusPanel::Bevel::Inset);
}

void SearchCommands::ResErr_Click() {
    SearchContext ctx = context();
    resetSearch(ctx);
    // A scan still running under this handler would go on filling the list
    // it has just emptied, and a search started meanwhile would run inside
    // it: it is asked to stop at its next line instead.
    if (c_.flags.scanDepth > 0)
        c_.flags.abortRequest = 1;
}

// ---------------------------------------------------------------- what the searches read

void SearchCommands::Estesa_click() {
    QAction* estesa = c_.ui.menuItem(QStringLiteral("Estesa"));
    if (!c_.flags.busy())
        estesa->setChecked(!estesa->isChecked());
    c_.flags.Estesa = estesa->isChecked();
    c_.ui.stb1->setPanelVisible(7, !c_.flags.Estesa);
    c_.ui.stb1->setPanelVisible(8, c_.flags.Estesa);
}

void SearchCommands::Accorcia_Click() {
    QAction* accorcia = c_.ui.menuItem(QStringLiteral("Accorcia"));
    if (!c_.flags.busy())
        accorcia->setChecked(!accorcia->isChecked());
    c_.flags.Accorcia = accorcia->isChecked();
}

void SearchCommands::dictionaryItemClick(int n) {
    if (c_.enabled.click(n) == EnabledSet::Click::Refused)
        c_.desktop.messageBox(c_.parent, fromBytes(EnabledSet::BaseRefusalTitle),
                              fromBytes(EnabledSet::BaseRefusalText), MsgIcon::None,
                              MsgButtons::Ok);
    // Also after a refusal: the item's check mark shows the set again.
    c_.ui.refreshDictionaries(c_.enabled);
    // The fill check follows the dictionaries as well as the grid.
    emit dictionariesChanged();
}

void SearchCommands::Stb1_PanelClick(int index) {
    switch (panelClickAction(index)) {
    case PanelClick::Abort:
        if (c_.flags.busy())
            c_.flags.abortRequest = 1;
        break;
    case PanelClick::ToggleExtended:
        Estesa_click();
        break;
    case PanelClick::Dictionary:
        dictionaryItemClick(index - 10);
        break;
    case PanelClick::None:
        break;
    }
}

} // namespace korvel
