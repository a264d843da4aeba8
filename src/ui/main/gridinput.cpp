// The main window's work in the grid: pointer and key events on Peri, the
// grid click for every tool, the results list's click, the head and tail
// buttons and the anagram tool. The rules live in src/model and src/search;
// here they meet the widgets.

#include "mainwindow.h"

#include "anagrams.h"
#include "bytetext.h"
#include "crossprompt.h"
#include "desktop.h"
#include "fillcommands.h"
#include "gridcanvas.h"
#include "gridpainter.h"
#include "patternsearch.h"
#include "promptslot.h"
#include "refinements.h"
#include "statuspanels.h"
#include "toolbuttons.h"
#include "toolpictures.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace korvel {

namespace {} // namespace

SearchContext MainWindow::searchContext() {
    return SearchContext{store_, enabled_, pattern, selection, flags_, *host_, currentTool_};
}

void MainWindow::showHistoryButtons() {
    tools_->showHistory(doc_.history().undoEnabled(), doc_.history().redoEnabled());
}

void MainWindow::showEdit(const EditShown& shown) {
    if (shown.anomaly)
        desktop_.messageBox(this, fromBytes(HistoryAnomalyTitle), fromBytes(HistoryAnomalyText),
                            MsgIcon::None, MsgButtons::Ok);
    if (shown.historyCleared)
        showHistoryCleared();
    if (shown.repaint)
        rinfresca();
    for (const Selection& box : shown.boxes) {
        selection = box;
        drawSelection();
    }
    if (shown.historyButtons)
        showHistoryButtons();
}

void MainWindow::showHistoryCleared() {
    desktop_.messageBox(this, fromBytes(HistoryClearedTitle), fromBytes(HistoryClearedText),
                        MsgIcon::None, MsgButtons::Ok);
}

void MainWindow::selectCell(int16_t row, int16_t column) {
    selection = Selection{column, row, 1, 1};
}

bool MainWindow::gridBusyPointer() const {
    return peri_->cursor().shape() == Qt::WaitCursor;
}

// ---------------------------------------------------------------- pointer

void MainWindow::hover(double X, double Y) {
    CurrentColumn = hoverIndex(X, doc_.grid().ColumnCount);
    CurrentRow = hoverIndex(Y, doc_.grid().RowCount);
    if (isWriteTool(currentTool_)) {
        rinfresca();
        selectCell(CurrentRow, CurrentColumn);
        drawSelection();
    }
    if (!gridBusyPointer()) {
        peri_->setCursor(imageA_);
        lists_->setCursor(defaultPointer());
    }
}

void MainWindow::Peri_MouseDown(Qt::MouseButton button, int, double X, double Y) {
    if (busy() || doc_.grid().isEmpty())
        return;
    if (button == Qt::RightButton) {
        // Switches between the two tools of a pair, as the toolbar would. The
        // pressed button decides: a new grid leaves the tool but no button
        // pressed, and then the click does nothing.
        if (const std::optional<Tool> pressed = tools_->pressedTool())
            if (const std::optional<Tool> other = pairedTool(*pressed))
                selectTool(QString::fromStdString(toolKey(*other)));
        return;
    }
    if (isPromptTool(currentTool_)) {
        drag.x1 = wholePart(X);
        drag.y1 = wholePart(Y);
        fatrac = true;
    } else {
        // A press without a move before it still acts on the cell under it.
        hover(X, Y);
    }
}

void MainWindow::Peri_MouseMove(Qt::MouseButtons, int, double X, double Y) {
    if (busy() || doc_.grid().isEmpty())
        return;
    if (fatrac && isPromptTool(currentTool_)) {
        peri_->setCursor(defaultPointer());
        if (!dragMove(doc_.grid(), currentTool_, X, Y, drag)) {
            // Outside the grid the drag stops following the pointer.
            rinfresca();
            fatrac = false;
            return;
        }
        peri_->drawBox(drawnDrag.x1 + 0.05, drawnDrag.y1 + 0.05, drawnDrag.x2 - drawnDrag.x1 + 0.9,
                       drawnDrag.y2 - drawnDrag.y1 + 0.9, GridPainter::White);
        peri_->drawBox(drag.x1 + 0.05, drag.y1 + 0.05, drag.x2 - drag.x1 + 0.9,
                       drag.y2 - drag.y1 + 0.9, GridPainter::Blue);
        drawnDrag = drag;
        return;
    }
    hover(X, Y);
}

