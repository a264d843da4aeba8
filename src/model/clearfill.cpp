// SPDX-License-Identifier: GPL-3.0-or-later
#include "clearfill.h"

#include <algorithm>

namespace korvel {

ClearFillResult clearFill(DocumentEdit& e, std::optional<Selection> region) {
    ClearFillResult out;
    const GridModel& g = e.grid();
    if (g.isEmpty())
        return out;
    const Selection all{0, 0, g.ColumnCount, g.RowCount};
    Selection box = region.value_or(all);
    const int left = std::clamp<int>(box.cx, 0, g.ColumnCount);
    const int top = std::clamp<int>(box.cy, 0, g.RowCount);
    const int right = std::clamp<int>(box.cx + box.LAX, left, g.ColumnCount);
    const int bottom = std::clamp<int>(box.cy + box.LAY, top, g.RowCount);
    out.box = Selection{static_cast<int16_t>(left), static_cast<int16_t>(top),
                        static_cast<int16_t>(right - left), static_cast<int16_t>(bottom - top)};
    BulkChange change;
    change.box = out.box;
    for (int r = top; r < bottom; ++r)
        for (int c = left; c < right; ++c)
            if (e.placedByFill(r, c))
                change.cells.push_back(CellChange{static_cast<int16_t>(r), static_cast<int16_t>(c),
                                                  g.cell(r, c), EmptyCell});
    out.cleared = static_cast<int>(change.cells.size());
    if (change.cells.empty())
        return out;
    out.result = e.record(std::move(change));
    if (!out.result.recorded)
        out.cleared = 0;
    return out;
}

} // namespace korvel
