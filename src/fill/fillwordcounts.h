// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "wordindex.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace korvel {

// What a minimum score means, for Fill Settings: how many words of each
// length the fill may place at every minimum, with the shipped ban list in
// force and without it, counted once so that the dialog answers at once
// whatever is chosen in it.
class FillWordCounts {
public:
    using PerLength = std::array<std::size_t, MaxWordLength + 1>;

    // The counts of index, whose words the fill may place unless banned.
    // ownBans: the user's banned words (always in force); shippedBans: the
    // words the shipped list bans and no own word saves (in force or not,
    // as the index was made). Both sorted, words of A to Z.
    static FillWordCounts of(const WordIndex& index, const std::vector<std::string>& ownBans,
                             const std::vector<std::string>& shippedBans);

    // Words per length (index = length) that score at least minScore and
    // that no ban in force holds back.
    PerLength atLeast(int minScore, bool shippedBansInForce) const;
    bool scored() const { return scored_; }

private:
    using Histogram = std::array<std::array<uint32_t, HighestScore + 1>, MaxWordLength + 1>;
    // Per length and score: words no ban holds back, and words only the
    // shipped list holds back.
    Histogram free_{};
    Histogram shippedOnly_{};
    bool scored_ = false;
};

} // namespace korvel
