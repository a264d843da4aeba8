// SPDX-License-Identifier: GPL-3.0-or-later
// The fill and the check with word scores, bans and theme entries, against
// oracles of their own: a brute force that enumerates every letter of every
// cell on small grids under the same rules, and an independent checker of
// every fill. And the fills of an index without scores stay those of the
// engine before scores existed.

#include "fallback.h"
#include "fill.h"
#include "gridoracle.h"
#include "gridrows.h"
#include "gridstats.h"
#include "memoryhost.h"
#include "plainfill.h"
#include "wordindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace korvel;
using korvel::testing::gridOf;
using korvel::testing::Run;
using korvel::testing::runsOf;
using korvel::testing::textOf;

namespace {

// The rules, stated without the engine: a run the grid held complete keeps
// its letters and must be a word of the list unless theme entries are kept;
// a run the fill writes into must be a word scoring at least the minimum and
// not banned; without repeats no two runs hold the same word.
struct Rules {
    std::map<std::string, int> scores; // the list, with scores
    std::set<std::string> banned;
    int minScore = 0;
    bool keepThemeEntries = false;
    bool allowRepeats = false;

    bool fits(const std::string& w, bool wasComplete) const {
        if (wasComplete) {
            return keepThemeEntries || scores.count(w) > 0;
        }
        const auto it = scores.find(w);
        return it != scores.end() && it->second >= minScore && banned.count(w) == 0;
    }
};

bool satisfies(const GridModel& before, const GridModel& after, const Rules& rules) {
    std::set<std::string> seen;
    for (const Run& run : runsOf(after)) {
        const std::string w = textOf(after, run);
        const bool wasComplete = textOf(before, run).find(EmptyCell) == std::string::npos;
        if (!rules.fits(w, wasComplete)) {
            return false;
        }
        if (!rules.allowRepeats && !seen.insert(w).second) {
            return false;
        }
    }
    return true;
}

// Every fill by enumeration; found returns false to stop.
void bruteForce(const GridModel& g, const Rules& rules, const std::string& alphabet,
                const std::function<bool(const GridModel&)>& found) {
    korvel::testing::bruteForce(
        g, alphabet,
        [&](const std::string& w, bool wasComplete) { return rules.fits(w, wasComplete); },
        [&](const GridModel& work) { return satisfies(g, work, rules); }, found);
}

struct ScoredCase {
    GridModel grid;
    Rules rules;
    std::string alphabet;
    std::vector<std::string> words;
};

// A small grid with a few blacks and letters (some of them whole runs, as a
// user types a theme entry), a list over a small alphabet with random scores
// and a few bans.
ScoredCase scoredCase(std::mt19937& rng) {
    ScoredCase sc;
    const int R = std::uniform_int_distribution<int>(2, 4)(rng);
    const int C = std::uniform_int_distribution<int>(2, 5)(rng);
    sc.alphabet = std::string("ABCD").substr(
        0, static_cast<std::size_t>(std::uniform_int_distribution<int>(2, 4)(rng)));
    auto letter = [&] { return sc.alphabet[rng() % sc.alphabet.size()]; };
    std::vector<std::string> rows(static_cast<std::size_t>(R),
                                  std::string(static_cast<std::size_t>(C), '?'));
    std::uniform_real_distribution<double> u(0, 1);
    for (auto& row : rows) {
        for (char& ch : row) {
            const double x = u(rng);
            ch = x < 0.15 ? '#' : x < 0.25 ? letter() : '?';
        }
    }
    if (u(rng) < 0.4) {
        // A complete row: a theme entry, a word of the list or not.
        for (char& ch : rows[rng() % rows.size()]) {
            ch = ch == '#' ? '#' : letter();
        }
    }
    sc.grid = gridOf(rows);
    const int count = std::uniform_int_distribution<int>(8, 50)(rng);
    for (int i = 0; i < count; ++i) {
        const int len = std::uniform_int_distribution<int>(2, 5)(rng);
        std::string w;
        for (int k = 0; k < len; ++k) {
            w += letter();
        }
        sc.rules.scores[w] = static_cast<int>(rng() % 101);
    }
    for (const auto& [w, s] : sc.rules.scores) {
        sc.words.push_back(w);
        if (rng() % 10 == 0) {
            sc.rules.banned.insert(w);
        }
    }
    const int minimums[] = {0, 0, 20, 40, 60};
    sc.rules.minScore = minimums[rng() % 5];
    sc.rules.keepThemeEntries = rng() % 2 == 0;
    sc.rules.allowRepeats = rng() % 3 == 0;
    return sc;
}

WordIndex indexOf(const ScoredCase& sc) {
    return WordIndex::fromWords(
        sc.words, [&](std::string_view w) { return sc.rules.scores.at(std::string(w)); },
        [&](std::string_view w) { return sc.rules.banned.count(std::string(w)) > 0; });
}

FillOptions optionsOf(const Rules& rules, uint64_t seed) {
    FillOptions o;
    o.seed = seed;
    o.minScore = rules.minScore;
    o.keepThemeEntries = rules.keepThemeEntries;
    o.allowRepeats = rules.allowRepeats;
    return o;
}

} // namespace

