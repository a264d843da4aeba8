// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's work in the grid: pointer and key events on Peri, the
// grid click for every tool, the results list's click, the head and tail
// buttons and the anagram tool. The rules live in src/model and src/search;
// here they meet the widgets.

#include "mainwindow.h"

#include "anagrams.h"
#include "bytetext.h"
#include "cluecommands.h"
#include "crossprompt.h"
#include "desktop.h"
#include "fillcommands.h"
#include "gridcanvas.h"
#include "gridpainter.h"
#include "mainwindowui.h"
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

void MainWindow::showHistoryButtons() {
    ui_->tools->showHistory(doc_.history().undoEnabled(), doc_.history().redoEnabled());
}

void MainWindow::showEdit(const EditShown& shown) {
    if (shown.anomaly)
        desktop_.messageBox(this, fromBytes(HistoryAnomalyTitle), fromBytes(HistoryAnomalyText),
                            MsgIcon::None, MsgButtons::Ok);
    if (shown.historyCleared)
        showHistoryCleared();
    if (shown.repaint || gridDirty_)
        rinfresca();
    for (const Selection& box : shown.boxes) {
        selection_ = box;
        drawSelection();
    }
    if (shown.historyButtons)
        showHistoryButtons();
}

void MainWindow::showHistoryCleared() {
    desktop_.messageBox(this, fromBytes(HistoryClearedTitle), fromBytes(HistoryClearedText),
                        MsgIcon::None, MsgButtons::Ok);
}

bool MainWindow::gridBusyPointer() const {
    return ui_->peri->cursor().shape() == Qt::WaitCursor;
}

// ---------------------------------------------------------------- pointer

void MainWindow::hover(double X, double Y) {
    currentColumn_ = hoverIndex(X, doc_.grid().ColumnCount);
    currentRow_ = hoverIndex(Y, doc_.grid().RowCount);
    if (isWriteTool(currentTool_)) {
        rinfresca();
        selectCell(currentRow_, currentColumn_);
        drawSelection();
    }
    if (!gridBusyPointer()) {
        ui_->peri->setCursor(imageA_);
        ui_->lists->setCursor(defaultPointer());
    }
}

void MainWindow::Peri_MouseDown(Qt::MouseButton button, int, double X, double Y) {
    if (busy() || doc_.grid().isEmpty())
        return;
    if (button == Qt::RightButton) {
        // Switches between the two tools of a pair, as the toolbar would. The
        // pressed button decides: a new grid leaves the tool but no button
        // pressed, and then the click does nothing.
        if (const std::optional<Tool> pressed = ui_->tools->pressedTool())
            if (const std::optional<Tool> other = pairedTool(*pressed))
                selectTool(QString::fromStdString(toolKey(*other)));
        return;
    }
    if (isPromptTool(currentTool_)) {
        drag_.x1 = wholePart(X);
        drag_.y1 = wholePart(Y);
        fatrac_ = true;
    } else {
        // A press without a move before it still acts on the cell under it.
        hover(X, Y);
    }
}

void MainWindow::Peri_MouseMove(Qt::MouseButtons, int, double X, double Y) {
    if (busy() || doc_.grid().isEmpty())
        return;
    if (fatrac_ && isPromptTool(currentTool_)) {
        ui_->peri->setCursor(defaultPointer());
        if (!dragMove(doc_.grid(), currentTool_, X, Y, drag_)) {
            // Outside the grid the drag stops following the pointer.
            rinfresca();
            fatrac_ = false;
            return;
        }
        ui_->peri->drawBox(drawnDrag_.x1 + 0.05, drawnDrag_.y1 + 0.05,
                           drawnDrag_.x2 - drawnDrag_.x1 + 0.9, drawnDrag_.y2 - drawnDrag_.y1 + 0.9,
                           GridPainter::White);
        ui_->peri->drawBox(drag_.x1 + 0.05, drag_.y1 + 0.05, drag_.x2 - drag_.x1 + 0.9,
                           drag_.y2 - drag_.y1 + 0.9, GridPainter::Blue);
        drawnDrag_ = drag_;
        return;
    }
    hover(X, Y);
}

void MainWindow::Peri_MouseUp(Qt::MouseButton button, int, double X, double Y) {
    if (button == Qt::RightButton)
        return;
    fatrac_ = false;
    if (!isPromptTool(currentTool_) || doc_.grid().isEmpty())
        return;
    ui_->peri->setCursor(imageA_);
    dragRelease(doc_.grid(), currentTool_, X, Y, drag_, currentRow_, currentColumn_);
}

// ---------------------------------------------------------------- keys

