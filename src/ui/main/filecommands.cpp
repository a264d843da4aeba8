#include "filecommands.h"

#include "bytetext.h"
#include "desktop.h"
#include "griddocument.h"
#include "kvlfile.h"
#include "recentfiles.h"
#include "startfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

namespace korvel {

namespace {

// Panel 3 when Save or Save as... meets a busy window.
const QString BusyNotSaved = QStringLiteral(" Not saved: a search or fill is running ");

void applyExtensionRule(QString& name) {
    name = QFile::decodeName(
        QByteArray::fromStdString(withKvlExtension(QFile::encodeName(name).toStdString())));
}

} // namespace

QString FileCommands::currentFile() const {
    return QFile::decodeName(QByteArray::fromStdString(doc_.fileName()));
}

void FileCommands::setCurrentFile(const QString& name) {
    doc_.setFileName(QFile::encodeName(name).toStdString());
}

void FileCommands::showOpenSaveError() {
    desktop_.messageBox(parent_, QGuiApplication::applicationDisplayName(),
                        fromBytes(OpenSaveErrorText), MsgIcon::None, MsgButtons::Ok);
}

QString FileCommands::chooseFile(bool save, const QString& title, const QString& filter,
                                 const QString& proposal) {
    const QString start = startFolder(QDir::currentPath());
    QString chosen = save ? desktop_.chooseFileToSave(parent_, title, filter, start, proposal)
                          : desktop_.chooseFileToOpen(parent_, title, filter, start);
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
        chosen = chooseFile(false, QStringLiteral("Select the file to open"),
                            QStringLiteral("File Korvel(*.kvl;*.KVL) (*.kvl *.KVL)"), QString());
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
    std::string error;
    if (!doc_.open(QFile::encodeName(chosen).toStdString(), error)) {
        keepChanges();
        showOpenSaveError();
        return;
    }
    window_.gridOpened();
    rememberRecentFile(currentFile());
}

bool FileCommands::save() {
    if (window_.busy()) {
        window_.showNotice(BusyNotSaved);
        return false;
    }
    // Every step of the write is checked; a failure leaves the old file as it
    // was (QSaveFile would rename a short file into place on a full disk).
    std::string error;
    if (!doc_.save(error)) {
        showOpenSaveError();
        return false;
    }
    window_.setSaveItems(true, true);
    rememberRecentFile(currentFile());
    return true;
}

void FileCommands::saveAs() {
    if (window_.busy()) {
        window_.showNotice(BusyNotSaved);
        return;
    }
    QString name = currentFile();
    applyExtensionRule(name);
    previousFile_ = name;
    name = chooseFile(true, QStringLiteral("Select the file to save"),
                      QStringLiteral("File Korvel *.kvl (*.kvl)"), proposalFor(previousFile_));
    if (name.isEmpty()) {
        setCurrentFile(previousFile_);
        return;
    }
    applyExtensionRule(name);
    setCurrentFile(name);
    if (!save())
        return;
    window_.setCaption(currentFile());
}

void FileCommands::askSaveChanges() {
    const QString text = QString::fromStdString(unsavedChangeMessage(currentFile().toStdString()));
    const MsgAnswer answer = desktop_.messageBox(parent_, fromBytes(UnsavedChangeTitle), text,
                                                 MsgIcon::Critical, MsgButtons::YesNoCancel);
    if (answer == MsgAnswer::Yes)
        saveAs();
    else if (answer == MsgAnswer::No) {
        doc_.markSaved();
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
        doc_.markChanged();
}

} // namespace korvel
