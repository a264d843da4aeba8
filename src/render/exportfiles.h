#pragma once

#include "exportformat.h"
#include "gridmodel.h"
#include "pagesetup.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace korvel {

struct Puzzle;

// What an export did: the files written, or the reason it wrote nothing (a
// refusal of the format, or a failed write; a file written before the failure
// stays).
struct ExportOutcome {
    bool ok = false;
    // The format cannot hold the grid (nothing was written).
    bool refused = false;
    QStringList written;
    QString error;
};

// Exports the grid in the format to path (taken as it is: the caller adds
// the extension it wants). SVG writes two files, the puzzle to path and the
// solution beside it (solutionSvgPath). title goes into the .ipuz, the SVG
// and the PDF; the .puz keeps its title empty. Every file is written whole
// or not at all, an existing one replaced only once the new one is safe on
// disk.
ExportOutcome exportGrid(const GridModel& grid, ExportFormat format, const QString& path,
                         const QString& title);

// Exports a whole puzzle as exportGrid does its grid, with details.title as
// the title. The PDF holds what paintPuzzlePages draws (the clues, the
// layout) on the paper of setup; the other formats take the grid and title
// and leave setup aside.
ExportOutcome exportPuzzle(const Puzzle& puzzle, ExportFormat format, const QString& path,
                           const PageSetup& setup);

// Writes the bytes to a temporary file beside path, flushes and syncs it,
// then renames it over path. On any failure path is left as it was, the
// temporary file removed, and error (when given) says why.
bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error);

} // namespace korvel
