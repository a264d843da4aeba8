// SPDX-License-Identifier: GPL-3.0-or-later
// The fill engine against oracles of its own: an independent checker of every
// fill, a brute force that enumerates every letter of every cell on small
// grids, and a naive arc-consistency loop for the fill check.

#include "enabledset.h"
#include "fill.h"
#include "gridoracle.h"
#include "gridrows.h"
#include "memoryhost.h"
#include "plainfill.h"
#include "wordindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace korvel;
using korvel::testing::gridOf;
using korvel::testing::runsOf;
using korvel::testing::textOf;

namespace {

// The independent checker: the region's empty cells now hold letters, every
// other byte is as it was, every run touching a written cell is a word (runs
// still holding an empty cell must at least fit one), and no word twice.
::testing::AssertionResult verifyFill(const GridModel& before, const FillResult& res,
                                      const std::set<std::string>& words, bool allowRepeats,
                                      std::optional<FillRegion> region = std::nullopt) {
    const GridModel& after = res.grid;
    if (after.RowCount != before.RowCount || after.ColumnCount != before.ColumnCount) {
        return ::testing::AssertionFailure() << "size changed";
    }
    std::set<std::pair<int, int>> written;
    for (int r = 0; r < before.RowCount; ++r) {
        for (int c = 0; c < before.ColumnCount; ++c) {
            const char b = before.cell(r, c);
            const char a = after.cell(r, c);
            const bool inside = !region || region->contains(r, c);
            if (inside && before.patternChar(r, c) == EmptyCell && !before.isBlack(r, c)) {
                if (a < 'A' || a > 'Z') {
                    return ::testing::AssertionFailure()
                           << "cell " << r << "," << c << " not filled";
                }
                written.insert({r, c});
            } else if (a != b) {
                return ::testing::AssertionFailure() << "cell " << r << "," << c << " changed";
            }
        }
    }
    if (res.changes.size() != written.size()) {
        return ::testing::AssertionFailure() << "changes list " << res.changes.size() << " cells";
    }
    for (const CellChange& ch : res.changes) {
        if (!written.count({ch.row, ch.column}) || ch.before != before.cell(ch.row, ch.column) ||
            ch.after != after.cell(ch.row, ch.column)) {
            return ::testing::AssertionFailure() << "wrong change record";
        }
    }
    std::set<std::string> seen;
    for (const auto& run : runsOf(after)) {
        const bool touched = std::any_of(run.begin(), run.end(), [&](auto rc) {
            return !region || region->contains(rc.first, rc.second);
        });
        if (!touched) {
            continue;
        }
        const std::string w = textOf(after, run);
        if (w.find(EmptyCell) != std::string::npos) {
            const bool fits = std::any_of(words.begin(), words.end(), [&](const std::string& cand) {
                if (cand.size() != w.size()) {
                    return false;
                }
                for (std::size_t i = 0; i < w.size(); ++i) {
                    if (w[i] != EmptyCell && w[i] != cand[i]) {
                        return false;
                    }
                }
                return true;
            });
            if (!fits) {
                return ::testing::AssertionFailure() << "no word fits " << w;
            }
            continue;
        }
        if (!words.count(w)) {
            return ::testing::AssertionFailure() << w << " is no word";
        }
        if (!allowRepeats && !seen.insert(w).second) {
            return ::testing::AssertionFailure() << w << " twice";
        }
    }
    return ::testing::AssertionSuccess();
}

// Every fill of the whole grid by enumeration; found returns false to stop.
void bruteForce(const GridModel& g, const std::set<std::string>& words, bool allowRepeats,
                const std::string& alphabet, const std::function<bool(const GridModel&)>& found) {
    const auto runs = runsOf(g);
    korvel::testing::bruteForce(
        g, alphabet, [&](const std::string& w, bool) { return words.count(w) > 0; },
        [&](const GridModel& work) {
            std::set<std::string> seen;
            for (const auto& run : runs) {
                if (!allowRepeats && !seen.insert(textOf(work, run)).second) {
                    return false;
                }
            }
            return true;
        },
        found);
}

// Arc consistency the slow way: until nothing changes, every slot keeps the
// letters that some word of the list fitting all its cells holds. Returns
// false on a wipe-out.
bool naiveArcConsistency(const GridModel& g, const std::set<std::string>& words,
                         std::vector<LetterMask>& dom) {
    const auto runs = runsOf(g);
    dom.assign(static_cast<std::size_t>(g.RowCount * g.ColumnCount), 0);
    for (int r = 0; r < g.RowCount; ++r) {
        for (int c = 0; c < g.ColumnCount; ++c) {
            const char ch = g.cell(r, c);
            auto& d = dom[static_cast<std::size_t>(r * g.ColumnCount + c)];
            d = g.isBlack(r, c) ? 0 : ch == EmptyCell ? AllLetters : LetterMask{1} << (ch - 'A');
        }
    }
    bool changed = true;
    while (changed) {
        changed = false;
        for (const auto& run : runs) {
            std::vector<LetterMask> sup(run.size(), 0);
            bool any = false;
            for (const std::string& w : words) {
                if (w.size() != run.size()) {
                    continue;
                }
                bool fits = true;
                for (std::size_t i = 0; i < run.size() && fits; ++i) {
                    const auto [r, c] = run[i];
                    fits = (dom[static_cast<std::size_t>(r * g.ColumnCount + c)] >> (w[i] - 'A') &
                            1) != 0;
                }
                if (fits) {
                    any = true;
                    for (std::size_t i = 0; i < run.size(); ++i) {
                        sup[i] |= LetterMask{1} << (w[i] - 'A');
                    }
                }
            }
            if (!any) {
                return false;
            }
            for (std::size_t i = 0; i < run.size(); ++i) {
                const auto [r, c] = run[i];
                auto& d = dom[static_cast<std::size_t>(r * g.ColumnCount + c)];
                if ((d & sup[i]) != d) {
                    d &= sup[i];
                    changed = true;
                }
            }
        }
    }
    return true;
}

struct RandomCase {
    GridModel grid;
    std::set<std::string> words;
    std::string alphabet;
};

// A small grid (2..4 by 2..5) with a few blacks and letters, and a list of
// random words over a small alphabet, so that fills exist often but not always.
RandomCase randomCase(std::mt19937& rng) {
    RandomCase rc;
    std::uniform_int_distribution<int> rows(2, 4);
    std::uniform_int_distribution<int> cols(2, 5);
    const int R = rows(rng);
    const int C = cols(rng);
    rc.alphabet = std::string("ABCD").substr(
        0, static_cast<std::size_t>(std::uniform_int_distribution<int>(2, 4)(rng)));
    std::vector<std::string> rowsText(static_cast<std::size_t>(R),
                                      std::string(static_cast<std::size_t>(C), '?'));
    std::uniform_real_distribution<double> u(0, 1);
    for (auto& row : rowsText) {
        for (char& ch : row) {
            const double x = u(rng);
            ch = x < 0.15   ? '#'
                 : x < 0.25 ? rc.alphabet[static_cast<std::size_t>(rng() % rc.alphabet.size())]
                            : '?';
        }
    }
    rc.grid = gridOf(rowsText);
    const int count = std::uniform_int_distribution<int>(5, 40)(rng);
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

std::vector<std::string> listOf(const std::set<std::string>& s) {
    return {s.begin(), s.end()};
}

FillResult fill(const GridModel& g, const WordIndex& wi, FillOptions o = {}) {
    MemoryHost host;
    SearchFlags flags;
    return fillGrid(g, wi, o, host, flags);
}

} // namespace

TEST(WordIndex, ReadsWordsAsTheSearchesDo) {
    DictionaryStore store;
    store.count = 3;
    store.DictFileName[1] = "base.diz";
    store.DictFileName[2] = "more.diz";
    store.DictFileName[3] = "words.dic";
    // Stems expand in base.diz only; remarks, lower case, digits, blanks and
    // one-letter lines are no words; lines are read untrimmed.
    store.setText(1, "'remark\r\nCAS!\r\nCASA\r\nA\r\nBEL%\r\nDUE \r\nTRE\r\nX1\r\nlow");
    store.setText(2, "CAS!\r\nTRE\r\nZZZ");
    store.setText(3, "#remark\r\nQUATTRO\r\nCINQUE\r\n");
    WordIndex all = WordIndex::build(store, {false, true, true, true, false, false, false, false});
    std::vector<std::string> got;
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        for (uint32_t id = 0; id < all.count(len); ++id) {
            got.push_back(all.word(len, id));
        }
    }
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::string>{"BELA", "BELE", "BELI", "CASA", "CASE", "CINQUE",
                                             "QUATTRO", "TRE", "ZZZ"}));
    EXPECT_EQ(all.find("CASE"), 4); // after BELA, BELE, BELI, CASA
    EXPECT_EQ(all.find("CASO"), -1);

    EnabledSet enabled;
    enabled.reset(store);
    enabled.click(2);
    WordIndex some = WordIndex::build(store, enabled);
    EXPECT_EQ(some.find("ZZZ"), -1);
    EXPECT_GE(some.find("QUATTRO"), 0);

    WordIndexCache cache(store);
    const std::shared_ptr<const WordIndex> first = cache.get(dictionarySelection(enabled));
    EXPECT_EQ(first, cache.get(dictionarySelection(enabled)));
    enabled.click(2);
    EXPECT_GE(cache.get(dictionarySelection(enabled))->find("ZZZ"), 0);
}

