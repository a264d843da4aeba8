// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exportformat.h"
#include "gridmodel.h"
#include "pagesetup.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>

namespace korvel {

struct Puzzle;

// What an export did: the files written, or the reason it wrote nothing (a
// refusal of the format, or a failed write, after which every file is as it
// was).
struct ExportOutcome {
    bool ok = false;
    // The format cannot hold the grid (nothing was written).
    bool refused = false;
    QStringList written;
    QString error;
    // A failed write: the export's file name and the cause, as bytes, for a
    // caller that shows names exactly as the file system has them.
    std::string failedPath;
    std::string cause;
};

// Exports a puzzle in the format to path, a file name as the file system
// takes it (bytes, used exactly as given: the caller adds the extension it
// wants): its grid, clues and details as the format holds them, with
// details.title as the title. SVG writes two files, the puzzle to path and
// the solution beside it (solutionSvgPath). The PDF holds what
// paintPuzzlePages draws on the paper of setup; the other formats leave setup
// aside. The files are written through replaceFiles: each whole or not at
// all, the two SVG files both or neither, an existing one replaced only once
// the new one is safe on disk.
ExportOutcome exportPuzzleToPath(const Puzzle& puzzle, ExportFormat format, const std::string& path,
                                 const PageSetup& setup);

// exportPuzzleToPath for a name as Qt holds it (QFile::encodeName).
ExportOutcome exportPuzzle(const Puzzle& puzzle, ExportFormat format, const QString& path,
                           const PageSetup& setup);

// A grid alone, titled title, on the locale's paper.
ExportOutcome exportGridToPath(const GridModel& grid, ExportFormat format, const std::string& path,
                               const QString& title);

// exportGridToPath for a name as Qt holds it (QFile::encodeName).
ExportOutcome exportGrid(const GridModel& grid, ExportFormat format, const QString& path,
                         const QString& title);

// Writes the bytes to a temporary file beside path, flushes and syncs it,
// then renames it over path. On any failure path is left as it was, the
// temporary file removed, and error (when given) says why.
bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error);

} // namespace korvel
