// SPDX-License-Identifier: GPL-3.0-or-later
// The heat map's figures: per cell the fewest words left among its open
// slots, worked out by hand on small grids; and the colour bands.
#include "gridrows.h"
#include "heatmap.h"
#include "memoryhost.h"

#include <gtest/gtest.h>

using namespace korvel;
using korvel::testing::gridOf;

namespace {

std::vector<int64_t> heatOf(const std::vector<std::string>& rows, const WordIndex& index) {
    const GridModel g = gridOf(rows);
    MemoryHost host;
    SearchFlags flags;
    const FillCheck check = checkFill(g, Slots::of(g), index, host, flags);
    return cellCandidates(g, Slots::of(g), check);
}

} // namespace

TEST(HeatMap, FewestWordsOfTheOpenSlotsThroughEachCell) {
    const WordIndex wi = WordIndex::fromWords({"CAT", "CAR", "COT", "TAR", "TOT", "AT", "TO"});
    // Row 0, C??, takes CAT, CAR and COT; column 0, C?T, takes CAT and COT;
    // the corner takes the fewer of its two slots, cells 1 and 2 (in row 0
    // only) its three.
    const std::vector<int64_t> heat = heatOf({"C??", "?##", "T##"}, wi);
    EXPECT_EQ(heat, (std::vector<int64_t>{2, 3, 3, 2, -1, -1, 2, -1, -1}));
    // A slot whose letters are all in counts no more: only the open one.
    EXPECT_EQ(heatOf({"CAT", "?##", "T##"}, wi),
              (std::vector<int64_t>{2, -1, -1, 2, -1, -1, 2, -1, -1}));
    // Every slot complete: nothing to show.
    EXPECT_EQ(heatOf({"AT", "TO"}, wi), (std::vector<int64_t>{-1, -1, -1, -1}));
    // A dead slot is 0 through all its cells, whatever crosses it.
    EXPECT_EQ(heatOf({"X??", "?##", "T##"}, wi),
              (std::vector<int64_t>{0, 0, 0, 0, -1, -1, 0, -1, -1}));
}

TEST(HeatMap, Bands) {
    const std::vector<std::pair<int64_t, int>> table = {{-1, -1},  {0, 0},     {1, 1},   {9, 1},
                                                        {10, 2},   {99, 2},    {100, 3}, {999, 3},
                                                        {1000, 4}, {250000, 4}};
    for (const auto& [count, band] : table)
        EXPECT_EQ(heatBand(count), band) << count;
}
