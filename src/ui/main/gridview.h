// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editorstate.h"
#include "gridcanvas.h"
#include "griddocument.h"
#include "gridpainter.h"
#include "windowlayout.h"

#include <QCursor>
#include <QObject>

#include <vector>

class QWidget;

namespace korvel {

class Desktop;
class EnabledSet;
class WindowSearchHost;
struct DictionaryStore;
struct SearchFlags;

// What the grid view draws from and works on; all outlive it.
struct GridViewContext {
    GridDocument& doc;
    EditorState& editor;
    const DictionaryStore& store;
    const EnabledSet& enabled;
    SearchFlags& flags;
    // Where the clicks' searches write their panels, list and labels.
    WindowSearchHost& host;
    Desktop& desktop;
    QWidget* parent; // of the message boxes
    const CellMetrics& metrics;
    GridCanvas& canvas;
};

// The grid as the user sees it and works on it. It draws the picture on the
// canvas (Peri) from the document and the editor state: the document drawn
// whole, then every mark drawn since, and, told what changed, has the canvas
// draw anew only the cells a document notice names and the marks that came
// and went. It also takes the grid's pointer and keys (the cursor, the drag,
// the write cursor) and its click, which acts by the current tool through the
// core; the outcome shows through the editor state, the document's notices
// and the search host.
class GridView : public QObject,
                 private DocumentObserver,
                 private EditorObserver,
                 private PictureSource {
    Q_OBJECT
public:
    explicit GridView(GridViewContext context);
    ~GridView() override;

    // --- the grid's pointer, keys and click. X and Y are in cells; shift is
    // the classic modifier state (1 Shift, 2 Ctrl, 4 Alt).
    void Peri_MouseDown(Qt::MouseButton button, int shift, double X, double Y);
    void Peri_MouseMove(Qt::MouseButtons buttons, int shift, double X, double Y);
    void Peri_MouseUp(Qt::MouseButton button, int shift, double X, double Y);
    void Peri_KeyDown(int keyCode, int shift);
    void Peri_Click();
    // Undo ("a7") or Redo ("a8"): the restored cells boxed one after the
    // other, the last staying current, or a bulk change's region. True
    // after the anomaly box.
    bool undoRedo(Tool tool);

    // The pointer the grid shows for the current tool (ImageA).
    void setToolPointer(const QCursor& pointer) { toolPointer_ = pointer; }
    // Scrolls the grid so that the cell is in view.
    void showCell(int row, int column) { c_.canvas.showCell(row, column); }

signals:
    // The right button went down on the grid: the window switches to the
    // other tool of the pressed pair, as the toolbar would.
    void pairSwitchRequested();

private:
    void documentChanged(const GridDocument& document, const DocumentChange& change) override;
    void editorChanged(const EditorState& editor, const EditorChange& change) override;
    void drawPicture(const QRect& area) override;
    bool needsWhole() const override;

    void invalidateCell(int r, int c);
    void invalidateMark(const GridMark& mark);
    bool busy() const;
    bool gridBusyPointer() const;
    void hover(double X, double Y);

    GridViewContext c_;
    GridPainter painter_;
    QCursor toolPointer_;
    // The numbers the picture shows, to find the cells whose number a black
    // cell changed; and the scale and letters it was drawn whole with.
    std::vector<int> shownNumbers_;
    CellMetrics drawnMetrics_;
    QSize drawnSize_;
};

} // namespace korvel
