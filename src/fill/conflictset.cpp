// SPDX-License-Identifier: GPL-3.0-or-later
#include "conflictset.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace korvel {

namespace {

using Clock = std::chrono::steady_clock;

enum class Verdict { NoFill, Filled, Unsettled };

class Finder {
public:
    Finder(const GridModel& grid, const Slots& slots, const WordIndex& index,
           const FillOptions& options, double seconds, SearchHost& host, const SearchFlags& flags)
        : grid_(grid), slots_(slots), index_(index), options_(options), host_(host), flags_(flags),
          start_(Clock::now()), limit_(seconds) {
        options_.timeLimit = 0;
        options_.onlySlots.clear();
    }

    double elapsed() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }
    // Seconds left, or infinity without a limit.
    double remaining() const {
        return limit_ > 0 ? limit_ - elapsed() : std::numeric_limits<double>::infinity();
    }
    bool outOfTime() const { return aborted_ || remaining() <= 0; }
    bool aborted() const { return aborted_; }
    void markAborted() { aborted_ = true; }
    int tries() const { return tries_; }

    // Whether the slots marked in take have a fill together, given at most
    // share of the time left (and never less than floor seconds of it).
    Verdict test(const std::vector<bool>& take, double share, double floor) {
        ++tries_;
        FillOptions o = options_;
        o.onlySlots = take;
        const double left = remaining();
        if (left != std::numeric_limits<double>::infinity()) {
            o.timeLimit = std::min(left, std::max(floor, left * share));
        }
        const FillResult r = fillGrid(grid_, slots_, index_, o, host_, flags_);
        switch (r.status) {
        case FillStatus::NoFill:
            return Verdict::NoFill;
        case FillStatus::Filled:
            return Verdict::Filled;
        case FillStatus::Stopped:
            aborted_ |= r.aborted;
            break;
        }
        return Verdict::Unsettled;
    }

private:
    const GridModel& grid_;
    const Slots& slots_;
    const WordIndex& index_;
    FillOptions options_;
    SearchHost& host_;
    const SearchFlags& flags_;
    Clock::time_point start_;
    double limit_;
    int tries_ = 0;
    bool aborted_ = false;
};

std::vector<bool> maskOf(const std::vector<int>& set, std::size_t count) {
    std::vector<bool> mask(count, false);
    for (int s : set) {
        mask[static_cast<std::size_t>(s)] = true;
    }
    return mask;
}

} // namespace

