// SPDX-License-Identifier: GPL-3.0-or-later
#include "filecommands.h"

#include "bytetext.h"
#include "desktop.h"
#include "documentfile.h"
#include "griddocument.h"
#include "kvlfile.h"
#include "puzzlefile.h"
#include "recentfiles.h"
#include "startfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

namespace korvel {

namespace {

// Korvel's own grid files first, as they always were the dialog's only
// filter; then the other programs' puzzles it opens.
const QStringList OpenFilters = {
    QStringLiteral("File Korvel(*.kvl;*.KVL) (*.kvl *.KVL)"),
    QStringLiteral("Crossword puzzles (*.kvl *.puz *.ipuz *.KVL *.PUZ *.IPUZ)"),
    QStringLiteral("Across Lite puzzle (*.puz *.PUZ)"),
    QStringLiteral("ipuz crossword (*.ipuz *.IPUZ)"),
};

// Save as... writes the grid alone to .kvl or the whole puzzle to .ipuz; a
// .puz is only ever written by File > Export, to a name chosen for it.
enum SaveFilter { KvlFilter = 0, IpuzFilter = 1 };
const QStringList SaveFilters = {
    QStringLiteral("File Korvel *.kvl (*.kvl)"),
    QStringLiteral("ipuz crossword *.ipuz (*.ipuz)"),
};

const QString AttentionTitle = QStringLiteral("Attention...");

// Panel 3 when Save or Save as... meets a busy window.
const QString BusyNotSaved = QStringLiteral(" Not saved: a search or fill is running ");

void applyExtensionRule(QString& name) {
    name = QFile::decodeName(
        QByteArray::fromStdString(withKvlExtension(QFile::encodeName(name).toStdString())));
}

std::optional<PuzzleFileFormat> formatOf(const QString& name) {
    return puzzleFormatFromPath(QFile::encodeName(name).toStdString());
}

// The .ipuz name proposed for a puzzle: a .kvl or .puz extension gives way
// to .ipuz; any other name gets .ipuz after it.
QString ipuzProposal(QString name) {
    const std::optional<PuzzleFileFormat> format = formatOf(name);
    if (format == PuzzleFileFormat::Ipuz)
        return name;
    if (format)
        name.chop(static_cast<qsizetype>(puzzleFileType(*format).extension.size()));
    return name + QStringLiteral(".ipuz");
}

// Clues, details or circles, which a .kvl file cannot keep.
bool holdsMoreThanGrid(const GridDocument& doc) {
    return !doc.clues().empty() || !doc.details().empty() || !doc.circles().empty();
}

QString fromError(const std::string& error) {
    return QFile::decodeName(QByteArray::fromStdString(error));
}

} // namespace

QString FileCommands::currentFile() const {
    return QFile::decodeName(QByteArray::fromStdString(doc_.fileName()));
}

void FileCommands::setCurrentFile(const QString& name) {
    doc_.edit([&](DocumentEdit& e) { e.setFileName(QFile::encodeName(name).toStdString()); });
}

void FileCommands::showOpenSaveError() {
    desktop_.messageBox(parent_, QGuiApplication::applicationDisplayName(),
                        fromBytes(OpenSaveErrorText), MsgIcon::None, MsgButtons::Ok);
}

void FileCommands::showAttention(const QString& text) {
    desktop_.messageBox(parent_, AttentionTitle, text, MsgIcon::Exclamation, MsgButtons::Ok);
}

QString FileCommands::chooseFile(bool save, const QString& title, const QStringList& filters,
                                 const QString& proposal, int& filter) {
    const QString start = startFolder(QDir::currentPath());
    QString chosen =
        save ? desktop_.chooseFileToSaveAmong(parent_, title, filters, start, proposal, filter)
             : desktop_.chooseFileToOpenAmong(parent_, title, filters, start, filter);
    chosen.remove(QChar(u'\0'));
    chosen = chosen.trimmed();
    // A later dialog starts where this one ended.
    if (!chosen.isEmpty()) {
        QDir::setCurrent(QFileInfo(chosen).absolutePath());
        rememberFolder(chosen);
    }
    return chosen;
}

void FileCommands::open(const QString* given) {
    if (window_.busy())
        return;
    const Replacement replacing = settleBeforeReplacing();
    if (!replacing.allowed)
        return;
    auto keepChanges = [&] { keepGivenUpChanges(replacing); };
    window_.releaseTools();

    if (openFolder_.isEmpty())
        openFolder_ = QDir::currentPath();
    if (!QDir::setCurrent(startFolder(openFolder_))) {
        keepChanges();
        showOpenSaveError();
        return;
    }
    QString chosen;
    if (given) {
        // The named file stands for the dialog's answer, and like a choice in
        // the dialog it makes its folder the current directory.
        chosen = given->trimmed();
        if (!chosen.isEmpty())
            QDir::setCurrent(QFileInfo(chosen).absolutePath());
    } else {
        int filter = 0;
        chosen = chooseFile(false, QStringLiteral("Select the file to open"), OpenFilters,
                            QString(), filter);
    }
    if (chosen.isEmpty()) {
        keepChanges();
        return;
    }
    openFolder_ = QDir::currentPath();
    window_.NuovoSchema();

    // The whole file is read and checked before the grid is replaced, so a
    // failed open leaves the previous grid, and its file name, as they were:
    // a later "Save" must not write the old grid over the file that failed.
    // Regular files only, and only up to a size no crossword file reaches: a
    // FIFO or /dev/zero must not hang the window.
    // Any name but .puz and .ipuz is read as a .kvl file, as it always was.
    const PuzzleFileFormat format = formatOf(chosen).value_or(PuzzleFileFormat::Kvl);
    const PuzzleReadResult read =
        openDocument(doc_, QFile::encodeName(chosen).toStdString(), format);
    if (!read.puzzle) {
        keepChanges();
        // A .kvl that fails says what it always said; another program's
        // puzzle is refused in a box that names the file and the cause.
        if (format == PuzzleFileFormat::Kvl)
            showOpenSaveError();
        else
            showAttention(fromError(read.error));
        return;
    }
    window_.gridOpened();
    rememberRecentFile(currentFile());
    // What the reader changed to open it is told once it is open.
    if (!read.warnings.empty()) {
        QString text = chosen + QStringLiteral(" is open, with these changes:");
        for (const std::string& w : read.warnings)
            text += QStringLiteral("\r\n\r\n") + QString::fromStdString(w);
        showAttention(text);
    }
}

bool FileCommands::save() {
    if (window_.busy()) {
        window_.showNotice(BusyNotSaved);
        return false;
    }
    const std::optional<PuzzleFileFormat> format = formatOf(currentFile());
    // A .puz holds less than the document (no unplaced clues, no contact)
    // and is never written over unasked: Save as... proposes an .ipuz.
    if (format == PuzzleFileFormat::Puz)
        return saveAsFiltered(IpuzFilter);
    if (format == PuzzleFileFormat::Ipuz)
        return savePuzzle();
    if (holdsMoreThanGrid(doc_)) {
        const QString text =
            currentFile() +
            QStringLiteral(" keeps the grid alone: the clues, details and circles of this "
                           "puzzle would not be saved in it.\r\nSave the puzzle as .ipuz "
                           "instead?\r\n(No saves the grid alone.)");
        const MsgAnswer answer = desktop_.messageBox(parent_, AttentionTitle, text,
                                                     MsgIcon::Question, MsgButtons::YesNoCancel);
        if (answer == MsgAnswer::Yes)
            return saveAsFiltered(IpuzFilter);
        if (answer != MsgAnswer::No)
            return false;
    }
    // Every step of the write is checked; a failure leaves the old file as it
    // was (QSaveFile would rename a short file into place on a full disk).
    std::string error;
    if (!saveDocument(doc_, PuzzleFileFormat::Kvl, error)) {
        showOpenSaveError();
        return false;
    }
    window_.setSaveItems(true, true);
    rememberRecentFile(currentFile());
    return true;
}

bool FileCommands::savePuzzle() {
    std::string error;
    if (!saveDocument(doc_, PuzzleFileFormat::Ipuz, error)) {
        showAttention(currentFile() + QStringLiteral(" was not saved: ") + fromError(error));
        return false;
    }
    window_.setSaveItems(true, true);
    rememberRecentFile(currentFile());
    return true;
}

void FileCommands::saveAs() {
    const bool puzzle =
        formatOf(currentFile()).value_or(PuzzleFileFormat::Kvl) != PuzzleFileFormat::Kvl ||
        holdsMoreThanGrid(doc_);
    saveAsFiltered(puzzle ? IpuzFilter : KvlFilter);
}

bool FileCommands::saveAsFiltered(int filter) {
    if (window_.busy()) {
        window_.showNotice(BusyNotSaved);
        return false;
    }
    const QString current = currentFile();
    QString name = current;
    if (filter == KvlFilter)
        applyExtensionRule(name);
    else
        name = ipuzProposal(name);
    previousFile_ = name;
    name = chooseFile(true, QStringLiteral("Select the file to save"), SaveFilters,
                      proposalFor(previousFile_), filter);
    if (name.isEmpty()) {
        // A cancelled .kvl dialog leaves its proposal as the file, as it
        // always did; an .ipuz proposal never becomes a file unasked.
        setCurrentFile(filter == KvlFilter ? previousFile_ : current);
        return false;
    }
    // A name ending in .ipuz or .kvl says which it wants; otherwise the
    // filter decides and its extension is added.
    const std::optional<PuzzleFileFormat> named = formatOf(name);
    if (named != PuzzleFileFormat::Ipuz) {
        if (filter == IpuzFilter && named != PuzzleFileFormat::Kvl)
            name += QStringLiteral(".ipuz");
        else
            applyExtensionRule(name);
    }
    setCurrentFile(name);
    if (!save())
        return false;
    window_.setCaption(currentFile());
    return true;
}

void FileCommands::askSaveChanges() {
    const QString text = QString::fromStdString(unsavedChangeMessage(currentFile().toStdString()));
    const MsgAnswer answer = desktop_.messageBox(parent_, fromBytes(UnsavedChangeTitle), text,
                                                 MsgIcon::Critical, MsgButtons::YesNoCancel);
    if (answer == MsgAnswer::Yes)
        saveAs();
    else if (answer == MsgAnswer::No) {
        doc_.edit([](DocumentEdit& e) { e.setDocumentChanged(false); });
        changesGivenUp_ = true;
    }
}

bool FileCommands::settleUnsavedChanges() {
    if (doc_.isModified())
        askSaveChanges();
    return !doc_.isModified();
}

FileCommands::Replacement FileCommands::settleBeforeReplacing() {
    changesGivenUp_ = false;
    const bool allowed = settleUnsavedChanges();
    return {allowed, changesGivenUp_};
}

void FileCommands::keepGivenUpChanges(const Replacement& replacing) {
    if (replacing.changesGivenUp)
        doc_.edit([](DocumentEdit& e) { e.setDocumentChanged(true); });
}

} // namespace korvel
