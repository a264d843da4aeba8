// SPDX-License-Identifier: GPL-3.0-or-later
// The fill's prebuilt index: written and read back it is the index it was
// made from, id for id and bit for bit, and fills the same grids the same
// way; a damaged, cut, foreign or stale file is refused.
#include "fill.h"
#include "fillindexfile.h"
#include "gridrows.h"
#include "memoryhost.h"
#include "testfiles.h"
#include "wordindex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvel;
using korvel::testing::gridOf;
using korvel::testing::TempDir;
using korvel::testing::writeFile;

namespace {

struct Words {
    std::map<std::string, int> scores;
    std::vector<std::string> list;
};

Words randomWords(std::mt19937& rng, int count, int letters) {
    Words w;
    for (int i = 0; i < count; ++i) {
        std::string s;
        const int len = 2 + static_cast<int>(rng() % 6);
        for (int k = 0; k < len; ++k)
            s += static_cast<char>('A' + rng() % static_cast<unsigned>(letters));
        w.scores[s] = static_cast<int>(rng() % 101);
    }
    for (const auto& [s, v] : w.scores)
        w.list.push_back(s);
    return w;
}

DictionarySelection firstTwo() {
    DictionarySelection take{};
    take[1] = take[2] = true;
    return take;
}

// Every part of two indexes, bit for bit.
void expectSameIndex(const WordIndex& a, const WordIndex& b) {
    ASSERT_EQ(a.hasScores(), b.hasScores());
    ASSERT_EQ(a.hasBans(), b.hasBans());
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        ASSERT_EQ(a.count(len), b.count(len)) << len;
        ASSERT_EQ(a.blocks(len), b.blocks(len)) << len;
        for (uint32_t id = 0; id < a.count(len); ++id) {
            ASSERT_EQ(a.word(len, id), b.word(len, id));
            ASSERT_EQ(a.score(len, id), b.score(len, id));
            ASSERT_EQ(a.isBanned(len, id), b.isBanned(len, id));
        }
        for (int p = 0; p < len; ++p) {
            ASSERT_EQ(a.support(len, p), b.support(len, p));
            for (int letter = 0; letter < 26; ++letter) {
                for (std::size_t k = 0; k < a.blocks(len); ++k)
                    ASSERT_EQ(a.bits(len, p, letter)[k], b.bits(len, p, letter)[k]);
            }
        }
    }
}

// The file's own hash set again after a change, so that the checks behind
// it are reached.
void rehash(std::string& bytes) {
    const uint64_t h = hashBytes(std::string_view(bytes).substr(32));
    for (int i = 0; i < 8; ++i)
        bytes[24 + static_cast<std::size_t>(i)] = static_cast<char>((h >> (8 * i)) & 0xFF);
}

// Where the words of length len start in a file of index with no sources
// and no messages.
std::size_t wordsAt(const WordIndex& index, int len) {
    std::size_t at = 32 + 8 + 4 + 4;
    for (int l = MinWordLength; l < len; ++l)
        at += 4 + index.count(l) * static_cast<std::size_t>(l) +
              (index.hasScores() ? index.count(l) : 0);
    return at + 4;
}

} // namespace

TEST(FillIndexFile, HashIsTheSameEverywhere) {
    // Pinned: an index written on one machine is read on another.
    EXPECT_EQ(hashBytes(""), hashBytes(std::string_view()));
    EXPECT_NE(hashBytes("a"), hashBytes("b"));
    EXPECT_NE(hashBytes(std::string(40, 'x')), hashBytes(std::string(41, 'x')));
    std::string a(1000, 'q');
    const uint64_t before = hashBytes(a);
    for (std::size_t i : {0u, 7u, 31u, 32u, 500u, 999u}) {
        std::string b = a;
        b[i] ^= 1;
        EXPECT_NE(hashBytes(b), before) << i;
    }
    EXPECT_EQ(hashBytes("KORVEL"), 0xf7d1a278c62c04f3ull);
}

