#include "fillhistory.h"

#include <string>

namespace korvel {

void FillHistory::sync(const ActionsHistory& history) {
    if (history.clearCount_ != seenClears_) {
        fills_.clear();
        inForce_ = 0;
    } else if (history.recordCount_ != seenRecords_) {
        // A cell recorded while fills were taken back discards them, as it
        // discards the records that could have been redone.
        fills_.resize(inForce_);
    }
    seenClears_ = history.clearCount_;
    seenRecords_ = history.recordCount_;
}

bool FillHistory::holds(const GridModel& grid, const std::vector<CellChange>& changes, bool after) {
    for (const CellChange& ch : changes) {
        if (!grid.contains(ch.row, ch.column) ||
            grid.cell(ch.row, ch.column) != (after ? ch.after : ch.before))
            return false;
    }
    return true;
}

void FillHistory::write(GridModel& grid, const std::vector<CellChange>& changes, bool after) {
    for (const CellChange& ch : changes)
        grid.setCell(ch.row, ch.column, after ? ch.after : ch.before);
}

AggiorResult FillHistory::record(GridModel& grid, ActionsHistory& history,
                                 std::vector<CellChange> changes, Selection box) {
    AggiorResult res;
    sync(history);
    if (changes.empty() || !holds(grid, changes, false))
        return res;
    res.historyCleared = history.clearIfFull();
    sync(history);
    // A new change discards whatever could have been put back.
    fills_.resize(inForce_);
    history.RedoLimit_ = history.HistoryLength_;
    write(grid, changes, true);
    fills_.push_back(Fill{history.HistoryLength_, std::move(changes), box});
    inForce_ = fills_.size();
    history.PendingStart_ = ActionsHistory::ActionMarker;
    history.undoEnabled_ = true;
    history.redoEnabled_ = false;
    history.DocumentChanged_ = 1;
    res.recorded = true;
    return res;
}

FillHistory::Restore FillHistory::undo(GridModel& grid, ActionsHistory& history,
                                       int16_t& CurrentRow, int16_t& CurrentColumn) {
    sync(history);
    Restore r;
    if (inForce_ == 0 || fills_[inForce_ - 1].anchor != history.HistoryLength_) {
        r.result = history.undo(grid, CurrentRow, CurrentColumn);
        // A fill below the records just taken back is still in force.
        if (!r.result.anomaly && inForce_ > 0)
            history.undoEnabled_ = true;
        return r;
    }
    const Fill& f = fills_[inForce_ - 1];
    r.fill = true;
    r.box = f.box;
    history.restored_.reset(grid.MaxSide);
    if (!holds(grid, f.changes, true)) {
        r.result.anomaly = true;
        return r;
    }
    write(grid, f.changes, false);
    --inForce_;
    CurrentRow = f.changes.front().row;
    CurrentColumn = f.changes.front().column;
    history.redoEnabled_ = true;
    history.undoEnabled_ = history.HistoryLength_ > 0 || inForce_ > 0;
    r.result.statusText = " Undo n. " + std::to_string(history.HistoryLength_ / 3 + 1) + " ";
    return r;
}

FillHistory::Restore FillHistory::redo(GridModel& grid, ActionsHistory& history,
                                       int16_t& CurrentRow, int16_t& CurrentColumn) {
    sync(history);
    Restore r;
    if (inForce_ == fills_.size() || fills_[inForce_].anchor != history.HistoryLength_) {
        r.result = history.redo(grid, CurrentRow, CurrentColumn);
        // The records put back reached a fill that can be put back next.
        if (!r.result.anomaly && inForce_ < fills_.size() &&
            fills_[inForce_].anchor == history.HistoryLength_)
            history.redoEnabled_ = true;
        return r;
    }
    const Fill& f = fills_[inForce_];
    r.fill = true;
    r.box = f.box;
    history.restored_.reset(grid.MaxSide);
    if (!holds(grid, f.changes, false)) {
        r.result.anomaly = true;
        return r;
    }
    write(grid, f.changes, true);
    ++inForce_;
    CurrentRow = f.changes.front().row;
    CurrentColumn = f.changes.front().column;
    history.undoEnabled_ = true;
    history.redoEnabled_ = history.HistoryLength_ < history.RedoLimit_ || inForce_ < fills_.size();
    r.result.statusText = " Redo n. " + std::to_string(history.HistoryLength_ / 3) + " ";
    return r;
}

const FillHistory::Fill* FillHistory::lastInForce(const ActionsHistory& history) {
    sync(history);
    if (inForce_ == 0 || fills_[inForce_ - 1].anchor != history.HistoryLength_)
        return nullptr;
    return &fills_[inForce_ - 1];
}

bool FillHistory::dropLast(GridModel& grid, ActionsHistory& history) {
    const Fill* f = lastInForce(history);
    if (!f || !holds(grid, f->changes, true))
        return false;
    write(grid, f->changes, false);
    fills_.resize(inForce_ - 1);
    inForce_ = fills_.size();
    history.undoEnabled_ = history.HistoryLength_ > 0 || inForce_ > 0;
    return true;
}

} // namespace korvel
