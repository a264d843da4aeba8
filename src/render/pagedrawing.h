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

#include <functional>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace korvel::pages {

constexpr double MmPerInch = 25.4;
constexpr double MaxCellMm = 12;
constexpr double TitleMm = 6;
constexpr double GapMm = 6;

// The words the pages print, in the puzzle's language: Italian for a
// language code starting with "it", English for any other or none.
struct PageWords {
    QString across;
    QString down;
    QString solution;       // the heading of an untitled solution page
    QString solutionSuffix; // after a title: " (solution)"
    QString clues;          // the heading of an untitled clue table
    QString cluesSuffix;    // after a title: " (clues)"
    QString byPrefix;       // before the author: "By "
};
const PageWords& pageWords(const std::string& language);

// What the pages of a puzzle print besides its grid and clues: the words of
// its language, the byline under the title ("By Ann"; empty without an
// author), the copyright at the foot of each page ("© 2024 Ann"; empty
// without one), and the mark of each cell (cellMarks).
struct PageText {
    PageWords words;
    QString byline;
    QString copyright;
    std::vector<QString> marks;
};
PageText pageTextOf(const Puzzle& puzzle, const Slots& wordSlots);

// The copyright at the foot of area in small type, when there is one.
// Returns the height it takes from the bottom, in device units (0 without).
double copyrightHeight(const QPaintDevice* device, double mm, const QString& copyright);
void paintCopyright(QPainter& p, const QRectF& area, double mm, const QString& copyright);
// The byline under a heading, at top; returns its height in millimetres (0
// without a byline).
double paintByline(QPainter& p, const QRectF& area, double top, double mm, const QString& byline);

QFont sansFont(double pixels, bool bold);
QFont monoFont(double pixels);

// Draws heading at the top of area, in bold, on one line when it fits at its
// size or a little smaller, otherwise wrapped. Returns the height it took in
// millimetres: TitleMm for a heading on one line.
double paintHeading(QPainter& p, const QRectF& area, double mm, const QString& heading);

// The grid with its top-left corner at origin, cell device units a cell:
// black cells, lines, heavier frame, the marks of the cells (marks, one a
// cell, "" for none), and the letters when solution is set.
void paintGrid(QPainter& p, const QPointF& origin, double cell, double mm, const GridModel& grid,
               const std::vector<QString>& marks, bool solution);

// "Title (solution)", or "Solution" for a puzzle without a title, in the
// words given.
QString solutionHeading(const QString& title, const PageWords& words);

// A page of paintGridPage drawn into area (device units, dpi to the inch),
// with a byline under the heading when one is given.
void paintGridArea(QPainter& p, const QRectF& area, double dpi, const GridModel& grid,
                   const std::vector<QString>& marks, const QString& heading, bool solution,
                   const QString& byline = {});

// The puzzle page with its clue columns, and the pages the clues flow onto.
// area is the paintable area of every page. Returns false when a page could
// not be started.
// foot draws what stands at the foot of every page (the copyright), once
// the page's content is drawn.
bool paintCluePuzzle(QPainter& p, QPagedPaintDevice& device, const QRectF& area, double dpi,
                     const Puzzle& puzzle, const Slots& wordSlots, const QString& heading,
                     const PageText& text, const std::function<void()>& foot);

// The submission layout whole (PrintLayout::Submission).
bool paintSubmission(QPainter& p, QPagedPaintDevice& device, const QRectF& area, double dpi,
                     const Puzzle& puzzle, const Slots& wordSlots, const QString& title,
                     const PageText& text);

} // namespace korvel::pages
