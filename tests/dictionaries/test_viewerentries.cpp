// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's entry walk against a literal reading of the viewer's listing:
// find the next CR LF from the scan position, trim, skip remarks and empty
// lines, split the base dictionary at M, with the walk going on to a short
// last line as the searches do.

#include "crlflines.h"
#include "dictionarystore.h"
#include "viewerentries.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace korvel;
using korvel::testing::crlfLines;

namespace {

const std::string ContinueMarker = "...to continue, click on M-Z=> ";
const std::string BackMarker = "...back to the beginning , click on  A-L<= ";

struct Listing {
    std::vector<std::string> list2;
    std::vector<std::string> list3;
    std::size_t count = 0;
};

std::string trimmed(const std::string& s) {
    const std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) {
        return "";
    }
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

Listing reference(const std::string& text, bool base) {
    Listing out;
    bool mSeen = false;
    // Every line up to the end, a short last one included.
    for (const std::string_view raw : crlfLines(text)) {
        const std::string line = trimmed(std::string(raw));
        if (!line.empty() && line[0] != '\'' && line[0] != '#') {
            ++out.count;
            std::string entry = line;
            if (base && isEndingCode(entry.back())) {
                const char code = entry.back();
                entry.pop_back();
                entry += "(" + std::string(endingVowels(code)) + ")";
            }
            const auto initial = static_cast<unsigned char>(line[0]);
            if (!base || initial < 'M') {
                out.list2.push_back(entry);
            } else {
                if (initial == 'M' && !mSeen) {
                    mSeen = true;
                    out.list2.push_back(ContinueMarker);
                    out.list3.push_back(BackMarker);
                }
                out.list3.push_back(entry);
            }
        }
    }
    return out;
}

std::vector<std::string> texts(const EntryWalk& walk, const EntryRows& rows,
                               const std::string& marker) {
    std::vector<std::string> out;
    std::string buf;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        walk.rowText(rows, r, marker, buf);
        out.push_back(buf);
    }
    return out;
}

} // namespace

TEST(ViewerEntries, RandomTextsListAsTheLiteralWalkDoes) {
    std::mt19937 rng(11);
    const std::string pieces[] = {"\r\n", "\r",  "\n", " ",  "'",    "#", "!",    "@",
                                  "A",    "CAS", "M",  "MO", "NASO", "Z", "\xe8", "("};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 120);
    std::uniform_int_distribution<std::size_t> stepSize(1, 7);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int n = length(rng); n > 0; --n) {
            text += pieces[pick(rng)];
        }
        for (int d : {1, 2}) {
            DictionaryStore store;
            store.setText(d, text);
            EntryWalk walk(store, d);
            // In steps of any size, as the viewer's slices take them.
            while (!walk.step(stepSize(rng))) {
            }
            const Listing want = reference(text, d == 1);
            ASSERT_EQ(walk.count(), want.count) << round;
            ASSERT_EQ(texts(walk, walk.first(), ContinueMarker), want.list2) << round;
            ASSERT_EQ(texts(walk, walk.second(), BackMarker), want.list3) << round;
        }
    }
}

TEST(ViewerEntries, SortedDictionaryKeepsAFewRuns) {
    std::string text = "' remark\r\n";
    for (int i = 0; i < 5000; ++i) {
        text += std::string(1, static_cast<char>('A' + i * 26 / 5000)) + std::to_string(i) + "\r\n";
    }
    DictionaryStore store;
    store.setText(1, text);
    EntryWalk walk(store, 1);
    EXPECT_TRUE(walk.step(SIZE_MAX));
    EXPECT_EQ(walk.count(), 5000u);
    EXPECT_LE(walk.first().runCount(), 2u);
    EXPECT_LE(walk.second().runCount(), 2u);
}

TEST(ViewerEntries, SearchIndexOverRows) {
    const std::vector<std::string> items = {"ABACO", "CAS(AE)", "CASCO", "LUPO"};
    EXPECT_EQ(viewerSearchIndex(items, "B"), 1);
    EXPECT_EQ(viewerSearchIndex(items, "CASA"), 1);
    EXPECT_EQ(viewerSearchIndex(items, "LUPA"), 3);
    EXPECT_EQ(viewerSearchIndex(items, "ZZ"), 3);
    EXPECT_EQ(viewerSearchIndex(items, ""), 0);
    EXPECT_EQ(viewerSearchIndex(std::vector<std::string>{}, "A"), -1);
}