// Written and read back: the same index, and the same fills, seed for seed,
// on many grids; with scores and bans, and without scores.
TEST(FillIndexFile, RoundTripGivesTheSameIndexAndFills) {
    std::mt19937 rng(1234);
    for (bool scored : {true, false}) {
        const Words w = randomWords(rng, 3000, 6);
        const auto scoreOf = [&](std::string_view s) { return w.scores.at(std::string(s)); };
        const WordIndex original =
            scored ? WordIndex::fromWords(w.list, scoreOf) : WordIndex::fromWords(w.list);
        const std::vector<IndexSource> sources{
            {IndexSource::Kind::Dictionary, "base.diz", 10, 20},
            {IndexSource::Kind::ScoreList, "base.scores", 30, 40}};
        const std::string bytes = fillIndexBytes(original, firstTwo(), sources, "a message\n");
        FillIndexContents read;
        std::string why;
        ASSERT_TRUE(parseFillIndex(bytes, read, why)) << why;
        EXPECT_EQ(read.take, firstTwo());
        EXPECT_EQ(read.hasScores, scored);
        EXPECT_EQ(read.sources, sources);
        EXPECT_EQ(read.messages, "a message\n");
        expectSameIndex(WordIndex::fromPacked(read.words, read.hasScores), original);

        // Bans given to the read index ban what build bans.
        std::vector<std::string> banned;
        for (std::size_t i = 0; i < w.list.size(); i += 7)
            banned.push_back(w.list[i]);
        banned.push_back("NOTAWORD");
        const auto isBanned = [&](std::string_view s) {
            return std::find(banned.begin(), banned.end(), s) != banned.end();
        };
        const WordIndex built = scored ? WordIndex::fromWords(w.list, scoreOf, isBanned)
                                       : WordIndex::fromWords(w.list, {}, isBanned);
        const WordIndex again = WordIndex::fromPacked(read.words, read.hasScores, banned);
        expectSameIndex(again, built);

        for (int round = 0; round < 60; ++round) {
            const int R = 3 + static_cast<int>(rng() % 4);
            const int C = 3 + static_cast<int>(rng() % 4);
            std::vector<std::string> rows(static_cast<std::size_t>(R),
                                          std::string(static_cast<std::size_t>(C), '?'));
            for (auto& row : rows)
                for (char& ch : row)
                    ch = rng() % 6 == 0 ? '#' : '?';
            const GridModel g = gridOf(rows);
            FillOptions o;
            o.seed = static_cast<uint64_t>(round);
            o.minScore = scored ? static_cast<int>(rng() % 3) * 25 : 0;
            o.timeLimit = 5;
            MemoryHost host;
            SearchFlags flags;
            const FillResult a = fillGrid(g, built, o, host, flags);
            const FillResult b = fillGrid(g, again, o, host, flags);
            ASSERT_EQ(a.status, b.status) << "round " << round;
            EXPECT_EQ(a.grid.GridRows, b.grid.GridRows) << "round " << round;
            EXPECT_EQ(a.reason, b.reason) << "round " << round;
            if (a.status != FillStatus::Stopped)
                EXPECT_EQ(a.stats.nodes, b.stats.nodes) << "round " << round;
        }
    }
}

// Anything but a whole, undamaged file is refused: every cut, a flipped
// byte anywhere, a byte added, another version or format.
TEST(FillIndexFile, DamagedOrForeignFilesAreRefused) {
    std::mt19937 rng(99);
    const Words w = randomWords(rng, 200, 4);
    const WordIndex index = WordIndex::fromWords(
        w.list, [&](std::string_view s) { return w.scores.at(std::string(s)); });
    const std::string good =
        fillIndexBytes(index, firstTwo(), {{IndexSource::Kind::Dictionary, "base.diz", 1, 2}}, "");
    FillIndexContents read;
    std::string why;
    ASSERT_TRUE(parseFillIndex(good, read, why));
    for (std::size_t cut = 0; cut < good.size(); cut += 1 + cut / 8)
        EXPECT_FALSE(parseFillIndex(std::string_view(good).substr(0, cut), read, why)) << cut;
    for (std::size_t at = 0; at < good.size(); at += 1 + at / 16) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0x10);
        EXPECT_FALSE(parseFillIndex(bad, read, why)) << at;
    }
    EXPECT_FALSE(parseFillIndex(good + "x", read, why));
    EXPECT_NE(why.find("cut short or has bytes added"), std::string::npos) << why;
    std::string other = good;
    other[8] = 2;
    EXPECT_FALSE(parseFillIndex(other, read, why));
    EXPECT_EQ(why, "is an index of another version (2)");
    EXPECT_FALSE(parseFillIndex("CAT\r\nCOT\r\n", read, why));
    EXPECT_EQ(why, "is no index of the fill");
}

