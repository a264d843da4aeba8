// SPDX-License-Identifier: GPL-3.0-or-later
#include "symmetry.h"

namespace korvel {

std::pair<int16_t, int16_t> symmetricPartner(const GridModel& grid, int16_t row, int16_t column,
                                             Symmetry symmetry) {
    const auto mirrorRow = static_cast<int16_t>(grid.RowCount - 1 - row);
    const auto mirrorColumn = static_cast<int16_t>(grid.ColumnCount - 1 - column);
    switch (symmetry) {
    case Symmetry::Rotate180:
        return {mirrorRow, mirrorColumn};
    case Symmetry::LeftRight:
        return {row, mirrorColumn};
    case Symmetry::TopBottom:
        return {mirrorRow, column};
    case Symmetry::None:
        break;
    }
    return {row, column};
}

CellEditResult blackWhiteSymmetric(DocumentEdit& edit, int16_t row, int16_t column,
                                   Symmetry symmetry) {
    const GridModel& grid = edit.grid();
    const bool blacking = grid.cell(row, column) != BLACK;
    CellEditResult r = blackWhite(edit, row, column);
    if (symmetry == Symmetry::None || !grid.contains(row, column))
        return r;
    const auto [pr, pc] = symmetricPartner(grid, row, column, symmetry);
    if (pr == row && pc == column)
        return r;
    const char partner = grid.cell(pr, pc);
    if (blacking && partner != BLACK)
        r.historyCleared |= edit.aggior(pr, pc, BLACK).historyCleared;
    else if (!blacking && partner == BLACK)
        r.historyCleared |= edit.aggior(pr, pc, EmptyCell).historyCleared;
    return r;
}

} // namespace korvel
