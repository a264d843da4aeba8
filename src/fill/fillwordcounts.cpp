// SPDX-License-Identifier: GPL-3.0-or-later
#include "fillwordcounts.h"

#include <algorithm>

namespace korvel {

FillWordCounts FillWordCounts::of(const WordIndex& index, const std::vector<std::string>& ownBans,
                                  const std::vector<std::string>& shippedBans) {
    FillWordCounts c;
    c.scored_ = index.hasScores();
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        const auto L = static_cast<std::size_t>(len);
        for (uint32_t id = 0; id < index.count(len); ++id) {
            const auto score = static_cast<std::size_t>(index.score(len, id));
            if (!index.isBanned(len, id)) {
                ++c.free_[L][score];
            } else if (!std::binary_search(ownBans.begin(), ownBans.end(), index.word(len, id))) {
                // Banned, and not by the user: by the shipped list.
                ++c.shippedOnly_[L][score];
            }
        }
    }
    // An index made with the shipped list left out counts its words as free.
    for (const std::string& w : shippedBans) {
        const int64_t id = index.find(w);
        const int len = static_cast<int>(w.size());
        if (id < 0 || index.isBanned(len, static_cast<uint32_t>(id)) ||
            std::binary_search(ownBans.begin(), ownBans.end(), w)) {
            continue;
        }
        const auto score = static_cast<std::size_t>(index.score(len, static_cast<uint32_t>(id)));
        --c.free_[w.size()][score];
        ++c.shippedOnly_[w.size()][score];
    }
    return c;
}

FillWordCounts::PerLength FillWordCounts::atLeast(int minScore, bool shippedBansInForce) const {
    PerLength n{};
    const int from = std::clamp(minScore, LowestScore, HighestScore);
    for (std::size_t len = 0; len < n.size(); ++len) {
        for (int s = from; s <= HighestScore; ++s) {
            n[len] += free_[len][static_cast<std::size_t>(s)];
            if (!shippedBansInForce) {
                n[len] += shippedOnly_[len][static_cast<std::size_t>(s)];
            }
        }
    }
    return n;
}

} // namespace korvel
