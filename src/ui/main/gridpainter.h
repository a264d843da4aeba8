// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gridmodel.h"
#include "promptstate.h"
#include "slots.h"
#include "windowlayout.h"

#include <QColor>
#include <QString>

#include <vector>

namespace korvel {

class GridCanvas;

// Draws a grid model on the grid picture: the lines, the letters, the black
// cells, the clue numbers and the boxes around selected cells. It reads the
// model and the cell metrics and keeps no state of the grid.
class GridPainter {
public:
    explicit GridPainter(GridCanvas& canvas) : canvas_(canvas) {}

    // Lines, letters and black cells; the numbers are drawn apart.
    void paintCells(const GridModel& grid, const CellMetrics& m);
    // A circle inside each circled cell (index r * ColumnCount + c); nothing
    // for a grid without circles.
    void paintCircles(const GridModel& grid, const std::vector<int>& circles);
    // The clue numbers in red, or in white over red ones when hidden.
    void paintNumbers(const GridModel& grid, const Slots& gridSlots, const CellMetrics& m,
                      bool shown);
    // A box just inside the selection's cells.
    void drawSelectionBox(const Selection& s, const QColor& colour);

    static inline const QColor Black{0, 0, 0};
    static inline const QColor White{255, 255, 255};
    static inline const QColor Red{255, 0, 0};
    static inline const QColor Green{0, 255, 0};
    static inline const QColor Blue{0, 0, 255};
    static inline const QColor Grey{128, 128, 128};

private:
    GridCanvas& canvas_;
    // The number text of the cell being drawn.
    QString cnm_;
};

} // namespace korvel
