// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dictionarystore.h"
#include "wordkinds.h"
#include "wordscores.h"

#include <array>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

class EnabledSet;

// Letters as the fill engine counts them: 0 for "A" to 25 for "Z"; a set of
// letters is a LetterMask.
inline constexpr int MinWordLength = 2;
inline constexpr int MaxWordLength = 35;

// A word's score for the fill: 0 (the weakest) to 100 (the best). A score
// function gets the word as its letters A to Z; values outside 0..100 are
// taken as the nearest end.
inline constexpr int LowestScore = 0;
inline constexpr int HighestScore = 100;
using WordScoreFn = std::function<int(std::string_view word)>;
// True for a word the fill must never place (a ban list).
using WordBanFn = std::function<bool(std::string_view word)>;

// The words of one length as an index keeps them: count words of len letters
// each (0 for "A" to 25 for "Z") back to back, in strictly increasing byte
// order, and for a scored index one score (0 to 100) per word. The memory is
// the caller's.
struct PackedWords {
    std::size_t count = 0;
    const uint8_t* letters = nullptr;
    const uint8_t* scores = nullptr; // null without scores
};
// Per length (index = length; 0 and 1 stay empty).
using PackedIndex = std::array<PackedWords, MaxWordLength + 1>;

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
// With a score function every word also has a score; with a ban function
// some words are banned: they stay words of the index (find, statistics) but
// the fill never places them.
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
    // The same words, scored by scoreOf (none when empty) and banned by
    // banned (none when empty). Each function is called once per word.
    static WordIndex build(const DictionaryStore& store, const DictionarySelection& take,
                           const WordScoreFn& scoreOf, const WordBanFn& banned = {});
    // The same words and extraWords besides (the user's own list: entries
    // that are no words of A to Z, 2 to 35 long, are dropped; a word also in
    // the dictionaries counts once).
    static WordIndex build(const DictionaryStore& store, const DictionarySelection& take,
                           const std::vector<std::string>& extraWords, const WordScoreFn& scoreOf,
                           const WordBanFn& banned);
    // The dictionaries the searches read: those the EnabledSet has ticked.
    static WordIndex build(const DictionaryStore& store, const EnabledSet& enabled);
    // A plain list of words (tests, benchmarks); entries that are not words
    // are dropped, duplicates count once.
    static WordIndex fromWords(const std::vector<std::string>& words);
    static WordIndex fromWords(const std::vector<std::string>& words, const WordScoreFn& scoreOf,
                               const WordBanFn& banned = {});
    // The index of words already packed (see PackedWords; the caller has
    // checked the order, the letters and the scores), with the words of
    // bannedWords that it holds banned. The same words, scores and bans give
    // the same index as build does, id for id. The letters are copied.
    static WordIndex fromPacked(const PackedIndex& words, bool hasScores,
                                const std::vector<std::string>& bannedWords = {});
    // The words of one length as packed (valid while the index lives).
    PackedWords packed(int len) const;

    std::size_t count(int len) const { return byLength_[slot(len)].count; }
    std::size_t totalWords() const;
    // Letters 0..25 of word id of length len, len bytes.
    const uint8_t* letters(int len, uint32_t id) const {
        return byLength_[slot(len)].letters +
               static_cast<std::size_t>(id) * static_cast<std::size_t>(len);
    }
    std::string word(int len, uint32_t id) const;
    // Id of a word of A to Z, or -1 when it is no word of the index.
    int64_t find(std::string_view w) const;

    // Whether the words have scores; without them every word scores
    // HighestScore and a minimum score holds nothing back.
    bool hasScores() const { return hasScores_; }
    bool hasBans() const { return hasBans_; }
    int score(int len, uint32_t id) const {
        const Group& g = byLength_[slot(len)];
        return g.scores == nullptr ? HighestScore : g.scores[id];
    }
    bool isBanned(int len, uint32_t id) const {
        const Group& g = byLength_[slot(len)];
        return g.banned != nullptr && (g.banned[id / 64] >> (id % 64) & 1) != 0;
    }
    // Whether minScore or a ban holds any word back from the fill.
    bool filters(int minScore) const { return hasBans_ || (hasScores_ && minScore > 0); }
    // The words the fill may place, those not banned and scoring at least
    // minScore, as an index of their own (with their scores, without bans).
    // The last one asked for is kept, so a fill or check after every edit
    // does not build it again; safe to call from several threads.
    std::shared_ptr<const WordIndex> placeable(int minScore) const;
    // How many words of length len the fill may place at minScore: not
    // banned and scoring at least minScore (every word not banned when the
    // index has no scores).
    std::size_t placeableCount(int len, int minScore) const;

    // 64-bit blocks of one bitset of length len.
    std::size_t blocks(int len) const { return byLength_[slot(len)].blocks; }
    // Words of length len with letter at pos (0-based).
    const uint64_t* bits(int len, int pos, int letter) const {
        const Group& g = byLength_[slot(len)];
        return g.bits +
               (static_cast<std::size_t>(pos) * 26 + static_cast<std::size_t>(letter)) * g.blocks;
    }
    // The letters that some word of length len holds at pos.
    LetterMask support(int len, int pos) const {
        return byLength_[slot(len)].support[static_cast<std::size_t>(pos)];
    }

