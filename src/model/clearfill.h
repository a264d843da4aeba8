// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "griddocument.h"
#include "promptstate.h"

#include <optional>

namespace korvel {

// What Clear Fill did: the recorded change (recorded false when the fill
// had placed no letter there, and nothing changed), how many letters it
// took away and the region it looked at.
struct ClearFillResult {
    AggiorResult result;
    int cleared = 0;
    Selection box;
};

// Tools > "Clear Fill": empties every cell whose letter a fill placed
// (GridDocument::placedByFill) within region, or the whole grid without
// one, as one bulk change on the history's timeline, so one Undo puts them
// all back. Letters written any other way stay. A region reaching past the
// grid is cut to it.
ClearFillResult clearFill(DocumentEdit& e, std::optional<Selection> region);

} // namespace korvel
