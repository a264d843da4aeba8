// SPDX-License-Identifier: GPL-3.0-or-later
// Why no fill: the conflicting set of slots against a brute force of the
// test's own, which enumerates the letters of the cells of any set of runs:
// the set found has no fill, and leaving out any one of its slots gives one.

#include "conflictset.h"
#include "gridoracle.h"
#include "gridrows.h"
#include "memoryhost.h"
#include "wordindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace korvel;
using korvel::testing::gridOf;
using Cells = korvel::testing::Run;
using korvel::testing::runsOf;
using korvel::testing::textOf;

namespace {

// The run of runsOf that a slot names (by its first cell and direction).
Cells runOf(const GridModel& g, const Slot& s) {
    for (const Cells& run : runsOf(g)) {
        const bool across = run[1].first == run[0].first;
        if (run[0] == std::pair<int, int>{s.row, s.column} && across == !s.down()) {
            return run;
        }
    }
    ADD_FAILURE() << "no run for " << describeSlot(s);
    return {};
}

// Whether the runs have a fill together: each run's empty cells take
// letters of alphabet so that every run is a word of words, and (unless
// repeats are allowed) no two runs the same word. Cells of no run are free.
bool fillable(const GridModel& g, const std::vector<Cells>& runs,
              const std::set<std::string>& words, bool allowRepeats, const std::string& alphabet) {
    std::vector<std::pair<int, int>> cells;
    for (const Cells& run : runs) {
        for (const auto& rc : run) {
            if (g.patternChar(rc.first, rc.second) == EmptyCell &&
                std::find(cells.begin(), cells.end(), rc) == cells.end()) {
                cells.push_back(rc);
            }
        }
    }
    std::sort(cells.begin(), cells.end());
    GridModel work = g;
    std::function<bool(std::size_t)> rec = [&](std::size_t k) {
        std::set<std::string> seen;
        for (const Cells& run : runs) {
            const std::string w = textOf(work, run);
            if (w.find(EmptyCell) != std::string::npos) {
                continue;
            }
            if (!words.count(w) || (!allowRepeats && !seen.insert(w).second)) {
                return false;
            }
        }
        if (k == cells.size()) {
            return true;
        }
        for (char ch : alphabet) {
            work.setCell(cells[k].first, cells[k].second, ch);
            if (rec(k + 1)) {
                return true;
            }
        }
        work.setCell(cells[k].first, cells[k].second, EmptyCell);
        return false;
    };
    return rec(0);
}

struct Case {
    GridModel grid;
    std::set<std::string> words;
    std::string alphabet;
};

// A grid of 2..4 by 2..5 with a few blacks and letters, and random words
// over two to four letters: often without a fill.
Case randomCase(std::mt19937& rng) {
    Case rc;
    const int R = std::uniform_int_distribution<int>(2, 4)(rng);
    const int C = std::uniform_int_distribution<int>(2, 5)(rng);
    rc.alphabet = std::string("ABCD").substr(
        0, static_cast<std::size_t>(std::uniform_int_distribution<int>(2, 4)(rng)));
    std::vector<std::string> rows(static_cast<std::size_t>(R),
                                  std::string(static_cast<std::size_t>(C), '?'));
    std::uniform_real_distribution<double> u(0, 1);
    for (auto& row : rows) {
        for (char& ch : row) {
            const double x = u(rng);
            ch = x < 0.2    ? '#'
                 : x < 0.28 ? rc.alphabet[static_cast<std::size_t>(rng() % rc.alphabet.size())]
                            : '?';
        }
    }
    rc.grid = gridOf(rows);
    const int count = std::uniform_int_distribution<int>(4, 30)(rng);
    for (int i = 0; i < count; ++i) {
        const int len = std::uniform_int_distribution<int>(2, 5)(rng);
        std::string w;
        for (int k = 0; k < len; ++k) {
            w += rc.alphabet[static_cast<std::size_t>(rng() % rc.alphabet.size())];
        }
        rc.words.insert(w);
    }
    return rc;
}

ConflictSet conflict(const GridModel& g, const WordIndex& wi, const FillOptions& o = {},
                     double seconds = 0) {
    MemoryHost host;
    SearchFlags flags;
    return findConflictSet(g, wi, o, seconds, host, flags);
}

} // namespace