private:
    // One length's words. Every pointer points into memory that keep_ owns
    // and nobody changes once the index is made, so copies of an index
    // share it.
    struct Group {
        std::size_t count = 0;
        std::size_t blocks = 0;
        const uint8_t* letters = nullptr;    // count * len bytes, 0..25
        const uint64_t* bits = nullptr;      // len * 26 bitsets of `blocks` words
        const LetterMask* support = nullptr; // len masks
        const uint8_t* scores = nullptr;     // per id; null without scores
        const uint64_t* banned = nullptr;    // bitset; null without bans
    };
    struct Buffers;
    static std::size_t slot(int len) {
        return len >= MinWordLength && len <= MaxWordLength ? static_cast<std::size_t>(len) : 0;
    }
    static WordIndex fromBuckets(std::array<std::vector<std::string>, MaxWordLength + 1>& buckets,
                                 const WordScoreFn& scoreOf, const WordBanFn& banned);
    // Makes the bitsets and supports of every length from the letters, in
    // one buffer of b.
    void indexLetters(Buffers& b);
    void banWords(Buffers& b, const std::vector<std::string>& words);

    std::array<Group, MaxWordLength + 1> byLength_{};
    std::vector<std::shared_ptr<const void>> keep_;
    bool hasScores_ = false;
    bool hasBans_ = false;
    struct PlaceableCache {
        std::mutex lock;
        int minScore = -1;
        std::shared_ptr<const WordIndex> index;
    };
    std::shared_ptr<PlaceableCache> placeableCache_ = std::make_shared<PlaceableCache>();
};

// What the indexes of a cache are made of besides the dictionaries' words.
using ScoresFuture = std::shared_future<std::shared_ptr<const WordScores>>;
struct IndexAdditions {
    // The score lists of the dictionaries folder: with none (no future, or
    // null or empty scores) the indexes have no scores. A future, so that
    // the lists can be read while the program starts: a build waits for it.
    ScoresFuture scores;
    // The user's own words (A to Z): words of every index, scoring
    // HighestScore whatever the lists say.
    std::vector<std::string> ownWords;
    // Words the fill never places (A to Z); a word both own and banned is
    // banned.
    std::vector<std::string> bannedWords;
    // The ban list of the dictionaries folder, when the fill keeps its words
    // out (A to Z): banned too, unless they are own words, which the user
    // asked for by name.
    std::vector<std::string> shippedBans;
    // Not part of the indexes: what the statistics tell of a word besides
    // its score (the folder's base.kinds), read beside the score lists.
    std::shared_future<std::shared_ptr<const WordKinds>> kinds;
};

// The words of additions that the indexes ban, sorted: the banned words, and
// the shipped bans that are no own words.
std::vector<std::string> bannedByAdditions(const IndexAdditions& additions);

// Scores that are ready now, as IndexAdditions takes them.
ScoresFuture readyScores(std::shared_ptr<const WordScores> scores);

// The index of take made with additions: the words of the dictionaries and
// the own words, scored when the score lists hold any (a word no list scores
// has DefaultWordScore), banned when the banned list holds any. Without
// additions it is WordIndex::build(store, take), the same words in the same
// order.
WordIndex buildIndex(const DictionaryStore& store, const DictionarySelection& take,
                     const IndexAdditions& additions);

// The word indexes of the dictionary selections asked for, shared by the
// fill, the fill check and the statistics. An index without own words is
// read from the folder's prebuilt index (fillindexfile.h) while that is up
// to date and made of the same selection; it holds the same words, ids and
// scores as the one built from the store. Safe to use from any thread; the
// store must outlive the cache and not change. It keeps the indexes of the
// last `capacity` selections asked for (an index of a 1.5 M-word list takes
// tens of megabytes); one still in use elsewhere lives on through its
// shared_ptr. An index is made of the selection and the additions
// (setAdditions), and is kept under both: new additions are a new version,
// and the indexes of older versions are never returned again.
class WordIndexCache {
public:
    explicit WordIndexCache(const DictionaryStore& store, std::size_t capacity = 2)
        : store_(store), capacity_(capacity < 1 ? 1 : capacity) {}

    // The index, built first when it is not kept (100 to 500 ms with every
    // default dictionary): call it from a worker, or after cached() said no.
    // Two threads asking at once for one not kept may both build it; the
    // first one kept wins and neither waits for the other meanwhile. An
    // index whose additions were replaced while it was built is returned to
    // its caller but not kept.
    std::shared_ptr<const WordIndex> get(const DictionarySelection& take);
    std::shared_ptr<const WordIndex> cached(const DictionarySelection& take) const;
    std::size_t kept() const;

    // Replaces the additions of every index from now on and forgets the
    // indexes kept. Indexes in use elsewhere stay as they were made.
    void setAdditions(IndexAdditions additions);
    std::shared_ptr<const IndexAdditions> additions() const;
    // Counts the calls of setAdditions: the version of the additions.
    uint64_t version() const;

private:
    struct Key {
        DictionarySelection take;
        uint64_t version = 0;
        bool operator==(const Key&) const = default;
    };
    const DictionaryStore& store_;
    std::size_t capacity_;
    mutable std::mutex mutex_;
    std::shared_ptr<const IndexAdditions> additions_ = std::make_shared<const IndexAdditions>();
    uint64_t version_ = 0;
    // Most recently asked for first.
    mutable std::vector<std::pair<Key, std::shared_ptr<const WordIndex>>> built_;
};

} // namespace korvel
