// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "searchcontext.h"

namespace korvel {

// The head and tail buttons beside the results list. Each one refuses while
// the opposite end is free (even during a search), then returns while a
// search runs, then rewrites the pattern state, redraws the selection and
// searches again. Refusals go to status panel 3 with a beep and change nothing.

// "Free HEAD": the run of empty cells at the start may hold any length.
void freeHeadRun(SearchContext& ctx);
// "Trim HEAD": the slot loses its first cell.
void trimHeadCell(SearchContext& ctx);
// "Trim CUE": the slot loses its last cell.
void trimCueCell(SearchContext& ctx);
// "Free CUE": the run of empty cells at the end may hold any length. Also run
// by the search itself for the automatic Free Cue retry.
void freeCueRun(SearchContext& ctx);

// "Search Reset": brings a stuck search back to rest, whatever the busy
// counter says.
void resetSearch(SearchContext& ctx);

} // namespace korvel
