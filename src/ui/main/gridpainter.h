// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editorstate.h"
#include "gridcanvas.h"
#include "gridmodel.h"
#include "promptstate.h"
#include "slots.h"
#include "windowlayout.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <vector>

namespace korvel {

// Draws a grid model on the grid picture: the lines, the letters, the black
// cells, the clue numbers and the marks over them (boxes, drag outlines,
// numbers printed again). It reads the model and the cell metrics and keeps
// no state of the grid. Each drawing takes the cells to draw (all of them by
// default); drawn in the same order over fewer cells, with the canvas
// clipping to an area those cells cover, the area gets the same pixels as the
// whole picture drawn.
class GridPainter {
public:
    using Cells = GridCanvas::CellSpan;

    explicit GridPainter(GridCanvas& canvas) : canvas_(canvas) {}

    // Clears the area, then lines, letters and black cells; the numbers are
    // drawn apart.
    void paintCells(const GridModel& grid, const CellMetrics& m) { paintCells(grid, m, all(grid)); }
    void paintCells(const GridModel& grid, const CellMetrics& m, const Cells& cells);
    // A circle inside each circled cell (index r * ColumnCount + c); nothing
    // for a grid without circles.
    void paintCircles(const GridModel& grid, const std::vector<int>& circles, const Cells& cells);
    // The clue numbers in red, or in white over red ones when hidden.
    void paintNumbers(const GridModel& grid, const Slots& gridSlots, const CellMetrics& m,
                      bool shown) {
        paintNumbers(grid, gridSlots, m, shown, all(grid));
    }
    void paintNumbers(const GridModel& grid, const Slots& gridSlots, const CellMetrics& m,
                      bool shown, const Cells& cells);
    // A box just inside the selection's cells.
    void drawSelectionBox(const Selection& s, const QColor& colour);
    // One mark drawn over the picture; a Numbers mark prints the numbers of
    // cells.
    void drawMark(const GridMark& mark, const GridModel& grid, const Slots& gridSlots,
                  const CellMetrics& m, const Cells& cells);

    // The pixels a mark touches; the whole picture for the numbers.
    QRect markArea(const GridMark& mark) const;
    // The pixels cell (r, c) and the letter printed in it touch.
    QRect cellArea(int r, int c, const CellMetrics& m) const;

    static Cells all(const GridModel& grid) {
        return {0, grid.RowCount - 1, 0, grid.ColumnCount - 1};
    }
    static QColor colourOf(MarkColour colour);

    static inline const QColor Black{0, 0, 0};
    static inline const QColor White{255, 255, 255};
    static inline const QColor Red{255, 0, 0};
    static inline const QColor Green{0, 255, 0};
    static inline const QColor Blue{0, 0, 255};
    static inline const QColor Grey{128, 128, 128};

private:
    QRect boxArea(double x, double y, double w, double h) const;

    GridCanvas& canvas_;
    // The number text of the cell being drawn.
    QString cnm_;
};

} // namespace korvel
