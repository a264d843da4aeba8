// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// A personal ban list: words the fill must never place (they stay words of
// the lists for the searches and the statistics). Plain text, one word a
// line, LF or CR LF; case does not matter. Blank lines and remark lines
// (starting with ' or #) are skipped, and so is a line with anything but
// the letters A to Z, or with more letters than the fill's longest word
// (MaxWordLength), which no fill could place.
class BanList {
public:
    static BanList parse(std::string_view bytes);
    // The word one line holds (its LF left out), in capitals, or "" when
    // parse skips the line. Looks at no more than MaxWordLength letters of
    // it and the blanks around them.
    static std::string lineWord(std::string_view line);

    bool contains(std::string_view word) const;
    std::size_t size() const { return words_.size(); }
    // The words, in byte order, each once.
    const std::vector<std::string>& words() const { return words_; }

private:
    // Gathered in file order, then sorted once: a list of millions of lines
    // reads in a time that grows with it, where a hash set of them was slowed
    // by its scattered inserts and rehashes.
    std::vector<std::string> words_;
};

// The ban list that comes with the default sets, in their dictionaries
// folder: words a constructor would not put in a published grid (vulgar,
// offensive), in BanList's format. No dictionary (*.diz, *.dic) and no score
// list, so neither loading takes it for one.
inline constexpr std::string_view ShippedBanListName = "base.bans";
// Largest ban list read (a list of words: a few MiB is plenty).
inline constexpr uint64_t MaxBanListBytes = 64ull << 20;

struct ShippedBans {
    bool present = false; // the folder has one
    BanList list;         // its words; empty when it is missing or unreadable
    std::string problem;  // why it could not be read ("base.bans is a FIFO")
};
// The shipped ban list of a dictionaries folder: read whole when it is a
// regular file (or a link to one) of at most MaxBanListBytes.
ShippedBans loadShippedBans(const std::string& folder);

} // namespace korvel
