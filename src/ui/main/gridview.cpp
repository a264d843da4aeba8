// SPDX-License-Identifier: GPL-3.0-or-later
// The grid view: the picture drawn from the document and the editor state,
// and the grid's pointer, keys and click. The rules live in src/model and
// src/search; here they meet the widgets.
#include "gridview.h"

#include "bytetext.h"
#include "crossprompt.h"
#include "desktop.h"
#include "gridedit.h"
#include "historyboxes.h"
#include "keycodes.h"
#include "patternsearch.h"
#include "promptslot.h"
#include "symmetry.h"
#include "toolpictures.h"
#include "windowsearchhost.h"

#include <QKeyEvent>

#include <algorithm>

namespace korvel {

GridView::GridView(GridViewContext context) : c_(context), painter_(c_.canvas) {
    c_.canvas.setSource(this);
    c_.doc.addObserver(this);
    c_.editor.addObserver(this);
    GridCanvas* peri = &c_.canvas;
    connect(peri, &GridCanvas::mousePressed, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPointF at) {
                Peri_MouseDown(b, classicShift(m), at.x(), at.y());
            });
    connect(peri, &GridCanvas::mouseMoved, this,
            [this](Qt::MouseButtons b, Qt::KeyboardModifiers m, QPointF at) {
                Peri_MouseMove(b, classicShift(m), at.x(), at.y());
            });
    connect(peri, &GridCanvas::mouseReleased, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPointF at) {
                Peri_MouseUp(b, classicShift(m), at.x(), at.y());
            });
    connect(peri, &GridCanvas::clicked, this, [this] { Peri_Click(); });
    connect(peri, &GridCanvas::keyPressed, this, [this](QKeyEvent* key) {
        // A modifier key going down counts as held, whatever the platform
        // reports for the moment of the press.
        int shift = classicShift(key->modifiers());
        if (key->key() == Qt::Key_Shift)
            shift |= ShiftKey;
        else if (key->key() == Qt::Key_Control)
            shift |= CtrlKey;
        else if (key->key() == Qt::Key_Alt)
            shift |= AltKey;
        Peri_KeyDown(classicKeyCode(key->key(), key->modifiers()), shift);
    });
}

GridView::~GridView() {
    c_.editor.removeObserver(this);
    c_.doc.removeObserver(this);
    c_.canvas.setSource(nullptr);
}

bool GridView::busy() const {
    return c_.flags.busy();
}

// ---------------------------------------------------------------- the picture

void GridView::drawPicture(const QRect& area) {
    const GridModel& grid = c_.doc.grid();
    if (grid.isEmpty()) {
        c_.canvas.cls();
        return;
    }
    const QRect whole(QPoint(0, 0), c_.canvas.size());
    GridPainter::Cells cells = GridPainter::all(grid);
    if (area != whole) {
        // The cells of the area and their neighbours, whose letters, black
        // squares and numbers may reach into it.
        cells = c_.canvas.cellsIn(area);
        cells.r0 = std::max(0, cells.r0 - 1);
        cells.r1 = std::min(grid.RowCount - 1, cells.r1 + 1);
        cells.c0 = std::max(0, cells.c0 - 2);
        cells.c1 = std::min(grid.ColumnCount - 1, cells.c1 + 1);
    } else {
        drawnMetrics_ = c_.metrics;
        drawnSize_ = c_.canvas.size();
    }
    const Slots& wordSlots = c_.doc.wordSlots();
    shownNumbers_ = wordSlots.numbers();
    painter_.paintCells(grid, c_.metrics, cells);
    painter_.paintCircles(grid, c_.doc.circles(), cells);
    painter_.paintNumbers(grid, wordSlots, c_.metrics, c_.editor.pictureNumbersShown(), cells);
    for (const GridMark& mark : c_.editor.marks())
        if (mark.kind == GridMark::Kind::Numbers || painter_.markArea(mark).intersects(area))
            painter_.drawMark(mark, grid, wordSlots, c_.metrics, cells);
}

bool GridView::needsWhole() const {
    return !(drawnMetrics_ == c_.metrics) || drawnSize_ != c_.canvas.size();
}

void GridView::invalidateCell(int r, int c) {
    c_.canvas.invalidate(painter_.cellArea(r, c, c_.metrics));
}

void GridView::invalidateMark(const GridMark& mark) {
    if (mark.kind == GridMark::Kind::Numbers)
        c_.canvas.invalidateAll();
    else
        c_.canvas.invalidate(painter_.markArea(mark));
}

void GridView::documentChanged(const GridDocument& doc, const DocumentChange& change) {
    const GridModel& grid = doc.grid();
    if (change.reset || grid.isEmpty()) {
        c_.canvas.invalidateAll();
        return;
    }
    const int columns = grid.ColumnCount;
    for (const int cell : change.cells)
        invalidateCell(cell / columns, cell % columns);
    if (change.blacks) {
        // A black cell numbers the words after it anew.
        const std::vector<int>& numbers = doc.wordSlots().numbers();
        for (std::size_t i = 0; i < numbers.size(); ++i)
            if (i >= shownNumbers_.size() || numbers[i] != shownNumbers_[i])
                invalidateCell(static_cast<int>(i) / columns, static_cast<int>(i) % columns);
    }
}