// Past the hash, every field is checked as if the hash could not be
// trusted: letters, order, scores, counts, sources.
TEST(FillIndexFile, FieldsAreCheckedBehindTheHash) {
    const WordIndex index = WordIndex::fromWords(
        {"CAT", "COT", "TEN", "ROMA"}, [](std::string_view w) { return w == "COT" ? 20 : 80; });
    const std::string good = fillIndexBytes(index, firstTwo(), {}, "");
    const std::size_t three = wordsAt(index, 3); // CAT, COT, TEN: 9 letters, 3 scores
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        const char* why;
    };
    const std::vector<Case> cases{
        {"letter 26", [&](std::string& b) { b[three + 1] = 26; }, "holds a letter outside A to Z"},
        {"order", [&](std::string& b) { std::swap(b[three], b[three + 6]); },
         "holds words of 3 letters out of order or twice"},
        {"twice", [&](std::string& b) { b[three + 3 + 1] = 0; }, // COT -> CAT
         "holds words of 3 letters out of order or twice"},
        {"score", [&](std::string& b) { b[three + 9] = 101; }, "holds a score above 100"},
        {"count", [&](std::string& b) { b[three - 4 + 3] = 0x7F; },
         "counts more words of 3 letters than it holds"},
        {"selection", [&](std::string& b) { b[32] = 2; },
         "has a damaged selection of dictionaries"},
        {"sources", [&](std::string& b) { b[40] = 65; }, "has a damaged list of sources"},
        {"flags", [&](std::string& b) { b[12] = 3; }, "has flags this version does not know"},
    };
    for (const Case& c : cases) {
        std::string bad = good;
        c.damage(bad);
        rehash(bad);
        FillIndexContents read;
        std::string why;
        EXPECT_FALSE(parseFillIndex(bad, read, why)) << c.what;
        EXPECT_EQ(why, c.why) << c.what;
        // The same without the hash check, as the fuzzer reads.
        EXPECT_FALSE(parseFillIndex(bad, read, why, false)) << c.what;
    }
}

// The index of a folder is used only while the folder holds the very lists
// it names; a list changed, added or taken away, or a file that is not the
// index, leaves nothing to use. The times of the files do not count.
TEST(FillIndexFile, UsedOnlyWithTheListsItWasMadeFrom) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "any bytes: the loader decodes them, the check hashes them");
    writeFile(dir.file("words.dic"), "CAT\r\nCOT\r\n");
    writeFile(dir.file("base.scores"), "CAT;90\n");
    writeFile(dir.file("mine.scores"), "COT;10\n");
    writeFile(dir.file(".diz"), "no name: never loaded");
    std::string why;
    const std::optional<std::vector<IndexSource>> sources = folderSources(dir.path, why);
    ASSERT_TRUE(sources) << why;
    ASSERT_EQ(sources->size(), 5u);
    EXPECT_EQ((*sources)[0].name, ".diz"); // passed over, with a warning
    EXPECT_EQ((*sources)[0].kind, IndexSource::Kind::Passed);
    EXPECT_EQ((*sources)[1].name, "base.diz");
    EXPECT_EQ((*sources)[2].name, "words.dic");
    EXPECT_EQ((*sources)[2].kind, IndexSource::Kind::Dictionary);
    EXPECT_EQ((*sources)[3].name, "base.scores");
    EXPECT_EQ((*sources)[3].kind, IndexSource::Kind::ScoreList);
    EXPECT_EQ((*sources)[4].name, "mine.scores");
    EXPECT_EQ((*sources)[2].size, 10u);

    const WordIndex index = WordIndex::fromWords(
        {"CAT", "COT"}, [](std::string_view w) { return w == "CAT" ? 90 : 10; });
    const auto write = [&] {
        writeFile(dir.file("base.fillindex"), fillIndexBytes(index, firstTwo(), *sources, ""));
    };
    write();
    std::optional<PrebuiltIndex> loaded = loadPrebuiltIndex(dir.path, {"COT"}, why);
    ASSERT_TRUE(loaded) << why;
    EXPECT_EQ(loaded->take, firstTwo());
    EXPECT_EQ(loaded->sources, *sources);
    expectSameIndex(loaded->index,
                    WordIndex::fromWords(
                        {"CAT", "COT"}, [](std::string_view w) { return w == "CAT" ? 90 : 10; },
                        [](std::string_view w) { return w == "COT"; }));

    // New times, same bytes: still the lists it was made from.
    std::filesystem::last_write_time(dir.file("words.dic"),
                                     std::filesystem::file_time_type::clock::now());
    EXPECT_TRUE(loadPrebuiltIndex(dir.path, {}, why)) << why;

    const auto stale = [&](const char* what) {
        EXPECT_FALSE(loadPrebuiltIndex(dir.path, {}, why)) << what;
        EXPECT_NE(why.find("other lists"), std::string::npos) << what << ": " << why;
    };
    writeFile(dir.file("words.dic"), "CAT\r\nCUT\r\n"); // same size
    stale("a list changed");
    writeFile(dir.file("words.dic"), "CAT\r\nCOT\r\n");
    ASSERT_TRUE(loadPrebuiltIndex(dir.path, {}, why)) << why;
    writeFile(dir.file("more.dic"), "DOG\r\n");
    stale("a list added");
    std::filesystem::remove(dir.file("more.dic"));
    std::filesystem::remove(dir.file("mine.scores"));
    stale("a score list taken away");
    writeFile(dir.file("mine.scores"), "COT;10\n");
    ASSERT_TRUE(loadPrebuiltIndex(dir.path, {}, why)) << why;

    // The index itself cut, or no file to read.
    const std::string bytes = fillIndexBytes(index, firstTwo(), *sources, "");
    writeFile(dir.file("base.fillindex"), bytes.substr(0, bytes.size() - 3));
    EXPECT_FALSE(loadPrebuiltIndex(dir.path, {}, why));
    EXPECT_NE(why.find("cut short"), std::string::npos) << why;
    writeFile(dir.file("base.fillindex"), "");
    EXPECT_FALSE(loadPrebuiltIndex(dir.path, {}, why));
    std::filesystem::remove(dir.file("base.fillindex"));
    EXPECT_FALSE(loadPrebuiltIndex(dir.path, {}, why));
    ASSERT_EQ(::mkfifo(dir.file("base.fillindex").c_str(), 0600), 0);
    EXPECT_FALSE(loadPrebuiltIndex(dir.path, {}, why)); // refused, not waited on
    EXPECT_EQ(why, "base.fillindex is a FIFO");
    std::filesystem::remove(dir.file("base.fillindex"));

    // A FIFO named as a list is passed over by the loading with a warning
    // the index did not record: it is not the folder the index was made of.
    write();
    ASSERT_TRUE(loadPrebuiltIndex(dir.path, {}, why)) << why;
    ASSERT_EQ(::mkfifo(dir.file("late.dic").c_str(), 0600), 0);
    stale("a FIFO named as a list");
    std::filesystem::remove(dir.file("late.dic"));
    // A list that cannot be read leaves nothing to check against.
    writeFile(dir.file("words.dic"), "CAT\r\nCOT\r\n");
    ASSERT_EQ(::chmod(dir.file("words.dic").c_str(), 0), 0);
    if (::geteuid() != 0) {
        EXPECT_FALSE(loadPrebuiltIndex(dir.path, {}, why));
        EXPECT_NE(why.find("words.dic"), std::string::npos) << why;
    }
}

