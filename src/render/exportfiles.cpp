// SPDX-License-Identifier: GPL-3.0-or-later
#include "exportfiles.h"

#include "gridpages.h"
#include "ipuzfile.h"
#include "puzfile.h"
#include "puzzle.h"
#include "svggrid.h"

#include "replacefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>
#include <utility>
#include <vector>

namespace korvel {

bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error) {
    std::string why;
    if (replaceFile(QFile::encodeName(path).toStdString(),
                    std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                    why))
        return true;
    if (error)
        *error = QString::fromLocal8Bit(why.c_str());
    return false;
}

ExportOutcome exportPuzzleToPath(const Puzzle& puzzle, ExportFormat format, const std::string& path,
                                 const PageSetup& setup) {
    ExportOutcome out;
    const std::string& title = puzzle.details.title;
    std::vector<std::pair<std::string, std::string>> files;
    switch (format) {
    case ExportFormat::Ipuz:
        files.emplace_back(path, writeIpuz(puzzle, title));
        break;
    case ExportFormat::Puz: {
        const PuzWriteResult puz = writePuz(puzzle);
        if (!puz.error.empty()) {
            out.error = QString::fromStdString(puz.error);
            out.refused = true;
            return out;
        }
        files.emplace_back(path, puz.bytes);
        break;
    }
    case ExportFormat::Svg:
        files.emplace_back(path, writeSvg(puzzle.grid, title, false));
        files.emplace_back(solutionSvgPath(path), writeSvg(puzzle.grid, title, true));
        break;
    case ExportFormat::Pdf: {
        const QByteArray pdf = puzzlePdf(puzzle, setup);
        if (pdf.isEmpty()) {
            out.error = QStringLiteral("The PDF document could not be made.");
            return out;
        }
        files.emplace_back(path,
                           std::string(pdf.constData(), static_cast<std::size_t>(pdf.size())));
        break;
    }
    }
    std::vector<FileReplacement> writes;
    for (const auto& [name, bytes] : files)
        writes.push_back({name, bytes});
    std::string why;
    if (!replaceFiles(writes, why)) {
        out.failedPath = path;
        out.cause = why;
        out.error = QStringLiteral("%1 could not be written: %2")
                        .arg(QFile::decodeName(QByteArray::fromStdString(path)),
                             QString::fromLocal8Bit(why.c_str()));
        return out;
    }
    for (const auto& file : files)
        out.written << QFile::decodeName(QByteArray::fromStdString(file.first));
    out.ok = true;
    return out;
}

ExportOutcome exportPuzzle(const Puzzle& puzzle, ExportFormat format, const QString& path,
                           const PageSetup& setup) {
    return exportPuzzleToPath(puzzle, format, QFile::encodeName(path).toStdString(), setup);
}

ExportOutcome exportGridToPath(const GridModel& grid, ExportFormat format, const std::string& path,
                               const QString& title) {
    Puzzle puzzle;
    puzzle.grid = grid;
    puzzle.details.title = title.toStdString();
    return exportPuzzleToPath(puzzle, format, path, PageSetup{});
}

ExportOutcome exportGrid(const GridModel& grid, ExportFormat format, const QString& path,
                         const QString& title) {
    return exportGridToPath(grid, format, QFile::encodeName(path).toStdString(), title);
}

} // namespace korvel