// The fill finds a fill exactly when the brute force does under the same
// rules; what it returns places no word under the minimum and no banned word,
// keeps every complete run, and repeats nothing.
TEST(FillScores, AgreesWithBruteForceOnSmallGrids) {
    std::mt19937 rng(4321);
    int filled = 0;
    int impossible = 0;
    int heldBack = 0; // impossible at the minimum, possible at 0
    for (int round = 0; round < 500; ++round) {
        const ScoredCase sc = scoredCase(rng);
        const WordIndex wi = indexOf(sc);
        bool exists = false;
        bruteForce(sc.grid, sc.rules, sc.alphabet, [&](const GridModel&) {
            exists = true;
            return false;
        });
        MemoryHost host;
        SearchFlags flags;
        const FillResult res =
            fillGrid(sc.grid, wi, optionsOf(sc.rules, static_cast<uint64_t>(round)), host, flags);
        ASSERT_EQ(res.status, exists ? FillStatus::Filled : FillStatus::NoFill)
            << "round " << round << ": " << res.reason;
        if (exists) {
            ++filled;
            EXPECT_TRUE(satisfies(sc.grid, res.grid, sc.rules)) << "round " << round;
        } else {
            ++impossible;
            Rules any = sc.rules;
            any.minScore = 0;
            any.banned.clear();
            bool existsAtZero = false;
            bruteForce(sc.grid, any, sc.alphabet, [&](const GridModel&) {
                existsAtZero = true;
                return false;
            });
            heldBack += existsAtZero ? 1 : 0;
        }
    }
    EXPECT_GT(filled, 80);
    EXPECT_GT(impossible, 80);
    EXPECT_GT(heldBack, 20);
}

// The check under a minimum keeps every letter some fill under the same rules
// uses, and never marks dead a complete run kept as a theme entry.
TEST(FillScores, CheckKeepsEveryLetterOfEveryFill) {
    std::mt19937 rng(8765);
    for (int round = 0; round < 300; ++round) {
        ScoredCase sc = scoredCase(rng);
        sc.rules.allowRepeats = true; // the check does not look at repeats
        const WordIndex wi = indexOf(sc);
        MemoryHost host;
        SearchFlags flags;
        const FillCheck check = checkFill(sc.grid, wi, host, flags, optionsOf(sc.rules, 1));
        const int C = sc.grid.ColumnCount;
        bool any = false;
        std::vector<LetterMask> used(static_cast<std::size_t>(sc.grid.RowCount * C), 0);
        bruteForce(sc.grid, sc.rules, sc.alphabet, [&](const GridModel& g) {
            any = true;
            for (int r = 0; r < g.RowCount; ++r) {
                for (int c = 0; c < C; ++c) {
                    if (!g.isBlack(r, c)) {
                        used[static_cast<std::size_t>(r * C + c)] |= LetterMask{1}
                                                                     << (g.cell(r, c) - 'A');
                    }
                }
            }
            return true;
        });
        for (std::size_t i = 0; i < used.size(); ++i) {
            EXPECT_EQ(used[i] & ~check.letters[i], 0u) << "round " << round << " cell " << i;
        }
        if (any) {
            EXPECT_TRUE(check.deadSlots.empty()) << "round " << round;
        }
    }
}

