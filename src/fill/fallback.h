// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A fill at a minimum score, and where that minimum leaves no fill, the best
// fill under it: the minimum lowered a step at a time until a step fills.

#include "fill.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvel {

// The minimum a fill starts at until the user chooses another. The score
// lists' scale: 50 and above, words and phrases a constructor would publish;
// 30 to 49 acceptable but weak; under 30 to avoid (rare, obscure, no words).
// Where no fill exists at it, the steps below (fallbackMinimums) reach 1, so
// the default costs no grid that fills without the words scoring 0. Chosen on the scale, to be
// measured again on the fills the lists give.
inline constexpr int DefaultMinScore = 50;

// Words and letters a step above the last may try before the fill moves on
// to the next one: a step that neither fills nor proves that it cannot
// within this many is passed over as "none found", so a grid hard to fill
// from the better words alone still fills from the weaker ones. On the
// published 15x15 shapes a fill at 50 that succeeds mostly takes a few
// thousand, and 20,000 take one to a few seconds. Like DefaultMinScore it
// follows the scores of the lists: worth measuring again when they change.
inline constexpr uint64_t FallbackStepNodes = 20000;

// Words and letters each step above the last may try once the last has
// filled (fillBelow): the grid has a fill by then, so a better one is worth
// more of a wait. On the hard grids of the benchmarks a fill at 20 that
// exists takes from a few thousand to some 100,000; 60,000 take 2 to 6
// seconds there.
inline constexpr uint64_t FallbackClimbNodes = 60000;

// The last step: every word but those scoring 0. The lists keep 0 for the
// words a fill should take only when asked for by name, with a minimum of
// 0: in the Italian set, the English words of english.dic, so that no
// English word reaches an Italian fill the steps made. The other lists score
// no word under 10, so for them the step at 1 is the step at 0.
inline constexpr int LastStepScore = 1;

// The minimums tried in turn: minScore, then every multiple of 10 under it
// down to 20, then LastStepScore. A minimum of LastStepScore or less is the
// one step (0 for a negative one).
std::vector<int> fallbackMinimums(int minScore);

// What one step came to.
struct FillStep {
    int minScore = 0;
    FillStatus status = FillStatus::NoFill;
    // Stopped because the step's words tried reached its limit.
    bool budgetSpent = false;
    // Words and letters the step tried.
    uint64_t tried = 0;
    // Why there is no fill (status NoFill).
    std::string reason;
};

// The step a fill at minScore came to.
FillStep fillStep(int minScore, const FillResult& result);

struct SteppedFill {
    // The last step's result: the fill (status Filled, at
    // steps.back().minScore), or why there is none.
    FillResult result;
    std::vector<FillStep> steps;
    bool filled() const { return result.status == FillStatus::Filled; }
    // Whether the last step ended in a way a lower minimum might change: no
    // fill that the minimum may be the cause of, or its limit reached.
    bool lowerMightFill() const;
};

// The time a step may take, of a time limit of which spent seconds are gone,
// when stepsLeft steps (this one included) remain: the last step all that is
// left; one above it an even part of what is left of the first half. So the
// steps above can never take more than half of the limit between them, and
// the lowest minimum, the one that fills the most grids, always has at
// least the other half, as a fill at that minimum alone would have had it.
double stepTimeLimit(double limit, double spent, std::size_t stepsLeft);

// Fills at the first of minimums (descending; options.minScore is replaced
// by each step's), and where that leaves no fill that a lower minimum might
// change, at the steps under it (fillBelow). The first step, when others
// follow, tries at most stepNodes words and letters (0 for no limit) and,
// under options.timeLimit (over all the steps together), takes at most its
// stepTimeLimit; the steps under it share the rest, each above the last with
// at most climbNodes.
SteppedFill fillStepByStep(const GridModel& grid, const Slots& slots, const WordIndex& index,
                           const FillOptions& options, const std::vector<int>& minimums,
                           uint64_t stepNodes, uint64_t climbNodes, SearchHost& host,
                           const SearchFlags& flags);

// The best fill at the steps of minimums (descending): first a fill at the
// last, the lowest minimum, which fills the most grids, with
// options.nodeLimit and all of options.timeLimit; where it fills, the
// minimums above it from the top down, each with at most climbNodes words
// and letters (0 for no limit) and an even share of the time left, until
// one fills. A step
// at or under the lowest score the first fill placed is that fill already.
// So a time limit or a budget spent on the better words never costs the
// fill the lowest minimum gives, and the fill kept is the one of the
// highest minimum that filled. The steps come in the order of minimums:
// those tried above the one kept, passed over, then the one kept (status
// Filled, last). Without a fill at the last minimum, the one step says why.
// An abort request while a better fill is looked for keeps the fill found.
SteppedFill fillBelow(const GridModel& grid, const Slots& slots, const WordIndex& index,
                      const FillOptions& options, const std::vector<int>& minimums,
                      uint64_t climbNodes, SearchHost& host, const SearchFlags& flags);

// One step in words, for the user: "minimum score 50: no fill (no fill
// exists)", "minimum score 40: none found within 20000 words tried",
// "minimum score 30: filled".
std::string describeStep(const FillStep& step);

// The minimums of steps, joined: "50, 40 and 30".
std::string stepMinimums(const std::vector<int>& minimums);

} // namespace korvel
