// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "actionshistory.h"
#include "gridedit.h"
#include "gridmodel.h"

#include <cstdint>
#include <utility>

namespace korvel {

// How Black/White keeps the black cells symmetric: not at all, by a half
// turn about the grid's centre, or mirrored left to right or top to bottom.
enum class Symmetry { None, Rotate180, LeftRight, TopBottom };

// The partner of cell (row, column) under the symmetry; the cell itself for
// None and for the cell on the axis or at the centre.
std::pair<int16_t, int16_t> symmetricPartner(const GridModel& grid, int16_t row, int16_t column,
                                             Symmetry symmetry);

// Black/White (tool 0) with symmetric blacks: the clicked cell changes as
// blackWhite changes it (same panel texts and selection), and its partner
// follows in the same action: blacked too, or whitened when it is black (a
// partner with a letter or empty keeps it when the click whitens). The caller
// has begun the action. With Symmetry::None this is blackWhite.
CellEditResult blackWhiteSymmetric(DocumentEdit& edit, int16_t row, int16_t column,
                                   Symmetry symmetry);

} // namespace korvel