TEST(FillScores, ThemeEntriesAreKept) {
    const WordIndex wi = WordIndex::fromWords({"CASA", "CASE", "ROMA", "ORA", "ARE", "AMO"});
    MemoryHost host;
    SearchFlags flags;
    FillOptions keep;
    keep.keepThemeEntries = true;
    // CASO is no word: kept, and the rest fills around it.
    const GridModel themed = gridOf({"CASO", "####", "?OMA"});
    FillResult r = fillGrid(themed, wi, keep, host, flags);
    ASSERT_EQ(r.status, FillStatus::Filled) << r.reason;
    EXPECT_EQ(r.grid.GridRows[0], "CASO");
    EXPECT_EQ(r.grid.GridRows[2], "ROMA");
    EXPECT_EQ(fillGrid(themed, wi, FillOptions{}, host, flags).reason,
              "1 across (R1 C1) is complete and is no word: CASO");
    // Statistics still list it as not in the lists.
    const GridStatistics stats = gridStatistics(r.grid, &wi);
    ASSERT_EQ(stats.misfits.size(), 1u);
    EXPECT_TRUE(stats.misfits[0].complete);
    // Letters that leave a partial slot no word are still a reason.
    r = fillGrid(gridOf({"CASO", "####", "Q???"}), wi, keep, host, flags);
    EXPECT_EQ(r.status, FillStatus::NoFill);
    EXPECT_EQ(r.reason, "no word fits 2 across (R3 C1): Q???");
    // The check does not mark a theme entry dead.
    FillCheck check = checkFill(themed, wi, host, flags, keep);
    EXPECT_TRUE(check.deadSlots.empty());
    check = checkFill(themed, wi, host, flags);
    EXPECT_EQ(check.deadSlots.size(), 1u);

    // A word typed outside the box counts for the repeats: the box's only
    // fitting word is ROMA, already in row 1.
    const GridModel outside = gridOf({"ROMA", "####", "R??A"});
    FillOptions box = keep;
    box.region = FillRegion{2, 0, 2, 3};
    EXPECT_EQ(fillGrid(outside, wi, box, host, flags).status, FillStatus::NoFill);
    box.keepThemeEntries = false;
    EXPECT_EQ(fillGrid(outside, wi, box, host, flags).status, FillStatus::Filled);
}

TEST(FillScores, MinimumBansAndStatistics) {
    const std::map<std::string, int> scores{{"CAT", 90}, {"COT", 20}, {"TEN", 80},
                                            {"TAN", 70}, {"NET", 10}, {"ANT", 60}};
    std::vector<std::string> words;
    for (const auto& [w, s] : scores) {
        words.push_back(w);
    }
    const auto scoreOf = [&](std::string_view w) { return scores.at(std::string(w)); };
    const WordIndex wi =
        WordIndex::fromWords(words, scoreOf, [](std::string_view w) { return w == "TAN"; });
    EXPECT_TRUE(wi.hasScores());
    EXPECT_EQ(wi.score(3, static_cast<uint32_t>(wi.find("COT"))), 20);
    EXPECT_TRUE(wi.isBanned(3, static_cast<uint32_t>(wi.find("TAN"))));
    EXPECT_EQ(wi.placeable(50)->totalWords(), 3u); // CAT, TEN, ANT
    MemoryHost host;
    SearchFlags flags;
    FillOptions o;
    o.minScore = 50;
    // C?T: COT scores 20, so only CAT.
    FillResult r = fillGrid(gridOf({"C?T"}), wi, o, host, flags);
    ASSERT_EQ(r.status, FillStatus::Filled);
    EXPECT_EQ(r.grid.GridRows[0], "CAT");
    // T?N: TEN; TAN is banned whatever the minimum.
    o.minScore = 0;
    EXPECT_EQ(fillGrid(gridOf({"T?N"}), wi, o, host, flags).grid.GridRows[0], "TEN");
    // N?T: only NET, scoring 10; the message says the minimum held it back.
    o.minScore = 50;
    r = fillGrid(gridOf({"N?T"}), wi, o, host, flags);
    EXPECT_EQ(r.reason, "no word fits 1 across (R1 C1): N?T (no word the fill may place, at "
                        "score 50 or more)");
    // A typed word under the minimum stays.
    EXPECT_EQ(fillGrid(gridOf({"NET#", "####", "C?T#"}), wi, o, host, flags).status,
              FillStatus::Filled);

    const GridStatistics s = gridStatistics(gridOf({"CAT", "O#E", "TAN"}), &wi);
    EXPECT_TRUE(s.scored);
    EXPECT_EQ(s.scoredEntries, 4);
    EXPECT_DOUBLE_EQ(s.meanScore, (90 + 70 + 20 + 80) / 4.0);
    const std::string text = statisticsText(s);
    // The banned entry comes first, then the lowest scores, each with why.
    EXPECT_NE(text.find("Every word fits the enabled dictionaries.\r\n"
                        "Mean score: 65.0 (4 complete words)\r\n"
                        "Weak entries: banned 1, rare 1\r\n"
                        "Weakest entries:\r\n"
                        "  3 across (R3 C1) TAN 70 (banned)\r\n"
                        "  1 down (R1 C1) COT 20 (rare)\r\n"
                        "  2 down (R1 C3) TEN 80\r\n"
                        "  1 across (R1 C1) CAT 90\r\n"),
              std::string::npos)
        << text;
}

