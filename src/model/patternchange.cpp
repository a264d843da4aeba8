// SPDX-License-Identifier: GPL-3.0-or-later
#include "patternchange.h"

namespace korvel {

AggiorResult layPattern(DocumentEdit& e, const GridModel& pattern) {
    const GridModel& g = e.grid();
    if (g.isEmpty() || pattern.RowCount != g.RowCount || pattern.ColumnCount != g.ColumnCount)
        return {};
    BulkChange change;
    change.box = Selection{0, 0, g.ColumnCount, g.RowCount};
    for (int16_t r = 0; r < g.RowCount; ++r)
        for (int16_t c = 0; c < g.ColumnCount; ++c) {
            const char now = g.cell(r, c);
            char after = pattern.cell(r, c);
            if (after == AtBlack)
                after = BLACK;
            if (now != after)
                change.cells.push_back(CellChange{r, c, now, after});
        }
    if (change.cells.empty())
        return {};
    return e.record(std::move(change));
}

} // namespace korvel