void MainWindow::Peri_KeyDown(int keyCode, int shift) {
    if (busy() || doc_.grid().isEmpty())
        return;
    const KeyResult k = doc_.edit([&](DocumentEdit& e) {
        return gridKeyDown(e, currentTool_, currentRow_, currentColumn_, keyCode, shift, incr_,
                           incc_);
    });
    vocali_ = k.vocali;
    if (!isWriteTool(currentTool_))
        return;
    incr_ = k.incr;
    incc_ = k.incc;
    if (k.wrote) {
        host_->clearList();
        host_->setListHint("");
        ui_->stb1->setText(2, fromBytes(k.panel2));
        ui_->stb1->setText(3, QStringLiteral(" "));
        ui_->stb1->setText(4, fromBytes(k.panel4));
        ui_->stb1->setHint(2, QString());
    }
    for (int i = 0; i < k.beeps; ++i)
        desktop_.beep();
    if (k.moved) {
        currentRow_ = k.row;
        currentColumn_ = k.column;
    }
    // A written key moves the cursor too: one repaint shows both.
    if (k.wrote || k.moved || k.historyCleared) {
        EditShown shown;
        shown.historyCleared = k.historyCleared;
        shown.historyButtons = k.wrote;
        shown.boxes = {Selection{currentColumn_, currentRow_, 1, 1}};
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
        ui_->stb1->setText(i, QStringLiteral(" "));
    const DragInfo dragInfo =
        makeDragInfo(drag_.x1, drag_.y1, drag_.x2, drag_.y2, drawnDrag_.x2, drawnDrag_.y2);
    host_->clearList();
    host_->setListHint("");
    ui_->stb1->setHint(2, QString());
    pattern_.freedHead.clear();
    pattern_.freedTail.clear();
    // A current cell outside the grid ends the click here.
    if (!doc_.grid().contains(currentRow_, currentColumn_))
        return;
    doc_.edit([](DocumentEdit& e) { e.beginAction(); });
    carr_.assign(1, doc_.grid().cell(currentRow_, currentColumn_));
    ui_->stb1->setText(4, fromBytes(clickPositionText(currentRow_, currentColumn_)));
    doc_.clearPriclk();

    switch (currentTool_) {
    case Tool::BlackWhite:
    case Tool::ClearCell: {
        const CellEditResult r = doc_.edit([&](DocumentEdit& e) {
            return currentTool_ == Tool::BlackWhite
                       ? blackWhiteSymmetric(e, currentRow_, currentColumn_, fill_->symmetry())
                       : clearCell(e, currentRow_, currentColumn_);
        });
        ui_->stb1->setText(2, fromBytes(r.panel2));
        ui_->stb1->setText(3, fromBytes(r.panel3));
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
        const PromptSlot slot = currentTool_ == Tool::PromptAcross
                                    ? promptAcross(doc_.grid(), doc_.wordSlots(), currentRow_,
                                                   currentColumn_, dragInfo, pattern_, selection_)
                                    : promptDown(doc_.grid(), doc_.wordSlots(), currentRow_,
                                                 currentColumn_, dragInfo, pattern_, selection_);
        if (slot.refused)
            return;
        ui_->texta->setText(fromBytes(pattern_.CurrentPattern));
        host_->setHeadTailButtonsEnabled(true);
        rinfresca();
        drawSelection();
        ui_->textb->setText(QString());
        SearchContext ctx = searchContext();
        const ScanScope scope(scanDepth_);
        searchPattern(ctx);
        if (ui_->lists->count() > 0)
            host_->setListHint(currentTool_ == Tool::PromptAcross ? "Click for copying to ROW"
                                                                  : "Click for copying to COLUMN");
        break;
    }
    case Tool::WriteAcross:
    case Tool::WriteDown:
        selectCell(currentRow_, currentColumn_);
        rinfresca();
        drawSelection();
        clues_->gridClicked(currentRow_, currentColumn_, currentTool_);
        break;
    case Tool::PromptCross: {
        const CrossRequest req = makeCrossRequest(doc_.grid(), doc_.wordSlots(), currentRow_,
                                                  currentColumn_, vocali_ == 1);
        CrossContext ctx{store_, enabled_, pattern_, selection_, flags_, *host_};
        const ScanScope scope(scanDepth_);
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
    const std::string line = ui_->lists->currentLine();
    if (ui_->lists->currentRow() < 0)
        return;
    const ListClickResult r = doc_.edit([&](DocumentEdit& e) {
        PlacementContext ctx{currentTool_, e, selection_, pattern_, currentRow_, currentColumn_};
        return e.placement().Lists_Click(line, ctx);
    });
    if (!r.handled)
        return;
    ui_->stb1->setText(3, fromBytes(r.panel3));
    EditShown shown;
    shown.anomaly = r.anomaly;
    shown.historyCleared = r.historyCleared;
    // A take-back without a new placement still changed the grid.
    shown.repaint = r.placed || !r.panel3.empty();
    if (r.placed)
        shown.boxes = {selection_};
    showEdit(shown);
    if (r.hasTestText)
        ui_->textb->setText(fromBytes(r.testText));
    if (r.placed)
        host_->setHeadTailButtonsEnabled(false);
}

// ---------------------------------------------------------------- refinements

void MainWindow::refine(void (*refinement)(SearchContext&)) {
    if (scanDepth_ > 0 && flags_.BusyCounter <= 0)
        return;
    SearchContext ctx = searchContext();
    const ScanScope scope(scanDepth_);
    refinement(ctx);
}

// ---------------------------------------------------------------- anagrams

void MainWindow::runAnagrams() {
    // The scan yields to the event loop; while it runs the other commands
    // stay out, so that nothing empties the list under it. It offers no
    // abort: a click on panel 2 meanwhile is forgotten at the end.
    const ScanScope scope(scanDepth_);
    flags_.BusyCounter = 1;
    findAnagrams(toBytes(ui_->textb->text()), store_, *host_, flags_);
    flags_.BusyCounter = 0;
    flags_.abortRequest = 0;
    ui_->stb1->panel(2)->setBevel(StatusPanel::Bevel::Inset);
}

} // namespace korvel