void GridView::editorChanged(const EditorState& editor, const EditorChange& change) {
    for (const GridMark& mark : change.dropped)
        invalidateMark(mark);
    const std::vector<GridMark>& marks = editor.marks();
    for (std::size_t i = marks.size() - std::min(change.added, marks.size()); i < marks.size(); ++i)
        invalidateMark(marks[i]);
}

// ---------------------------------------------------------------- pointer

bool GridView::gridBusyPointer() const {
    return c_.canvas.cursor().shape() == Qt::WaitCursor;
}

void GridView::hover(double X, double Y) {
    EditorState& e = c_.editor;
    const GridModel& grid = c_.doc.grid();
    e.setCurrentCell(hoverIndex(Y, grid.RowCount), hoverIndex(X, grid.ColumnCount));
    if (isWriteTool(e.CurrentTool())) {
        e.rinfresca();
        e.selectCell(e.CurrentRow(), e.CurrentColumn());
        e.drawSelection();
    }
    if (!gridBusyPointer())
        c_.host.setPointers(Pointers::ToolGrid);
}

void GridView::Peri_MouseDown(Qt::MouseButton button, int, double X, double Y) {
    if (busy() || c_.doc.grid().isEmpty())
        return;
    if (button == Qt::RightButton) {
        emit pairSwitchRequested();
        return;
    }
    EditorState& e = c_.editor;
    if (isPromptTool(e.CurrentTool())) {
        e.drag.x1 = wholePart(X);
        e.drag.y1 = wholePart(Y);
        e.fatrac = true;
    } else {
        // A press without a move before it still acts on the cell under it.
        hover(X, Y);
    }
}

void GridView::Peri_MouseMove(Qt::MouseButtons, int, double X, double Y) {
    if (busy() || c_.doc.grid().isEmpty())
        return;
    EditorState& e = c_.editor;
    if (e.fatrac && isPromptTool(e.CurrentTool())) {
        c_.canvas.setCursor(defaultPointer());
        if (!dragMove(c_.doc.grid(), e.CurrentTool(), X, Y, e.drag)) {
            // Outside the grid the drag stops following the pointer.
            e.rinfresca();
            e.fatrac = false;
            return;
        }
        e.drawDrag();
        return;
    }
    hover(X, Y);
}

void GridView::Peri_MouseUp(Qt::MouseButton button, int, double X, double Y) {
    if (button == Qt::RightButton)
        return;
    EditorState& e = c_.editor;
    e.fatrac = false;
    if (!isPromptTool(e.CurrentTool()) || c_.doc.grid().isEmpty())
        return;
    c_.canvas.setCursor(toolPointer_);
    int16_t row = 0;
    int16_t column = 0;
    dragRelease(c_.doc.grid(), e.CurrentTool(), X, Y, e.drag, row, column);
    e.setCurrentCell(row, column);
}

// ---------------------------------------------------------------- keys

void GridView::Peri_KeyDown(int keyCode, int shift) {
    if (busy() || c_.doc.grid().isEmpty())
        return;
    EditorState& e = c_.editor;
    const Tool tool = e.CurrentTool();
    // Any key returns the cross prompt to the full test; Ctrl alone chooses
    // the vowels.
    e.vocali = (shift == CtrlKey && tool == Tool::PromptCross) ? 1 : 0;
    if (!isWriteTool(tool))
        return;
    const KeyResult k = c_.doc.edit([&](DocumentEdit& edit) {
        return gridKeyDown(edit, tool, e.CurrentRow(), e.CurrentColumn(), keyCode, shift, e.incr,
                           e.incc);
    });
    e.incr = k.incr;
    e.incc = k.incc;
    if (k.wrote) {
        c_.host.clearList();
        c_.host.setListHint("");
        c_.host.setPanelText(2, k.panel2);
        c_.host.setPanelText(3, " ");
        c_.host.setPanelText(4, k.panel4);
        c_.host.setPanelHint(2, "");
    }
    for (int i = 0; i < k.beeps; ++i)
        c_.desktop.beep();
    if (k.moved)
        e.setCurrentCell(k.row, k.column, CursorCause::Key);
    // A written key moves the cursor too: one repaint shows both.
    if (k.wrote || k.moved || k.historyCleared) {
        showHistoryBoxes(c_.desktop, c_.parent, false, k.historyCleared);
        e.showBox(Selection{e.CurrentColumn(), e.CurrentRow(), 1, 1});
    }
    if (k.moved)
        showCell(e.CurrentRow(), e.CurrentColumn());
}

// ---------------------------------------------------------------- undo