ConflictSet findConflictSet(const GridModel& grid, const Slots& slots, const WordIndex& index,
                            const FillOptions& options, double seconds, SearchHost& host,
                            const SearchFlags& flags) {
    ConflictSet out;
    Finder finder(grid, slots, index, options, seconds, host, flags);
    const std::size_t count = slots.size();
    const auto finish = [&](ConflictSet::Outcome outcome) {
        out.outcome = outcome;
        out.aborted = finder.aborted();
        out.tries = finder.tries();
        out.seconds = finder.elapsed();
        return out;
    };

    // The slots the fill would fill: with a region, those reaching into it.
    std::vector<bool> inPlay(count, true);
    std::vector<std::vector<int>> cellsOf(count);
    for (std::size_t s = 0; s < count; ++s) {
        cellsOf[s] = slots.cells(slots[s]);
        if (options.region) {
            inPlay[s] = std::any_of(cellsOf[s].begin(), cellsOf[s].end(), [&](int cell) {
                return options.region->contains(cell / grid.ColumnCount, cell % grid.ColumnCount);
            });
        }
        inPlay[s] = inPlay[s] && options.takesPart(s);
    }
    // How tight each slot is: the words left to it once the cells are
    // narrowed, as the fill check finds them. A dead slot is the tightest.
    const FillCheck check = checkFill(grid, slots, index, host, flags, options);
    if (check.stopped) {
        // The check has no time limit: only the abort request stops it.
        finder.markAborted();
        return finish(ConflictSet::Outcome::Stopped);
    }
    const auto words = [&](int s) { return check.slotCandidates[static_cast<std::size_t>(s)]; };
    const auto tighter = [&](int a, int b) {
        return words(a) < words(b) || (words(a) == words(b) && a < b);
    };

    // Phase 1: a neighbourhood of the tightest slot, grown best-first along
    // the crossings and tried at sizes 1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 15 ...
    // until it has no fill.
    std::vector<int> pool;
    for (std::size_t s = 0; s < count; ++s) {
        if (inPlay[s]) {
            pool.push_back(static_cast<int>(s));
        }
    }
    if (pool.empty()) {
        return finish(ConflictSet::Outcome::NoConflict);
    }
    const int seed = *std::min_element(pool.begin(), pool.end(), tighter);
    std::vector<int> grown{seed};
    std::vector<bool> taken(count, false);
    taken[static_cast<std::size_t>(seed)] = true;
    const auto crossings = [&](int s) {
        std::vector<int> out;
        const Direction other =
            slots[static_cast<std::size_t>(s)].down() ? Direction::Across : Direction::Down;
        for (int cell : cellsOf[static_cast<std::size_t>(s)]) {
            const int y = slots.slotAt(cell / grid.ColumnCount, cell % grid.ColumnCount, other);
            if (y >= 0) {
                out.push_back(y);
            }
        }
        return out;
    };
    std::vector<int> set;
    std::size_t target = 1;
    for (;;) {
        if (grown.size() >= target || grown.size() == pool.size()) {
            const bool whole = grown.size() == pool.size();
            const Verdict v = finder.test(maskOf(grown, count), whole ? 1.0 : 0.3, 0.25);
            if (v == Verdict::NoFill) {
                set = grown;
                break;
            }
            if (whole) {
                return finish(v == Verdict::Filled ? ConflictSet::Outcome::NoConflict
                                                   : ConflictSet::Outcome::Stopped);
            }
            if (finder.outOfTime()) {
                return finish(ConflictSet::Outcome::Stopped);
            }
            // Sets that fill are quick to fill; growing by a quarter keeps
            // the first set without a fill close to the smallest such
            // neighbourhood.
            target = std::max(target + 1, target * 5 / 4);
        }
        // The next slot: the tightest crossing of the set, or, when the set
        // crosses nothing more, the tightest slot left.
        int next = -1;
        for (int s : grown) {
            for (int y : crossings(s)) {
                if (inPlay[static_cast<std::size_t>(y)] && !taken[static_cast<std::size_t>(y)] &&
                    (next < 0 || tighter(y, next))) {
                    next = y;
                }
            }
        }
        if (next < 0) {
            for (int s : pool) {
                if (!taken[static_cast<std::size_t>(s)] && (next < 0 || tighter(s, next))) {
                    next = s;
                }
            }
        }
        taken[static_cast<std::size_t>(next)] = true;
        grown.push_back(next);
    }

    // Phase 2: each slot in turn, the loosest first, leaves the set when the
    // rest still has no fill. A slot whose leaving gave a fill is needed in
    // every smaller set too, so each slot is tried once.
    std::vector<int> order = set;
    std::sort(order.begin(), order.end(), [&](int a, int b) { return tighter(b, a); });
    bool settled = true;
    for (int s : order) {
        if (set.size() == 1) {
            break;
        }
        if (finder.outOfTime()) {
            settled = false;
            break;
        }
        std::vector<int> rest;
        std::copy_if(set.begin(), set.end(), std::back_inserter(rest),
                     [s](int t) { return t != s; });
        const Verdict v = finder.test(maskOf(rest, count), 0.25, 0.1);
        if (v == Verdict::NoFill) {
            set = std::move(rest);
        } else if (v == Verdict::Unsettled) {
            settled = false;
        }
    }
    std::sort(set.begin(), set.end());
    const int worst = *std::min_element(set.begin(), set.end(), tighter);
    for (int s : set) {
        if (s == worst) {
            out.worst = static_cast<int>(out.slots.size());
        }
        const Slot& slot = slots[static_cast<std::size_t>(s)];
        out.slotIndexes.push_back(s);
        out.slots.push_back(slot);
        out.patterns.push_back(Slots::pattern(grid, slot));
    }
    out.minimal = settled || set.size() == 1;
    return finish(ConflictSet::Outcome::Found);
}

std::vector<std::string> conflictLines(const ConflictSet& set) {
    std::vector<std::string> lines;
    if (set.outcome != ConflictSet::Outcome::Found || set.slots.empty()) {
        return lines;
    }
    if (set.slots.size() == 1) {
        lines.push_back(describeSlot(set.slots[0]) + " has no fill on its own: " + set.patterns[0]);
        return lines;
    }
    const std::string n = std::to_string(set.slots.size());
    lines.push_back(set.minimal ? "these " + n +
                                      " slots have no fill together; leave out any one and the "
                                      "others have one:"
                                : "these " + n +
                                      " slots have no fill together (stopped before each was "
                                      "shown to be needed):");
    for (std::size_t i = 0; i < set.slots.size(); ++i) {
        lines.push_back(describeSlot(set.slots[i]) + ": " + set.patterns[i]);
    }
    return lines;
}

} // namespace korvel