void MainWindow::Peri_MouseUp(Qt::MouseButton button, int, double X, double Y) {
    if (button == Qt::RightButton)
        return;
    fatrac = false;
    if (!isPromptTool(currentTool_) || doc_.grid().isEmpty())
        return;
    peri_->setCursor(imageA_);
    dragRelease(doc_.grid(), currentTool_, X, Y, drag, CurrentRow, CurrentColumn);
}

// ---------------------------------------------------------------- keys

void MainWindow::Peri_KeyDown(int keyCode, int shift) {
    if (busy() || doc_.grid().isEmpty())
        return;
    const KeyResult k = gridKeyDown(doc_.grid(), doc_.history(), currentTool_, CurrentRow,
                                    CurrentColumn, keyCode, shift, incr, incc);
    vocali = k.vocali;
    if (!isWriteTool(currentTool_))
        return;
    incr = k.incr;
    incc = k.incc;
    if (k.wrote) {
        host_->clearList();
        host_->setListHint("");
        stb1_->setText(2, fromBytes(k.panel2));
        stb1_->setText(3, QStringLiteral(" "));
        stb1_->setText(4, fromBytes(k.panel4));
        stb1_->setHint(2, QString());
    }
    for (int i = 0; i < k.beeps; ++i)
        desktop_.beep();
    if (k.moved) {
        CurrentRow = k.row;
        CurrentColumn = k.column;
    }
    // A written key moves the cursor too: one repaint shows both.
    if (k.wrote || k.moved || k.historyCleared) {
        EditShown shown;
        shown.historyCleared = k.historyCleared;
        shown.historyButtons = k.wrote;
        shown.boxes = {Selection{CurrentColumn, CurrentRow, 1, 1}};
        showEdit(shown);
    }
    if (k.moved)
        showCursorCell();
}

// ---------------------------------------------------------------- click

void MainWindow::Peri_Click() {
    if (busy() || doc_.grid().isEmpty())
        return;
    for (int i : {2, 3, 4})
        stb1_->setText(i, QStringLiteral(" "));
    const DragInfo dragInfo =
        makeDragInfo(drag.x1, drag.y1, drag.x2, drag.y2, drawnDrag.x2, drawnDrag.y2);
    host_->clearList();
    host_->setListHint("");
    stb1_->setHint(2, QString());
    pattern.freedHead.clear();
    pattern.freedTail.clear();
    // A current cell outside the grid ends the click here.
    if (!doc_.grid().contains(CurrentRow, CurrentColumn))
        return;
    doc_.history().beginAction();
    carr.assign(1, doc_.grid().cell(CurrentRow, CurrentColumn));
    stb1_->setText(4, fromBytes(clickPositionText(CurrentRow, CurrentColumn)));
    doc_.clearPriclk();

    switch (currentTool_) {
    case Tool::BlackWhite:
    case Tool::ClearCell: {
        const CellEditResult r =
            currentTool_ == Tool::BlackWhite
                ? blackWhiteSymmetric(doc_.grid(), doc_.history(), CurrentRow, CurrentColumn,
                                      fill_->symmetry())
                : clearCell(doc_.grid(), doc_.history(), CurrentRow, CurrentColumn);
        stb1_->setText(2, fromBytes(r.panel2));
        stb1_->setText(3, fromBytes(r.panel3));
        EditShown shown;
        shown.historyCleared = r.historyCleared;
        shown.boxes = {r.selection};
        showEdit(shown);
        if (r.beep)
            desktop_.beep();
        break;
    }
    case Tool::PromptAcross:
    case Tool::PromptDown: {
        host_->setListHint("");
        const PromptSlot slot =
            currentTool_ == Tool::PromptAcross
                ? promptAcross(doc_.grid(), CurrentRow, CurrentColumn, dragInfo, pattern, selection)
                : promptDown(doc_.grid(), CurrentRow, CurrentColumn, dragInfo, pattern, selection);
        if (slot.refused)
            return;
        texta_->setText(fromBytes(pattern.CurrentPattern));
        host_->setHeadTailButtonsEnabled(true);
        rinfresca();
        drawSelection();
        textb_->setText(QString());
        SearchContext ctx = searchContext();
        const ScanScope scan(scanDepth_);
        searchPattern(ctx);
        if (lists_->count() > 0)
            host_->setListHint(currentTool_ == Tool::PromptAcross ? "Click for copying to ROW"
                                                                  : "Click for copying to COLUMN");
        break;
    }
    case Tool::WriteAcross:
    case Tool::WriteDown:
        selectCell(CurrentRow, CurrentColumn);
        rinfresca();
        drawSelection();
        break;
    case Tool::PromptCross: {
        const CrossRequest req =
            makeCrossRequest(doc_.grid(), CurrentRow, CurrentColumn, vocali == 1);
        CrossContext ctx{store_, enabled_, pattern, selection, flags_, *host_};
        const ScanScope scan(scanDepth_);
        crossPromptClick(req, ctx);
        break;
    }
    default:
        break;
    }
}

