// SPDX-License-Identifier: GPL-3.0-or-later
// What the fill reads besides the words and scores: the kinds of base.kinds,
// the shipped ban list with the user's own lists, the reasons the statistics
// give for a weak entry, and the counts Fill Settings shows, each against a
// count of its own.
#include "banlist.h"
#include "fillwordcounts.h"
#include "gridrows.h"
#include "gridstats.h"
#include "testfiles.h"
#include "wordindex.h"
#include "wordkinds.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <sys/stat.h>

using namespace korvel;
using korvel::testing::gridOf;
using korvel::testing::TempDir;
using korvel::testing::writeFile;

TEST(WordKinds, LinesAreReadAsScoreListsAre) {
    WordKinds kinds;
    const KindListReport r = kinds.addList("\xEF\xBB\xBF"
                                           "nmr;abbreviation\r\n"
                                           " Paris ; name \n"
                                           "# a remark\n"
                                           "\n"
                                           "etc;abbreviation\n"
                                           "ETC;name\n"        // the last line counts
                                           "ice cream;name\n"  // no word of A to Z
                                           "ZOLA\n"            // no kind
                                           "ZOLA;\n"           // no kind either
                                           "ZOLA;Name\n"       // kinds are exact
                                           "caf\xC3\xA9;name", // folded, no last line end
                                           "base.kinds");
    EXPECT_EQ(r.kinds, 5u);
    EXPECT_EQ(r.skipped, 2u);
    EXPECT_EQ(r.badWord, 1u);
    EXPECT_EQ(r.noKind, 2u);
    EXPECT_EQ(r.badKind, 1u);
    EXPECT_EQ(r.firstFaultLine, 7u);
    EXPECT_EQ(kinds.kindOf("NMR"), WordKind::Abbreviation);
    EXPECT_EQ(kinds.kindOf("PARIS"), WordKind::Name);
    EXPECT_EQ(kinds.kindOf("ETC"), WordKind::Name);
    EXPECT_EQ(kinds.kindOf("CAFE"), WordKind::Name);
    EXPECT_EQ(kinds.kindOf("ZOLA"), std::nullopt);
    EXPECT_EQ(kinds.kindOf("nmr"), std::nullopt); // lookups take the index's words
    EXPECT_EQ(kindListWarning(r),
              "Kind list base.kinds: 4 lines left out (2 without a kind, 1 with a kind other "
              "than abbreviation or name, 1 whose word is not made of letters), the first at "
              "line 7");
    EXPECT_EQ(kindListWarning(KindListReport{}), "");
}

TEST(WordKinds, FolderListIsReadBoundedAndRegularOnly) {
    TempDir dir;
    std::vector<std::string> warnings;
    EXPECT_TRUE(loadWordKinds(dir.path, &warnings).empty());
    EXPECT_TRUE(warnings.empty());
    writeFile(dir.file("base.kinds"), "NMR;abbreviation\nX;what\n");
    const WordKinds read = loadWordKinds(dir.path, &warnings);
    EXPECT_EQ(read.kindOf("NMR"), WordKind::Abbreviation);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("line 2"), std::string::npos);

    // A FIFO would block a plain open: it is named and skipped.
    std::remove(dir.file("base.kinds").c_str());
    ASSERT_EQ(::mkfifo(dir.file("base.kinds").c_str(), 0600), 0);
    warnings.clear();
    EXPECT_TRUE(loadWordKinds(dir.path + "/", &warnings).empty());
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], "Kind list base.kinds is a FIFO; it is not read");
}

TEST(ShippedBans, ReadFromTheFolder) {
    TempDir dir;
    ShippedBans none = loadShippedBans(dir.path);
    EXPECT_FALSE(none.present);
    EXPECT_TRUE(none.problem.empty());
    writeFile(dir.file("base.bans"), "# vulgar\r\nmilfs\r\nCRAP\n' kept out\nnot a word\n");
    const ShippedBans bans = loadShippedBans(dir.path);
    EXPECT_TRUE(bans.present);
    EXPECT_TRUE(bans.problem.empty());
    EXPECT_EQ(bans.list.words(), (std::vector<std::string>{"CRAP", "MILFS"}));
    std::remove(dir.file("base.bans").c_str());
    ASSERT_EQ(::mkdir(dir.file("base.bans").c_str(), 0700), 0);
    const ShippedBans folder = loadShippedBans(dir.path);
    EXPECT_TRUE(folder.present);
    EXPECT_EQ(folder.problem, "base.bans is a folder");
    EXPECT_EQ(folder.list.size(), 0u);
}

