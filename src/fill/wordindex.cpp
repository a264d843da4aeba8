// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordindex.h"

#include "enabledset.h"
#include "fillindexfile.h"
#include "hugepages.h"

#include <algorithm>
#include <functional>

namespace korvel {

namespace {

bool isWordLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

bool allLetters(std::string_view s) {
    return std::all_of(s.begin(), s.end(), isWordLetter);
}

bool wordLength(std::size_t n) {
    return n >= static_cast<std::size_t>(MinWordLength) &&
           n <= static_cast<std::size_t>(MaxWordLength);
}

} // namespace

WordIndex WordIndex::build(const DictionaryStore& store, const DictionarySelection& take) {
    return build(store, take, {}, {});
}

WordIndex WordIndex::build(const DictionaryStore& store, const DictionarySelection& take,
                           const WordScoreFn& scoreOf, const WordBanFn& banned) {
    return build(store, take, {}, scoreOf, banned);
}

WordIndex WordIndex::build(const DictionaryStore& store, const DictionarySelection& take,
                           const std::vector<std::string>& extraWords, const WordScoreFn& scoreOf,
                           const WordBanFn& banned) {
    std::array<std::vector<std::string>, MaxWordLength + 1> buckets;
    for (const std::string& w : extraWords) {
        if (wordLength(w.size()) && allLetters(w)) {
            buckets[w.size()].push_back(w);
        }
    }
    for (int d = 1; d <= MaxDictionaries; ++d) {
        const auto di = static_cast<std::size_t>(d);
        if (!take[di] || d > store.count) {
            continue;
        }
        const std::string_view text = store.DictText[di];
        const LineIndex& lines = store.Lines[di];
        for (std::size_t i = 0; i < lines.lineCount(); ++i) {
            const std::string_view line = lines.line(text, i);
            if (line.empty()) {
                continue;
            }
            // Only base.diz stems are expanded, as the pattern search does.
            if (d == 1 && isEndingCode(line.back()) && wordLength(line.size())) {
                const std::string_view stem = line.substr(0, line.size() - 1);
                if (allLetters(stem)) {
                    for (char v : endingVowels(line.back())) {
                        std::string w(stem);
                        w += v;
                        buckets[w.size()].push_back(std::move(w));
                    }
                }
                continue;
            }
            if (wordLength(line.size()) && allLetters(line)) {
                buckets[line.size()].emplace_back(line);
            }
        }
    }
    return fromBuckets(buckets, scoreOf, banned);
}

DictionarySelection dictionarySelection(const EnabledSet& enabled) {
    DictionarySelection take{};
    for (int n = 1; n <= EnabledSet::Count; ++n) {
        take[static_cast<std::size_t>(n)] = enabled.isPanelEnabled(n);
    }
    return take;
}

WordIndex WordIndex::build(const DictionaryStore& store, const EnabledSet& enabled) {
    return build(store, dictionarySelection(enabled));
}

WordIndex WordIndex::fromWords(const std::vector<std::string>& words) {
    return fromWords(words, {}, {});
}

WordIndex WordIndex::fromWords(const std::vector<std::string>& words, const WordScoreFn& scoreOf,
                               const WordBanFn& banned) {
    std::array<std::vector<std::string>, MaxWordLength + 1> buckets;
    for (const auto& w : words) {
        if (wordLength(w.size()) && allLetters(w)) {
            buckets[w.size()].push_back(w);
        }
    }
    return fromBuckets(buckets, scoreOf, banned);
}

// The memory an index owns: its buffers, each one piece for all lengths.
struct WordIndex::Buffers {
    std::vector<uint8_t> letters;
    std::vector<uint8_t> scores;
    std::vector<uint64_t> bits;
    std::vector<LetterMask> support;
    std::vector<uint64_t> banned;
};

void WordIndex::indexLetters(Buffers& b) {
    std::size_t words = 0;
    std::size_t masks = 0;
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        Group& g = byLength_[static_cast<std::size_t>(len)];
        g.blocks = (g.count + 63) / 64;
        words += static_cast<std::size_t>(len) * 26 * g.blocks;
        masks += static_cast<std::size_t>(len);
    }
    // Megabytes of fresh memory: advised as one piece before the first
    // write, as the loader's buffers are, so that the kernel backs it with
    // huge pages rather than faulting in thousands of small ones.
    b.bits.reserve(words);
    adviseHugePages(b.bits.data(), words * sizeof(uint64_t));
    b.bits.assign(words, 0);
    b.support.assign(masks, 0);
    std::size_t bitsAt = 0;
    std::size_t masksAt = 0;
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        Group& g = byLength_[static_cast<std::size_t>(len)];
        const auto L = static_cast<std::size_t>(len);
        uint64_t* bits = b.bits.data() + bitsAt;
        LetterMask* support = b.support.data() + masksAt;
        for (std::size_t id = 0; id < g.count; ++id) {
            const uint64_t bit = uint64_t{1} << (id % 64);
            const std::size_t block = id / 64;
            for (std::size_t p = 0; p < L; ++p) {
                const uint8_t a = g.letters[id * L + p];
                bits[(p * 26 + a) * g.blocks + block] |= bit;
                support[p] |= LetterMask{1} << a;
            }
        }
        g.bits = bits;
        g.support = support;
        bitsAt += L * 26 * g.blocks;
        masksAt += L;
    }
}

