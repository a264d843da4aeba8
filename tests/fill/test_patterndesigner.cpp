// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern designer against an oracle of the test's own (the runs of the
// grid found afresh, the rules counted again), on many seeds, sizes, styles
// and symmetries; the designer's rule checker against grids that each break
// one rule; typed entries kept whole; the ranking by a quick fill.

#include "gridoracle.h"
#include "gridrows.h"
#include "memoryhost.h"
#include "patterndesigner.h"
#include "wordindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace korvel;
using korvel::testing::gridOf;
using korvel::testing::runsOf;

namespace {

bool always() {
    return true;
}

// The rules counted from the grid's bytes: symmetry by the mirror of the
// indices, runs by runsOf, a flood for the connection.
::testing::AssertionResult meetsRules(const GridModel& g, const PatternRules& rules) {
    const int R = g.RowCount;
    const int C = g.ColumnCount;
    if (R != rules.rows || C != rules.columns) {
        return ::testing::AssertionFailure() << "size";
    }
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            int pr = r;
            int pc = c;
            if (rules.symmetry == Symmetry::Rotate180 || rules.symmetry == Symmetry::TopBottom) {
                pr = R - 1 - r;
            }
            if (rules.symmetry == Symmetry::Rotate180 || rules.symmetry == Symmetry::LeftRight) {
                pc = C - 1 - c;
            }
            if (g.isBlack(r, c) != g.isBlack(pr, pc)) {
                return ::testing::AssertionFailure() << "asymmetric at " << r << "," << c;
            }
        }
    }
    std::map<std::pair<int, int>, int> inRuns;
    const auto runs = runsOf(g);
    for (const auto& run : runs) {
        const int n = static_cast<int>(run.size());
        if (n < rules.minLength || (rules.maxLength > 0 && n > rules.maxLength)) {
            return ::testing::AssertionFailure() << "run of " << n;
        }
        for (const auto& rc : run) {
            ++inRuns[rc];
        }
    }
    const int words = static_cast<int>(runs.size());
    if (words < rules.minWords || words > rules.maxWords) {
        return ::testing::AssertionFailure() << words << " words";
    }
    int whites = 0;
    int unchecked = 0;
    std::pair<int, int> first{-1, -1};
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            if (g.isBlack(r, c)) {
                continue;
            }
            ++whites;
            if (first.first < 0) {
                first = {r, c};
            }
            const int k = inRuns.count({r, c}) ? inRuns[{r, c}] : 0;
            if (k == 0) {
                return ::testing::AssertionFailure() << "cell in no word " << r << "," << c;
            }
            unchecked += k == 1 ? 1 : 0;
        }
    }
    if (rules.style == PatternStyle::American && unchecked > 0) {
        return ::testing::AssertionFailure() << unchecked << " unchecked";
    }
    if (unchecked * 6 > whites) {
        return ::testing::AssertionFailure() << unchecked << " unchecked of " << whites;
    }
    std::set<std::pair<int, int>> seen{first};
    std::vector<std::pair<int, int>> todo{first};
    while (!todo.empty()) {
        const auto [r, c] = todo.back();
        todo.pop_back();
        for (const auto& [nr, nc] : {std::pair{r - 1, c}, {r + 1, c}, {r, c - 1}, {r, c + 1}}) {
            if (g.contains(nr, nc) && !g.isBlack(nr, nc) && seen.insert({nr, nc}).second) {
                todo.push_back({nr, nc});
            }
        }
    }
    if (static_cast<int>(seen.size()) != whites) {
        return ::testing::AssertionFailure() << "not connected";
    }
    return ::testing::AssertionSuccess();
}

struct StyleCase {
    int rows;
    int columns;
    PatternStyle style;
    Symmetry symmetry;
};

} // namespace

