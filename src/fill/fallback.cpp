// SPDX-License-Identifier: GPL-3.0-or-later
#include "fallback.h"

#include <algorithm>
#include <chrono>

namespace korvel {

std::vector<int> fallbackMinimums(int minScore) {
    if (minScore <= LastStepScore) {
        return {std::max(minScore, LowestScore)};
    }
    std::vector<int> steps{std::min(minScore, HighestScore)};
    for (int m = (steps.back() - 1) / 10 * 10; m >= 20; m -= 10) {
        steps.push_back(m);
    }
    steps.push_back(LastStepScore);
    return steps;
}

FillStep fillStep(int minScore, const FillResult& result) {
    return {minScore, result.status, result.budgetSpent, result.stats.nodes,
            result.status == FillStatus::NoFill ? result.reason : std::string()};
}

bool SteppedFill::lowerMightFill() const {
    if (steps.empty()) {
        return false;
    }
    const FillStep& last = steps.back();
    return (last.status == FillStatus::NoFill && result.minimumMatters) ||
           (last.status == FillStatus::Stopped && last.budgetSpent);
}

double stepTimeLimit(double limit, double spent, std::size_t stepsLeft) {
    const double left = std::max(limit - spent, 1e-3);
    if (stepsLeft <= 1) {
        return left;
    }
    const double share = (limit / 2 - spent) / static_cast<double>(stepsLeft - 1);
    return std::min(left, std::max(share, 1e-3));
}

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The lowest score of the words fill placed (the slots with a cell it
// wrote), HighestScore when it placed none.
int lowestPlaced(const FillResult& fill, const Slots& slots, const WordIndex& index,
                 const FillOptions& options) {
    const int columns = fill.grid.ColumnCount;
    std::vector<bool> written(static_cast<std::size_t>(fill.grid.RowCount) *
                                  static_cast<std::size_t>(columns),
                              false);
    for (const CellChange& ch : fill.changes) {
        written[static_cast<std::size_t>(ch.row) * static_cast<std::size_t>(columns) +
                static_cast<std::size_t>(ch.column)] = true;
    }
    int lowest = HighestScore;
    for (std::size_t s = 0; s < slots.size(); ++s) {
        const Slot& slot = slots[s];
        std::string word;
        bool placed = false;
        for (int i = 0; i < slot.length; ++i) {
            word += fill.grid.cell(slot.rowAt(i), slot.columnAt(i));
            placed = placed || written[static_cast<std::size_t>(slot.rowAt(i)) *
                                           static_cast<std::size_t>(columns) +
                                       static_cast<std::size_t>(slot.columnAt(i))];
        }
        if (!placed || !options.takesPart(s)) {
            continue;
        }
        const int64_t id = index.find(word);
        if (id >= 0) {
            lowest = std::min(lowest, index.score(slot.length, static_cast<uint32_t>(id)));
        }
    }
    return lowest;
}

} // namespace

SteppedFill fillStepByStep(const GridModel& grid, const Slots& slots, const WordIndex& index,
                           const FillOptions& options, const std::vector<int>& minimums,
                           uint64_t stepNodes, uint64_t climbNodes, SearchHost& host,
                           const SearchFlags& flags) {
    const Clock::time_point start = Clock::now();
    SteppedFill out;
    if (minimums.empty()) {
        out.result.status = FillStatus::Stopped;
        return out;
    }
    FillOptions first = options;
    first.minScore = minimums.front();
    const bool more = minimums.size() > 1;
    if (more) {
        first.nodeLimit = stepNodes;
        if (options.timeLimit > 0) {
            first.timeLimit = stepTimeLimit(options.timeLimit, 0, minimums.size());
        }
    }
    out.result = fillGrid(grid, slots, index, first, host, flags);
    // A step stopped at its share of the time is passed over as one that
    // spent its words: the time left is the lower steps' own.
    if (more && options.timeLimit > 0 && out.result.status == FillStatus::Stopped &&
        !out.result.aborted) {
        out.result.budgetSpent = true;
    }
    out.steps.push_back(fillStep(first.minScore, out.result));
    if (!more || !out.lowerMightFill()) {
        return out;
    }
    FillOptions below = options;
    if (options.timeLimit > 0) {
        const double left = options.timeLimit - secondsSince(start);
        if (left <= 0) {
            out.result.status = FillStatus::Stopped;
            return out;
        }
        below.timeLimit = left;
    }
    SteppedFill rest = fillBelow(grid, slots, index, below,
                                 std::vector<int>(minimums.begin() + 1, minimums.end()),
                                 climbNodes, host, flags);
    rest.steps.insert(rest.steps.begin(), out.steps.begin(), out.steps.end());
    return rest;
}

SteppedFill fillBelow(const GridModel& grid, const Slots& slots, const WordIndex& index,
                      const FillOptions& options, const std::vector<int>& minimums,
                      uint64_t climbNodes, SearchHost& host, const SearchFlags& flags) {
    const Clock::time_point start = Clock::now();
    SteppedFill out;
    if (minimums.empty()) {
        out.result.status = FillStatus::Stopped;
        return out;
    }
    FillOptions lowest = options;
    lowest.minScore = minimums.back();
    FillResult secured = fillGrid(grid, slots, index, lowest, host, flags);
    FillStep securedStep = fillStep(lowest.minScore, secured);
    if (secured.status != FillStatus::Filled || minimums.size() == 1) {
        out.result = std::move(secured);
        out.steps.push_back(securedStep);
        return out;
    }
    const int floor = lowestPlaced(secured, slots, index, options);
    const std::size_t above = minimums.size() - 1;
    for (std::size_t k = 0; k < above; ++k) {
        if (minimums[k] <= floor) {
            securedStep.minScore = minimums[k]; // the fill found is a fill at this one
            break;
        }
        FillOptions step = options;
        step.minScore = minimums[k];
        step.nodeLimit = climbNodes;
        if (options.timeLimit > 0) {
            const double left = options.timeLimit - secondsSince(start);
            if (left <= 0) {
                break;
            }
            step.timeLimit = std::max(left / static_cast<double>(above - k), 1e-3);
        }
        FillResult r = fillGrid(grid, slots, index, step, host, flags);
        if (r.status == FillStatus::Filled) {
            out.steps.push_back(fillStep(step.minScore, r));
            out.result = std::move(r);
            return out;
        }
        if (options.timeLimit > 0 && r.status == FillStatus::Stopped && !r.aborted) {
            r.budgetSpent = true;
        }
        out.steps.push_back(fillStep(step.minScore, r));
        if (r.aborted) {
            break;
        }
    }
    out.steps.push_back(securedStep);
    out.result = std::move(secured);
    return out;
}

std::string describeStep(const FillStep& step) {
    std::string text = "minimum score " + std::to_string(step.minScore) + ": ";
    switch (step.status) {
    case FillStatus::Filled:
        return text + "filled";
    case FillStatus::NoFill:
        return text + "no fill (" + step.reason + ")";
    case FillStatus::Stopped:
        break;
    }
    return text + (step.budgetSpent
                       ? "none found within " + std::to_string(step.tried) + " words tried"
                       : "stopped");
}

std::string stepMinimums(const std::vector<int>& minimums) {
    std::string text;
    for (std::size_t k = 0; k < minimums.size(); ++k) {
        if (k > 0) {
            text += k + 1 == minimums.size() ? " and " : ", ";
        }
        text += std::to_string(minimums[k]);
    }
    return text;
}

} // namespace korvel