TEST(Slots, FollowTheNumberingRule) {
    const GridModel g = gridOf({"A?#", "??#", "#??"});
    const auto slots = Slots::of(g).all();
    ASSERT_EQ(slots.size(), 5u);
    EXPECT_EQ(describeSlot(slots[0]), "1 across (R1 C1)");
    EXPECT_EQ(describeSlot(slots[1]), "3 across (R2 C1)");
    EXPECT_EQ(describeSlot(slots[2]), "4 across (R3 C2)");
    EXPECT_EQ(describeSlot(slots[3]), "1 down (R1 C1)");
    EXPECT_EQ(describeSlot(slots[4]), "2 down (R1 C2)");
    EXPECT_EQ(slots[4].length, 3);
}

// On random small cases: the fill agrees with the brute force on whether a
// fill exists, and what it returns passes the checker; the plain backtracker
// agrees too.
TEST(Fill, AgreesWithBruteForceOnSmallGrids) {
    std::mt19937 rng(1234);
    int filled = 0;
    int impossible = 0;
    for (int round = 0; round < 400; ++round) {
        const RandomCase rc = randomCase(rng);
        const WordIndex wi = WordIndex::fromWords(listOf(rc.words));
        const bool repeats = round % 3 == 0;
        bool exists = false;
        bruteForce(rc.grid, rc.words, repeats, rc.alphabet, [&](const GridModel&) {
            exists = true;
            return false;
        });
        FillOptions o;
        o.allowRepeats = repeats;
        o.seed = static_cast<uint64_t>(round);
        const FillResult res = fill(rc.grid, wi, o);
        ASSERT_EQ(res.status, exists ? FillStatus::Filled : FillStatus::NoFill)
            << "round " << round;
        if (exists) {
            ++filled;
            EXPECT_TRUE(verifyFill(rc.grid, res, rc.words, repeats)) << "round " << round;
        } else {
            ++impossible;
            EXPECT_FALSE(res.reason.empty());
        }
        MemoryHost host;
        SearchFlags flags;
        const FillResult plain = fillGridPlain(rc.grid, wi, o, host, flags);
        ASSERT_EQ(plain.status, res.status) << "round " << round;
        if (exists) {
            EXPECT_TRUE(verifyFill(rc.grid, plain, rc.words, repeats)) << "round " << round;
        }
    }
    // Both outcomes must be well represented for the comparison to mean much.
    EXPECT_GT(filled, 60);
    EXPECT_GT(impossible, 60);
}