// Every pattern made meets every rule, by the designer's checker and by the
// oracle, and none comes twice; the same seed gives the same patterns.
TEST(PatternDesigner, EveryPatternMeetsEveryRule) {
    const std::vector<StyleCase> cases = {
        {5, 5, PatternStyle::American, Symmetry::Rotate180},
        {7, 7, PatternStyle::American, Symmetry::LeftRight},
        {9, 9, PatternStyle::American, Symmetry::Rotate180},
        {11, 13, PatternStyle::American, Symmetry::TopBottom},
        {13, 13, PatternStyle::American, Symmetry::Rotate180},
        {15, 15, PatternStyle::American, Symmetry::Rotate180},
        {15, 15, PatternStyle::American, Symmetry::None},
        {21, 21, PatternStyle::American, Symmetry::Rotate180},
        {5, 6, PatternStyle::Italian, Symmetry::None},
        {9, 9, PatternStyle::Italian, Symmetry::Rotate180},
        {13, 13, PatternStyle::Italian, Symmetry::Rotate180},
        {13, 13, PatternStyle::Italian, Symmetry::LeftRight},
        {15, 15, PatternStyle::Italian, Symmetry::None},
        {25, 35, PatternStyle::Italian, Symmetry::Rotate180},
    };
    int made = 0;
    for (const StyleCase& sc : cases) {
        PatternRules rules = defaultPatternRules(static_cast<int16_t>(sc.rows),
                                                 static_cast<int16_t>(sc.columns), sc.style);
        rules.symmetry = sc.symmetry;
        if (sc.rows <= 7) {
            // A mini has few words, and few ways to lose one.
            rules.minWords = 4;
            rules.maxWords = sc.rows + sc.columns;
        }
        for (uint64_t seed = 1; seed <= 6; ++seed) {
            PatternGenerator gen(rules, std::nullopt, seed);
            ASSERT_EQ(gen.problem(), "") << sc.rows << "x" << sc.columns;
            std::set<std::vector<std::string>> distinct;
            std::vector<std::vector<std::string>> first;
            for (int k = 0; k < 3; ++k) {
                const std::optional<GridModel> g = gen.next(always);
                ASSERT_TRUE(g.has_value()) << sc.rows << "x" << sc.columns << " seed " << seed;
                ++made;
                EXPECT_EQ(checkPattern(*g, rules), std::vector<std::string>{})
                    << sc.rows << "x" << sc.columns << " seed " << seed;
                EXPECT_TRUE(meetsRules(*g, rules))
                    << sc.rows << "x" << sc.columns << " seed " << seed;
                EXPECT_TRUE(distinct.insert(g->GridRows).second);
                first.push_back(g->GridRows);
            }
            PatternGenerator again(rules, std::nullopt, seed);
            for (const auto& rows : first) {
                EXPECT_EQ(again.next(always)->GridRows, rows);
            }
        }
    }
    EXPECT_EQ(made, static_cast<int>(cases.size()) * 6 * 3);
}

// Tighter rules: a longest entry, a narrow word range, a longer shortest
// entry; the oracle still agrees with every pattern.
TEST(PatternDesigner, NarrowRulesAreKept) {
    PatternRules rules = defaultPatternRules(15, 15, PatternStyle::American);
    rules.maxLength = 9;
    rules.minWords = 76;
    rules.maxWords = 78;
    PatternRules long4 = defaultPatternRules(11, 11, PatternStyle::American);
    long4.minLength = 4;
    long4.minWords = 30;
    long4.maxWords = 40;
    PatternRules italian3 = defaultPatternRules(13, 13, PatternStyle::Italian);
    italian3.minLength = 3;
    for (const PatternRules& r : {rules, long4, italian3}) {
        for (uint64_t seed = 1; seed <= 5; ++seed) {
            PatternGenerator gen(r, std::nullopt, seed);
            const std::optional<GridModel> g = gen.next(always);
            ASSERT_TRUE(g.has_value()) << "seed " << seed;
            EXPECT_TRUE(meetsRules(*g, r)) << "seed " << seed;
            EXPECT_TRUE(checkPattern(*g, r).empty());
        }
    }
}

