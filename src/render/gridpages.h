// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gridmodel.h"
#include "pagesetup.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class QRectF;

namespace korvel {

struct Puzzle;

// The two pages of a grid: first the blank puzzle with its clue numbers,
// then the solution with the letters. Each page has the title on top and the
// grid centred below it, as large as fits (at most 12 mm a cell), black cells
// filled and the frame drawn heavier. Everything is vector drawing, so lines
// stay crisp at any scale. Returns false when the device cannot be painted on
// (a printer that failed to start).
bool paintGridPages(QPagedPaintDevice& device, const GridModel& grid, const QString& title);

// The pages of a puzzle in a layout (see PrintLayout), on the device's page
// layout as it is set. The title is details.title. A puzzle without clues
// gets the two pages of paintGridPages; with clues, the puzzle page puts the
// grid top right and the clues in columns beside and under it, onto more
// pages as needed. Returns false for an empty grid or when the device cannot
// be painted on or cannot start a page.
bool paintPuzzlePages(QPagedPaintDevice& device, const Puzzle& puzzle, PrintLayout layout);

// One of those pages painted into area (device units, dpi of them to the
// inch): the heading on top, the grid below, the letters when solution is set.
// A heading too long for one line is drawn smaller, then wrapped, never cut.
void paintGridPage(QPainter& painter, const QRectF& area, double dpi, const GridModel& grid,
                   const QString& heading, bool solution);

// The side of a cell, in millimetres, that paintGridPage gives grid on a
// page whose paintable area is areaMm.
double gridCellMm(const QSizeF& areaMm, const GridModel& grid);

// The two pages as a PDF document, in memory, on the paper of the locale. The
// creation date is the only part that changes from run to run. Returns an
// empty array when the document could not be made.
QByteArray gridPdf(const GridModel& grid, const QString& title);

// The pages of paintPuzzlePages as a PDF document, on pageLayoutFor's page.
// Its metadata title is details.title. Returns an empty array when the
// document could not be made.
QByteArray puzzlePdf(const Puzzle& puzzle, const PageSetup& setup);

} // namespace korvel