// The shipped bans ban what they name, except a word the user put on My
// Words; the user's own bans stay in force whatever.
TEST(ShippedBans, MyWordsOverrideThemOwnBansDoNot) {
    IndexAdditions a;
    a.ownWords = {"CRAP", "ZQX"};
    a.bannedWords = {"TAN", "ZQX"};
    a.shippedBans = {"MILFS", "CRAP", "TAN"};
    EXPECT_EQ(bannedByAdditions(a), (std::vector<std::string>{"MILFS", "TAN", "ZQX"}));
}

namespace {

struct Fixture {
    std::map<std::string, int> scores{{"CAT", 90},  {"COT", 20}, {"NMR", 70}, {"TAN", 80},
                                      {"ROMA", 60}, {"ARM", 45}, {"ORE", 55}, {"CRAP", 80}};
    std::vector<std::string> ownBans{"TAN"};
    std::vector<std::string> shippedBans{"CRAP"};
    WordKinds kinds;
    WordIndex index;
    Fixture() {
        kinds.addList("NMR;abbreviation\nROMA;name\nCAT;name\n");
        std::vector<std::string> words;
        for (const auto& [w, s] : scores) {
            words.push_back(w);
        }
        index = WordIndex::fromWords(
            words, [this](std::string_view w) { return scores.at(std::string(w)); },
            [](std::string_view w) { return w == "TAN" || w == "CRAP"; });
    }
};

} // namespace

// Each weak entry with its reason: a ban first (which list), then what
// base.kinds says, then a low score; complete entries that are no word of
// the lists lead.
TEST(GridStatistics, WeakEntriesTellWhy) {
    const Fixture f;
    // Across words alone, one every other row.
    const GridModel g = gridOf(
        {"CRAP", "####", "TAN#", "####", "NMR#", "####", "ZZZ#", "####", "COT#", "####", "ARM#"});
    const WordNotes notes{&f.kinds, &f.ownBans, &f.shippedBans};
    const GridStatistics s = gridStatistics(g, &f.index, 50, notes);
    ASSERT_TRUE(s.scored);
    std::map<std::string, WeakReason> why;
    for (const ScoredEntry& e : s.weakest)
        why[e.word] = e.reason;
    EXPECT_EQ(why.at("ZZZ"), WeakReason::NotInLists);
    EXPECT_EQ(why.at("TAN"), WeakReason::OwnBan);
    EXPECT_EQ(why.at("CRAP"), WeakReason::ShippedBan);
    EXPECT_EQ(why.at("NMR"), WeakReason::Abbreviation);
    EXPECT_EQ(why.at("COT"), WeakReason::Rare);
    EXPECT_EQ(why.at("ARM"), WeakReason::Rare);
    EXPECT_EQ(s.reasons[static_cast<std::size_t>(WeakReason::Rare)], 2);
    // The mean is of the words of the lists alone.
    EXPECT_EQ(s.scoredEntries, 5);
    EXPECT_DOUBLE_EQ(s.meanScore, (80 + 20 + 45 + 80 + 70) / 5.0);
    const std::string text = statisticsText(s);
    EXPECT_NE(text.find("Mean score: 59.0 (5 complete words)\r\n"
                        "Under the minimum score of 50: 2\r\n"
                        "Weak entries: not in the lists 1, banned by your list 1, banned by the "
                        "shipped list 1, abbreviation 1, rare 2\r\n"
                        "Weakest entries:\r\n"
                        "  4 across (R7 C1) ZZZ (not in the lists)\r\n"
                        "  1 across (R1 C1) CRAP 80 (banned by the shipped list)\r\n"
                        "  2 across (R3 C1) TAN 80 (banned by your list)\r\n"
                        "  5 across (R9 C1) COT 20 (rare)\r\n"
                        "  6 across (R11 C1) ARM 45 (rare)\r\n"
                        "  3 across (R5 C1) NMR 70 (abbreviation)\r\n"),
              std::string::npos)
        << text;

    // Without notes a ban is a ban, kinds are unknown, and the score alone
    // says rare.
    const GridStatistics bare = gridStatistics(g, &f.index, 50);
    for (const ScoredEntry& e : bare.weakest) {
        if (e.word == "TAN" || e.word == "CRAP")
            EXPECT_EQ(e.reason, WeakReason::Banned) << e.word;
        if (e.word == "NMR")
            EXPECT_EQ(e.reason, WeakReason::None);
    }
    // A name scoring well is still named.
    const GridStatistics names = gridStatistics(gridOf({"ROMA", "ORE#"}), &f.index, 0, notes);
    std::map<std::string, WeakReason> byWord;
    for (const ScoredEntry& e : names.weakest)
        byWord[e.word] = e.reason;
    EXPECT_EQ(byWord.at("ROMA"), WeakReason::Name);
    EXPECT_EQ(byWord.at("ORE"), WeakReason::None);
}

