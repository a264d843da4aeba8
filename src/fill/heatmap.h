// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fill.h"
#include "gridmodel.h"
#include "slots.h"

#include <cstdint>
#include <vector>

namespace korvel {

// The Fill Check's heat map: how tight each part of the grid is. Per cell
// (r * ColumnCount + c), the fewest words left (FillCheck::slotCandidates)
// among the slots through it that still have an empty cell; -1 for a black
// cell and for a cell whose slots are all complete. check must come from
// checkFill on grid with slots.
std::vector<int64_t> cellCandidates(const GridModel& grid, const Slots& slots,
                                    const FillCheck& check);

// The colour band of a count, from the tightest: 0 for no word at all, 1
// for 1 to 9 words, 2 for 10 to 99, 3 for 100 to 999, 4 for 1000 and more;
// -1 for a cell with nothing to show (-1).
int heatBand(int64_t candidates);

} // namespace korvel
