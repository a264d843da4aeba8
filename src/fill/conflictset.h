// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fill.h"
#include "gridmodel.h"
#include "searchhost.h"
#include "slots.h"
#include "wordindex.h"

#include <string>
#include <vector>

namespace korvel {

// Why a grid has no fill: a set of slots that cannot be filled together.
struct ConflictSet {
    enum class Outcome {
        // slots holds a set with no fill; see minimal.
        Found,
        // The grid has a fill after all (or the fill of the whole grid could
        // not be settled in time): slots is empty.
        NoConflict,
        // The time limit or the abort request came before any set was
        // proved to have no fill: slots is empty.
        Stopped,
    };
    Outcome outcome = Outcome::Stopped;
    // Set when the abort request (not the clock) ended the search.
    bool aborted = false;
    // The slots, in the grid's order (across, then down), and their
    // patterns as they stand ("?" for an empty cell).
    std::vector<Slot> slots;
    std::vector<std::string> patterns;
    // Their indexes into Slots::all().
    std::vector<int> slotIndexes;
    // The slot of the set (an index into slots) with the fewest words left
    // once the cells of the whole grid are narrowed, the first of those in
    // the grid's order: the one to look at first. -1 for an empty set.
    int worst = -1;
    // True when every slot of the set was shown to be needed: with any one
    // of them left out, the others have a fill. False when the time limit
    // or the abort request stopped that proof first (or one try could not
    // be settled in time): the set has no fill, but a smaller one may.
    bool minimal = false;
    // How many fills of parts of the grid were tried, and the time taken.
    int tries = 0;
    double seconds = 0;
};

// Looks for a small set of slots that have no fill together, on a grid
// whose fill (with the same options) has none: slots are left out of the
// problem (FillOptions::onlySlots) while what is left still has no fill,
// until no slot can be left out or the time limit (seconds, 0 for none)
// ends it. First a growing neighbourhood of the slot with the fewest words
// left is tried (a quarter larger each time), so that the removal starts
// from a small set; then each of its slots in turn, the loosest first.
//
// Only slots that the fill would fill take part: with a region, those
// reaching into it. Options as for fillGrid (the minimum score, bans,
// repeats, theme entries, region); their seed and time limit are not used.
// Takes the host and the abort flag as the fill does.
ConflictSet findConflictSet(const GridModel& grid, const Slots& slots, const WordIndex& index,
                            const FillOptions& options, double seconds, SearchHost& host,
                            const SearchFlags& flags);
inline ConflictSet findConflictSet(const GridModel& grid, const WordIndex& index,
                                   const FillOptions& options, double seconds, SearchHost& host,
                                   const SearchFlags& flags) {
    return findConflictSet(grid, Slots::of(grid), index, options, seconds, host, flags);
}

// The set for a message, one line each, without line ends: a head line
// ("these 3 slots have no fill together; leave out any one and the others
// have one:", or for a set not shown minimal "these 7 slots have no fill
// together (stopped before each was shown to be needed):"), then one line
// per slot with its pattern, "12 across (R3 C1): ?A??E". A set of one slot
// is the one line "12 across (R3 C1) has no fill on its own: ?A??E".
// Nothing for a set not found.
std::vector<std::string> conflictLines(const ConflictSet& set);

} // namespace korvel
