#pragma once

#include "dictionarystore.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

class EnabledSet;

// Letters as the fill engine counts them: 0 for "A" to 25 for "Z"; a set of
// letters is a LetterMask.
inline constexpr int MinWordLength = 2;
inline constexpr int MaxWordLength = 35;

// Which dictionaries the words come from: entry n (1 to 7) for dictionary n.
using DictionarySelection = std::array<bool, 8>;
// The dictionaries the searches read: those the EnabledSet has ticked.
DictionarySelection dictionarySelection(const EnabledSet& enabled);

// The words a fill may use, numbered per length. Word ids of one length run
// from 0 to count(len) - 1 in byte order, each word once whatever dictionary
// it came from. For every (length, position, letter) a bitset over the ids of
// that length says which words hold the letter there, so the candidates of a
// pattern are an AND of bitsets.
//
// Immutable once built; one index can serve any number of fills and checks.
class WordIndex {
public:
    // The words of the dictionaries n with take[n] set (1 to 7): lines made of
    // "A" to "Z" only, 2 to 35 long, and for dictionary 1 a stem followed by
    // one EndingCode, which gives one word per vowel of its set, as the
    // pattern search reads base.diz. Remark lines and anything else are no
    // words.
    static WordIndex build(const DictionaryStore& store, const DictionarySelection& take);
    // The dictionaries the searches read: those the EnabledSet has ticked.
    static WordIndex build(const DictionaryStore& store, const EnabledSet& enabled);
    // A plain list of words (tests, benchmarks); entries that are not words
    // are dropped, duplicates count once.
    static WordIndex fromWords(const std::vector<std::string>& words);

    std::size_t count(int len) const { return byLength_[slot(len)].count; }
    std::size_t totalWords() const;
    // Letters 0..25 of word id of length len, len bytes.
    const uint8_t* letters(int len, uint32_t id) const {
        return reinterpret_cast<const uint8_t*>(byLength_[slot(len)].letters.data()) +
               static_cast<std::size_t>(id) * static_cast<std::size_t>(len);
    }
    std::string word(int len, uint32_t id) const;
    // Id of a word of A to Z, or -1 when it is no word of the index.
    int64_t find(std::string_view w) const;

    // 64-bit blocks of one bitset of length len.
    std::size_t blocks(int len) const { return byLength_[slot(len)].blocks; }
    // Words of length len with letter at pos (0-based).
    const uint64_t* bits(int len, int pos, int letter) const {
        const Group& g = byLength_[slot(len)];
        return g.bits.data() +
               (static_cast<std::size_t>(pos) * 26 + static_cast<std::size_t>(letter)) * g.blocks;
    }
    // The letters that some word of length len holds at pos.
    LetterMask support(int len, int pos) const {
        return byLength_[slot(len)].support[static_cast<std::size_t>(pos)];
    }

private:
    struct Group {
        std::size_t count = 0;
        std::size_t blocks = 0;
        std::string letters;        // count * len bytes, 0..25
        std::vector<uint64_t> bits; // len * 26 bitsets of `blocks` words
        std::vector<LetterMask> support;
    };
    static std::size_t slot(int len) {
        return len >= MinWordLength && len <= MaxWordLength ? static_cast<std::size_t>(len) : 0;
    }
    static WordIndex fromBuckets(std::array<std::vector<std::string>, MaxWordLength + 1>& buckets);

    std::array<Group, MaxWordLength + 1> byLength_{};
};

// The word index of the last dictionary selection asked for, built again only
// when the selection changes: the window can run a check after every edit
// without rebuilding it. The store must not change while the cache lives.
class WordIndexCache {
public:
    const WordIndex& get(const DictionaryStore& store, const DictionarySelection& take);
    const WordIndex& get(const DictionaryStore& store, const EnabledSet& enabled);

private:
    const DictionaryStore* store_ = nullptr;
    DictionarySelection take_{};
    std::unique_ptr<WordIndex> index_;
};

} // namespace korvel
