// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fill.h"

namespace korvel {

// The yardstick for the fill: a plain chronological backtracker with forward
// checking over the same word index. Slots in grid order (across, then down),
// words in index order; after each word every crossing slot not yet filled
// must still have a fitting word. No propagation beyond that, no variable or
// value ordering, no restarts. Fills the whole grid; the seed and the region
// of the options are not used.
FillResult fillGridPlain(const GridModel& grid, const WordIndex& index, const FillOptions& options,
                         SearchHost& host, const SearchFlags& flags);

} // namespace korvel