WordIndex WordIndex::fromBuckets(std::array<std::vector<std::string>, MaxWordLength + 1>& buckets,
                                 const WordScoreFn& scoreOf, const WordBanFn& banned) {
    WordIndex wi;
    wi.hasScores_ = static_cast<bool>(scoreOf);
    wi.hasBans_ = static_cast<bool>(banned);
    auto b = std::make_shared<Buffers>();
    std::size_t letters = 0;
    std::size_t words = 0;
    std::size_t blocks = 0;
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        auto& bucket = buckets[static_cast<std::size_t>(len)];
        std::sort(bucket.begin(), bucket.end());
        bucket.erase(std::unique(bucket.begin(), bucket.end()), bucket.end());
        letters += bucket.size() * static_cast<std::size_t>(len);
        words += bucket.size();
        blocks += (bucket.size() + 63) / 64;
    }
    b->letters.resize(letters);
    if (scoreOf) {
        b->scores.resize(words);
    }
    if (banned) {
        b->banned.assign(blocks, 0);
    }
    std::size_t lettersAt = 0;
    std::size_t wordsAt = 0;
    std::size_t blocksAt = 0;
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        auto& bucket = buckets[static_cast<std::size_t>(len)];
        Group& g = wi.byLength_[static_cast<std::size_t>(len)];
        const auto L = static_cast<std::size_t>(len);
        g.count = bucket.size();
        uint8_t* l = b->letters.data() + lettersAt;
        uint8_t* scores = scoreOf ? b->scores.data() + wordsAt : nullptr;
        uint64_t* bans = banned ? b->banned.data() + blocksAt : nullptr;
        for (std::size_t id = 0; id < g.count; ++id) {
            const std::string& w = bucket[id];
            if (scores != nullptr) {
                scores[id] =
                    static_cast<uint8_t>(std::clamp(scoreOf(w), LowestScore, HighestScore));
            }
            if (bans != nullptr && banned(w)) {
                bans[id / 64] |= uint64_t{1} << (id % 64);
            }
            for (std::size_t p = 0; p < L; ++p) {
                l[id * L + p] = static_cast<uint8_t>(w[p] - 'A');
            }
        }
        g.letters = l;
        g.scores = scores;
        g.banned = bans;
        lettersAt += g.count * L;
        wordsAt += g.count;
        blocksAt += (g.count + 63) / 64;
        bucket.clear();
        bucket.shrink_to_fit();
    }
    wi.indexLetters(*b);
    wi.keep_.push_back(std::move(b));
    return wi;
}

WordIndex WordIndex::fromPacked(const PackedIndex& words, bool hasScores,
                                const std::vector<std::string>& bannedWords) {
    WordIndex wi;
    wi.hasScores_ = hasScores;
    auto b = std::make_shared<Buffers>();
    // The letters and scores are copied, each length after the other.
    std::size_t letters = 0;
    std::size_t count = 0;
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        letters += words[static_cast<std::size_t>(len)].count * static_cast<std::size_t>(len);
        count += words[static_cast<std::size_t>(len)].count;
    }
    b->letters.resize(letters);
    b->scores.resize(hasScores ? count : 0);
    std::size_t lettersAt = 0;
    std::size_t wordsAt = 0;
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        const PackedWords& from = words[static_cast<std::size_t>(len)];
        Group& g = wi.byLength_[static_cast<std::size_t>(len)];
        g.count = from.count;
        if (g.count == 0) {
            continue;
        }
        g.letters = b->letters.data() + lettersAt;
        std::copy_n(from.letters, g.count * static_cast<std::size_t>(len),
                    b->letters.data() + lettersAt);
        lettersAt += g.count * static_cast<std::size_t>(len);
        if (hasScores) {
            g.scores = b->scores.data() + wordsAt;
            std::copy_n(from.scores, g.count, b->scores.data() + wordsAt);
            wordsAt += g.count;
        }
    }
    wi.indexLetters(*b);
    wi.banWords(*b, bannedWords);
    wi.keep_.push_back(std::move(b));
    return wi;
}

