// File > Export and File > Print...: the window's side of the exports. The
// formats, the pages and the file writing live below the window
// (korvel_export, korvel_render), shared with korvel-export.

#include "mainwindow.h"

#include "desktop.h"
#include "exportfiles.h"
#include "exportformat.h"
#include "gridpages.h"

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

// The dialog's filters, in the order of ExportFilterFormats.
const QStringList ExportFilters = {
    QStringLiteral("iPuz crossword (*.ipuz)"),
    QStringLiteral("Across Lite crossword (*.puz)"),
    QStringLiteral("PDF document (*.pdf)"),
    QStringLiteral("SVG pictures, puzzle and solution (*.svg)"),
};
constexpr std::array<ExportFormat, 4> ExportFilterFormats = {ExportFormat::Ipuz, ExportFormat::Puz,
                                                             ExportFormat::Pdf, ExportFormat::Svg};

std::string fileNameBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString fromFileNameBytes(const std::string& bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string titleOfFile(const QString& currentFile) {
    return exportTitle(fileNameBytes(currentFile));
}

} // namespace

void MainWindow::Esporta_Click() {
    if (busy() || doc_.grid().isEmpty())
        return;
    const int previous =
        exportFilter_ >= 0 && exportFilter_ < ExportFilters.size() ? exportFilter_ : 0;
    const std::string stem = titleOfFile(currentFile());
    const QString start =
        stem.empty() ? QDir::currentPath() : QFileInfo(currentFile()).absolutePath();
    const QString proposal =
        fromFileNameBytes(stem.empty() ? std::string("crossword") : stem) +
        QString::fromLatin1(
            formatExtension(ExportFilterFormats[static_cast<std::size_t>(previous)]).data());
    int filter = previous;
    QString chosen = desktop_.chooseFileToExport(this, QStringLiteral("Export the grid"),
                                                 ExportFilters, start, proposal, filter);
    chosen.remove(QChar(u'\0'));
    chosen = chosen.trimmed();
    if (chosen.isEmpty())
        return;
    if (filter < 0 || filter >= ExportFilters.size())
        filter = previous;
    // A name that ends in one of the formats' extensions says which it wants;
    // otherwise the filter decides and its extension is added.
    const std::string chosenBytes = fileNameBytes(chosen);
    const ExportFormat format =
        formatFromPath(chosenBytes).value_or(ExportFilterFormats[static_cast<std::size_t>(filter)]);
    for (std::size_t i = 0; i < ExportFilterFormats.size(); ++i)
        if (ExportFilterFormats[i] == format)
            exportFilter_ = static_cast<int>(i);
    const QString path = fromFileNameBytes(exportPath(chosenBytes, format));
    const QString title =
        fromFileNameBytes(stem.empty() ? titleFromPath(fileNameBytes(path)) : stem);

    const ExportOutcome outcome = exportGrid(doc_.grid(), format, path, title);
    if (!outcome.ok) {
        desktop_.beep();
        desktop_.messageBox(this, ExportTitle, outcome.error, MsgIcon::Exclamation, MsgButtons::Ok);
    }
}

void MainWindow::Stampa_Click() {
    if (busy() || doc_.grid().isEmpty())
        return;
    const QString title = fromFileNameBytes(titleOfFile(currentFile()));
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title.isEmpty() ? QStringLiteral("Korvel") : title);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    if (!desktop_.choosePrinter(this, printer))
        return;
    if (!paintGridPages(printer, doc_.grid(), title)) {
        desktop_.beep();
        desktop_.messageBox(this, PrintTitle, QStringLiteral("The grid could not be printed."),
                            MsgIcon::Exclamation, MsgButtons::Ok);
    }
}

} // namespace korvel