// The counts of Fill Settings against a count made word by word, for every
// minimum and both states of the shipped list, on random lists with bans of
// both kinds and own words that save a shipped ban.
TEST(FillWordCounts, AgreeWithACountWordByWord) {
    std::mt19937 rng(606);
    for (int round = 0; round < 40; ++round) {
        std::map<std::string, int> scores;
        for (int i = 0; i < 300; ++i) {
            std::string w;
            const int len = 2 + static_cast<int>(rng() % 7);
            for (int k = 0; k < len; ++k)
                w += static_cast<char>('A' + rng() % 5);
            scores[w] = static_cast<int>(rng() % 101);
        }
        std::vector<std::string> words;
        IndexAdditions a;
        for (const auto& [w, s] : scores) {
            words.push_back(w);
            const unsigned pick = rng() % 12;
            if (pick == 0)
                a.bannedWords.push_back(w);
            else if (pick <= 2)
                a.shippedBans.push_back(w);
            else if (pick == 3) {
                a.shippedBans.push_back(w);
                a.ownWords.push_back(w); // My Words saves it
            }
        }
        a.shippedBans.push_back("QQQ"); // no word of the lists
        const bool inForce = round % 2 == 0;
        IndexAdditions made = a;
        if (!inForce)
            made.shippedBans.clear();
        const std::vector<std::string> banned = bannedByAdditions(made);
        const WordIndex wi = WordIndex::fromWords(
            words, [&](std::string_view w) { return scores.at(std::string(w)); },
            [&](std::string_view w) {
                return std::binary_search(banned.begin(), banned.end(), w);
            });
        std::vector<std::string> own = a.bannedWords;
        std::sort(own.begin(), own.end());
        IndexAdditions shippedAlone;
        shippedAlone.ownWords = a.ownWords;
        shippedAlone.shippedBans = a.shippedBans;
        const FillWordCounts counts = FillWordCounts::of(wi, own, bannedByAdditions(shippedAlone));
        EXPECT_TRUE(counts.scored());
        const std::set<std::string> ownSet(a.bannedWords.begin(), a.bannedWords.end());
        const std::set<std::string> saved(a.ownWords.begin(), a.ownWords.end());
        const std::set<std::string> shipped(a.shippedBans.begin(), a.shippedBans.end());
        for (int min : {0, 1, 30, 50, 99, 100}) {
            for (bool shippedOn : {false, true}) {
                FillWordCounts::PerLength expected{};
                for (const auto& [w, s] : scores) {
                    const bool out = ownSet.count(w) > 0 ||
                                     (shippedOn && shipped.count(w) > 0 && saved.count(w) == 0);
                    if (s >= min && !out)
                        ++expected[w.size()];
                }
                EXPECT_EQ(counts.atLeast(min, shippedOn), expected)
                    << "round " << round << " min " << min << " shipped " << shippedOn;
            }
        }
    }
}
