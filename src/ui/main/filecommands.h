// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace korvel {

class Desktop;
class GridDocument;

// What the file commands need of the window around them: whether it is busy,
// and its part of a new or opened grid.
class FileWindow {
public:
    virtual bool busy() const = 0;
    // The grid tools' buttons all released.
    virtual void releaseTools() = 0;
    // The new layout before a grid is replaced (NuovoSchema).
    virtual void NuovoSchema() = 0;
    // A grid was opened: Inizio, then the window starts on it afresh.
    virtual void gridOpened() = 0;
    virtual void setCaption(const QString& tail) = 0;
    // The enabled states of "Save" and "Save as...".
    virtual void setSaveItems(bool save, bool saveAs) = 0;
    // Why a command did nothing, in panel 3.
    virtual void showNotice(const QString& text) = 0;
    // The document was written to its file (every type): its clues go to
    // the clue memory. Called after the save, which it never holds up.
    virtual void documentSaved() {}

protected:
    ~FileWindow() = default;
};

// File > Open..., Save, Save as... and the unsaved-change prompt that New...,
// Open... and Exit run. The document reads and writes the files; this asks
// the user for names and answers through the desktop and tells the window.
class FileCommands {
public:
    FileCommands(Desktop& desktop, GridDocument& document, FileWindow& window, QWidget* parent)
        : desktop_(desktop), doc_(document), window_(window), parent_(parent) {}

    // "Open...", with the dialog's answer, or with given standing for it.
    void open(const QString* given);
    // "Save": true when the file was written.
    bool save();
    // "Save As...".
    void saveAs();
    void askSaveChanges();
    // Runs the unsaved-change prompt when the grid has changes; true when the
    // grid may now be replaced or the program end (saved, or No), false when
    // the user kept it (Cancel, or a save that failed).
    bool settleUnsavedChanges();

    // The prompt before New... or Open... replaces the grid. Changes given up
    // with No are lost only once a grid really replaces them: a cancelled or
    // failed replacement keeps them marked changed.
    struct Replacement {
        bool allowed = false;        // saved, unchanged, or No
        bool changesGivenUp = false; // No was the answer
    };
    Replacement settleBeforeReplacing();
    void keepGivenUpChanges(const Replacement& replacing);

    // The folder "Open..." starts in.
    const QString& openFolder() const { return openFolder_; }
    void setOpenFolder(const QString& folder) { openFolder_ = folder; }

    void showOpenSaveError();
    QString currentFile() const;
    void setCurrentFile(const QString& name);

private:
    // The filter the Open dialog starts on: the one the user last chose in
    // it during this run, else Korvel's own files, or every crossword type
    // while a .puz or .ipuz is open.
    int openFilter() const;
    // The open or save dialog; filter is the one chosen at the start, and
    // the one chosen at the end.
    QString chooseFile(bool save, const QString& title, const QStringList& filters,
                       const QString& proposal, int& filter);
    // Save as... starting on the .kvl (0) or the .ipuz (1) filter; true when
    // the file was written.
    bool saveAsFiltered(int filter);
    // The whole puzzle to the .ipuz file the document is named after.
    bool savePuzzle();
    // A box naming a file and what went wrong, or what an open changed.
    void showAttention(const QString& text);

    Desktop& desktop_;
    GridDocument& doc_;
    FileWindow& window_;
    QWidget* parent_;
    QString previousFile_;
    QString openFolder_;
    // The Open dialog's filter the user chose this run; -1 for none yet.
    int chosenOpenFilter_ = -1;
    // The last unsaved-change prompt was answered No.
    bool changesGivenUp_ = false;
};

} // namespace korvel
