// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cellchange.h"
#include "clueset.h"
#include "gridmodel.h"
#include "promptstate.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

inline constexpr std::string_view HistoryClearedTitle = "Attention!";
inline constexpr std::string_view HistoryClearedText = "Actions history now cleared";
inline constexpr std::string_view HistoryAnomalyTitle = "Attention !";
inline constexpr std::string_view HistoryAnomalyText =
    "Probable anomaly in actions history. Possible errors with restore.";

// The cells the last undo, redo or take-back restored, in the order restored.
// Room for MaxSide + 1 cells; a walk that would restore more stops with the
// anomaly message.
struct RestoredCells {
    std::vector<int16_t> rows;
    std::vector<int16_t> columns;
    // The byte each cell held before it was restored.
    std::vector<char> previous;
    int16_t count = 0;
    std::size_t capacity = 0;

    void reset(int16_t maxSide);
};

// What aggior did; the window shows the message and sets the Undo button.
struct AggiorResult {
    bool recorded = false;       // the cell was stored and changed
    bool historyCleared = false; // show HistoryClearedText under HistoryClearedTitle
};

// What an undo or redo did. When anomaly is true the window shows
// HistoryAnomalyText under HistoryAnomalyTitle, and HistoryLength, RedoLimit,
// the buttons and the status texts were left as they were; the cells restored
// before the failure stay restored. Otherwise statusText goes to panel 2 and
// panels 3 and 4 become " "; the restored cells get the selection box one
// after the other, the last one staying current.
struct RestoreResult {
    bool anomaly = false;
    std::string statusText;
    // A bulk change was taken back or put back whole: no cell went into the
    // restored cells; the window draws box instead (when it has a width).
    bool bulk = false;
    Selection box;
};

// A change of many cells, clues or details at once, one step of the
// timeline: a fill, Fill Again, a clue or detail edit. Each cell keeps the
// byte before and after, each clue what its key held before and after.
struct BulkChange {
    std::vector<CellChange> cells;
    std::vector<ClueChange> clues;
    std::optional<DetailsChange> details;
    // The region shown after its undo or redo; LAX 0 for none.
    Selection box;

    bool empty() const { return cells.empty() && clues.empty() && !details; }
};

// The undo and redo store: 301 16-bit entries holding three-entry cell
// records (row, plus 1000 for an action's first cell; column; the code of the
// character the cell does not hold at present). Undo and redo perform the
// same swap on a record. Holds 100 records; the next change after that clears
// it with a message.
//
// Bulk changes are a second kind of record on the same timeline. A fill
// writes up to 875 cells as one action while the store holds 100 cell
// records, so a bulk change is kept whole beside the store, anchored at the
// HistoryLength it was made at: it comes after the records below its anchor
// and before those from it on; bulk changes at the same anchor follow each
// other in the order made. Undo and Redo at HistoryLength == anchor take back
// the last bulk change in force there, or put back the first one taken back;
// everywhere else the record walk runs as it always did. A walk never crosses
// an anchor, because the first record after a bulk change always begins an
// action. Emptying the store (full, or a new grid) drops every bulk change;
// a cell recorded while bulk changes are taken back drops those, as it drops
// the records that could have been redone.
class ActionsHistory {
public:
    static constexpr int StoreSize = 301;
    static constexpr int16_t Full = 300;
    static constexpr int16_t ActionMarker = 1000;

    const std::array<int16_t, StoreSize>& store() const { return store_; }
    int16_t HistoryLength() const { return HistoryLength_; }
    int16_t RedoLimit() const { return RedoLimit_; }
    int16_t PendingStart() const { return PendingStart_; }
    // 1 when the grid changed since it was created, opened or saved.
    int16_t DocumentChanged() const { return DocumentChanged_; }
    // The toolbar's "a7" (Undo) and "a8" (Redo) enabled states.
    bool undoEnabled() const { return undoEnabled_; }
    bool redoEnabled() const { return redoEnabled_; }
    const RestoredCells& restored() const { return restored_; }

    // A new, opened or saved grid, or changes given up: clears or sets
    // DocumentChanged; nothing else moves.
    void setDocumentChanged(bool changed) { DocumentChanged_ = changed ? 1 : 0; }

    // A new or opened grid: empty history, both buttons disabled, room for
    // maxSide + 1 restored cells. The store's entries are kept (they are out
    // of force).
    void reset(int16_t maxSide);

