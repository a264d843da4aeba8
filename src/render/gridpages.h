#pragma once

#include "gridmodel.h"

#include <QByteArray>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class QRectF;

namespace korvel {

// The two pages of a grid: first the blank puzzle with its clue numbers,
// then the solution with the letters. Each page has the title on top and the
// grid centred below it, as large as fits (at most 12 mm a cell), black cells
// filled and the frame drawn heavier. Everything is vector drawing, so lines
// stay crisp at any scale. Returns false when the device cannot be painted on
// (a printer that failed to start).
bool paintGridPages(QPagedPaintDevice& device, const GridModel& grid, const QString& title);

// One of those pages painted into area (device units, dpi of them to the
// inch): the heading on top, the grid below, the letters when solution is set.
void paintGridPage(QPainter& painter, const QRectF& area, double dpi, const GridModel& grid,
                   const QString& heading, bool solution);

// The two pages as a PDF document on A4, in memory. The creation date is the
// only part that changes from run to run. Returns an empty array when the
// document could not be made.
QByteArray gridPdf(const GridModel& grid, const QString& title);

} // namespace korvel
