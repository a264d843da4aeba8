// SPDX-License-Identifier: GPL-3.0-or-later
#include "actionshistory.h"

namespace korvel {

void RestoredCells::reset(int16_t maxSide) {
    capacity = static_cast<std::size_t>(maxSide < 0 ? 0 : maxSide) + 1;
    rows.assign(capacity, 0);
    columns.assign(capacity, 0);
    previous.assign(capacity, 0);
    count = 0;
}

void ActionsHistory::reset(int16_t maxSide) {
    bulks_.clear();
    inForce_ = 0;
    HistoryLength_ = 0;
    RedoLimit_ = 0;
    undoEnabled_ = false;
    redoEnabled_ = false;
    restored_.reset(maxSide);
}

void ActionsHistory::clear() {
    bulks_.clear();
    inForce_ = 0;
    store_.fill(0);
    HistoryLength_ = 0;
    RedoLimit_ = 0;
}

bool ActionsHistory::clearIfFull() {
    if (HistoryLength_ != Full) {
        return false;
    }
    clear();
    return true;
}

AggiorResult ActionsHistory::aggior(GridModel& grid, int16_t CurrentRow, int16_t CurrentColumn,
                                    char carm) {
    AggiorResult res;
    const bool inside = grid.contains(CurrentRow, CurrentColumn);
    const char old = grid.cell(CurrentRow, CurrentColumn);
    if (inside && carm == old) {
        return res;
    }
    res.historyCleared = clearIfFull();
    if (inside) {
        const int k = HistoryLength_;
        store_[static_cast<std::size_t>(k)] = static_cast<int16_t>(PendingStart_ + CurrentRow);
        store_[static_cast<std::size_t>(k) + 1] = CurrentColumn;
        store_[static_cast<std::size_t>(k) + 2] = static_cast<unsigned char>(old);
        PendingStart_ = 0;
        HistoryLength_ = static_cast<int16_t>(HistoryLength_ + 3);
        RedoLimit_ = HistoryLength_;
        grid.setCell(CurrentRow, CurrentColumn, carm);
        // Bulk changes taken back can no longer be put back.
        bulks_.resize(inForce_);
        res.recorded = true;
    }
    undoEnabled_ = true;
    DocumentChanged_ = 1;
    return res;
}

bool ActionsHistory::swapRecord(GridModel& grid, int k, int16_t& row, int16_t& column) {
    if (k < 0 || k + 2 >= StoreSize) {
        return false;
    }
    const int16_t first = store_[static_cast<std::size_t>(k)];
    const int16_t r = rowOf(first);
    const int16_t c = store_[static_cast<std::size_t>(k) + 1];
    const int16_t code = store_[static_cast<std::size_t>(k) + 2];
    if (first < 0 || !grid.contains(r, c) || code < 0 || code > 255 ||
        static_cast<std::size_t>(restored_.count) >= restored_.capacity) {
        return false;
    }
    row = r;
    column = c;
    const char present = grid.cell(r, c);
    grid.setCell(r, c, static_cast<char>(static_cast<unsigned char>(code)));
    store_[static_cast<std::size_t>(k) + 2] = static_cast<unsigned char>(present);
    restored_.rows[static_cast<std::size_t>(restored_.count)] = r;
    restored_.columns[static_cast<std::size_t>(restored_.count)] = c;
    restored_.previous[static_cast<std::size_t>(restored_.count)] = present;
    ++restored_.count;
    return true;
}

RestoreResult ActionsHistory::undoRecords(GridModel& grid, int16_t& CurrentRow,
                                          int16_t& CurrentColumn) {
    RestoreResult res;
    restored_.reset(grid.MaxSide);
    int i = HistoryLength_;
    for (; i >= 3; i -= 3) {
        if (!swapRecord(grid, i - 3, CurrentRow, CurrentColumn)) {
            res.anomaly = true;
            return res;
        }
        if (store_[static_cast<std::size_t>(i) - 3] >= ActionMarker) {
            i -= 3;
            break;
        }
    }
    if (i < 0) {
        i = 0;
    }
    HistoryLength_ = static_cast<int16_t>(i);
    redoEnabled_ = true;
    if (HistoryLength_ == 0) {
        undoEnabled_ = false;
    }
    res.statusText = " Undo n. " + std::to_string(HistoryLength_ / 3 + 1) + " ";
    return res;
}

RestoreResult ActionsHistory::redoRecords(GridModel& grid, int16_t& CurrentRow,
                                          int16_t& CurrentColumn) {
    RestoreResult res;
    restored_.reset(grid.MaxSide);
    int i = HistoryLength_;
    for (; i <= RedoLimit_ - 3; i += 3) {
        if (!swapRecord(grid, i, CurrentRow, CurrentColumn)) {
            res.anomaly = true;
            return res;
        }
        if (i + 3 < StoreSize && store_[static_cast<std::size_t>(i) + 3] >= ActionMarker) {
            i += 3;
            break;
        }
    }
    HistoryLength_ = static_cast<int16_t>(i);
    undoEnabled_ = true;
    if (HistoryLength_ == RedoLimit_) {
        redoEnabled_ = false;
    }
    res.statusText = " Redo n. " + std::to_string(HistoryLength_ / 3) + " ";
    return res;
}

bool ActionsHistory::takeBackLastAction(GridModel& grid) {
    restored_.reset(grid.MaxSide);
    int k = HistoryLength_;
    int16_t r = 0;
    int16_t c = 0;
    for (; k >= 3; k -= 3) {
        if (!swapRecord(grid, k - 3, r, c)) {
            return false;
        }
        if (store_[static_cast<std::size_t>(k) - 3] >= ActionMarker) {
            k -= 3;
            break;
        }
    }
    HistoryLength_ = static_cast<int16_t>(k < 0 ? 0 : k);
    return true;
}

bool ActionsHistory::holds(const GridModel& grid, const PuzzleText* text, const BulkChange& change,
                           bool after) {
    for (const CellChange& ch : change.cells) {
        if (!grid.contains(ch.row, ch.column) ||
            grid.cell(ch.row, ch.column) != (after ? ch.after : ch.before))
            return false;
    }
    if ((!change.clues.empty() || change.details) && !text)
        return false;
    for (const ClueChange& ch : change.clues) {
        const Clue* present = text->clues.find(ch.key);
        const std::optional<Clue>& wanted = after ? ch.after : ch.before;
        if (static_cast<bool>(present) != wanted.has_value() || (present && *present != *wanted))
            return false;
    }
    if (change.details && text->details != (after ? change.details->after : change.details->before))
        return false;
    return true;
}

void ActionsHistory::apply(GridModel& grid, PuzzleText* text, const BulkChange& change,
                           bool after) {
    for (const CellChange& ch : change.cells)
        grid.setCell(ch.row, ch.column, after ? ch.after : ch.before);
    if (!text)
        return;
    for (const ClueChange& ch : change.clues) {
        const std::optional<Clue>& wanted = after ? ch.after : ch.before;
        if (wanted)
            text->clues.put(*wanted);
        else
            text->clues.erase(ch.key);
    }
    if (change.details)
        text->details = after ? change.details->after : change.details->before;
}

AggiorResult ActionsHistory::record(GridModel& grid, PuzzleText* text, BulkChange change) {
    AggiorResult res;
    if (change.empty() || !holds(grid, text, change, false))
        return res;
    res.historyCleared = clearIfFull();
    // A new change discards whatever could have been put back.
    bulks_.resize(inForce_);
    RedoLimit_ = HistoryLength_;
    apply(grid, text, change, true);
    bulks_.push_back(Bulk{HistoryLength_, std::move(change)});
    inForce_ = bulks_.size();
    PendingStart_ = ActionMarker;
    undoEnabled_ = true;
    redoEnabled_ = false;
    DocumentChanged_ = 1;
    res.recorded = true;
    return res;
}

RestoreResult ActionsHistory::undo(GridModel& grid, int16_t& CurrentRow, int16_t& CurrentColumn,
                                   PuzzleText* text) {
    if (inForce_ == 0 || bulks_[inForce_ - 1].anchor != HistoryLength_) {
        RestoreResult res = undoRecords(grid, CurrentRow, CurrentColumn);
        // A bulk change below the records just taken back is still in force.
        if (!res.anomaly && inForce_ > 0)
            undoEnabled_ = true;
        return res;
    }
    RestoreResult res;
    const BulkChange& change = bulks_[inForce_ - 1].change;
    res.bulk = true;
    res.box = change.box;
    restored_.reset(grid.MaxSide);
    if (!holds(grid, text, change, true)) {
        res.anomaly = true;
        return res;
    }
    apply(grid, text, change, false);
    --inForce_;
    if (!change.cells.empty()) {
        CurrentRow = change.cells.front().row;
        CurrentColumn = change.cells.front().column;
    }
    redoEnabled_ = true;
    undoEnabled_ = HistoryLength_ > 0 || inForce_ > 0;
    res.statusText = " Undo n. " + std::to_string(HistoryLength_ / 3 + 1) + " ";
    return res;
}

RestoreResult ActionsHistory::redo(GridModel& grid, int16_t& CurrentRow, int16_t& CurrentColumn,
                                   PuzzleText* text) {
    if (inForce_ == bulks_.size() || bulks_[inForce_].anchor != HistoryLength_) {
        RestoreResult res = redoRecords(grid, CurrentRow, CurrentColumn);
        // The records put back reached a bulk change that can be put back next.
        if (!res.anomaly && inForce_ < bulks_.size() && bulks_[inForce_].anchor == HistoryLength_)
            redoEnabled_ = true;
        return res;
    }
    RestoreResult res;
    const BulkChange& change = bulks_[inForce_].change;
    res.bulk = true;
    res.box = change.box;
    restored_.reset(grid.MaxSide);
    if (!holds(grid, text, change, false)) {
        res.anomaly = true;
        return res;
    }
    apply(grid, text, change, true);
    ++inForce_;
    if (!change.cells.empty()) {
        CurrentRow = change.cells.front().row;
        CurrentColumn = change.cells.front().column;
    }
    undoEnabled_ = true;
    redoEnabled_ = HistoryLength_ < RedoLimit_ || inForce_ < bulks_.size();
    res.statusText = " Redo n. " + std::to_string(HistoryLength_ / 3) + " ";
    return res;
}

const BulkChange* ActionsHistory::lastBulkInForce() const {
    if (inForce_ == 0 || bulks_[inForce_ - 1].anchor != HistoryLength_)
        return nullptr;
    return &bulks_[inForce_ - 1].change;
}

const BulkChange* ActionsHistory::nextBulkToRedo() const {
    if (inForce_ == bulks_.size() || bulks_[inForce_].anchor != HistoryLength_)
        return nullptr;
    return &bulks_[inForce_].change;
}

bool ActionsHistory::dropLastBulk(GridModel& grid, PuzzleText* text) {
    const BulkChange* change = lastBulkInForce();
    if (!change || !holds(grid, text, *change, true))
        return false;
    apply(grid, text, *change, false);
    bulks_.resize(inForce_ - 1);
    inForce_ = bulks_.size();
    undoEnabled_ = HistoryLength_ > 0 || inForce_ > 0;
    return true;
}

} // namespace korvel