void WordIndex::banWords(Buffers& b, const std::vector<std::string>& words) {
    // As build marks them: a ban list, even one naming no word of the
    // index, makes an index with bans.
    if (words.empty()) {
        return;
    }
    hasBans_ = true;
    std::size_t blocks = 0;
    for (const Group& g : byLength_) {
        blocks += g.blocks;
    }
    b.banned.assign(blocks, 0);
    std::size_t at = 0;
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        Group& g = byLength_[static_cast<std::size_t>(len)];
        g.banned = b.banned.data() + at;
        at += g.blocks;
    }
    for (const std::string& w : words) {
        if (const int64_t id = find(w); id >= 0) {
            b.banned[static_cast<std::size_t>(byLength_[w.size()].banned - b.banned.data()) +
                     static_cast<std::size_t>(id) / 64] |= uint64_t{1} << (id % 64);
        }
    }
}

PackedWords WordIndex::packed(int len) const {
    const Group& g = byLength_[slot(len)];
    return {g.count, g.letters, g.scores};
}

std::size_t WordIndex::placeableCount(int len, int minScore) const {
    const Group& g = byLength_[slot(len)];
    std::size_t n = 0;
    for (uint32_t id = 0; id < g.count; ++id) {
        n += score(len, id) >= minScore && !isBanned(len, id) ? 1 : 0;
    }
    return n;
}

std::shared_ptr<const WordIndex> WordIndex::placeable(int minScore) const {
    std::lock_guard<std::mutex> hold(placeableCache_->lock);
    if (placeableCache_->index && placeableCache_->minScore == minScore) {
        return placeableCache_->index;
    }
    // The words that pass keep their byte order, so the sub-index is made
    // from their letters and scores directly, id for id as a build of those
    // words would number them.
    auto sub = std::make_shared<WordIndex>();
    sub->hasScores_ = hasScores_;
    auto b = std::make_shared<Buffers>();
    std::size_t letters = 0;
    std::size_t words = 0;
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        const std::size_t kept = placeableCount(len, minScore);
        letters += kept * static_cast<std::size_t>(len);
        words += kept;
    }
    b->letters.resize(letters);
    b->scores.resize(hasScores_ ? words : 0);
    std::size_t lettersAt = 0;
    std::size_t wordsAt = 0;
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        const Group& g = byLength_[static_cast<std::size_t>(len)];
        Group& to = sub->byLength_[static_cast<std::size_t>(len)];
        const auto L = static_cast<std::size_t>(len);
        uint8_t* l = b->letters.data() + lettersAt;
        uint8_t* scores = hasScores_ ? b->scores.data() + wordsAt : nullptr;
        for (uint32_t id = 0; id < g.count; ++id) {
            if (score(len, id) >= minScore && !isBanned(len, id)) {
                std::copy_n(g.letters + id * L, L, l + to.count * L);
                if (scores != nullptr) {
                    scores[to.count] = g.scores[id];
                }
                ++to.count;
            }
        }
        to.letters = l;
        to.scores = scores;
        lettersAt += to.count * L;
        wordsAt += to.count;
    }
    sub->indexLetters(*b);
    sub->keep_.push_back(std::move(b));
    placeableCache_->minScore = minScore;
    placeableCache_->index = sub;
    return sub;
}

std::size_t WordIndex::totalWords() const {
    std::size_t n = 0;
    for (const auto& g : byLength_) {
        n += g.count;
    }
    return n;
}

std::string WordIndex::word(int len, uint32_t id) const {
    std::string w(static_cast<std::size_t>(len), '?');
    const uint8_t* l = letters(len, id);
    for (std::size_t p = 0; p < w.size(); ++p) {
        w[p] = static_cast<char>('A' + l[p]);
    }
    return w;
}

int64_t WordIndex::find(std::string_view w) const {
    if (!wordLength(w.size()) || !allLetters(w)) {
        return -1;
    }
    const int len = static_cast<int>(w.size());
    const Group& g = byLength_[slot(len)];
    // Ids follow byte order, so a binary search over the packed letters finds it.
    std::size_t lo = 0;
    std::size_t hi = g.count;
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        const uint8_t* l = letters(len, static_cast<uint32_t>(mid));
        int cmp = 0;
        for (std::size_t p = 0; p < w.size() && cmp == 0; ++p) {
            cmp = static_cast<int>(l[p]) - (w[p] - 'A');
        }
        if (cmp == 0) {
            return static_cast<int64_t>(mid);
        }
        if (cmp < 0) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return -1;
}