// Without scores the fill is the one the engine gave before scores, bans and
// nogoods existed (fills its first run finds; these took no restart).
TEST(FillScores, WithoutScoresTheFillsAreAsBefore) {
    std::vector<std::string> words;
    std::mt19937 rng(77);
    for (int i = 0; i < 4000; ++i) {
        std::string w;
        const int len = 3 + static_cast<int>(rng() % 3);
        for (int k = 0; k < len; ++k) {
            w += static_cast<char>('A' + rng() % 7);
        }
        words.push_back(w);
    }
    const WordIndex wi = WordIndex::fromWords(words);
    const GridModel g = gridOf({"????#", "?????", "?????", "?????", "#????"});
    const std::vector<std::vector<std::string>> before{
        {"GAFB", "BDBCA", "FEGCA", "BFDDG", "ABGB"},
        {"AAEA", "BEBED", "BCGGD", "BAGFA", "DBGC"},
        {"EBGE", "EFBDF", "GFBFF", "EEBAG", "FAGD"},
        {"DBFA", "ABCAD", "ABCBE", "ADDEC", "GEGD"},
    };
    for (uint64_t seed = 1; seed <= 4; ++seed) {
        FillOptions o;
        o.seed = seed;
        MemoryHost host;
        SearchFlags flags;
        const FillResult r = fillGrid(g, wi, o, host, flags);
        ASSERT_EQ(r.status, FillStatus::Filled);
        const auto& rows = before[seed - 1];
        EXPECT_EQ(r.grid.GridRows[0].substr(0, 4), rows[0]) << "seed " << seed;
        for (int k = 1; k < 4; ++k) {
            EXPECT_EQ(r.grid.GridRows[static_cast<std::size_t>(k)],
                      rows[static_cast<std::size_t>(k)])
                << "seed " << seed;
        }
        EXPECT_EQ(r.grid.GridRows[4].substr(1), rows[4]) << "seed " << seed;
    }
}

