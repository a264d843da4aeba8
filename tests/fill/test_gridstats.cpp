// SPDX-License-Identifier: GPL-3.0-or-later
// Grid statistics on a grid counted by hand, and the dictionary test of a
// pattern against a brute-force scan of the word list.
#include "gridrows.h"
#include "gridstats.h"

#include <gtest/gtest.h>

#include <random>

using namespace korvel;
using korvel::testing::gridOf;

TEST(GridStatistics, KnownGrid) {
    const WordIndex index = WordIndex::fromWords({"CAT", "COW", "TEN", "AT", "NO", "ON"});
    const GridModel g = gridOf({"CAT#", "O?E?", "W#N?"});
    const GridStatistics s = gridStatistics(g, &index);
    EXPECT_EQ(s.acrossWords, 3);
    EXPECT_EQ(s.downWords, 4);
    EXPECT_EQ(s.blackCells, 2);
    EXPECT_NEAR(s.blackPercent, 100.0 * 2 / 12, 1e-9);
    EXPECT_EQ(s.letterCells, 7);
    EXPECT_EQ(s.emptyCells, 3);
    EXPECT_EQ(s.uncheckedCells, 1); // the W, in COW only
    EXPECT_EQ(s.isolatedCells, 0);
    EXPECT_EQ(s.lengths[2], 3);
    EXPECT_EQ(s.lengths[3], 3);
    EXPECT_EQ(s.lengths[4], 1);
    ASSERT_EQ(s.misfits.size(), 1u);
    EXPECT_EQ(s.misfits[0].pattern, "O?E?");
    EXPECT_FALSE(s.misfits[0].complete);
    EXPECT_EQ(statisticsText(s), "Grid: 3 rows, 4 columns\r\n"
                                 "Words: 7 (3 across, 4 down)\r\n"
                                 "Black cells: 2 (16.7 %)\r\n"
                                 "Letters: 7, empty cells: 3\r\n"
                                 "Unchecked cells (in one word only): 1\r\n"
                                 "Word lengths:\r\n"
                                 "  2 letters: 3\r\n"
                                 "  3 letters: 3\r\n"
                                 "  4 letters: 1\r\n"
                                 "Words not in the enabled dictionaries: 1\r\n"
                                 "  4 across (R2 C1) O?E? (no word fits)\r\n");

    // TEX is complete and no word; X? has no word either.
    const GridStatistics t = gridStatistics(gridOf({"CAT#", "O?E?", "W#X?"}), &index);
    ASSERT_EQ(t.misfits.size(), 3u);
    int complete = 0;
    for (const SlotMisfit& m : t.misfits)
        complete += m.complete ? 1 : 0;
    EXPECT_EQ(complete, 1);

    // Without an index nothing is said of the dictionaries; a lone white
    // cell between blacks is in no word.
    const GridStatistics u = gridStatistics(gridOf({"#A#", "###"}), nullptr);
    EXPECT_FALSE(u.dictionariesChecked);
    EXPECT_EQ(u.isolatedCells, 1);
    EXPECT_EQ(u.acrossWords + u.downWords, 0);
    EXPECT_EQ(statisticsText(u).find("dictionaries"), std::string::npos);
    const GridStatistics full = gridStatistics(gridOf({"NO", "ON"}), &index);
    EXPECT_NE(statisticsText(full).find("Every word fits the enabled dictionaries."),
              std::string::npos);
}

TEST(GridStatistics, PatternFitsAgreesWithAScan) {
    std::mt19937 rng(7);
    auto letter = [&rng](int n) {
        return static_cast<char>('A' + std::uniform_int_distribution<int>(0, n - 1)(rng));
    };
    std::vector<std::string> words;
    for (int i = 0; i < 300; ++i) {
        std::string w(static_cast<std::size_t>(2 + i % 5), 'A');
        for (char& ch : w)
            ch = letter(4);
        words.push_back(w);
    }
    const WordIndex index = WordIndex::fromWords(words);
    int fits = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string p(static_cast<std::size_t>(2 + i % 6), '?');
        for (char& ch : p)
            if (rng() % 3 != 0)
                ch = letter(5);
        bool expected = false;
        for (const std::string& w : words) {
            if (w.size() != p.size())
                continue;
            bool ok = true;
            for (std::size_t k = 0; k < w.size(); ++k)
                ok &= p[k] == '?' || p[k] == w[k];
            expected |= ok;
        }
        ASSERT_EQ(patternFits(index, p), expected) << p;
        fits += expected ? 1 : 0;
    }
    EXPECT_GT(fits, 300);
    EXPECT_FALSE(patternFits(index, "A"));
    EXPECT_FALSE(patternFits(index, "A-"));
}

TEST(GridStatistics, CluesWhoseAnswerChanged) {
    const GridModel g = gridOf({"CAT#", "O?E?", "W#N?"});
    const Slots slots = Slots::of(g);
    ClueSet clues;
    // CAT written for CAT; 1 down written for COW; TEN written for TAN:
    // changed. O?E? was written for an emptier word: nothing it had changed.
    Clue cat{{0, 0, Direction::Across}, 3, "Pet", "", ""};
    cat.answer = "CAT";
    Clue cow{{0, 0, Direction::Down}, 3, "Farm animal", "", ""};
    cow.answer = "COW";
    Clue ten{{0, 2, Direction::Down}, 3, "Number", "", ""};
    ten.answer = "TAN";
    Clue ode{{1, 0, Direction::Across}, 4, "Poem", "", ""};
    ode.answer = "O???";
    Clue old{{1, 0, Direction::Down}, 5, "Unplaced", "", ""};
    old.answer = "ZZZZZ";
    for (const Clue& c : {cat, cow, ten, ode, old})
        clues.put(c);
    const GridStatistics s = gridStatistics(g, slots, nullptr, 0, &clues);
    EXPECT_TRUE(s.cluesCounted);
    EXPECT_EQ(s.cluedWords, 4);
    ASSERT_EQ(s.changedClues.size(), 1u);
    EXPECT_EQ(s.changedClues[0].was, "TAN");
    EXPECT_EQ(s.changedClues[0].now, "TEN");
    const std::string text = statisticsText(s);
    EXPECT_NE(text.find("\r\nClues: 4 of 7 words\r\n"
                        "Clues whose answer changed since they were written: 1\r\n"
                        "  3 down (R1 C3) TEN (written for TAN)\r\n"),
              std::string::npos)
        << text;
    // No clues, no clue lines: the box says what it always said.
    const ClueSet none;
    EXPECT_EQ(statisticsText(gridStatistics(g, slots, nullptr, 0, &none)),
              statisticsText(gridStatistics(g, slots, nullptr)));
}
