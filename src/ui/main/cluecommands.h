// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editorstate.h"

#include <QDockWidget>
#include <QList>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QMainWindow;
class QMenu;

namespace korvel {

class ClueHelpPanel;
class ClueHelpService;
class CluePanel;
class Desktop;
class GridCanvas;
class GridDocument;
struct SearchFlags;

// What the clue commands work with; all outlive them.
struct ClueContext {
    GridDocument& doc;
    // A chosen entry's word is boxed through it; the panel follows its
    // write cursor.
    EditorState& editor;
    // The grid picture, scrolled to show a chosen word.
    GridCanvas& canvas;
    // While a search runs (busy), edits are refused.
    const SearchFlags& flags;
    Desktop& desktop; // the history's boxes
    // The window the clue panel docks on and the details dialog belongs to.
    QMainWindow* window;
    // The folder of the loaded dictionaries: definitions are looked for
    // there, then in the installed set of its language.
    const std::string& dictFolder;
};

// View > Clues, which shows the clue panel beside the grid (made the first
// time it is asked for, so that a window that never shows it is the window
// it always was), with the help for the chosen entry's clue under it; File >
// Puzzle Details..., which edits the details; and the constructor's clue
// memory: every save of a puzzle remembers its clues on the memory's own
// thread (a memory that cannot be written never stops or slows the save;
// the panel says why), and Tools > Remember This Puzzle's Clues and Forget
// Remembered Clues... do so on request. All change the document only
// through its edit.
class ClueCommands : public QObject {
    Q_OBJECT
public:
    explicit ClueCommands(ClueContext context);
    // Takes the panel away while the document it observes is still there.
    ~ClueCommands() override;

    // Adds "Puzzle Details..." to the file menu before before, "Clues" at
    // the end of the view menu, and the clue memory's items at the end of
    // the tools menu; returns the new actions for the window's table of
    // items.
    QList<QAction*> addMenuItems(QMenu* file, QAction* before, QMenu* view, QMenu* tools);

    void Definizioni_Click(bool shown); // View > Clues ticked or not
    void Dettagli_Click();              // File > Puzzle Details...
    void Ricorda_Click();               // Tools > Remember This Puzzle's Clues
    void Dimentica_Click();             // Tools > Forget Remembered Clues...

    // The document was saved to its file: its clues go to the memory.
    void puzzleSaved();

    // nullptr until View > Clues is first ticked.
    CluePanel* panel() const { return panel_; }
    ClueHelpPanel* helpPanel() const { return help_; }
    QDockWidget* dock() const { return dock_; }
    // The memory and the definitions, made on first use.
    ClueHelpService& service();
    // Why the memory was last not written, "" when the last write worked.
    const QString& memoryProblem() const { return memoryProblem_; }
    // Memory writes asked for and not yet done.
    int pendingWrites() const { return pendingWrites_; }

signals:
    // A memory write ended; problem is "" when it worked.
    void memoryWritten(const QString& problem);

private:
    // Remembers the document's clues under its file; then runs done on the
    // window's thread with "" or why not.
    void remember(std::function<void(const QString&, int)> done);
    void showMemoryProblem(const QString& problem);

    ClueContext c_;
    QAction* details_ = nullptr;
    QAction* clues_ = nullptr;
    QAction* remember_ = nullptr;
    QAction* forget_ = nullptr;
    QPointer<QDockWidget> dock_;
    CluePanel* panel_ = nullptr;
    ClueHelpPanel* help_ = nullptr;
    QString memoryProblem_;
    int pendingWrites_ = 0;
    // Last: its threads end (finishing the writes queued) first.
    std::unique_ptr<ClueHelpService> service_;
};

} // namespace korvel