// The check keeps every letter that some fill uses, and is exactly the naive
// arc-consistency fixed point whenever that has no wipe-out, its count of
// words per slot included; when it has, the check reports a dead slot, with
// no words left.
TEST(Check, MatchesNaiveArcConsistencyAndKeepsEverySolution) {
    std::mt19937 rng(99);
    int wipeouts = 0;
    for (int round = 0; round < 400; ++round) {
        const RandomCase rc = randomCase(rng);
        const WordIndex wi = WordIndex::fromWords(listOf(rc.words));
        MemoryHost host;
        SearchFlags flags;
        const FillCheck check = checkFill(rc.grid, wi, host, flags);
        const int C = rc.grid.ColumnCount;

        std::vector<LetterMask> used(static_cast<std::size_t>(rc.grid.RowCount * C), 0);
        const Slots slots = Slots::of(rc.grid);
        std::vector<std::set<std::string>> slotWords(slots.size());
        bruteForce(rc.grid, rc.words, true, rc.alphabet, [&](const GridModel& g) {
            for (std::size_t s = 0; s < slots.size(); ++s) {
                slotWords[s].insert(Slots::pattern(g, slots[s]));
            }
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

        std::vector<LetterMask> dom;
        if (naiveArcConsistency(rc.grid, rc.words, dom)) {
            EXPECT_TRUE(check.deadSlots.empty()) << "round " << round;
            EXPECT_EQ(check.letters, dom) << "round " << round;
            std::vector<int> forced;
            for (std::size_t i = 0; i < dom.size(); ++i) {
                if (check.empty[i] && std::popcount(dom[i]) == 1) {
                    forced.push_back(static_cast<int>(i));
                }
            }
            EXPECT_EQ(check.forcedCells, forced);
            EXPECT_TRUE(check.deadCells.empty());
            // Each slot's count: the words of the list whose every letter
            // its cell still allows; never fewer than the words some fill
            // puts there.
            ASSERT_EQ(check.slotCandidates.size(), slots.size());
            for (std::size_t s = 0; s < slots.size(); ++s) {
                const auto cells = slots.cells(slots[s]);
                const auto count =
                    std::count_if(rc.words.begin(), rc.words.end(), [&](const std::string& w) {
                        if (w.size() != cells.size()) {
                            return false;
                        }
                        for (std::size_t p = 0; p < w.size(); ++p) {
                            if ((dom[static_cast<std::size_t>(cells[p])] >> (w[p] - 'A') & 1) ==
                                0) {
                                return false;
                            }
                        }
                        return true;
                    });
                EXPECT_EQ(check.slotCandidates[s], static_cast<uint32_t>(count))
                    << "round " << round << " " << describeSlot(slots[s]);
                EXPECT_GE(check.slotCandidates[s], slotWords[s].size());
            }
        } else {
            ++wipeouts;
            EXPECT_FALSE(check.deadSlots.empty()) << "round " << round;
            for (const Slot& dead : check.deadSlots) {
                const auto at = std::find(slots.all().begin(), slots.all().end(), dead);
                ASSERT_NE(at, slots.all().end());
                EXPECT_EQ(check.slotCandidates[static_cast<std::size_t>(at - slots.all().begin())],
                          0u);
            }
        }
    }
    EXPECT_GT(wipeouts, 40);
}

TEST(Check, DeadSlotAndForcedCell) {
    const WordIndex wi = WordIndex::fromWords({"AB", "BC"});
    // 1 across and 1 down can only be AB, so 2 across and 2 down are B?,
    // which only BC fits.
    MemoryHost host;
    SearchFlags flags;
    FillCheck check = checkFill(gridOf({"A?", "??"}), wi, host, flags);
    EXPECT_EQ(check.letters, (std::vector<LetterMask>{1, 2, 2, 4}));
    EXPECT_EQ(check.forcedCells, (std::vector<int>{1, 2, 3}));
    // No word of the list ends in Z: 1 across is dead, its cell too.
    check = checkFill(gridOf({"?Z#", "###"}), wi, host, flags);
    ASSERT_EQ(check.deadSlots.size(), 1u);
    EXPECT_EQ(describeSlot(check.deadSlots[0]), "1 across (R1 C1)");
    EXPECT_EQ(check.deadCells, (std::vector<int>{0}));

    // 1 across can only be ABC, which puts C in the corner; 2 down, ??Z,
    // can only be DYZ. Narrowing leaves 2 down without a word, and the
    // corner alone is to blame: the cell below it is not dead.
    const WordIndex crossing = WordIndex::fromWords({"ABC", "XBD", "DYZ", "CQQ"});
    check = checkFill(gridOf({"A??", "##?", "##Z"}), crossing, host, flags);
    ASSERT_EQ(check.deadSlots.size(), 1u);
    EXPECT_EQ(describeSlot(check.deadSlots[0]), "2 down (R1 C3)");
    EXPECT_EQ(check.deadCells, (std::vector<int>{2}));
    EXPECT_EQ(check.forcedCells, (std::vector<int>{1}));
    EXPECT_NE(check.letters[5], 0u);
}

TEST(Fill, ImpossibleGridsSayWhy) {
    const WordIndex wi = WordIndex::fromWords({"CASA", "CASE", "ROMA", "ORA", "ARE"});
    FillResult r = fill(gridOf({"Q???", "####"}), wi);
    EXPECT_EQ(r.status, FillStatus::NoFill);
    EXPECT_EQ(r.reason, "no word fits 1 across (R1 C1): Q???");
    r = fill(gridOf({"CASO", "####"}), wi);
    EXPECT_EQ(r.reason, "1 across (R1 C1) is complete and is no word: CASO");
    r = fill(gridOf({"ROMA#", "#####", "ROMA#"}), wi);
    EXPECT_EQ(r.reason, "the word ROMA is in 1 across (R1 C1) and in 2 across (R3 C1)");
    FillOptions repeats;
    repeats.allowRepeats = true;
    EXPECT_EQ(fill(gridOf({"ROMA#", "#####", "ROMA#"}), wi, repeats).status, FillStatus::Filled);
    // Only propagation and search can tell: no 3-letter column fits.
    r = fill(gridOf({"???", "???", "???"}), wi);
    EXPECT_EQ(r.status, FillStatus::NoFill);
    EXPECT_EQ(r.reason.rfind("no fill exists", 0), 0u) << r.reason;
}

TEST(Fill, RegionLeavesEverythingOutsideByteForByte) {
    std::mt19937 rng(7);
    int filled = 0;
    for (int round = 0; round < 300; ++round) {
        RandomCase rc = randomCase(rng);
        // Blanks count as empty cells and "@" as black outside the region:
        // both must survive byte for byte.
        rc.grid.setCell(0, 0, ' ');
        const WordIndex wi = WordIndex::fromWords(listOf(rc.words));
        FillRegion region;
        region.firstRow = static_cast<int16_t>(rng() % static_cast<unsigned>(rc.grid.RowCount));
        region.firstColumn =
            static_cast<int16_t>(rng() % static_cast<unsigned>(rc.grid.ColumnCount));
        region.lastRow = static_cast<int16_t>(
            region.firstRow +
            static_cast<int>(rng() % static_cast<unsigned>(rc.grid.RowCount - region.firstRow)));
        region.lastColumn = static_cast<int16_t>(
            region.firstColumn +
            static_cast<int>(rng() %
                             static_cast<unsigned>(rc.grid.ColumnCount - region.firstColumn)));
        FillOptions o;
        o.region = region;
        o.allowRepeats = true;
        const FillResult res = fill(rc.grid, wi, o);
        if (res.status == FillStatus::Filled) {
            ++filled;
            EXPECT_TRUE(verifyFill(rc.grid, res, rc.words, true, region)) << "round " << round;
        } else {
            EXPECT_EQ(res.grid.GridRows, rc.grid.GridRows);
        }
    }
    EXPECT_GT(filled, 50);
}

namespace {

// A grid no fill fits that no propagation can see: rows of 8 want an odd
// number of B, columns of 7 too; 7 odd row counts make an odd total, 8 odd
// column counts an even one. Every cell keeps both letters; only the whole
// search can tell, and it takes long.
struct Parity {
    WordIndex wi;
    GridModel grid;
    Parity() {
        std::vector<std::string> words;
        for (int len : {7, 8}) {
            for (int bitsSet = 0; bitsSet < (1 << len); ++bitsSet) {
                if (std::popcount(static_cast<unsigned>(bitsSet)) % 2 == 1) {
                    std::string w;
                    for (int k = 0; k < len; ++k) {
                        w += (bitsSet >> k & 1) ? 'B' : 'A';
                    }
                    words.push_back(w);
                }
            }
        }
        wi = WordIndex::fromWords(words);
        grid = GridModel::make(7, 8);
    }
};

class AbortingHost : public MemoryHost {
public:
    SearchFlags* flags = nullptr;
    int yields = 0;
    int abortAt = 20;
    void yield() override {
        if (++yields == abortAt) {
            flags->abortRequest = 1;
        }
    }
};

} // namespace

TEST(Fill, AbortAndTimeLimitStopIt) {
    const Parity p;
    SearchFlags flags;
    AbortingHost host;
    host.flags = &flags;
    FillOptions o;
    o.allowRepeats = true;
    FillResult r = fillGrid(p.grid, p.wi, o, host, flags);
    EXPECT_EQ(r.status, FillStatus::Stopped);
    EXPECT_TRUE(r.aborted);
    EXPECT_EQ(host.yields, 20);
    EXPECT_EQ(r.grid.GridRows, p.grid.GridRows);

    MemoryHost quiet;
    SearchFlags none;
    o.timeLimit = 0.2;
    r = fillGrid(p.grid, p.wi, o, quiet, none);
    EXPECT_EQ(r.status, FillStatus::Stopped);
    EXPECT_FALSE(r.aborted);
    EXPECT_GE(r.stats.seconds, 0.2);
    EXPECT_LT(r.stats.seconds, 5.0);

    // The check stops too, and says so.
    AbortingHost early;
    SearchFlags f2;
    early.flags = &f2;
    early.yieldStride = 1;
    early.abortAt = 3;
    const FillCheck c = checkFill(GridModel::make(7, 8), p.wi, early, f2);
    EXPECT_TRUE(c.stopped);
}

TEST(Fill, SeedsAreRepeatableAndVary) {
    std::vector<std::string> words;
    std::mt19937 rng(5);
    for (int i = 0; i < 3000; ++i) {
        std::string w;
        for (int k = 0; k < 4; ++k) {
            w += static_cast<char>('A' + rng() % 6);
        }
        words.push_back(w);
    }
    const WordIndex wi = WordIndex::fromWords(words);
    const GridModel g = GridModel::make(4, 4);
    std::set<std::vector<std::string>> fills;
    for (uint64_t seed = 1; seed <= 5; ++seed) {
        FillOptions o;
        o.seed = seed;
        const FillResult a = fill(g, wi, o);
        const FillResult b = fill(g, wi, o);
        ASSERT_EQ(a.status, FillStatus::Filled);
        EXPECT_EQ(a.grid.GridRows, b.grid.GridRows);
        fills.insert(a.grid.GridRows);
    }
    EXPECT_GE(fills.size(), 4u);
}
