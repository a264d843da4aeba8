// SPDX-License-Identifier: GPL-3.0-or-later
#include "heatmap.h"

#include <algorithm>

namespace korvel {

std::vector<int64_t> cellCandidates(const GridModel& grid, const Slots& slots,
                                    const FillCheck& check) {
    const int C = grid.ColumnCount;
    std::vector<int64_t> out(static_cast<std::size_t>(grid.RowCount) * static_cast<std::size_t>(C),
                             -1);
    if (check.slotCandidates.size() != slots.size())
        return out;
    for (std::size_t s = 0; s < slots.size(); ++s) {
        const Slot& slot = slots[s];
        bool open = false;
        for (int i = 0; i < slot.length && !open; ++i)
            open = grid.patternChar(slot.rowAt(i), slot.columnAt(i)) == EmptyCell;
        if (!open)
            continue;
        const auto words = static_cast<int64_t>(check.slotCandidates[s]);
        for (int i = 0; i < slot.length; ++i) {
            int64_t& cell = out[static_cast<std::size_t>(slot.rowAt(i) * C + slot.columnAt(i))];
            cell = cell < 0 ? words : std::min(cell, words);
        }
    }
    return out;
}

int heatBand(int64_t candidates) {
    if (candidates < 0)
        return -1;
    int band = 0;
    for (int64_t limit = 1; band < 4 && candidates >= limit; limit *= 10)
        ++band;
    return band;
}

} // namespace korvel