// On random small grids without a fill: the set has no fill, and each of its
// slots is needed (the rest has a fill), both by the brute force; on grids
// with a fill there is no set.
TEST(ConflictSet, ImpossibleAndMinimalByBruteForce) {
    std::mt19937 rng(3434);
    int impossible = 0;
    int larger = 0;
    for (int round = 0; round < 500; ++round) {
        const Case rc = randomCase(rng);
        const bool repeats = round % 4 == 0;
        const Slots slots = Slots::of(rc.grid);
        std::vector<Cells> all;
        for (const Slot& s : slots.all()) {
            all.push_back(runOf(rc.grid, s));
        }
        const WordIndex wi = WordIndex::fromWords({rc.words.begin(), rc.words.end()});
        FillOptions o;
        o.allowRepeats = repeats;
        const ConflictSet set = conflict(rc.grid, wi, o);
        if (fillable(rc.grid, all, rc.words, repeats, rc.alphabet)) {
            EXPECT_EQ(set.outcome, ConflictSet::Outcome::NoConflict) << "round " << round;
            EXPECT_TRUE(set.slots.empty());
            continue;
        }
        ++impossible;
        ASSERT_EQ(set.outcome, ConflictSet::Outcome::Found) << "round " << round;
        ASSERT_FALSE(set.slots.empty());
        EXPECT_TRUE(set.minimal);
        larger += set.slots.size() > 1 ? 1 : 0;
        ASSERT_EQ(set.slots.size(), set.patterns.size());
        ASSERT_EQ(set.slots.size(), set.slotIndexes.size());
        std::vector<Cells> runs;
        for (std::size_t i = 0; i < set.slots.size(); ++i) {
            EXPECT_EQ(slots[static_cast<std::size_t>(set.slotIndexes[i])], set.slots[i]);
            runs.push_back(runOf(rc.grid, set.slots[i]));
            EXPECT_EQ(set.patterns[i], textOf(rc.grid, runs.back()));
        }
        EXPECT_TRUE(std::is_sorted(set.slotIndexes.begin(), set.slotIndexes.end()));
        ASSERT_GE(set.worst, 0);
        ASSERT_LT(set.worst, static_cast<int>(set.slots.size()));
        EXPECT_FALSE(fillable(rc.grid, runs, rc.words, repeats, rc.alphabet))
            << "round " << round << ": the set has a fill";
        for (std::size_t i = 0; i < runs.size(); ++i) {
            std::vector<Cells> rest = runs;
            rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(i));
            EXPECT_TRUE(fillable(rc.grid, rest, rc.words, repeats, rc.alphabet))
                << "round " << round << ": " << describeSlot(set.slots[i]) << " is not needed";
        }
    }
    EXPECT_GT(impossible, 100);
    EXPECT_GT(larger, 30);
}

// A typed entry whose letters its crossings cannot take: the set is the
// entry's crossings that clash, and the fill of the rest is left out.
TEST(ConflictSet, NamesTheClashingSlots) {
    // Left: X? across and X? down can both only be XY. Right: a 2x2 block
    // that fills (AB, CD across; AC, BD down).
    const GridModel g = gridOf({"X?#??", "?##??"});
    const WordIndex wi = WordIndex::fromWords({"XY", "AB", "CD", "AC", "BD"});
    const ConflictSet set = conflict(g, wi);
    ASSERT_EQ(set.outcome, ConflictSet::Outcome::Found);
    EXPECT_TRUE(set.minimal);
    EXPECT_EQ(conflictLines(set),
              (std::vector<std::string>{"these 2 slots have no fill together; leave out any one "
                                        "and the others have one:",
                                        "1 across (R1 C1): X?", "1 down (R1 C1): X?"}));
    // Both have one word left; the first in the grid's order is named.
    EXPECT_EQ(set.worst, 0);
    // With repeats allowed the grid fills: nothing to name.
    FillOptions repeats;
    repeats.allowRepeats = true;
    EXPECT_EQ(conflict(g, wi, repeats).outcome, ConflictSet::Outcome::NoConflict);
    EXPECT_TRUE(conflictLines(conflict(g, wi, repeats)).empty());

    // One slot alone: no word fits it.
    const ConflictSet one = conflict(gridOf({"Q??", "###"}), wi);
    EXPECT_EQ(conflictLines(one),
              (std::vector<std::string>{"1 across (R1 C1) has no fill on its own: Q??"}));

    // A region: only the slots reaching into it are looked at.
    FillOptions region;
    region.region = FillRegion{0, 3, 1, 4};
    EXPECT_EQ(conflict(g, wi, region).outcome, ConflictSet::Outcome::NoConflict);
}

// Theme entries and the minimum score are the fill's: a complete slot that
// is no word is kept with theme entries and named without them.
TEST(ConflictSet, FollowsTheFillOptions) {
    const GridModel g = gridOf({"ZZZ", "???", "###"});
    const WordIndex wi = WordIndex::fromWords(
        {"ZA", "ZB", "ZC", "ABC", "BCA"}, [](std::string_view w) { return w == "ZC" ? 10 : 80; });
    ConflictSet set = conflict(g, wi);
    ASSERT_EQ(set.outcome, ConflictSet::Outcome::Found);
    EXPECT_EQ(set.slots.size(), 1u);
    EXPECT_EQ(set.patterns[0], "ZZZ");
    FillOptions theme;
    theme.keepThemeEntries = true;
    // Kept: the downs are ZA ZB ZC in some order and 2 across ABC or BCA.
    EXPECT_EQ(conflict(g, wi, theme).outcome, ConflictSet::Outcome::NoConflict);
    theme.minScore = 50;
    set = conflict(g, wi, theme);
    ASSERT_EQ(set.outcome, ConflictSet::Outcome::Found);
    // Without ZC the three downs cannot all differ: ZA and ZB leave one
    // of them without a word; and 2 across with two downs: ABC needs ZC in
    // the last column, BCA in the second. Each such set takes three slots.
    EXPECT_TRUE(set.minimal);
    EXPECT_EQ(set.slots.size(), 3u) << ::testing::PrintToString(conflictLines(set));
}

// The abort request ends the search; nothing is named.
TEST(ConflictSet, AbortStopsIt) {
    struct AbortingHost : MemoryHost {
        SearchFlags* flags = nullptr;
        void yield() override { flags->abortRequest = 1; }
    };
    AbortingHost host;
    host.yieldStride = 1;
    SearchFlags flags;
    host.flags = &flags;
    const WordIndex wi = WordIndex::fromWords({"XY", "AB", "CD", "AC", "BD"});
    const ConflictSet set = findConflictSet(gridOf({"X?#??", "?##??"}), wi, {}, 0, host, flags);
    EXPECT_EQ(set.outcome, ConflictSet::Outcome::Stopped);
    EXPECT_TRUE(set.aborted);
    EXPECT_TRUE(conflictLines(set).empty());
}
