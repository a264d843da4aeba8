// SPDX-License-Identifier: GPL-3.0-or-later
// File > Export and File > Print...: the window's side of the exports. The
// formats, the pages and the file writing live below the window
// (korvel_export, korvel_render), shared with korvel-export.

#include "exportprint.h"

#include "desktop.h"
#include "exportfiles.h"
#include "exportformat.h"
#include "griddocument.h"
#include "gridpages.h"
#include "pagesetup.h"
#include "puzzle.h"
#include "startfolder.h"
#include "statuspanels.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <array>

namespace korvel {

namespace {

const QString ExportTitle = QStringLiteral("Export");
const QString PrintTitle = QStringLiteral("Print");

// The dialog's filters, in the order of ExportFilterFormats. The last is the
// PDF in the submission layout.
const QStringList ExportFilters = {
    QStringLiteral("iPuz crossword (*.ipuz)"),
    QStringLiteral("Across Lite crossword (*.puz)"),
    QStringLiteral("PDF document (*.pdf)"),
    QStringLiteral("SVG pictures, puzzle and solution (*.svg)"),
    QStringLiteral("PDF for an editor: grids and clue table (*.pdf)"),
};
constexpr std::array<ExportFormat, 5> ExportFilterFormats = {
    ExportFormat::Ipuz, ExportFormat::Puz, ExportFormat::Pdf, ExportFormat::Svg, ExportFormat::Pdf};
constexpr int SubmissionFilter = 4;

std::string fileNameBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString fromFileNameBytes(const std::string& bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string titleOfFile(const QString& currentFile) {
    return exportTitle(fileNameBytes(currentFile));
}

// The document's puzzle, titled by the file's name when its details give no
// title.
Puzzle puzzleOf(const GridDocument& doc, const QString& title) {
    Puzzle puzzle = doc.puzzle();
    // Where the letters came from is the constructor's help, not what a
    // published puzzle carries.
    puzzle.fillCells.clear();
    if (puzzle.details.title.empty())
        puzzle.details.title = title.toStdString();
    return puzzle;
}

QString fileOf(const GridDocument& doc) {
    return fromFileNameBytes(doc.fileName());
}

// The name an export or a print to a file proposes: the grid's file name
// without its extension (stem), else the title of its details made fit for a
// file name, else "crossword".
QString proposedName(const GridDocument& doc, const std::string& stem) {
    if (!stem.empty())
        return fromFileNameBytes(stem);
    QString title = QString::fromStdString(doc.details().title);
    for (QChar& c : title)
        if (c == u'/' || c.category() == QChar::Other_Control)
            c = u' ';
    title = title.simplified();
    while (title.startsWith(u'.'))
        title.remove(0, 1);
    return title.isEmpty() ? QStringLiteral("crossword") : title;
}

// The folder a grid's exports start in: its file's, or the current one for a
// grid without a file, where that is a place for files.
QString exportFolder(const QString& currentFile, const std::string& stem) {
    return startFolder(stem.empty() ? QDir::currentPath() : QFileInfo(currentFile).absolutePath());
}

// stem + extension, or the first of stem + "2", "3" ... + extension that
// folder does not hold.
QString freeFileName(const QString& folder, const QString& stem, const char* extension) {
    const QDir dir(folder);
    const QString ext = QString::fromLatin1(extension);
    QString name = stem + ext;
    for (int n = 2; dir.exists(name) && n < 10000; ++n)
        name = stem + QString::number(n) + ext;
    return name;
}

// A path for a panel: whole when short, else its start and its end.
QString shownPath(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    constexpr int Most = 70;
    return native.size() <= Most
               ? native
               : native.left(20) + QStringLiteral("...") + native.right(Most - 23);
}

} // namespace

void ExportCommands::report(const QString& text, const QString& hint) {
    panels_.setText(2, QLatin1Char(' ') + text + QLatin1Char(' '));
    panels_.setHint(2, hint);
}

void ExportCommands::exportAs() {
    const QString currentFile = fileOf(doc_);
    const int previous =
        exportFilter_ >= 0 && exportFilter_ < ExportFilters.size() ? exportFilter_ : 0;
    const std::string stem = titleOfFile(currentFile);
    const QString start = exportFolder(currentFile, stem);
    const QString proposal =
        proposedName(doc_, stem) +
        QString::fromLatin1(
            formatExtension(ExportFilterFormats[static_cast<std::size_t>(previous)]).data());
    int filter = previous;
    QString chosen;
    ExportFormat format = ExportFormat::Ipuz;
    QString path;
    for (QString folder = start, name = proposal;;) {
        chosen = desktop_.chooseFileToExport(parent_, QStringLiteral("Export the grid"),
                                             ExportFilters, folder, name, filter);
        chosen.remove(QChar(u'\0'));
        chosen = chosen.trimmed();
        if (chosen.isEmpty())
            return;
        rememberFolder(chosen);
        if (filter < 0 || filter >= ExportFilters.size())
            filter = previous;
        // A name that ends in one of the formats' extensions says which it
        // wants; otherwise the filter decides and its extension is added.
        format = formatFromPath(fileNameBytes(chosen))
                     .value_or(ExportFilterFormats[static_cast<std::size_t>(filter)]);
        path = fromFileNameBytes(exportPath(fileNameBytes(chosen), format));
        QStringList written{path};
        if (format == ExportFormat::Svg)
            written << fromFileNameBytes(solutionSvgPath(fileNameBytes(path)));
        // Files already there are replaced only when the user says so; else
        // the dialog comes back with the name.
        if (askToReplace(desktop_, parent_, ExportTitle, written))
            break;
        folder = QFileInfo(path).absolutePath();
        name = QFileInfo(path).fileName();
    }
    // The filter is kept for the next export when it gave the format;
    // otherwise the first filter of the format the name chose.
    if (ExportFilterFormats[static_cast<std::size_t>(filter)] == format) {
        exportFilter_ = filter;
    } else {
        for (std::size_t i = ExportFilterFormats.size(); i-- > 0;)
            if (ExportFilterFormats[i] == format)
                exportFilter_ = static_cast<int>(i);
    }
    const QString title =
        fromFileNameBytes(stem.empty() ? titleFromPath(fileNameBytes(path)) : stem);

    PageSetup setup;
    if (exportFilter_ == SubmissionFilter)
        setup.layout = PrintLayout::Submission;
    const ExportOutcome outcome = exportPuzzle(puzzleOf(doc_, title), format, path, setup);
    if (!outcome.ok) {
        desktop_.beep();
        desktop_.messageBox(parent_, ExportTitle, outcome.error, MsgIcon::Exclamation,
                            MsgButtons::Ok);
        return;
    }
    if (format == ExportFormat::Svg) {
        const QString solution = fromFileNameBytes(solutionSvgPath(fileNameBytes(path)));
        report(QStringLiteral("exported to %1 and %2")
                   .arg(shownPath(path), QFileInfo(solution).fileName()),
               QDir::toNativeSeparators(path) + QStringLiteral("\n") +
                   QDir::toNativeSeparators(solution));
    } else {
        report(QStringLiteral("exported to ") + shownPath(path), QDir::toNativeSeparators(path));
    }
}

void ExportCommands::print() {
    const QString currentFile = fileOf(doc_);
    const std::string stem = titleOfFile(currentFile);
    const QString title = fromFileNameBytes(stem);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title.isEmpty() ? QStringLiteral("Korvel") : title);
    // The dialog starts from the paper of the locale and the orientation the
    // grid asks for; the pages follow whatever the user then chooses.
    printer.setPageLayout(pageLayoutFor(doc_.grid(), PageSetup{}));
    // A print to a file proposes the grid's name where an export would go.
    // Naming the file makes the printer a PDF one: the format it had (the
    // default printer, when there is one) is given back, and the dialog
    // keeps the name for its file choice.
    // The name is one that is not there yet, so that accepting the dialog as
    // it comes never replaces an export of the same grid.
    const QPrinter::OutputFormat format = printer.outputFormat();
    const QString folder = exportFolder(currentFile, stem);
    printer.setOutputFileName(
        QDir(folder).filePath(freeFileName(folder, proposedName(doc_, stem), ".pdf")));
    printer.setOutputFormat(format);
    for (;;) {
        if (!desktop_.choosePrinter(parent_, printer))
            return;
        // A file chosen that is there already is replaced only when the user
        // says so; else the dialog comes back.
        if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty() ||
            askToReplace(desktop_, parent_, PrintTitle, {printer.outputFileName()}))
            break;
    }
    if (!paintPuzzlePages(printer, puzzleOf(doc_, title), PrintLayout::Puzzle)) {
        desktop_.beep();
        desktop_.messageBox(parent_, PrintTitle, QStringLiteral("The grid could not be printed."),
                            MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    const QString file = printer.outputFileName();
    if (printer.outputFormat() == QPrinter::PdfFormat && !file.isEmpty()) {
        rememberFolder(file);
        report(QStringLiteral("printed to ") + shownPath(file), QDir::toNativeSeparators(file));
    } else {
        report(QStringLiteral("sent to the printer ") + printer.printerName(),
               printer.printerName());
    }
}

} // namespace korvel
