#pragma once

#include "actionshistory.h"
#include "cellchange.h"
#include "gridmodel.h"
#include "promptstate.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvel {

// A fill writes up to 875 cells as one action, while the actions history
// holds 100 cell records. So a fill is not stored in the history's records:
// its cells (each with the byte before and after) are kept here, beside the
// history, anchored at the HistoryLength it was made at. On the timeline a
// fill anchored at h comes after the records below h and before those from h
// on; fills anchored at the same h follow each other in the order made.
//
// Undo and Redo go through this class. At HistoryLength == h it takes back
// the last fill in force anchored there, or puts back the first one taken
// back; everywhere else the history's own undo and redo run unchanged. Their
// record walks never cross an anchor, because the first record after a fill
// always begins an action (the fill leaves PendingStart at 1000).
//
// The history knows nothing of this: the fills follow it through its
// counters. When the history is emptied (full, or a new grid) every fill goes
// too; when a cell is recorded while fills are taken back, those can no
// longer be put back and go, as undone records do.
class FillHistory {
public:
    struct Fill {
        int16_t anchor = 0;
        std::vector<CellChange> changes;
        // The region the fill was made for: the box shown after its undo or redo.
        Selection box;
    };

    // What an undo or redo did. When fill is false the history's own walk
    // ran and result is its result. When fill is true, a fill was taken back
    // or put back: restored holds no cells (the history's RestoredCells have
    // room for one row or column only); the window draws box instead.
    struct Restore {
        RestoreResult result;
        bool fill = false;
        Selection box;
    };

    // Applies changes to the grid as one action. A full history is cleared
    // first, as aggior clears it before a recorded change (historyCleared
    // then asks for the message). Whatever was taken back, records and fills,
    // can no longer be put back. Sets DocumentChanged, enables Undo, disables
    // Redo, and makes the next recorded cell begin a new action. Changes whose
    // before byte is not the cell's are refused (returns recorded false and
    // nothing changes). An empty list records nothing.
    AggiorResult record(GridModel& grid, ActionsHistory& history, std::vector<CellChange> changes,
                        Selection box);

    Restore undo(GridModel& grid, ActionsHistory& history, int16_t& CurrentRow,
                 int16_t& CurrentColumn);
    Restore redo(GridModel& grid, ActionsHistory& history, int16_t& CurrentRow,
                 int16_t& CurrentColumn);

    // The fill that is the last action in force, or nullptr (another change
    // came after it, or it was taken back, or there is none).
    const Fill* lastInForce(const ActionsHistory& history);
    // Takes that fill back and forgets it, as the placement takes back its
    // trial word: for "Fill Again", which puts another fill in its place.
    // Returns false when there is none or its cells no longer hold what it wrote.
    bool dropLast(GridModel& grid, ActionsHistory& history);

    std::size_t size() const { return fills_.size(); }
    std::size_t inForce() const { return inForce_; }

private:
    void sync(const ActionsHistory& history);
    static bool holds(const GridModel& grid, const std::vector<CellChange>& changes, bool after);
    static void write(GridModel& grid, const std::vector<CellChange>& changes, bool after);

    std::vector<Fill> fills_;
    // fills_[0, inForce_) are in force, the rest taken back.
    std::size_t inForce_ = 0;
    uint32_t seenClears_ = 0;
    uint32_t seenRecords_ = 0;
};

} // namespace korvel
