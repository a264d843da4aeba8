#include "exportfiles.h"

#include "gridentries.h"
#include "gridpages.h"
#include "ipuzfile.h"
#include "puzfile.h"
#include "puzzle.h"
#include "svggrid.h"

#include "replacefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <fcntl.h>

namespace korvel {

namespace {

QByteArray toBytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

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

ExportOutcome exportGrid(const GridModel& grid, ExportFormat format, const QString& path,
                         const QString& title) {
    ExportOutcome out;
    const std::string titleBytes = title.toStdString();
    QList<QPair<QString, QByteArray>> files;
    switch (format) {
    case ExportFormat::Ipuz:
        files.append({path, toBytes(writeIpuz(grid, titleBytes))});
        break;
    case ExportFormat::Puz: {
        const PuzWriteResult puz = writePuz(grid);
        if (!puz.error.empty()) {
            out.error = QString::fromStdString(puz.error);
            out.refused = true;
            return out;
        }
        files.append({path, toBytes(puz.bytes)});
        break;
    }
    case ExportFormat::Svg: {
        const QString second = QString::fromStdString(solutionSvgPath(path.toStdString()));
        files.append({path, toBytes(writeSvg(grid, titleBytes, false))});
        files.append({second, toBytes(writeSvg(grid, titleBytes, true))});
        break;
    }
    case ExportFormat::Pdf: {
        const QByteArray pdf = gridPdf(grid, title);
        if (pdf.isEmpty()) {
            out.error = QStringLiteral("The PDF document could not be made.");
            return out;
        }
        files.append({path, pdf});
        break;
    }
    }
    for (const auto& [name, bytes] : files) {
        QString why;
        if (!writeFileSafely(name, bytes, &why)) {
            out.error = QStringLiteral("%1 could not be written: %2").arg(name, why);
            return out;
        }
        out.written << name;
    }
    out.ok = true;
    return out;
}

ExportOutcome exportPuzzle(const Puzzle& puzzle, ExportFormat format, const QString& path,
                           const PageSetup& setup) {
    const QString title = QString::fromStdString(validUtf8(puzzle.details.title));
    if (format != ExportFormat::Pdf)
        return exportGrid(puzzle.grid, format, path, title);
    ExportOutcome out;
    const QByteArray pdf = puzzlePdf(puzzle, setup);
    if (pdf.isEmpty()) {
        out.error = QStringLiteral("The PDF document could not be made.");
        return out;
    }
    QString why;
    if (!writeFileSafely(path, pdf, &why)) {
        out.error = QStringLiteral("%1 could not be written: %2").arg(path, why);
        return out;
    }
    out.written << path;
    out.ok = true;
    return out;
}

} // namespace korvel
