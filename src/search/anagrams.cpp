// SPDX-License-Identifier: GPL-3.0-or-later
#include "anagrams.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace korvel {

namespace {

// The TEST word's letters as counts, so a candidate is checked in one pass
// instead of by striking letters out one at a time; the outcome is the same
// (every non-blank TEST letter finds its own letter in the candidate).
struct Letters {
    std::array<uint32_t, 256> need{};
    std::size_t nonBlank = 0;

    explicit Letters(std::string_view word) {
        for (char c : word) {
            if (c != ' ') {
                ++need[static_cast<unsigned char>(c)];
                ++nonBlank;
            }
        }
    }
};

struct Matcher {
    const Letters& test;
    std::string_view word;
    SearchHost& host;
    // left[c] is valid only while stamp[c] == gen; a new line bumps gen, so
    // no table is copied per line.
    std::array<uint32_t, 256> left{};
    std::array<uint32_t, 256> stamp{};
    uint32_t gen = 0;

    uint32_t& avail(char c) {
        const auto u = static_cast<unsigned char>(c);
        if (stamp[u] != gen) {
            stamp[u] = gen;
            left[u] = test.need[u];
        }
        return left[u];
    }

    // Checks one line of the word's length and lists its candidates.
    void line(std::string_view l) {
        host.lineTick();
        if (l.empty() || isRemarkInitial(l[0])) {
            return;
        }
        const std::size_t L = l.size();
        const std::string_view stem = l.substr(0, L - 1);
        const char last = l[L - 1];
        const std::string_view vowels = endingVowels(last);
        const std::string_view ending = vowels.empty() ? l.substr(L - 1) : vowels;

        // Letters of the stem that use up a TEST letter; a stem already
        // carrying more unmatched letters than the TEST word has blanks can
        // never match, whatever its ending.
        ++gen;
        std::size_t matched = 0;
        std::size_t unmatched = 0;
        const std::size_t slack = word.size() - test.nonBlank;
        for (char c : stem) {
            uint32_t& k = avail(c);
            if (k > 0) {
                --k;
                ++matched;
            } else if (++unmatched > slack) {
                return;
            }
        }
        for (char v : ending) {
            const std::size_t total = matched + (avail(v) > 0 ? 1 : 0);
            if (total != test.nonBlank) {
                continue;
            }
            std::string candidate(stem);
            candidate.push_back(v);
            if (candidate != word) {
                host.addListLine(std::move(candidate));
            }
        }
    }
};

} // namespace

std::string anagramTestWord(std::string_view textb) {
    std::string w;
    w.reserve(textb.size());
    for (char c : textb) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) {
            w.push_back(static_cast<char>(u - 0x20));
        } else {
            w.push_back(c);
        }
    }
    const std::size_t b = w.find_first_not_of(' ');
    if (b == std::string::npos) {
        return {};
    }
    const std::size_t e = w.find_last_not_of(' ');
    return w.substr(b, e - b + 1);
}

void findAnagrams(std::string_view textb, const DictionaryStore& store, SearchHost& host,
                  SearchFlags& flags) {
    host.showRemark(" ");
    host.clearList();
    const std::string word = anagramTestWord(textb);
    const Letters test(word);
    Matcher m{test, word, host};

    const LineIndex& ix = store.Lines[1];
    const std::string_view text = store.DictText[1];
    const std::size_t L = word.size();
    if (L > 0 && L <= LineIndex::MaxIndexedLength) {
        const LineIndex::LengthGroup& g = ix.group(L);
        for (std::size_t r = 0; r < g.lines.size(); ++r) {
            m.line(std::string_view(g.bytes.data() + r * L, L));
        }
    } else if (L > 0) {
        for (std::size_t i = 0; i < ix.lineCount(); ++i) {
            if (ix.length(i) == L) {
                m.line(ix.line(text, i));
            }
        }
    }

    const std::size_t count = host.listCount();
    flags.resultCount = static_cast<int32_t>(std::min<std::size_t>(count, INT32_MAX));
    if (count > 0) {
        host.showCount(" " + std::to_string(count) + " Anagrams ");
    } else {
        host.addListLine(" ");
        host.addListLine(" no Anagrams ");
        host.showCount(" no Anagrams ");
        host.beep();
    }
    host.finishList();
}

} // namespace korvel
