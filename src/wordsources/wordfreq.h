// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace korvel {

// How often words are written, on the Zipf scale: log10 of the occurrences
// per billion words (7 for the commonest words, 3 for once per million, 1
// for the rarest a large list still holds). Words are kept folded as the
// dictionaries fold them, so "café" and "cafe" are one word whose
// frequency is the sum of the two.
class ZipfTable {
public:
    // Adds occurrences of word (already folded) at the given Zipf value.
    void add(const std::string& word, double zipf);
    // The word's Zipf value, or nothing when no list names it.
    std::optional<double> zipf(std::string_view word) const;
    std::size_t size() const { return perBillion_.size(); }

private:
    std::unordered_map<std::string, double> perBillion_;
};

// Reads a wordfreq frequency list as wordfreq keeps it (the "cB" format,
// decompressed): one MessagePack array whose item 0 is a header map with
// "format": "cB" and whose item i (i >= 1) lists the words of Zipf value
// 9 - (i - 1) / 100. Each word is folded (foldWord); words that fold to
// nothing (digits, apostrophes, other scripts) are left out. Returns false
// with the reason when the bytes are no such list; table is then unchanged.
bool readWordfreq(std::string_view msgpack, ZipfTable& table, std::string& error);

} // namespace korvel
