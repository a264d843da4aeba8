// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dictionarystore.h"
#include "enabledset.h"
#include "gridmodel.h"
#include "promptslot.h"
#include "promptstate.h"
#include "searchcontext.h"
#include "searchhost.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvel {

// What the cross prompt reads and changes; the window owns every piece.
using CrossContext = ScanContext;

// The cell the user clicked and the two words through it, as the grid gives
// them: letters, "?" for empty cells and "#" at the cell (crossPatterns of the
// grid model). acrossCell and downCell are the cell's 0-based positions in the
// two patterns.
struct CrossRequest {
    char carr = '?';
    int16_t CurrentRow = 0;
    int16_t CurrentColumn = 0;
    bool vocali = false;
    std::string across;
    std::string down;
    int acrossCell = 0;
    int downCell = 0;
    int16_t SlotFirstColumn = 0;
    int16_t SlotLastColumn = 0;
    int16_t SlotFirstRow = 0;
    int16_t SlotLastRow = 0;
};

// The request for a click on (row, column) of the grid. Inline, so that the
// search library needs only the grid model's headers; the caller links the
// grid model.
inline CrossRequest makeCrossRequest(const GridModel& grid, const Slots& gridSlots, int16_t row,
                                     int16_t column, bool vocali) {
    const CrossPatterns p = crossPatterns(grid, gridSlots, row, column);
    CrossRequest r;
    r.carr = grid.cell(row, column);
    r.CurrentRow = row;
    r.CurrentColumn = column;
    r.vocali = vocali;
    r.across = p.across;
    r.down = p.down;
    r.acrossCell = column - p.SlotFirstColumn;
    r.downCell = row - p.SlotFirstRow;
    r.SlotFirstColumn = p.SlotFirstColumn;
    r.SlotLastColumn = p.SlotLastColumn;
    r.SlotFirstRow = p.SlotFirstRow;
    r.SlotLastRow = p.SlotLastRow;
    return r;
}
inline CrossRequest makeCrossRequest(const GridModel& grid, int16_t row, int16_t column,
                                     bool vocali) {
    return makeCrossRequest(grid, Slots::of(grid), row, column, vocali);
}

// The cross-prompt branch of the grid click: the tool line in panel 1, the
// " Wrong request! " refusal of a cell that is not empty, the selection box on
// the cell, then runCrossPrompt.
void crossPromptClick(const CrossRequest& req, CrossContext& ctx);

// Lists the letters ("A" to "Z", or the vowels only) with which both words
// can be completed from the enabled dictionaries, each with its note when a
// word fits only cut short. Refuses with " wrong CELL " when a word is
// shorter than 2 cells or has no letter yet. Raises the busy counter while it
// runs and honours the abort request; leaves the slot bounds alone.
void runCrossPrompt(std::string_view across, int acrossCell, std::string_view down, int downCell,
                    bool vocali, CrossContext& ctx);

// True when the cross prompt refuses the pair with " wrong CELL ".
bool isWrongCell(std::string_view across, std::string_view down);

// The list line of a letter: the letter alone, or with its note, e.g.
// "E (Acr-1 / Dwn-3)". The lengths are the trials' and the fits'.
std::string crossLine(char letter, int acrossLength, int acrossFit, int downLength, int downFit);

// The fit test for every candidate letter at once: for the pattern with the
// letter at `cell` (a pattern without a cell has one trial, reported as
// letter 0), the longest length at which some enabled dictionary line fits,
// or 0. Only the letters in `letters` (bit i for "A" + i) are tried. With
// Free Cue a trial may be cut short down to its last fixed character. The
// results are those of trying each letter with the line-by-line fit test.
// Returns false when the abort request stopped it.
using LetterFits = std::array<int16_t, 26>;
bool fitCellLetters(std::string_view pattern, int cell, uint32_t letters, bool accorcia,
                    const DictionaryStore& store, const EnabledSet& enabled, SearchHost& host,
                    SearchFlags& flags, LetterFits& fits);

// sugginc for one trial pattern (no "#"): the fit length, 0 when nothing fits.
int16_t sugginc(std::string_view trial, bool accorcia, const DictionaryStore& store,
                const EnabledSet& enabled, SearchHost& host, SearchFlags& flags);

inline constexpr uint32_t Vowels = (1u << 0) | (1u << ('E' - 'A')) | (1u << ('I' - 'A')) |
                                   (1u << ('O' - 'A')) | (1u << ('U' - 'A'));

} // namespace korvel
