// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cellchange.h"
#include "gridmodel.h"
#include "searchhost.h"
#include "slots.h"
#include "wordindex.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvel {

// A rectangle of cells, both corners included, 0-based.
struct FillRegion {
    int16_t firstRow = 0;
    int16_t firstColumn = 0;
    int16_t lastRow = 0;
    int16_t lastColumn = 0;
    bool contains(int r, int c) const {
        return r >= firstRow && r <= lastRow && c >= firstColumn && c <= lastColumn;
    }
};

struct FillOptions {
    // Same seed, same grid, same words: same fill (unless stopped by time).
    uint64_t seed = 1;
    // Seconds of wall time before the fill gives up; 0 for no limit.
    double timeLimit = 0;
    // Let one word fill two slots.
    bool allowRepeats = false;
    // Fill only the empty cells inside this rectangle; the whole grid when absent.
    std::optional<FillRegion> region;
    // Words scoring under this (0 to 100) are never placed; 0 lets every word
    // in. An index without scores holds nothing back. A slot the grid already
    // holds complete keeps its word whatever its score. Banned words of the
    // index are never placed, whatever the minimum.
    int minScore = 0;
    // A slot the grid holds complete (a theme entry) stays as it is even when
    // it is no word of the index, and is no reason for "no fill". Every
    // complete slot's word, outside the region too, is then kept from being
    // placed again (unless repeats are allowed). Off: such a slot inside the
    // region is a reason for "no fill", as it always was.
    bool keepThemeEntries = false;
    // Whether a scored index's scores order the candidates (better words
    // first). Off, the words come in the order an index without scores gives
    // them, so a fill at minimum 0 is the fill of the same words unscored.
    bool scoreOrder = true;
    // When not empty, one entry per slot of the grid (in the order of
    // Slots::all()): only the slots marked take part, and a slot past its
    // end takes none. The others make no demand at all, as if their cells
    // formed no word: a complete one is no reason for "no fill" and its word
    // is not kept from being placed. What the search for a conflicting set
    // of slots tries (conflictset.h).
    std::vector<bool> onlySlots;
    bool takesPart(std::size_t slot) const {
        return onlySlots.empty() || (slot < onlySlots.size() && onlySlots[slot]);
    }
};

enum class FillStatus {
    Filled,  // every cell to fill has a letter; see FillResult::grid
    NoFill,  // proved: no fill exists; FillResult::reason says why
    Stopped, // the time limit or the abort request ended it first
};

struct FillStats {
    uint64_t nodes = 0;    // words and letters tried
    uint64_t failures = 0; // tries that ended in a dead end
    uint64_t restarts = 0;
    double seconds = 0;
};

struct FillResult {
    FillStatus status = FillStatus::NoFill;
    // Set when status is Stopped because of the abort request, not the clock.
    bool aborted = false;
    // The filled grid (status Filled); otherwise the grid as given.
    GridModel grid;
    // Every cell the fill wrote, row by row: what the window records as one action.
    std::vector<CellChange> changes;
    // Why there is no fill, for the user: a slot that is complete and no
    // word, a word given twice, a slot whose pattern has no word, "no fill
    // exists: no word fits ..." when narrowing the cells left a slot without
    // a word, or the plain "no fill exists" when only the whole search
    // proved it.
    std::string reason;
    FillStats stats;
};

// Fills grid from index. Letters already in the grid are kept; black cells
// stay black. Empty cells are "?" and blanks (as the searches read them).
// Cells outside the region are never written; slots reaching out of it must
// keep at least one word that fits. A cell that belongs to no slot gets a
// letter of the seed's choice.
//
// The host's lineTick runs often enough for the window to stay responsive;
// after each yield the fill reads flags.abortRequest and stops when it is
// above 0. The fill writes nothing to the host's panels or list.
//
// slots are the grid's (Slots::of(grid)); the overload without them computes
// them.
FillResult fillGrid(const GridModel& grid, const Slots& slots, const WordIndex& index,
                    const FillOptions& options, SearchHost& host, const SearchFlags& flags);
inline FillResult fillGrid(const GridModel& grid, const WordIndex& index,
                           const FillOptions& options, SearchHost& host, const SearchFlags& flags) {
    return fillGrid(grid, Slots::of(grid), index, options, host, flags);
}

// The fill check of a grid as it stands.
struct FillCheck {
    // Per cell (index r * ColumnCount + c): for an empty cell the letters it
    // can still take; for a letter, that letter; 0 for a black cell.
    std::vector<LetterMask> letters;
    std::vector<bool> empty;      // per cell: an empty cell
    std::vector<int> deadCells;   // empty cells that can take no letter
    std::vector<int> forcedCells; // empty cells that can take one letter only
    std::vector<Slot> deadSlots;  // slots no word fits
    // Per slot (in the order of Slots::all()): how many words still fit it
    // once every cell is narrowed, the words the fill may place at the
    // minimum score; 0 for a dead slot. A complete slot counts 1 when the
    // fill keeps it (a word, or a theme entry kept) and 0 otherwise.
    std::vector<uint32_t> slotCandidates;
    bool stopped = false; // the abort request ended it: nothing above is final
};

// Narrows every empty cell's letters by every slot through it, until no slot
// narrows anything more (arc consistency between the slots and their cells).
// A slot with no fitting word is dead and narrows nothing further, so one
// dead spot does not empty the whole grid. Repeated words are not looked at.
// Takes the same host and abort flag as fillGrid. Of the options only the
// minimum score and the theme entries count: words under the minimum (and
// banned words) fit no slot that has an empty cell, and with theme entries
// kept a complete slot that is no word is not dead.
FillCheck checkFill(const GridModel& grid, const Slots& slots, const WordIndex& index,
                    SearchHost& host, const SearchFlags& flags,
                    const FillOptions& options = FillOptions{});
inline FillCheck checkFill(const GridModel& grid, const WordIndex& index, SearchHost& host,
                           const SearchFlags& flags, const FillOptions& options = FillOptions{}) {
    return checkFill(grid, Slots::of(grid), index, host, flags, options);
}

} // namespace korvel