// Grids that take restarts, so that later runs skip the words earlier runs
// refuted: every row must hold an odd (or even) count of B, and every
// column too. No propagation sees the parity; only the whole search proves
// that there is no fill when the row and column counts disagree.
TEST(FillScores, RestartsKeepProofsSound) {
    uint64_t restarts = 0;
    for (const auto& [R, C] : std::vector<std::pair<int, int>>{{3, 4}, {4, 3}, {4, 5}, {5, 4}}) {
        for (int rowOdd = 0; rowOdd < 2; ++rowOdd) {
            for (int colOdd = 0; colOdd < 2; ++colOdd) {
                // Rows are C long, columns R long; R != C, so a word's length
                // tells which it is for.
                std::vector<std::string> words;
                for (int len : {R, C}) {
                    const int odd = len == C ? rowOdd : colOdd;
                    for (int bitsSet = 0; bitsSet < (1 << len); ++bitsSet) {
                        if (std::popcount(static_cast<unsigned>(bitsSet)) % 2 == odd) {
                            std::string w;
                            for (int k = 0; k < len; ++k) {
                                w += (bitsSet >> k & 1) ? 'B' : 'A';
                            }
                            words.push_back(w);
                        }
                    }
                }
                const WordIndex wi = WordIndex::fromWords(words);
                FillOptions o;
                o.allowRepeats = true;
                MemoryHost host;
                SearchFlags flags;
                const GridModel g =
                    GridModel::make(static_cast<int16_t>(R), static_cast<int16_t>(C));
                const FillResult res = fillGrid(g, wi, o, host, flags);
                const bool exists = (R * rowOdd) % 2 == (C * colOdd) % 2;
                ASSERT_EQ(res.status, exists ? FillStatus::Filled : FillStatus::NoFill)
                    << R << "x" << C << " " << rowOdd << colOdd;
                restarts += res.stats.restarts;
                if (exists) {
                    Rules rules;
                    for (const std::string& w : words) {
                        rules.scores[w] = 0;
                    }
                    rules.allowRepeats = true;
                    EXPECT_TRUE(satisfies(g, res.grid, rules));
                }
            }
        }
    }
    EXPECT_GT(restarts, 10u);
}

// A fill at minimum 0 tries the better words first too: where several words
// fit, the best scored one is placed, whatever the seed.
TEST(FillScores, ScoresOrderTheCandidatesAtMinimumZero) {
    const std::map<std::string, int> scores{{"CAT", 90}, {"COT", 20}, {"CUT", 40},
                                            {"CAR", 30}, {"ARE", 95}, {"ERE", 5}};
    std::vector<std::string> words;
    for (const auto& [w, s] : scores) {
        words.push_back(w);
    }
    const WordIndex wi =
        WordIndex::fromWords(words, [&](std::string_view w) { return scores.at(std::string(w)); });
    MemoryHost host;
    SearchFlags flags;
    for (uint64_t seed = 1; seed <= 40; ++seed) {
        FillOptions o;
        o.seed = seed;
        EXPECT_EQ(fillGrid(gridOf({"C?T"}), wi, o, host, flags).grid.GridRows[0], "CAT")
            << "seed " << seed;
        EXPECT_EQ(fillGrid(gridOf({"?RE"}), wi, o, host, flags).grid.GridRows[0], "ARE")
            << "seed " << seed;
    }
    // Unscored order, asked for, still reaches the weaker words with some
    // seed: the order above is the scores' doing.
    std::set<std::string> unscored;
    for (uint64_t seed = 1; seed <= 40; ++seed) {
        FillOptions o;
        o.seed = seed;
        o.scoreOrder = false;
        unscored.insert(fillGrid(gridOf({"C?T"}), wi, o, host, flags).grid.GridRows[0]);
    }
    EXPECT_GT(unscored.size(), 1u);
}

TEST(FillScores, FallbackMinimums) {
    const std::vector<std::pair<int, std::vector<int>>> table{
        {50, {50, 40, 30, 20, 1}},
        {45, {45, 40, 30, 20, 1}},
        {100, {100, 90, 80, 70, 60, 50, 40, 30, 20, 1}},
        {30, {30, 20, 1}},
        {21, {21, 20, 1}},
        {20, {20, 1}},
        {15, {15, 1}},
        {2, {2, 1}},
        {1, {1}},
        {0, {0}},
        {-5, {0}},
    };
    for (const auto& [min, steps] : table) {
        EXPECT_EQ(fallbackMinimums(min), steps) << min;
    }
    EXPECT_EQ(stepMinimums({40, 30, 20, 0}), "40, 30, 20 and 0");
    EXPECT_EQ(stepMinimums({0}), "0");
}

