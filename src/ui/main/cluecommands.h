// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editorstate.h"

#include <QDockWidget>
#include <QList>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>

class QAction;
class QMainWindow;
class QMenu;

namespace korvel {

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
};

// View > Clues, which shows the clue panel beside the grid (made the first
// time it is asked for, so that a window that never shows it is the window
// it always was), and File > Puzzle Details..., which edits the details.
// Both change the document only through its edit.
class ClueCommands : public QObject {
    Q_OBJECT
public:
    explicit ClueCommands(ClueContext context) : c_(std::move(context)) {}
    // Takes the panel away while the document it observes is still there.
    ~ClueCommands() override;

    // Adds "Puzzle Details..." to the file menu before before, and "Clues"
    // at the end of the view menu; returns the new actions for the window's
    // table of items.
    QList<QAction*> addMenuItems(QMenu* file, QAction* before, QMenu* view);

    void Definizioni_Click(bool shown); // View > Clues ticked or not
    void Dettagli_Click();              // File > Puzzle Details...

    // nullptr until View > Clues is first ticked.
    CluePanel* panel() const { return panel_; }
    QDockWidget* dock() const { return dock_; }

private:
    ClueContext c_;
    QAction* details_ = nullptr;
    QAction* clues_ = nullptr;
    QPointer<QDockWidget> dock_;
    CluePanel* panel_ = nullptr;
};

} // namespace korvel
