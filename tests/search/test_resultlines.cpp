// SPDX-License-Identifier: GPL-3.0-or-later
// The results list's own store against sortListLines, the order a sorted list
// box inserting each line after its equals would show.

#include "resultlines.h"
#include "resultorder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace korvel;

namespace {

std::vector<std::string> rows(const ResultLines& r) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < r.rowCount(); ++i) {
        out.emplace_back(r.row(i));
    }
    return out;
}

// Lines over a small alphabet, so that equal lines, lines equal but for case,
// blanks, "=" and ">" and bytes above 0x7F all meet often.
std::string randomLine(std::mt19937& rng) {
    static const std::string alphabet = " =>AaBbZz-1\x10\xe8@(";
    std::uniform_int_distribution<int> len(0, 6);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string s;
    for (int n = len(rng); n > 0; --n) {
        s += alphabet[pick(rng)];
    }
    return s;
}

} // namespace

TEST(ResultLines, RandomLinesComeOutAsSortListLinesLeavesThem) {
    std::mt19937 rng(20261208);
    for (int round = 0; round < 300; ++round) {
        std::uniform_int_distribution<int> count(0, round < 250 ? 60 : 3000);
        std::vector<std::string> lines;
        for (int n = count(rng); n > 0; --n) {
            lines.push_back(randomLine(rng));
        }
        // Some rounds mostly in order, as the searches add their lines.
        if (round % 3 == 1) {
            sortListLines(lines);
            for (std::size_t k = 0; k + 1 < lines.size(); k += 7) {
                std::swap(lines[k], lines[k + 1]);
            }
        }
        ResultLines r;
        for (const auto& l : lines) {
            r.add(l);
        }
        ASSERT_EQ(r.size(), lines.size());
        int ticks = 0;
        r.finish([&] { ++ticks; });
        std::vector<std::string> expected = lines;
        sortListLines(expected);
        ASSERT_EQ(rows(r), expected) << "round " << round;
        ASSERT_TRUE(r.isFinished());
        // Line i is still the i-th line added.
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(r.line(i), lines[i]);
        }
    }
}

TEST(ResultLines, InOrderLinesAreRowsAtOnce) {
    ResultLines r;
    for (const char* l : {" no Anagrams ", "=word", ">other", "abc", "ABC", "abd"}) {
        r.add(l);
        EXPECT_EQ(r.rowCount(), r.size());
    }
    EXPECT_EQ(r.runCount(), 0u);
    EXPECT_FALSE(r.finish());
    EXPECT_EQ(rows(r),
              (std::vector<std::string>{" no Anagrams ", "=word", ">other", "abc", "ABC", "abd"}));
}

TEST(ResultLines, FreeHeadStreamsMakeFewRuns) {
    // Padded lines of a free head in dictionary order: one ordered stream per
    // word length, interleaved.
    std::vector<std::string> lines;
    for (int i = 0; i < 2000; ++i) {
        const int len = 2 + i % 9;
        std::string word(static_cast<std::size_t>(len), static_cast<char>('A' + (i / 80) % 26));
        word.back() = 'I';
        lines.push_back(std::string(static_cast<std::size_t>(12 - len), ' ') + word + " -1");
    }
    ResultLines r;
    for (const auto& l : lines) {
        r.add(l);
    }
    EXPECT_LE(r.runCount(), 10u);
    EXPECT_TRUE(r.finish());
    sortListLines(lines);
    EXPECT_EQ(rows(r), lines);
}

TEST(ResultLines, ClearDuringTheMergeGivesUp) {
    ResultLines r;
    for (int i = 20000; i > 0; --i) {
        r.add(std::to_string(i));
    }
    const std::size_t shown = r.rowCount();
    bool cleared = false;
    EXPECT_FALSE(r.finish([&] {
        if (!cleared) {
            cleared = true;
            r.clear();
            r.add("NEW");
        }
    }));
    EXPECT_TRUE(cleared);
    EXPECT_EQ(rows(r), std::vector<std::string>{"NEW"});
    EXPECT_EQ(shown, 1u);
}

TEST(ResultLines, LinesAddedDuringTheMergeTakeTheirPlaces) {
    std::mt19937 rng(7);
    std::vector<std::string> all;
    ResultLines r;
    for (int i = 0; i < 30000; ++i) {
        all.push_back(randomLine(rng));
        r.add(all.back());
    }
    int ticks = 0;
    EXPECT_TRUE(r.finish([&] {
        // A handler run from the tick lists more and asks for the order.
        if (ticks >= 3) {
            return;
        }
        for (int k = 0; k < 50; ++k) {
            all.push_back(randomLine(rng));
            r.add(all.back());
        }
        EXPECT_FALSE(r.finish());
        ++ticks;
    }));
    EXPECT_EQ(ticks, 3);
    std::vector<std::string> expected = all;
    sortListLines(expected);
    EXPECT_EQ(rows(r), expected);
    EXPECT_TRUE(r.isFinished());
}