// Under a time limit the steps above the last, each using all of its share,
// leave the last at least half of the limit, and never take a step's time
// away entirely.
TEST(FillScores, StepsShareATimeLimit) {
    for (const double limit : {0.1, 1.0, 20.0, 600.0}) {
        for (std::size_t steps = 1; steps <= 10; ++steps) {
            double spent = 0;
            for (std::size_t k = 0; k + 1 < steps; ++k) {
                const double share = stepTimeLimit(limit, spent, steps - k);
                EXPECT_GT(share, 0) << limit << " " << steps << " " << k;
                EXPECT_LT(share, limit - spent) << limit << " " << steps << " " << k;
                spent += share;
            }
            EXPECT_GE(limit - spent, limit / 2 - 1e-9) << limit << " " << steps;
            EXPECT_DOUBLE_EQ(stepTimeLimit(limit, spent, 1), limit - spent);
            // A step that ends early leaves its time to those under it.
            if (steps > 2) {
                EXPECT_GT(stepTimeLimit(limit, 0, steps - 1), stepTimeLimit(limit, 0, steps));
            }
        }
    }
}

// The minimum lowered step by step against the brute force: the fill kept
// is at the highest minimum of the steps that has a fill, and places nothing
// under it; every step named before it has no fill at its minimum; a fill
// exists at the end exactly when one exists at the last step's minimum (1:
// no word scoring 0), and where the steps end there, it is the very fill a
// fill at 1 gives.
TEST(FillScores, FallbackKeepsTheHighestMinimumThatFills) {
    std::mt19937 rng(2929);
    int lowered = 0;
    int reachedLast = 0;
    int climbed = 0;
    int stoppedEarly = 0;
    for (int round = 0; round < 400; ++round) {
        ScoredCase sc = scoredCase(rng);
        const int starts[] = {30, 50, 50, 70};
        sc.rules.minScore = starts[rng() % 4];
        const WordIndex wi = indexOf(sc);
        const auto existsAt = [&](int minScore) {
            Rules at = sc.rules;
            at.minScore = minScore;
            bool exists = false;
            bruteForce(sc.grid, at, sc.alphabet, [&](const GridModel&) {
                exists = true;
                return false;
            });
            return exists;
        };
        const std::vector<int> minimums = fallbackMinimums(sc.rules.minScore);
        MemoryHost host;
        SearchFlags flags;
        const FillOptions o = optionsOf(sc.rules, static_cast<uint64_t>(round));
        const SteppedFill stepped =
            fillStepByStep(sc.grid, Slots::of(sc.grid), wi, o, minimums, 0, 0, host, flags);
        FillOptions last = o;
        last.minScore = LastStepScore;
        const FillResult atLast = fillGrid(sc.grid, wi, last, host, flags);
        ASSERT_FALSE(stepped.steps.empty());
        ASSERT_LE(stepped.steps.size(), minimums.size());
        EXPECT_EQ(stepped.steps.front().minScore, minimums.front());
        for (std::size_t k = 0; k < stepped.steps.size(); ++k) {
            const FillStep& step = stepped.steps[k];
            EXPECT_NE(std::find(minimums.begin(), minimums.end(), step.minScore), minimums.end());
            if (k > 0) {
                EXPECT_LT(step.minScore, stepped.steps[k - 1].minScore) << "round " << round;
            }
            EXPECT_NE(
                describeStep(step).find("minimum score " + std::to_string(step.minScore) + ": "),
                std::string::npos);
            if (k + 1 < stepped.steps.size()) {
                ASSERT_EQ(step.status, FillStatus::NoFill) << "round " << round;
                EXPECT_FALSE(existsAt(step.minScore)) << "round " << round << " step " << k;
            }
        }
        EXPECT_EQ(stepped.filled(), atLast.status == FillStatus::Filled) << "round " << round;
        if (stepped.filled()) {
            Rules at = sc.rules;
            at.minScore = stepped.steps.back().minScore;
            EXPECT_TRUE(satisfies(sc.grid, stepped.result.grid, at)) << "round " << round;
            EXPECT_EQ(describeStep(stepped.steps.back()),
                      "minimum score " + std::to_string(at.minScore) + ": filled");
            for (int m : minimums) {
                if (m > at.minScore) {
                    EXPECT_FALSE(existsAt(m)) << "round " << round << " minimum " << m;
                }
            }
            climbed += stepped.steps.size() > 1 && at.minScore > LastStepScore &&
                               stepped.result.grid.GridRows != atLast.grid.GridRows
                           ? 1
                           : 0;
        } else {
            EXPECT_FALSE(existsAt(LastStepScore)) << "round " << round;
        }
        if (stepped.steps.back().minScore == LastStepScore) {
            EXPECT_EQ(stepped.result.grid.GridRows, atLast.grid.GridRows) << "round " << round;
            reachedLast += stepped.steps.size() > 1 ? 1 : 0;
        } else if (!stepped.filled()) {
            ++stoppedEarly; // a reason no lower minimum changes
        }
        lowered += stepped.filled() && stepped.steps.size() > 1 ? 1 : 0;
    }
    EXPECT_GT(lowered, 30);
    EXPECT_GT(reachedLast, 10);
    EXPECT_GT(climbed, 2);
    EXPECT_GT(stoppedEarly, 10);
}