bool GridView::undoRedo(Tool tool) {
    // A bulk change (a fill) is taken back or put back whole.
    EditorState& e = c_.editor;
    int16_t row = e.CurrentRow();
    int16_t column = e.CurrentColumn();
    const RestoreResult r = c_.doc.edit([&](DocumentEdit& edit) {
        const RestoreResult restored =
            tool == Tool::Undo ? edit.undo(row, column) : edit.redo(row, column);
        edit.clearPriclk();
        return restored;
    });
    e.setCurrentCell(row, column, CursorCause::Restore);
    if (!r.anomaly) {
        c_.host.setPanelText(2, r.statusText);
        c_.host.setPanelText(3, " ");
        c_.host.setPanelText(4, " ");
    }
    showHistoryBoxes(c_.desktop, c_.parent, r.anomaly, false);
    // The restored cells boxed one after the other; the last stays current.
    e.rinfresca();
    const RestoredCells& cells = c_.doc.history().restored();
    for (int16_t i = 0; i < cells.count; ++i) {
        e.selectCell(cells.rows[i], cells.columns[i]);
        e.drawSelection();
    }
    if (r.bulk && !r.anomaly && r.box.LAX > 0) {
        e.selection = r.box;
        e.drawSelection();
    }
    return r.anomaly;
}

// ---------------------------------------------------------------- click

void GridView::Peri_Click() {
    if (busy() || c_.doc.grid().isEmpty())
        return;
    WindowSearchHost& host = c_.host;
    EditorState& e = c_.editor;
    for (int i : {2, 3, 4})
        host.setPanelText(i, " ");
    const DragInfo dragInfo = makeDragInfo(e.drag.x1, e.drag.y1, e.drag.x2, e.drag.y2,
                                           e.drawnDrag().x2, e.drawnDrag().y2);
    host.clearList();
    host.setListHint("");
    host.setPanelHint(2, "");
    e.pattern.freedHead.clear();
    e.pattern.freedTail.clear();
    const int16_t row = e.CurrentRow();
    const int16_t column = e.CurrentColumn();
    // A current cell outside the grid ends the click here.
    const GridModel& grid = c_.doc.grid();
    if (!grid.contains(row, column))
        return;
    e.carr = grid.cell(row, column);
    host.showPosition(clickPositionText(row, column));
    const Tool tool = e.CurrentTool();
    // Every click begins an action and forgets the trial placement; Black/
    // White and Clear change the cell in the same edit.
    if (tool != Tool::BlackWhite && tool != Tool::ClearCell)
        c_.doc.edit([](DocumentEdit& edit) {
            edit.beginAction();
            edit.clearPriclk();
        });

    switch (tool) {
    case Tool::BlackWhite:
    case Tool::ClearCell: {
        const CellEditResult r = c_.doc.edit([&](DocumentEdit& edit) {
            edit.beginAction();
            edit.clearPriclk();
            return tool == Tool::BlackWhite ? blackWhiteSymmetric(edit, row, column, e.symmetry)
                                            : clearCell(edit, row, column);
        });
        host.setPanelText(2, r.panel2);
        host.setPanelText(3, r.panel3);
        showHistoryBoxes(c_.desktop, c_.parent, false, r.historyCleared);
        e.showBox(r.selection);
        if (r.beep)
            c_.desktop.beep();
        break;
    }
    case Tool::PromptAcross:
    case Tool::PromptDown: {
        host.setListHint("");
        const Slots& wordSlots = c_.doc.wordSlots();
        const PromptSlot slot =
            tool == Tool::PromptAcross
                ? promptAcross(grid, wordSlots, row, column, dragInfo, e.pattern, e.selection)
                : promptDown(grid, wordSlots, row, column, dragInfo, e.pattern, e.selection);
        if (slot.refused)
            return;
        host.setPatternLabel(e.pattern.CurrentPattern);
        host.setHeadTailButtonsEnabled(true);
        e.rinfresca();
        e.drawSelection();
        host.setTestText("");
        SearchContext ctx{c_.store, c_.enabled, e, c_.flags, host};
        const ScanScope scope(c_.flags);
        searchPattern(ctx);
        if (host.listCount() > 0)
            host.setListHint(tool == Tool::PromptAcross ? "Click for copying to ROW"
                                                        : "Click for copying to COLUMN");
        break;
    }
    case Tool::WriteAcross:
    case Tool::WriteDown:
        e.selectCell(row, column);
        e.rinfresca();
        e.drawSelection();
        // The clue panel follows the cell a click chooses.
        e.setCurrentCell(row, column, CursorCause::Click);
        break;
    case Tool::PromptCross: {
        const CrossRequest req =
            makeCrossRequest(grid, c_.doc.wordSlots(), row, column, e.vocali == 1);
        CrossContext ctx{c_.store, c_.enabled, e, c_.flags, host};
        const ScanScope scope(c_.flags);
        crossPromptClick(req, ctx);
        break;
    }
    default:
        break;
    }
}

} // namespace korvel
