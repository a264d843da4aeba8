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

SteppedFill fillStepByStep(const GridModel& grid, const Slots& slots, const WordIndex& index,
                           const FillOptions& options, const std::vector<int>& minimums,
                           uint64_t stepNodes, SearchHost& host, const SearchFlags& flags) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    SteppedFill out;
    for (std::size_t k = 0; k < minimums.size(); ++k) {
        FillOptions step = options;
        step.minScore = minimums[k];
        step.nodeLimit = k + 1 < minimums.size() ? stepNodes : options.nodeLimit;
        bool timeShared = false;
        if (options.timeLimit > 0) {
            const double spent = std::chrono::duration<double>(Clock::now() - start).count();
            if (spent >= options.timeLimit && k > 0) {
                out.result.status = FillStatus::Stopped;
                break;
            }
            step.timeLimit = stepTimeLimit(options.timeLimit, spent, minimums.size() - k);
            timeShared = k + 1 < minimums.size();
        }
        out.result = fillGrid(grid, slots, index, step, host, flags);
        // A step stopped at its share of the time is passed over as one
        // that spent its words: the time left is the lower steps' own.
        if (timeShared && out.result.status == FillStatus::Stopped && !out.result.aborted) {
            out.result.budgetSpent = true;
        }
        out.steps.push_back(fillStep(step.minScore, out.result));
        if (!out.lowerMightFill()) {
            break;
        }
    }
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