// A word scoring 0 (the Italian set's English words) is left to a fill at
// minimum 0: the steps stop at 1 and say why there is no fill there.
TEST(FillScores, TheStepsNeverPlaceAWordScoringZero) {
    const std::map<std::string, int> scores{{"COT", 0}, {"CAB", 60}, {"TAB", 60}};
    std::vector<std::string> words;
    for (const auto& [w, sc] : scores) {
        words.push_back(w);
    }
    const WordIndex wi =
        WordIndex::fromWords(words, [&](std::string_view w) { return scores.at(std::string(w)); });
    const GridModel g = gridOf({"C?T"});
    MemoryHost host;
    SearchFlags flags;
    FillOptions o;
    o.minScore = DefaultMinScore;
    const SteppedFill stepped = fillStepByStep(g, Slots::of(g), wi, o,
                                               fallbackMinimums(DefaultMinScore), 0, 0, host, flags);
    // No fill at 1 leaves the steps between untried: they have none either.
    EXPECT_FALSE(stepped.filled());
    ASSERT_EQ(stepped.steps.size(), 2u);
    EXPECT_EQ(stepped.steps.back().minScore, LastStepScore);
    EXPECT_EQ(describeStep(stepped.steps.back()),
              "minimum score 1: no fill (no word fits 1 across (R1 C1): C?T (no word the fill "
              "may place, at score 1 or more))");
    o.minScore = 0;
    const FillResult zero = fillGrid(g, wi, o, host, flags);
    ASSERT_EQ(zero.status, FillStatus::Filled);
    EXPECT_EQ(zero.grid.GridRows[0], "COT");
}