ScoresFuture readyScores(std::shared_ptr<const WordScores> scores) {
    std::promise<std::shared_ptr<const WordScores>> ready;
    ready.set_value(std::move(scores));
    return ready.get_future().share();
}

std::vector<std::string> bannedByAdditions(const IndexAdditions& additions) {
    std::vector<std::string> own = additions.ownWords;
    std::sort(own.begin(), own.end());
    std::vector<std::string> banned = additions.bannedWords;
    for (const std::string& w : additions.shippedBans) {
        if (!std::binary_search(own.begin(), own.end(), w)) {
            banned.push_back(w);
        }
    }
    std::sort(banned.begin(), banned.end());
    banned.erase(std::unique(banned.begin(), banned.end()), banned.end());
    return banned;
}

WordIndex buildIndex(const DictionaryStore& store, const DictionarySelection& take,
                     const IndexAdditions& additions) {
    std::vector<std::string> own = additions.ownWords;
    std::sort(own.begin(), own.end());
    const std::vector<std::string> banned = bannedByAdditions(additions);
    const std::shared_ptr<const WordScores> scores =
        additions.scores.valid() ? additions.scores.get() : nullptr;
    WordScoreFn scoreOf;
    if (scores && !scores->empty()) {
        scoreOf = [&own, &scores](std::string_view w) {
            return std::binary_search(own.begin(), own.end(), w, std::less<>())
                       ? HighestScore
                       : scores->scoreOr(w, DefaultWordScore);
        };
    }
    WordBanFn isBanned;
    if (!banned.empty()) {
        isBanned = [&banned](std::string_view w) {
            return std::binary_search(banned.begin(), banned.end(), w, std::less<>());
        };
    }
    return WordIndex::build(store, take, own, scoreOf, isBanned);
}

std::shared_ptr<const WordIndex> WordIndexCache::cached(const DictionarySelection& take) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const Key key{take, version_};
    const auto it = std::find_if(built_.begin(), built_.end(),
                                 [&](const auto& entry) { return entry.first == key; });
    if (it == built_.end())
        return nullptr;
    std::rotate(built_.begin(), it, it + 1);
    return built_.front().second;
}

std::shared_ptr<const WordIndex> WordIndexCache::get(const DictionarySelection& take) {
    if (auto index = cached(take))
        return index;
    std::shared_ptr<const IndexAdditions> additions;
    Key key{take, 0};
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        additions = additions_;
        key.version = version_;
    }
    // The folder's prebuilt index holds the same words and scores as the
    // lists it names, while the folder holds those very lists: it spares
    // waiting for the score lists and sorting every word. The user's own
    // words are not in it, so with any the index is built.
    std::shared_ptr<const WordIndex> index;
    if (additions->ownWords.empty() && !store_.DictFolder.empty()) {
        std::string why;
        std::optional<PrebuiltIndex> prebuilt =
            loadPrebuiltIndex(store_.DictFolder, bannedByAdditions(*additions), why);
        if (prebuilt && prebuilt->take == take)
            index = std::make_shared<const WordIndex>(std::move(prebuilt->index));
    }
    if (!index)
        index = std::make_shared<const WordIndex>(buildIndex(store_, take, *additions));
    const std::lock_guard<std::mutex> lock(mutex_);
    if (key.version != version_)
        return index;
    const auto it = std::find_if(built_.begin(), built_.end(),
                                 [&](const auto& entry) { return entry.first == key; });
    if (it != built_.end())
        return it->second;
    built_.insert(built_.begin(), {key, std::move(index)});
    if (built_.size() > capacity_)
        built_.resize(capacity_);
    return built_.front().second;
}

void WordIndexCache::setAdditions(IndexAdditions additions) {
    auto next = std::make_shared<const IndexAdditions>(std::move(additions));
    const std::lock_guard<std::mutex> lock(mutex_);
    additions_ = std::move(next);
    ++version_;
    built_.clear();
}

std::shared_ptr<const IndexAdditions> WordIndexCache::additions() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return additions_;
}

uint64_t WordIndexCache::version() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return version_;
}

std::size_t WordIndexCache::kept() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return built_.size();
}

} // namespace korvel