    void beginAction() { PendingStart_ = ActionMarker; }

    // Writes carm into the cell (CurrentRow, CurrentColumn) and records the
    // change. Nothing at all happens when the cell already holds carm. A full
    // history is cleared first. A cell outside the grid is neither stored nor
    // changed, yet Undo is enabled and DocumentChanged set, as for a change.
    AggiorResult aggior(GridModel& grid, int16_t CurrentRow, int16_t CurrentColumn, char carm);

    // The check the toolbar runs before every key: clears a full history.
    // Returns true when it did (the window shows the message).
    bool clearIfFull();

    // Undo ("a7") and Redo ("a8"). They move the current cell to the cells
    // they restore; the caller clears priclk. text is what bulk changes of
    // clues and details act on; without it such a change counts as broken.
    RestoreResult undo(GridModel& grid, int16_t& CurrentRow, int16_t& CurrentColumn,
                       PuzzleText* text = nullptr);
    RestoreResult redo(GridModel& grid, int16_t& CurrentRow, int16_t& CurrentColumn,
                       PuzzleText* text = nullptr);

    // The placement's silent take-back of the last action: the undo walk
    // without selection, buttons or status text; RedoLimit is left alone.
    // Returns false on an anomaly (HistoryLength is then left as it was).
    bool takeBackLastAction(GridModel& grid);

    // Applies a bulk change as one action. A full store is cleared first, as
    // aggior clears it before a recorded change (historyCleared asks for the
    // message). Whatever was taken back, records and bulk changes, can no
    // longer be put back. Sets DocumentChanged, enables Undo, disables Redo,
    // and makes the next recorded cell begin a new action. A change whose
    // before values are not what the grid and text hold is refused (recorded
    // false, nothing changes); so is an empty one.
    AggiorResult record(GridModel& grid, PuzzleText* text, BulkChange change);

    // The bulk change that is the last action in force, or nullptr (a record
    // came after it, it was taken back, or there is none).
    const BulkChange* lastBulkInForce() const;
    // The bulk change a Redo would put back now, or nullptr.
    const BulkChange* nextBulkToRedo() const;
    // Takes that change back and forgets it, as the placement takes back its
    // trial word: for "Fill Again", which puts another fill in its place.
    // Returns false when there is none or the grid no longer holds it.
    bool dropLastBulk(GridModel& grid, PuzzleText* text);
    std::size_t bulkCount() const { return bulks_.size(); }
    std::size_t bulksInForce() const { return inForce_; }

    // Marker and row of the record whose first entry is v.
    static int16_t markerOf(int16_t v) { return static_cast<int16_t>(v / ActionMarker); }
    static int16_t rowOf(int16_t v) {
        return static_cast<int16_t>(v - ActionMarker * (v / ActionMarker));
    }

private:
    // The tests damage a record, or set the length of a full store, to
    // reach the paths no edit leads to.
    friend struct HistoryTestAccess;

    struct Bulk {
        int16_t anchor = 0;
        BulkChange change;
    };

    std::array<int16_t, StoreSize> store_{};
    int16_t HistoryLength_ = 0;
    int16_t RedoLimit_ = 0;
    // Added to the row of the next recorded cell; whoever begins an action
    // sets it to 1000 (beginAction).
    int16_t PendingStart_ = 0;
    int16_t DocumentChanged_ = 0;
    bool undoEnabled_ = false;
    bool redoEnabled_ = false;
    RestoredCells restored_;
    std::vector<Bulk> bulks_;
    // bulks_[0, inForce_) are in force, the rest taken back.
    std::size_t inForce_ = 0;

    void clear();
    RestoreResult undoRecords(GridModel& grid, int16_t& CurrentRow, int16_t& CurrentColumn);
    RestoreResult redoRecords(GridModel& grid, int16_t& CurrentRow, int16_t& CurrentColumn);
    // Takes a bulk change back (forward false) or puts it back, after
    // checking that the grid and text hold its other side.
    static bool holds(const GridModel& grid, const PuzzleText* text, const BulkChange& change,
                      bool after);
    static void apply(GridModel& grid, PuzzleText* text, const BulkChange& change, bool after);
    // Swaps the record at index k with its cell. Returns false when the
    // record or the restored-cells list would reach outside its bounds.
    bool swapRecord(GridModel& grid, int k, int16_t& row, int16_t& column);
};

} // namespace korvel