// The window's index cache takes the folder's index while it is up to date
// and the selection is its own, and builds from the store otherwise: with
// own words, another selection, or a stale index.
TEST(FillIndexFile, TheIndexCacheTakesAnUpToDateIndex) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "the bytes of the folder's lists");
    writeFile(dir.file("base.scores"), "CAT;90\n");
    DictionaryStore store;
    store.DictFolder = dir.path + "/";
    store.count = 1;
    store.DictFileName[1] = "base.diz";
    store.setText(1, "CAT\r\nCOT\r\n");
    DictionarySelection take{};
    take[1] = true;
    std::string why;
    // An index of other words than the store's, with the folder's sources:
    // which one the cache gives shows where its words came from.
    const WordIndex other = WordIndex::fromWords(
        {"DOG", "DIG", "CAT"}, [](std::string_view w) { return w == "DOG" ? 80 : 30; });
    writeFile(dir.file("base.fillindex"),
              fillIndexBytes(other, take, *folderSources(dir.path, why), ""));

    WordIndexCache cache(store);
    IndexAdditions additions;
    additions.shippedBans = {"DIG"};
    cache.setAdditions(additions);
    std::shared_ptr<const WordIndex> index = cache.get(take);
    ASSERT_GE(index->find("DOG"), 0);
    EXPECT_EQ(index->score(3, static_cast<uint32_t>(index->find("DOG"))), 80);
    EXPECT_TRUE(index->isBanned(3, static_cast<uint32_t>(index->find("DIG"))));
    EXPECT_LT(index->find("COT"), 0);

    // Own words: built from the store.
    additions.ownWords = {"ZQX"};
    cache.setAdditions(additions);
    index = cache.get(take);
    EXPECT_GE(index->find("COT"), 0);
    EXPECT_GE(index->find("ZQX"), 0);
    EXPECT_LT(index->find("DOG"), 0);
    // Another selection: built.
    additions.ownWords.clear();
    cache.setAdditions(additions);
    DictionarySelection none{};
    EXPECT_LT(cache.get(none)->find("DOG"), 0);
    EXPECT_GE(cache.get(take)->find("DOG"), 0);
    // Stale: built, with the scores the window read.
    writeFile(dir.file("base.scores"), "CAT;10\n");
    WordScores scores;
    scores.addList("CAT;10\n");
    additions.scores = readyScores(std::make_shared<const WordScores>(scores));
    cache.setAdditions(additions);
    index = cache.get(take);
    EXPECT_LT(index->find("DOG"), 0);
    EXPECT_EQ(index->score(3, static_cast<uint32_t>(index->find("CAT"))), 10);
}
