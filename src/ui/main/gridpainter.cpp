// SPDX-License-Identifier: GPL-3.0-or-later
#include "gridpainter.h"

#include "bytetext.h"
#include "gridcanvas.h"

#include <vector>

namespace korvel {

void GridPainter::paintCells(const GridModel& grid, const CellMetrics& m) {
    canvas_.cls();
    for (int i = 0; i <= grid.RowCount; ++i)
        canvas_.drawLine({0.0, double(i)}, {double(grid.ColumnCount), double(i)}, Black);
    for (int j = 0; j <= grid.ColumnCount; ++j)
        canvas_.drawLine({double(j), 0.0}, {double(j), double(grid.RowCount)}, Black);
    canvas_.setFontSize(m.dimLet);
    canvas_.setForeColour(Black);
    canvas_.setFontBold(true);
    for (int r = 0; r < grid.RowCount; ++r) {
        for (int c = 0; c < grid.ColumnCount; ++c) {
            char ch = grid.cell(r, c);
            canvas_.setCurrentPosition(m.dlx + c, m.dly + r);
            if (ch == EmptyCell)
                ch = ' ';
            if (ch != BLACK) {
                // A byte outside the alphabet (a short row) prints as a blank.
                canvas_.print(ch == '\0' ? QStringLiteral(" ")
                                         : fromBytes(std::string_view(&ch, 1)));
            } else {
                canvas_.fillBox(c, r, 1, 1, Black);
                canvas_.drawBox(c + 0.05, r + 0.05, 0.9, 0.9, White);
            }
        }
    }
}

void GridPainter::paintCircles(const GridModel& grid, const std::vector<int>& circles) {
    const int columns = grid.ColumnCount;
    for (const int cell : circles) {
        if (columns <= 0 || cell < 0 || cell >= columns * grid.RowCount)
            continue;
        const int r = cell / columns;
        const int c = cell % columns;
        if (!isBlackCell(grid.cell(r, c)))
            canvas_.drawEllipse(c + 0.06, r + 0.06, 0.88, 0.88, Grey);
    }
}

void GridPainter::paintNumbers(const GridModel& grid, const Slots& gridSlots, const CellMetrics& m,
                               bool shown) {
    canvas_.setFontSize(m.dimNum);
    canvas_.setForeColour(Red);
    // Hidden numbers are printed again in white over the red ones; soft
    // edges would stay behind as pink outlines.
    canvas_.setTextAntialiased(false);
    const std::vector<int>& numbers = gridSlots.numbers();
    for (int r = 0; r < grid.RowCount; ++r) {
        for (int c = 0; c < grid.ColumnCount; ++c) {
            const int n = numbers[static_cast<std::size_t>(r) * grid.ColumnCount + c];
            cnm_ = n > 0 ? QString::number(n) : QString();
            canvas_.setCurrentPosition(m.dnx + c, m.dny + r);
            if (!shown)
                canvas_.setForeColour(White);
            canvas_.print(cnm_);
        }
    }
    canvas_.setTextAntialiased(true);
    canvas_.setFontSize(m.dimLet);
    canvas_.setForeColour(Black);
}

void GridPainter::drawSelectionBox(const Selection& s, const QColor& colour) {
    canvas_.drawBox(s.cx + 0.05, s.cy + 0.05, s.LAX - 0.1, s.LAY - 0.1, colour);
}

} // namespace korvel
