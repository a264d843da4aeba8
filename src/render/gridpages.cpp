// SPDX-License-Identifier: GPL-3.0-or-later
#include "gridpages.h"

#include "celltext.h"
#include "pagedrawing.h"
#include "puzzle.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>

namespace korvel {

namespace pages {

namespace {

const QString SansFamily = QStringLiteral("Liberation Sans");
const QString MonoFamily = QStringLiteral("Liberation Mono");

// A heading that does not fit is first drawn smaller, down to this part of
// its size, and wrapped at the smallest.
constexpr double SmallestHeading = 0.6;

} // namespace

QFont sansFont(double pixels, bool bold) {
    QFont font(SansFamily);
    font.setPixelSize(std::max(1, static_cast<int>(pixels)));
    font.setBold(bold);
    return font;
}

QFont monoFont(double pixels) {
    QFont font(MonoFamily);
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(std::max(1, static_cast<int>(pixels)));
    return font;
}

double paintHeading(QPainter& p, const QRectF& area, double mm, const QString& heading) {
    p.setPen(Qt::black);
    const double full = TitleMm * mm * 0.8;
    for (double part = 1; part > SmallestHeading - 0.01; part -= 0.1) {
        const QFont font = sansFont(full * part, true);
        if (QFontMetricsF(font, p.device()).horizontalAdvance(heading) > area.width())
            continue;
        p.setFont(font);
        p.drawText(QRectF(area.left(), area.top(), area.width(), TitleMm * mm),
                   Qt::AlignLeft | Qt::AlignVCenter, heading);
        return TitleMm;
    }
    // Wrapped at word ends, or anywhere inside a word longer than the line.
    QTextLayout layout(heading, sansFont(full * SmallestHeading, true), p.device());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    double height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    layout.draw(&p, area.topLeft());
    return std::max(TitleMm, height / mm);
}

void paintGrid(QPainter& p, const QPointF& origin, double cell, double mm, const GridModel& grid,
               const Slots& wordSlots, bool solution) {
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;
    const auto at = [&](int r, int c) {
        return QPointF(origin.x() + c * cell, origin.y() + r * cell);
    };

    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            if (grid.isBlack(r, c)) {
                p.fillRect(QRectF(at(r, c), QSizeF(cell, cell)), Qt::black);
            }
        }
    }

    QPen thin(Qt::black, 0.25 * mm);
    thin.setCapStyle(Qt::SquareCap);
    p.setPen(thin);
    for (int i = 1; i < R; ++i) {
        p.drawLine(at(i, 0), at(i, C));
    }
    for (int j = 1; j < C; ++j) {
        p.drawLine(at(0, j), at(R, j));
    }
    QPen frame(Qt::black, 0.6 * mm);
    frame.setJoinStyle(Qt::MiterJoin);
    p.setPen(frame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(at(0, 0), at(R, C)));

    p.setPen(Qt::black);
    p.setFont(sansFont(cell * 0.27, false));
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            const int n = wordSlots.number(r, c);
            if (n > 0) {
                const QPointF corner = at(r, c) + QPointF(cell * 0.06, cell * 0.03);
                p.drawText(QRectF(corner, QSizeF(cell * 0.9, cell * 0.4)),
                           Qt::AlignLeft | Qt::AlignTop, QString::number(n));
            }
        }
    }
    if (!solution) {
        return;
    }
    p.setFont(sansFont(cell * 0.55, true));
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            if (grid.isBlack(r, c)) {
                continue;
            }
            if (const auto letter = cellLetter(grid.cell(r, c))) {
                // Below the number, centred in what is left of the cell.
                const QRectF box(at(r, c) + QPointF(0, cell * 0.2), QSizeF(cell, cell * 0.8));
                p.drawText(box, Qt::AlignCenter, QString::fromUtf8(*letter));
            }
        }
    }
}

QString solutionHeading(const QString& title) {
    return title.isEmpty() ? QStringLiteral("Solution") : title + QStringLiteral(" (solution)");
}

void paintGridArea(QPainter& p, const QRectF& area, double dpi, const GridModel& grid,
                   const Slots& wordSlots, const QString& heading, bool solution) {
    const double mm = dpi / MmPerInch;
    const double band = paintHeading(p, area, mm, heading);
    const double top = area.top() + (band + GapMm) * mm;
    const double cell = std::min(
        {area.width() / grid.ColumnCount, (area.bottom() - top) / grid.RowCount, MaxCellMm * mm});
    const double left = area.left() + (area.width() - cell * grid.ColumnCount) / 2;
    paintGrid(p, QPointF(left, top), cell, mm, grid, wordSlots, solution);
}

} // namespace pages

using namespace pages;

namespace {

// The paintable area of the device's page, in device units from the
// painter's origin, which is already that area's corner.
QRectF paintArea(QPagedPaintDevice& device, double dpi) {
    return QRectF(QPointF(0, 0), device.pageLayout().paintRectPixels(static_cast<int>(dpi)).size());
}

} // namespace

void paintGridPage(QPainter& p, const QRectF& area, double dpi, const GridModel& grid,
                   const QString& heading, bool solution) {
    paintGridArea(p, area, dpi, grid, Slots::of(grid), heading, solution);
}

double gridCellMm(const QSizeF& areaMm, const GridModel& grid) {
    if (grid.isEmpty())
        return 0;
    return std::min({areaMm.width() / grid.ColumnCount,
                     (areaMm.height() - TitleMm - GapMm) / grid.RowCount, MaxCellMm});
}

bool paintPuzzlePages(QPagedPaintDevice& device, const Puzzle& puzzle, PrintLayout layout) {
    const GridModel& grid = puzzle.grid;
    if (grid.isEmpty()) {
        return false;
    }
    QPainter p;
    if (!p.begin(&device)) {
        return false;
    }
    const double dpi = device.logicalDpiX();
    const QRectF area = paintArea(device, dpi);
    const Slots wordSlots = Slots::of(grid);
    const QString title = QString::fromStdString(validUtf8(puzzle.details.title));
    bool ok = true;
    if (layout == PrintLayout::Submission) {
        ok = paintSubmission(p, device, area, dpi, puzzle, wordSlots, title);
    } else {
        if (puzzle.clues.empty())
            paintGridArea(p, area, dpi, grid, wordSlots, title, false);
        else
            ok = paintCluePuzzle(p, device, area, dpi, puzzle, wordSlots, title);
        ok = ok && device.newPage();
        if (ok)
            paintGridArea(p, area, dpi, grid, wordSlots, solutionHeading(title), true);
    }
    return p.end() && ok;
}

bool paintGridPages(QPagedPaintDevice& device, const GridModel& grid, const QString& title) {
    Puzzle puzzle;
    puzzle.grid = grid;
    puzzle.details.title = title.toStdString();
    return paintPuzzlePages(device, puzzle, PrintLayout::Puzzle);
}

QByteArray puzzlePdf(const Puzzle& puzzle, const PageSetup& setup) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return {};
    }
    bool ok = false;
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Korvel"));
        pdf.setTitle(QString::fromStdString(validUtf8(puzzle.details.title)));
        pdf.setPageLayout(pageLayoutFor(puzzle.grid, setup));
        ok = paintPuzzlePages(pdf, puzzle, setup.layout);
    }
    buffer.close();
    return ok ? bytes : QByteArray();
}

QByteArray gridPdf(const GridModel& grid, const QString& title) {
    Puzzle puzzle;
    puzzle.grid = grid;
    puzzle.details.title = title.toStdString();
    return puzzlePdf(puzzle, PageSetup{});
}

} // namespace korvel
