#include "actionshistory.h"

namespace korvel {

void RestoredCells::reset(int16_t maxSide) {
    capacity = static_cast<std::size_t>(maxSide < 0 ? 0 : maxSide) + 1;
    rows.assign(capacity, 0);
    columns.assign(capacity, 0);
    count = 0;
}

void ActionsHistory::reset(int16_t maxSide) {
    ++clearCount_;
    HistoryLength_ = 0;
    RedoLimit_ = 0;
    undoEnabled_ = false;
    redoEnabled_ = false;
    restored_.reset(maxSide);
}

void ActionsHistory::clear() {
    ++clearCount_;
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
        ++recordCount_;
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
    ++restored_.count;
    return true;
}

RestoreResult ActionsHistory::undo(GridModel& grid, int16_t& CurrentRow, int16_t& CurrentColumn) {
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

RestoreResult ActionsHistory::redo(GridModel& grid, int16_t& CurrentRow, int16_t& CurrentColumn) {
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

} // namespace korvel