// A typed entry is never cut and stays an entry of its own; every kept
// letter stays; with the letters only, the letters stay and nothing else is
// asked.
TEST(PatternDesigner, TypedEntriesStayWhole) {
    std::mt19937 rng(34);
    int kept = 0;
    for (int round = 0; round < 60; ++round) {
        const bool italian = round % 3 == 2;
        const int side = italian ? 13 : (round % 2 == 0 ? 15 : 13);
        PatternRules rules =
            defaultPatternRules(static_cast<int16_t>(side), static_cast<int16_t>(side),
                                italian ? PatternStyle::Italian : PatternStyle::American);
        // One or two entries across (a theme), far enough apart not to touch.
        GridModel keep = GridModel::make(static_cast<int16_t>(side), static_cast<int16_t>(side));
        struct Placed {
            int row, column, length;
        };
        std::vector<Placed> placed;
        const int entries = 1 + round % 2;
        for (int e = 0; e < entries; ++e) {
            const int length = std::uniform_int_distribution<int>(3, side)(rng);
            const int row = e == 0
                                ? std::uniform_int_distribution<int>(0, side / 2 - 2)(rng)
                                : std::uniform_int_distribution<int>(side / 2 + 1, side - 1)(rng);
            const int column = std::uniform_int_distribution<int>(0, side - length)(rng);
            for (int k = 0; k < length; ++k) {
                keep.setCell(row, column + k, static_cast<char>('A' + rng() % 26));
            }
            placed.push_back({row, column, length});
        }
        for (const bool whole : {true, false}) {
            const PatternKeep k{keep, whole};
            PatternGenerator gen(rules, k, static_cast<uint64_t>(round));
            if (!gen.problem().empty()) {
                // Refused only when the entries' ends meet a kept letter of
                // the symmetry, or leave the rules no room.
                EXPECT_TRUE(whole) << gen.problem();
                continue;
            }
            const std::optional<GridModel> g = gen.next(always, 300);
            if (!g) {
                EXPECT_TRUE(gen.exhausted());
                continue;
            }
            ++kept;
            EXPECT_TRUE(meetsRules(*g, rules)) << "round " << round;
            EXPECT_TRUE(checkPattern(*g, rules, &k).empty()) << "round " << round;
            for (int r = 0; r < side; ++r) {
                for (int c = 0; c < side; ++c) {
                    if (keep.cell(r, c) != EmptyCell) {
                        ASSERT_EQ(g->cell(r, c), keep.cell(r, c)) << "round " << round;
                    }
                }
            }
            if (whole) {
                for (const Placed& p : placed) {
                    EXPECT_TRUE(p.column == 0 || g->isBlack(p.row, p.column - 1));
                    EXPECT_TRUE(p.column + p.length == side ||
                                g->isBlack(p.row, p.column + p.length));
                }
            }
        }
    }
    EXPECT_GT(kept, 80);
}

TEST(PatternDesigner, ContradictionsAreRefused) {
    PatternRules rules = defaultPatternRules(9, 9, PatternStyle::American);
    // CAT ends at column 3; half-turn symmetry needs column 5 of row 8
    // black, where a kept letter is.
    GridModel keep = gridOf({"CAT??????", "?????????", "?????????", "?????????", "?????????",
                             "?????????", "?????????", "?????????", "?????E???"});
    PatternGenerator gen(rules, PatternKeep{keep, true}, 1);
    EXPECT_NE(gen.problem().find("must stay white"), std::string::npos) << gen.problem();
    EXPECT_FALSE(gen.next(always).has_value());
    // With the letters only there is no end to place.
    PatternGenerator letters(rules, PatternKeep{keep, false}, 1);
    EXPECT_EQ(letters.problem(), "");
    // A kept grid of another size.
    PatternGenerator other(rules, PatternKeep{GridModel::make(9, 10), true}, 1);
    EXPECT_NE(other.problem(), "");
    // An entry of 9 in a grid whose entries are at most 7 long.
    rules.maxLength = 7;
    GridModel wide = GridModel::make(9, 9);
    wide.GridRows[4] = "ABCDEFGHI";
    PatternGenerator tooLong(rules, PatternKeep{wide, true}, 1);
    EXPECT_NE(tooLong.problem().find("more than 7"), std::string::npos) << tooLong.problem();
}

