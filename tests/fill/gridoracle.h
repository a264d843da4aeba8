// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The fill tests' oracle, written without the engine or the slot model: the
// runs of a grid found afresh from its bytes, and every fill by enumeration.

#include "gridmodel.h"

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace korvel::testing {

using Run = std::vector<std::pair<int, int>>;

// The runs of two or more non-black cells, across then down.
inline std::vector<Run> runsOf(const GridModel& g) {
    std::vector<Run> runs;
    for (int dir = 0; dir < 2; ++dir) {
        const int outer = dir == 0 ? g.RowCount : g.ColumnCount;
        const int inner = dir == 0 ? g.ColumnCount : g.RowCount;
        for (int a = 0; a < outer; ++a) {
            Run run;
            for (int b = 0; b <= inner; ++b) {
                const int r = dir == 0 ? a : b;
                const int c = dir == 0 ? b : a;
                if (b < inner && !g.isBlack(r, c)) {
                    run.emplace_back(r, c);
                } else {
                    if (run.size() >= 2) {
                        runs.push_back(run);
                    }
                    run.clear();
                }
            }
        }
    }
    return runs;
}

inline std::string textOf(const GridModel& g, const Run& run) {
    std::string s;
    for (auto [r, c] : run) {
        s += g.patternChar(r, c);
    }
    return s;
}

// Every fill of g's empty cells from alphabet, cell by cell in row order.
// A branch ends as soon as a complete run is one fits refuses (it is told
// whether g held that run complete already); a complete grid that accept
// takes goes to found, which returns false to stop.
inline void bruteForce(const GridModel& g, const std::string& alphabet,
                       const std::function<bool(const std::string&, bool)>& fits,
                       const std::function<bool(const GridModel&)>& accept,
                       const std::function<bool(const GridModel&)>& found) {
    const auto runs = runsOf(g);
    std::vector<std::pair<int, int>> empties;
    for (int r = 0; r < g.RowCount; ++r) {
        for (int c = 0; c < g.ColumnCount; ++c) {
            if (!g.isBlack(r, c) && g.patternChar(r, c) == EmptyCell) {
                empties.emplace_back(r, c);
            }
        }
    }
    GridModel work = g;
    bool stop = false;
    std::function<void(std::size_t)> rec = [&](std::size_t k) {
        if (stop) {
            return;
        }
        for (const Run& run : runs) {
            const std::string w = textOf(work, run);
            if (w.find(EmptyCell) == std::string::npos &&
                !fits(w, textOf(g, run).find(EmptyCell) == std::string::npos)) {
                return;
            }
        }
        if (k == empties.size()) {
            if (accept(work)) {
                stop = !found(work);
            }
            return;
        }
        for (char ch : alphabet) {
            work.setCell(empties[k].first, empties[k].second, ch);
            rec(k + 1);
            work.setCell(empties[k].first, empties[k].second, EmptyCell);
        }
    };
    rec(0);
}

} // namespace korvel::testing