// ---------------------------------------------------------------- results list

void MainWindow::Lists_Click() {
    if (busy())
        return;
    const std::string line = lists_->currentLine();
    if (lists_->currentRow() < 0)
        return;
    PlacementContext ctx{currentTool_, doc_.grid(), doc_.history(), selection,
                         pattern,      CurrentRow,  CurrentColumn};
    const ListClickResult r = doc_.placement().Lists_Click(line, ctx);
    if (!r.handled)
        return;
    stb1_->setText(3, fromBytes(r.panel3));
    EditShown shown;
    shown.anomaly = r.anomaly;
    shown.historyCleared = r.historyCleared;
    // A take-back without a new placement still changed the grid.
    shown.repaint = r.placed || !r.panel3.empty();
    if (r.placed)
        shown.boxes = {selection};
    showEdit(shown);
    if (r.hasTestText)
        textb_->setText(fromBytes(r.testText));
    if (r.placed)
        host_->setHeadTailButtonsEnabled(false);
}

// ---------------------------------------------------------------- refinements

void MainWindow::Command1_Click() {
    if (scanDepth_ > 0 && flags_.BusyCounter <= 0)
        return;
    SearchContext ctx = searchContext();
    const ScanScope scan(scanDepth_);
    freeHeadRun(ctx);
}

void MainWindow::Command2_Click() {
    if (scanDepth_ > 0 && flags_.BusyCounter <= 0)
        return;
    SearchContext ctx = searchContext();
    const ScanScope scan(scanDepth_);
    trimHeadCell(ctx);
}

void MainWindow::Command3_Click() {
    if (scanDepth_ > 0 && flags_.BusyCounter <= 0)
        return;
    SearchContext ctx = searchContext();
    const ScanScope scan(scanDepth_);
    trimCueCell(ctx);
}

void MainWindow::Command4_Click() {
    if (scanDepth_ > 0 && flags_.BusyCounter <= 0)
        return;
    SearchContext ctx = searchContext();
    const ScanScope scan(scanDepth_);
    freeCueRun(ctx);
}

// ---------------------------------------------------------------- anagrams

void MainWindow::runAnagrams() {
    // The scan yields to the event loop; while it runs the other commands
    // stay out, so that nothing empties the list under it. It offers no
    // abort: a click on panel 2 meanwhile is forgotten at the end.
    const ScanScope scan(scanDepth_);
    flags_.BusyCounter = 1;
    findAnagrams(toBytes(textb_->text()), store_, *host_, flags_);
    flags_.BusyCounter = 0;
    flags_.abortRequest = 0;
    stb1_->panel(2)->setBevel(StatusPanel::Bevel::Inset);
}

} // namespace korvel