TEST(PatternDesigner, RulesThatNoGridMeets) {
    const auto problem = [](auto change) {
        PatternRules r = defaultPatternRules(15, 15, PatternStyle::American);
        change(r);
        return rulesProblem(r);
    };
    EXPECT_EQ(problem([](PatternRules&) {}), "");
    EXPECT_NE(problem([](PatternRules& r) { r.minLength = 2; }), "");
    EXPECT_EQ(problem([](PatternRules& r) {
                  r.style = PatternStyle::Italian;
                  r.minLength = 2;
              }),
              "");
    EXPECT_NE(problem([](PatternRules& r) { r.minLength = 16; }), "");
    EXPECT_NE(problem([](PatternRules& r) { r.maxLength = 2; }), "");
    EXPECT_NE(problem([](PatternRules& r) { r.minWords = 80; }), "");
    EXPECT_NE(problem([](PatternRules& r) { r.rows = 26; }), "");
    EXPECT_NE(problem([](PatternRules& r) { r.columns = 1; }), "");
    // Word counts no grid reaches: the generator gives up, it does not hang.
    PatternRules r = defaultPatternRules(5, 5, PatternStyle::American);
    r.minWords = 20;
    r.maxWords = 20;
    PatternGenerator gen(r, std::nullopt, 1);
    EXPECT_FALSE(gen.next(always, 200).has_value());
    EXPECT_TRUE(gen.exhausted());
}