// A step that neither fills nor proves it cannot within its budget of words
// tried is passed over, named so; a budget stops at the same place every
// time; the last step has none.
TEST(FillScores, FallbackPassesOverAStepThatSpendsItsBudget) {
    std::vector<std::string> words;
    std::map<std::string, int> scores;
    std::mt19937 rng(5);
    for (int i = 0; i < 3000; ++i) {
        std::string w;
        for (int k = 0; k < 5; ++k) {
            w += static_cast<char>('A' + rng() % 6);
        }
        scores[w] = static_cast<int>(rng() % 101);
    }
    for (const auto& [w, s] : scores) {
        words.push_back(w);
    }
    const WordIndex wi =
        WordIndex::fromWords(words, [&](std::string_view w) { return scores.at(std::string(w)); });
    const GridModel g = GridModel::make(5, 5);
    MemoryHost host;
    SearchFlags flags;
    FillOptions o;
    o.minScore = 50;
    o.nodeLimit = 3;
    const FillResult cut = fillGrid(g, wi, o, host, flags);
    ASSERT_EQ(cut.status, FillStatus::Stopped);
    EXPECT_TRUE(cut.budgetSpent);
    EXPECT_FALSE(cut.aborted);
    EXPECT_EQ(fillGrid(g, wi, o, host, flags).stats.nodes, cut.stats.nodes);

    o.nodeLimit = 0;
    const SteppedFill stepped =
        fillStepByStep(g, Slots::of(g), wi, o, {50, LastStepScore}, 3, 3, host, flags);
    ASSERT_EQ(stepped.steps.size(), 2u);
    EXPECT_TRUE(stepped.steps[0].budgetSpent);
    EXPECT_EQ(describeStep(stepped.steps[0]), "minimum score 50: none found within " +
                                                  std::to_string(stepped.steps[0].tried) +
                                                  " words tried");
    EXPECT_TRUE(stepped.filled());
    EXPECT_EQ(stepped.steps[1].minScore, LastStepScore);

    // Once the last step has filled, a step above it that spends its budget
    // costs nothing: the fill at the last step stays, the step is named.
    FillOptions atLast = o;
    atLast.minScore = LastStepScore;
    const FillResult lowest = fillGrid(g, wi, atLast, host, flags);
    ASSERT_EQ(lowest.status, FillStatus::Filled);
    const SteppedFill climbed =
        fillStepByStep(g, Slots::of(g), wi, o, {50, 45, LastStepScore}, 3, 3, host, flags);
    ASSERT_TRUE(climbed.filled());
    ASSERT_EQ(climbed.steps.size(), 3u);
    EXPECT_TRUE(climbed.steps[1].budgetSpent);
    EXPECT_EQ(climbed.steps[1].minScore, 45);
    EXPECT_EQ(climbed.steps[2].minScore, LastStepScore);
    EXPECT_EQ(climbed.result.grid.GridRows, lowest.grid.GridRows);
    // With room to search, the same step finds the better fill.
    const SteppedFill better =
        fillStepByStep(g, Slots::of(g), wi, o, {50, 45, LastStepScore}, 3, 0, host, flags);
    ASSERT_TRUE(better.filled());
    EXPECT_EQ(better.steps.back().minScore, 45);

    // A stop asked for while the better fill is looked for keeps the fill
    // found: the host raises it on the first yield after the last step.
    struct StopAt : MemoryHost {
        SearchFlags* flags = nullptr;
        long calls = 0;
        long at = -1;
        void yield() override {
            if (++calls == at) {
                flags->abortRequest = 1;
            }
        }
    };
    StopAt counting;
    counting.yieldStride = 1;
    counting.flags = &flags;
    ASSERT_TRUE(
        fillStepByStep(g, Slots::of(g), wi, o, {50, LastStepScore}, 3, 0, counting, flags).filled());
    StopAt stopping;
    stopping.yieldStride = 1;
    stopping.flags = &flags;
    stopping.at = counting.calls + 2;
    const SteppedFill stopped =
        fillStepByStep(g, Slots::of(g), wi, o, {50, 45, LastStepScore}, 3, 0, stopping, flags);
    flags.abortRequest = 0;
    ASSERT_TRUE(stopped.filled());
    ASSERT_EQ(stopped.steps.size(), 3u);
    EXPECT_EQ(describeStep(stopped.steps[1]), "minimum score 45: stopped");
    EXPECT_EQ(stopped.steps[2].minScore, LastStepScore);
    EXPECT_EQ(stopped.result.grid.GridRows, lowest.grid.GridRows);
}

// Why there is no fill decides whether a lower minimum is worth a try.
TEST(FillScores, WhetherTheMinimumMatters) {
    const std::map<std::string, int> scores{{"CAT", 90}, {"COT", 20}, {"NET", 10}};
    std::vector<std::string> words;
    for (const auto& [w, s] : scores) {
        words.push_back(w);
    }
    const WordIndex wi =
        WordIndex::fromWords(words, [&](std::string_view w) { return scores.at(std::string(w)); });
    MemoryHost host;
    SearchFlags flags;
    FillOptions o;
    o.minScore = 50;
    struct Case {
        std::vector<std::string> rows;
        bool matters;
    };
    for (const Case& c : std::vector<Case>{
             {{"N?T"}, true},                   // NET scores 10
             {{"Z?T"}, false},                  // no word at all
             {{"ZZT#", "####", "C?T#"}, false}, // complete and no word
             {{"CAT", "###", "C?T"}, true},     // COT is left, scoring 20
         }) {
        const FillResult r = fillGrid(gridOf(c.rows), wi, o, host, flags);
        ASSERT_EQ(r.status, FillStatus::NoFill) << c.rows[0];
        EXPECT_EQ(r.minimumMatters, c.matters) << c.rows[0] << ": " << r.reason;
        // At minimum 0 the minimum holds nothing back.
        FillOptions zero = o;
        zero.minScore = 0;
        const FillResult z = fillGrid(gridOf(c.rows), wi, zero, host, flags);
        EXPECT_FALSE(z.minimumMatters) << c.rows[0];
    }
}
