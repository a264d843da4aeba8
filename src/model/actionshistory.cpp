#include "actionshistory.h"

namespace korvel {

void RestoredCells::reset(int16_t maxSide) {
    capacity = static_cast<std::size_t>(maxSide < 0 ? 0 : maxSide) + 1;
    rows.assign(capacity, 0);
    columns.assign(capacity, 0);
    count = 0;
}

void ActionsHistory::reset(int16_t maxSide) {
    ++clearCount;
    HistoryLength = 0;
    RedoLimit = 0;
    undoEnabled = false;
    redoEnabled = false;
    restored.reset(maxSide);
}

void ActionsHistory::clear() {
    ++clearCount;
    store.fill(0);
    HistoryLength = 0;
    RedoLimit = 0;
}

bool ActionsHistory::clearIfFull() {
    if (HistoryLength != Full) {
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
        const int k = HistoryLength;
        store[static_cast<std::size_t>(k)] = static_cast<int16_t>(PendingStart + CurrentRow);
        store[static_cast<std::size_t>(k) + 1] = CurrentColumn;
        store[static_cast<std::size_t>(k) + 2] = static_cast<unsigned char>(old);
        PendingStart = 0;
        HistoryLength = static_cast<int16_t>(HistoryLength + 3);
        RedoLimit = HistoryLength;
        grid.setCell(CurrentRow, CurrentColumn, carm);
        ++recordCount;
        res.recorded = true;
    }
    undoEnabled = true;
    DocumentChanged = 1;
    return res;
}

bool ActionsHistory::swapRecord(GridModel& grid, int k, int16_t& row, int16_t& column) {
    if (k < 0 || k + 2 >= StoreSize) {
        return false;
    }
    const int16_t first = store[static_cast<std::size_t>(k)];
    const int16_t r = rowOf(first);
    const int16_t c = store[static_cast<std::size_t>(k) + 1];
    const int16_t code = store[static_cast<std::size_t>(k) + 2];
    if (first < 0 || !grid.contains(r, c) || code < 0 || code > 255 ||
        static_cast<std::size_t>(restored.count) >= restored.capacity) {
        return false;
    }
    row = r;
    column = c;
    const char present = grid.cell(r, c);
    grid.setCell(r, c, static_cast<char>(static_cast<unsigned char>(code)));
    store[static_cast<std::size_t>(k) + 2] = static_cast<unsigned char>(present);
    restored.rows[static_cast<std::size_t>(restored.count)] = r;
    restored.columns[static_cast<std::size_t>(restored.count)] = c;
    ++restored.count;
    return true;
}

RestoreResult ActionsHistory::undo(GridModel& grid, int16_t& CurrentRow, int16_t& CurrentColumn) {
    RestoreResult res;
    restored.reset(grid.MaxSide);
    int i = HistoryLength;
    for (; i >= 3; i -= 3) {
        if (!swapRecord(grid, i - 3, CurrentRow, CurrentColumn)) {
            res.anomaly = true;
            return res;
        }
        if (store[static_cast<std::size_t>(i) - 3] >= ActionMarker) {
            i -= 3;
            break;
        }
    }
    if (i < 0) {
        i = 0;
    }
    HistoryLength = static_cast<int16_t>(i);
    redoEnabled = true;
    if (HistoryLength == 0) {
        undoEnabled = false;
    }
    res.statusText = " Undo n. " + std::to_string(HistoryLength / 3 + 1) + " ";
    return res;
}

RestoreResult ActionsHistory::redo(GridModel& grid, int16_t& CurrentRow, int16_t& CurrentColumn) {
    RestoreResult res;
    restored.reset(grid.MaxSide);
    int i = HistoryLength;
    for (; i <= RedoLimit - 3; i += 3) {
        if (!swapRecord(grid, i, CurrentRow, CurrentColumn)) {
            res.anomaly = true;
            return res;
        }
        if (i + 3 < StoreSize && store[static_cast<std::size_t>(i) + 3] >= ActionMarker) {
            i += 3;
            break;
        }
    }
    HistoryLength = static_cast<int16_t>(i);
    undoEnabled = true;
    if (HistoryLength == RedoLimit) {
        redoEnabled = false;
    }
    res.statusText = " Redo n. " + std::to_string(HistoryLength / 3) + " ";
    return res;
}

bool ActionsHistory::takeBackLastAction(GridModel& grid) {
    restored.reset(grid.MaxSide);
    int k = HistoryLength;
    int16_t r = 0;
    int16_t c = 0;
    for (; k >= 3; k -= 3) {
        if (!swapRecord(grid, k - 3, r, c)) {
            return false;
        }
        if (store[static_cast<std::size_t>(k) - 3] >= ActionMarker) {
            k -= 3;
            break;
        }
    }
    HistoryLength = static_cast<int16_t>(k < 0 ? 0 : k);
    return true;
}

} // namespace korvel