// Each grid breaks one rule, and the checker names it.
TEST(PatternChecker, NamesEachFault) {
    PatternRules american;
    american.rows = 5;
    american.columns = 5;
    american.minWords = 0;
    american.maxWords = 100;
    PatternRules italian = american;
    italian.style = PatternStyle::Italian;
    italian.minLength = 2;
    struct Case {
        std::vector<std::string> rows;
        PatternRules rules;
        std::string fault; // "" for none
    };
    const std::vector<Case> cases = {
        {{"???##", "?????", "?????", "?????", "##???"}, american, ""},
        {{"???##", "?????", "?????", "?????", "#????"},
         american,
         "not symmetric: R1 C4 is black, R5 C2 is not"},
        {{"??#??", "?????", "?????", "?????", "??#??"}, american, "has 2 letters"},
        {{"???##", "???##", "#####", "##???", "##???"}, american, "not connected"},
        {{"?????", "?#?#?", "?????", "?#?#?", "?????"}, american, "checked one way only"},
        {{"?????", "?#?#?", "?????", "?#?#?", "?????"}, italian, "more than one in 6"},
        {{"?#???", "?????", "?????", "?????", "???#?"}, italian, ""},
        {{"?#???", "#????", "?????", "????#", "???#?"}, italian, "is in no entry"},
        {{"?????", "?????", "?????", "?????", "?????"},
         [&] {
             PatternRules r = american;
             r.maxWords = 9;
             return r;
         }(),
         "10 words, not 0 to 9"},
        {{"?????", "?????", "?????", "?????", "?????"},
         [&] {
             PatternRules r = american;
             r.maxLength = 4;
             return r;
         }(),
         "more than 4"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> faults = checkPattern(gridOf(c.rows), c.rules);
        if (c.fault.empty()) {
            EXPECT_EQ(faults, std::vector<std::string>{}) << c.rows[0] << "/" << c.rows[1];
            EXPECT_TRUE(meetsRules(gridOf(c.rows), c.rules));
            continue;
        }
        EXPECT_FALSE(meetsRules(gridOf(c.rows), c.rules)) << c.fault;
        const bool named = std::any_of(faults.begin(), faults.end(), [&](const std::string& f) {
            return f.find(c.fault) != std::string::npos;
        });
        EXPECT_TRUE(named) << c.fault << " not in: " << ::testing::PrintToString(faults);
    }
    // Kept letters and entries.
    const GridModel pattern = gridOf({"CAT##", "?????", "?????", "?????", "##???"});
    const PatternKeep keepCat{gridOf({"CAT??", "?????", "?????", "?????", "?????"}), true};
    EXPECT_EQ(checkPattern(pattern, american, &keepCat), std::vector<std::string>{});
    const PatternKeep keepDog{gridOf({"?????", "DOG??", "?????", "?????", "?????"}), true};
    const std::vector<std::string> faults = checkPattern(pattern, american, &keepDog);
    EXPECT_EQ(faults.size(), 4u) << ::testing::PrintToString(faults);
    EXPECT_EQ(faults.back(), "the typed entry at R2 C1 across is not an entry of its own");
}

// The quick fill ranks: the patterns the lists fill come first, the faster
// first; a pattern it proves unfillable comes after those it could not
// settle; every filled grid is a fill of its pattern.
TEST(PatternDesigner, RanksByQuickFill) {
    // Random words over six letters, fewer the longer they are: the
    // patterns with long entries have no fill.
    std::vector<std::string> words;
    std::mt19937 rng(5);
    for (int len = 3; len <= 7; ++len) {
        for (int i = 0; i < (len == 3 ? 400 : 1600 >> (len - 3)); ++i) {
            std::string w;
            for (int k = 0; k < len; ++k) {
                w += static_cast<char>('A' + rng() % 6);
            }
            words.push_back(w);
        }
    }
    const WordIndex index = WordIndex::fromWords(words);
    PatternRequest request;
    request.rules = defaultPatternRules(7, 7, PatternStyle::American);
    request.rules.minWords = 4;
    request.count = 12;
    request.candidates = 12;
    request.quickFill = 3.0;
    MemoryHost host;
    SearchFlags flags;
    const PatternDesign design = designPatterns(request, &index, host, flags);
    ASSERT_EQ(design.problem, "");
    ASSERT_EQ(design.patterns.size(), 12u);
    EXPECT_EQ(design.made, 12);
    EXPECT_GE(design.firstPatternSeconds, 0);
    int lastGroup = 0;
    double lastSeconds = 0;
    std::set<int> groups;
    for (const DesignedPattern& p : design.patterns) {
        EXPECT_TRUE(p.ranked);
        EXPECT_TRUE(checkPattern(p.grid, request.rules).empty());
        const int group = p.quickFill == FillStatus::Filled    ? 0
                          : p.quickFill == FillStatus::Stopped ? 1
                                                               : 2;
        EXPECT_GE(group, lastGroup);
        if (group == 0) {
            if (lastGroup == 0) {
                EXPECT_GE(p.quickFillSeconds, lastSeconds);
            }
            lastSeconds = p.quickFillSeconds;
            ASSERT_TRUE(p.filled.has_value());
            const Slots slots = Slots::of(p.grid);
            for (const Slot& s : slots.all()) {
                EXPECT_GE(index.find(Slots::pattern(*p.filled, s)), 0);
            }
        } else {
            EXPECT_FALSE(p.filled.has_value());
        }
        lastGroup = group;
        groups.insert(group);
        EXPECT_EQ(p.figures.words, static_cast<int>(Slots::of(p.grid).size()));
    }
    // The lists fill some of these patterns and prove others unfillable.
    EXPECT_EQ(groups.count(0), 1u);
    EXPECT_EQ(groups.count(2), 1u);
    // Without an index (or a quick fill) nothing is ranked and the patterns
    // come as made.
    request.count = 4;
    const PatternDesign plain = designPatterns(request, nullptr, host, flags);
    ASSERT_EQ(plain.patterns.size(), 4u);
    PatternGenerator gen(request.rules, std::nullopt, request.seed);
    for (const DesignedPattern& p : plain.patterns) {
        EXPECT_FALSE(p.ranked);
        EXPECT_EQ(p.grid.GridRows, gen.next(always)->GridRows);
    }
}

// The abort request, read after a yield, ends the design.
TEST(PatternDesigner, AbortEndsIt) {
    struct AbortingHost : MemoryHost {
        SearchFlags* flags = nullptr;
        int yields = 0;
        void yield() override {
            if (++yields == 3) {
                flags->abortRequest = 1;
            }
        }
    };
    AbortingHost host;
    host.yieldStride = 1;
    SearchFlags flags;
    host.flags = &flags;
    PatternRequest request;
    request.rules = defaultPatternRules(25, 35, PatternStyle::American);
    request.count = 50;
    const PatternDesign design = designPatterns(request, nullptr, host, flags);
    EXPECT_TRUE(design.aborted);
    EXPECT_TRUE(design.stopped);
    EXPECT_LT(design.patterns.size(), 50u);
}
