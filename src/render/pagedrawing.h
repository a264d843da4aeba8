// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The drawing the page layouts share: fonts, the heading, the grid. Private
// to korvel_render.

#include "gridmodel.h"
#include "puzzle.h"
#include "slots.h"

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPagedPaintDevice;
class QPainter;

namespace korvel::pages {

constexpr double MmPerInch = 25.4;
constexpr double MaxCellMm = 12;
constexpr double TitleMm = 6;
constexpr double GapMm = 6;

QFont sansFont(double pixels, bool bold);
QFont monoFont(double pixels);

// Draws heading at the top of area, in bold, on one line when it fits at its
// size or a little smaller, otherwise wrapped. Returns the height it took in
// millimetres: TitleMm for a heading on one line.
double paintHeading(QPainter& p, const QRectF& area, double mm, const QString& heading);

// The grid with its top-left corner at origin, cell device units a cell:
// black cells, lines, heavier frame, numbers, and the letters when solution
// is set.
void paintGrid(QPainter& p, const QPointF& origin, double cell, double mm, const GridModel& grid,
               const Slots& wordSlots, bool solution);

// "Title (solution)", or "Solution" for a puzzle without a title.
QString solutionHeading(const QString& title);

// A page of paintGridPage drawn into area (device units, dpi to the inch).
void paintGridArea(QPainter& p, const QRectF& area, double dpi, const GridModel& grid,
                   const Slots& wordSlots, const QString& heading, bool solution);

// The puzzle page with its clue columns, and the pages the clues flow onto.
// area is the paintable area of every page. Returns false when a page could
// not be started.
bool paintCluePuzzle(QPainter& p, QPagedPaintDevice& device, const QRectF& area, double dpi,
                     const Puzzle& puzzle, const Slots& wordSlots, const QString& heading);

// The submission layout whole (PrintLayout::Submission).
bool paintSubmission(QPainter& p, QPagedPaintDevice& device, const QRectF& area, double dpi,
                     const Puzzle& puzzle, const Slots& wordSlots, const QString& title);

} // namespace korvel::pages
