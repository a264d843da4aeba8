// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editshown.h"
#include "tool.h"

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
class GridDocument;

// What the clue commands need of the window around them.
struct ClueContext {
    GridDocument& doc;
    // The window the clue panel docks on and the details dialog belongs to.
    QMainWindow* window;
    // The one place an edit's outcome is shown (boxes, repaint, Undo/Redo).
    std::function<void(const EditShown&)> showEdit;
    // Scrolls the grid so that the cell is in view.
    std::function<void(int16_t, int16_t)> showCell;
    std::function<bool()> busy;
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

    // A click in the grid with a writing tool: the entry of the slot through
    // the cell along the tool's direction becomes the panel's current one.
    void gridClicked(int16_t row, int16_t column, Tool tool);

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
