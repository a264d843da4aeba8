// SPDX-License-Identifier: GPL-3.0-or-later
#include "gridpainter.h"

#include "bytetext.h"
#include "gridcanvas.h"

#include <vector>

namespace korvel {

QColor GridPainter::colourOf(MarkColour colour) {
    switch (colour) {
    case MarkColour::Green:
        return Green;
    case MarkColour::Blue:
        return Blue;
    case MarkColour::White:
        return White;
    case MarkColour::Red:
        break;
    }
    return Red;
}

void GridPainter::paintCells(const GridModel& grid, const CellMetrics& m, const Cells& cells) {
    canvas_.cls();
    // The lines of the cells drawn, each whole: the clip keeps its piece.
    for (int i = cells.r0; i <= cells.r1 + 1; ++i)
        canvas_.drawLine({0.0, double(i)}, {double(grid.ColumnCount), double(i)}, Black);
    for (int j = cells.c0; j <= cells.c1 + 1; ++j)
        canvas_.drawLine({double(j), 0.0}, {double(j), double(grid.RowCount)}, Black);
    canvas_.setFontSize(m.dimLet);
    canvas_.setForeColour(Black);
    canvas_.setFontBold(true);
    for (int r = cells.r0; r <= cells.r1; ++r) {
        for (int c = cells.c0; c <= cells.c1; ++c) {
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

void GridPainter::paintCircles(const GridModel& grid, const std::vector<int>& circles,
                               const Cells& cells) {
    const int columns = grid.ColumnCount;
    for (const int cell : circles) {
        if (columns <= 0 || cell < 0 || cell >= columns * grid.RowCount)
            continue;
        const int r = cell / columns;
        const int c = cell % columns;
        if (r < cells.r0 || r > cells.r1 || c < cells.c0 || c > cells.c1)
            continue;
        if (!isBlackCell(grid.cell(r, c)))
            canvas_.drawEllipse(c + 0.06, r + 0.06, 0.88, 0.88, Grey);
    }
}

void GridPainter::paintNumbers(const GridModel& grid, const Slots& gridSlots, const CellMetrics& m,
                               bool shown, const Cells& cells) {
    canvas_.setFontSize(m.dimNum);
    canvas_.setForeColour(Red);
    // Hidden numbers are printed again in white over the red ones; soft
    // edges would stay behind as pink outlines.
    canvas_.setTextAntialiased(false);
    const std::vector<int>& numbers = gridSlots.numbers();
    for (int r = cells.r0; r <= cells.r1; ++r) {
        for (int c = cells.c0; c <= cells.c1; ++c) {
            const std::size_t at = static_cast<std::size_t>(r) * grid.ColumnCount + c;
            const int n = at < numbers.size() ? numbers[at] : 0;
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

void GridPainter::drawMark(const GridMark& mark, const GridModel& grid, const Slots& gridSlots,
                           const CellMetrics& m, const Cells& cells) {
    switch (mark.kind) {
    case GridMark::Kind::Box:
        drawSelectionBox(Selection{mark.x, mark.y, mark.w, mark.h}, colourOf(mark.colour));
        break;
    case GridMark::Kind::Outline: {
        // As the drag draws it: from the first cell's inset corner to the
        // last cell's far one.
        const int across = mark.w - 1;
        const int down = mark.h - 1;
        canvas_.drawBox(mark.x + 0.05, mark.y + 0.05, across + 0.9, down + 0.9,
                        colourOf(mark.colour));
        break;
    }
    case GridMark::Kind::Numbers:
        paintNumbers(grid, gridSlots, m, mark.colour == MarkColour::Red, cells);
        break;
    }
}

QRect GridPainter::boxArea(double x, double y, double w, double h) const {
    const QPoint a = canvas_.toPixel({x, y});
    const QPoint b = canvas_.toPixel({x + w, y + h});
    return QRect(a, b).normalized().adjusted(-1, -1, 1, 1);
}

QRect GridPainter::markArea(const GridMark& mark) const {
    switch (mark.kind) {
    case GridMark::Kind::Box:
        return boxArea(mark.x + 0.05, mark.y + 0.05, mark.w - 0.1, mark.h - 0.1);
    case GridMark::Kind::Outline:
        return boxArea(mark.x + 0.05, mark.y + 0.05, (mark.w - 1) + 0.9, (mark.h - 1) + 0.9);
    case GridMark::Kind::Numbers:
        break;
    }
    return QRect(QPoint(0, 0), canvas_.size());
}

QRect GridPainter::cellArea(int r, int c, const CellMetrics& m) const {
    return canvas_.cellRect(r, c) | canvas_.textBox({m.dlx + c, m.dly + r}, m.dimLet, 1) |
           canvas_.textBox({m.dnx + c, m.dny + r}, m.dimNum, 3);
}

} // namespace korvel
