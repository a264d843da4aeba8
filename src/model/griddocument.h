// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "actionshistory.h"
#include "clueset.h"
#include "gridmodel.h"
#include "placement.h"
#include "puzzle.h"
#include "slots.h"

#include <cstdint>
#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace korvel {

class GridDocument;

// What one change of the document changed, for its observers.
struct DocumentChange {
    // Cells whose byte differs from before the change (r * ColumnCount + c,
    // ascending). A cell written and put back within the change is not here.
    std::vector<int> cells;
    // A cell turned black or stopped being black: the slots were computed anew.
    bool blacks = false;
    // A new grid or an opened file replaced everything; cells is empty then.
    bool reset = false;
    bool clues = false;
    bool details = false;
    // The Undo or Redo key's enabled state changed.
    bool history = false;
    // The file name or the changed flag changed.
    bool file = false;

    bool any() const {
        return reset || blacks || clues || details || history || file || !cells.empty();
    }
};

// Told after every change of the document, on the thread that made it.
class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    virtual void documentChanged(const GridDocument& document, const DocumentChange& change) = 0;
};

// The one way to change a document: handed to the function GridDocument::edit
// runs, and valid only during it. Every write of a cell, a clue or a detail
// goes through it, recorded in the history or (layCell) not; when the
// function returns, the document normalizes the blacks, computes the slots
// again if a black cell changed, and tells its observers what changed.
class DocumentEdit {
public:
    DocumentEdit(const DocumentEdit&) = delete;
    DocumentEdit& operator=(const DocumentEdit&) = delete;

    const GridModel& grid() const;
    const ActionsHistory& history() const;
    const ClueSet& clues() const;
    const PuzzleDetails& details() const;
    // The slots of the grid as it is now, within the edit too.
    const Slots& wordSlots();
    Placement& placement();

    // The history's operations on the document's grid (see ActionsHistory).
    void beginAction();
    AggiorResult aggior(int16_t row, int16_t column, char carm);
    bool clearIfFull();
    RestoreResult undo(int16_t& CurrentRow, int16_t& CurrentColumn);
    RestoreResult redo(int16_t& CurrentRow, int16_t& CurrentColumn);
    bool takeBackLastAction();
    AggiorResult record(BulkChange change);
    const BulkChange* lastBulkInForce() const;
    bool dropLastBulk();

    // Writes a cell without recording it, as making a grid and opening a
    // file do: for laying out a grid that the history starts from.
    void layCell(int16_t row, int16_t column, char ch);
    // The next list click places its word without taking anything back.
    void clearPriclk();

    // The file the document was opened from or saved to, and whether it
    // holds changes not saved (DocumentChanged): a save, or changes given up
    // at the prompt, clears the flag; a replacement that did not happen after
    // all sets it again.
    void setFileName(std::string name);
    void setDocumentChanged(bool changed);

    // A clue's text for a slot, as one recorded change; an empty text
    // deletes the clue. The clue is then written for the slot's answer as
    // it stands. Refused (recorded false) when nothing would change.
    AggiorResult setClue(const Slot& slot, std::string text);
    // Deletes the clue under key (placed or not) as one recorded change.
    AggiorResult deleteClue(const ClueKey& key);
    // Puts an unplaced clue on the slot that starts at its key now, as one
    // recorded change.
    AggiorResult placeClue(const ClueKey& key);
    // Keeps a placed clue whose answer changed (answerChanged) as it is, for
    // the answer its slot holds now, as one recorded change.
    AggiorResult confirmClue(const ClueKey& key);
    AggiorResult setDetails(PuzzleDetails details);

private:
    friend class GridDocument;
    explicit DocumentEdit(GridDocument& doc);
    // Remembers the byte of each cell the first time the edit may touch it.
    void touch(int16_t row, int16_t column);
    void touchBulk(const BulkChange* change);
    void noteText(const BulkChange& change);
    // Undo and redo alike: bulk is the record the step will restore when it
    // is a bulk one; step runs the history's undo or redo.
    template <class Step> RestoreResult restoreStep(const BulkChange* bulk, Step step);
    DocumentChange finish();

    GridDocument& doc_;
    std::map<int, char> before_;
    bool clues_ = false;
    bool details_ = false;
    bool slotsStale_ = false;
    bool file_ = false;
    // An undo, redo or take-back ran: what it changed counts as a change
    // since the save, as a recorded one does.
    bool restored_ = false;
    bool undoWas_ = false;
    bool redoWas_ = false;
    bool modifiedWas_ = false;
};

// What a user edits and saves: the grid, its clues and details, its actions
// history, the trial placement of the results list and the file name. Read
// through the const accessors; changed only through edit(), newGrid() and
// openPuzzle(). Every change of the content sets the changed flag, an Undo
// or Redo included, so that closing never loses an undone state; a new or
// opened grid clears it, and a save or changes given up clear it through
// edit().
class GridDocument {
public:
    const GridModel& grid() const { return grid_; }
    const ActionsHistory& history() const { return history_; }
    const Placement& placement() const { return placement_; }
    const Slots& wordSlots() const { return slots_; }
    const ClueSet& clues() const { return text_.clues; }
    const PuzzleDetails& details() const { return text_.details; }
    const std::vector<int>& circles() const { return circles_; }
    // The whole puzzle, for the file writers and the exports.
    Puzzle puzzle() const;

    // Runs fn(DocumentEdit&) as one change of the document and returns what
    // fn returns. Observers are told once fn has returned.
    template <typename Fn> decltype(auto) edit(Fn&& fn) {
        DocumentEdit e(*this);
        if constexpr (std::is_void_v<std::invoke_result_t<Fn, DocumentEdit&>>) {
            fn(e);
            notify(e.finish());
        } else {
            decltype(auto) result = fn(e);
            notify(e.finish());
            return result;
        }
    }

    // The file the grid was opened from or saved to, as the file system's
    // bytes; empty for a new grid.
    const std::string& fileName() const { return fileName_; }

    // True while the grid holds changes not saved (DocumentChanged is 1).
    bool isModified() const { return history_.DocumentChanged() == 1; }
    int16_t DocumentChanged() const { return history_.DocumentChanged(); }

    // Set after a result was placed; the next list click first takes it back.
    bool priclk() const { return placement_.priclk; }

    // A new empty grid of rows x columns, not yet named and not changed, with
    // no clues, details or circles and an empty history; its language (a
    // code, see PuzzleDetails) is given, as the loaded set's, or none.
    void newGrid(int16_t rows, int16_t columns, std::string language = {});

    // Replaces everything with a puzzle read from path (any format; the
    // readers are loadPuzzleFile's): empty history, not changed.
    void openPuzzle(Puzzle puzzle, std::string path);

    // Observers are not owned; one must be removed before it goes.
    void addObserver(DocumentObserver* observer);
    void removeObserver(DocumentObserver* observer);

private:
    friend class DocumentEdit;
    void replaced();
    void notify(const DocumentChange& change);

    GridModel grid_;
    PuzzleText text_;
    std::vector<int> circles_;
    Slots slots_;
    ActionsHistory history_;
    Placement placement_;
    std::string fileName_;
    std::vector<DocumentObserver*> observers_;
};

} // namespace korvel
