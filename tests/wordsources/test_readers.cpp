// SPDX-License-Identifier: GPL-3.0-or-later
// The readers of the word data, on small files written here in each
// source's own format: gzip and dictzip members, wordfreq's MessagePack
// buckets, WordNet's index and data lines, GCIDE's dictd index, the cuss
// lists and the project's ban decisions.
#include "gcide.h"
#include "gunzip.h"
#include "phrases.h"
#include "profanity.h"
#include "wordfreq.h"
#include "wordnet.h"

#include <gtest/gtest.h>
#include <msgpack.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

using namespace korvel;

namespace {

// One gzip member holding text, as gzip writes it.
std::string gzipMember(const std::string& text) {
    z_stream s{};
    EXPECT_EQ(deflateInit2(&s, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&s, text.size()) + 64, '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    s.avail_in = static_cast<uInt>(text.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
    out.resize(out.size() - s.avail_out);
    deflateEnd(&s);
    return out;
}

TEST(Gunzip, ReadsOneMemberOrSeveral) {
    std::string out;
    std::string error;
    ASSERT_TRUE(gunzip(gzipMember("ice cream"), out, error)) << error;
    EXPECT_EQ(out, "ice cream");
    const std::string big(300000, 'x'); // more than one output buffer
    ASSERT_TRUE(gunzip(gzipMember("at ") + gzipMember(big), out, error)) << error;
    EXPECT_EQ(out, "at " + big);
}

TEST(Gunzip, RefusesWhatIsNoGzipOrEndsEarly) {
    std::string out;
    std::string error;
    EXPECT_FALSE(gunzip("plain text, not compressed", out, error));
    EXPECT_FALSE(error.empty());
    const std::string member = gzipMember(std::string(5000, 'a') + "b");
    EXPECT_FALSE(gunzip(member.substr(0, member.size() / 2), out, error));
    EXPECT_EQ(error, "the gzip data ends early");
}

// wordfreq's "cB" layout: [header, bucket 1 (Zipf 9.00), bucket 2 (8.99), ...].
std::string packWordfreq(const std::vector<std::vector<std::string>>& buckets,
                         const char* format = "cB") {
    msgpack_sbuffer buffer;
    msgpack_sbuffer_init(&buffer);
    msgpack_packer pk;
    msgpack_packer_init(&pk, &buffer, msgpack_sbuffer_write);
    msgpack_pack_array(&pk, static_cast<uint32_t>(buckets.size() + 1));
    msgpack_pack_map(&pk, 2);
    for (const char* s : {"format", format, "version"}) {
        msgpack_pack_str(&pk, std::strlen(s));
        msgpack_pack_str_body(&pk, s, std::strlen(s));
        if (std::string(s) == "version") {
            msgpack_pack_int(&pk, 1);
        }
    }
    for (const auto& bucket : buckets) {
        msgpack_pack_array(&pk, static_cast<uint32_t>(bucket.size()));
        for (const std::string& w : bucket) {
            msgpack_pack_str(&pk, w.size());
            msgpack_pack_str_body(&pk, w.data(), w.size());
        }
    }
    std::string out(buffer.data, buffer.size);
    msgpack_sbuffer_destroy(&buffer);
    return out;
}

TEST(Wordfreq, BucketsGiveZipfValuesAndFoldedTokensAdd) {
    std::vector<std::vector<std::string>> buckets(301);
    buckets[0] = {"the"};                  // Zipf 9.00
    buckets[100] = {"café", "cafe"};       // 8.00 each: together 8.30
    buckets[300] = {"etui", "don't", "7"}; // 6.00; the other two fold to nothing
    ZipfTable table;
    std::string error;
    ASSERT_TRUE(readWordfreq(packWordfreq(buckets), table, error)) << error;
    EXPECT_NEAR(*table.zipf("THE"), 9.0, 1e-9);
    EXPECT_NEAR(*table.zipf("CAFE"), 8.0 + std::log10(2.0), 1e-9);
    EXPECT_NEAR(*table.zipf("ETUI"), 6.0, 1e-9);
    EXPECT_FALSE(table.zipf("DONT").has_value());
    EXPECT_FALSE(table.zipf("OZAENA").has_value());
    EXPECT_EQ(table.size(), 3u);
}

TEST(Wordfreq, RefusesOtherData) {
    ZipfTable table;
    std::string error;
    EXPECT_FALSE(readWordfreq(packWordfreq({{"a"}}, "xx"), table, error));
    EXPECT_FALSE(readWordfreq("not msgpack at all", table, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(table.size(), 0u);
}

// WordNet's own line shapes, with the licence lines' two leading blanks.
const char* IndexNoun = "  1 This software and database is being provided\n"
                        "ice_cream n 1 2 @ ~ 1 1 07614500  \n"
                        "new_york n 3 2 @i #p 3 2 09119277 08695539 09121299  \n"
                        "lens_system n 1 2 @ #p 1 0 04273064  \n"
                        "broken line that does not parse\n";
const char* IndexVerb = "give_up v 12 3 @ ~ + 12 12 02228031  \n";
const char* DataNoun =
    "  1 This software and database is being provided\n"
    "07614500 13 n 02 ice_cream 0 icecream 0 001 @ 07611358 n 0000 | frozen dessert "
    "containing cream\n"
    "09119277 15 n 03 New_York 0 New_York_City 0 Greater_New_York 0 000 | the largest city\n"
    "04273064 06 n 01 lens_system 0 000 | a system of lenses\n"
    "12268246 20 n 02 genus_Quercus 0 Quercus 0 000 | a large genus\n";
const char* DataAdj = "00018435 00 s 01 galore(ip) 0 000 | in great numbers\n";

TEST(WordNetFiles, IndexCountsAndDataCase) {
    WordNet wn;
    readWordNetIndex(IndexNoun, wn);
    readWordNetIndex(IndexVerb, wn);
    readWordNetData(DataNoun, wn);
    readWordNetData(DataAdj, wn);
    EXPECT_EQ(wn.lemmas.at("ice_cream").senses, 1);
    EXPECT_EQ(wn.lemmas.at("ice_cream").tagged, 1);
    EXPECT_FALSE(wn.lemmas.at("ice_cream").capitalized);
    EXPECT_EQ(wn.lemmas.at("give_up").tagged, 12);
    EXPECT_TRUE(wn.lemmas.at("new_york").capitalized);
    EXPECT_EQ(wn.lemmas.at("new_york").senses, 3);
    EXPECT_TRUE(wn.lemmas.at("genus_quercus").capitalized);
    EXPECT_TRUE(wn.lemmas.count("galore")); // "(ip)" dropped
    EXPECT_FALSE(wn.lemmas.count("broken"));
    EXPECT_NE(wn.glosses.find("frozen dessert containing cream"), std::string::npos);
}

TEST(Gcide, HeadwordsWithoutTheDatabaseEntries) {
    const std::vector<std::string> heads = gcideHeadwords(
        "00-database-info\tKj\tuk\nIce cream\tBCXcG\tzN\nAt ease\tBa\tCd\nno tab line\n");
    EXPECT_EQ(heads, (std::vector<std::string>{"Ice cream", "At ease"}));
}

TEST(Phrases, CandidatesKeepWordsAndLeaveOutNamesAndTaxa) {
    WordNet wn;
    readWordNetIndex(IndexNoun, wn);
    readWordNetIndex(IndexVerb, wn);
    readWordNetData(DataNoun, wn);
    const std::set<std::string> english = {"ice", "cream", "at",     "ease", "lay", "waste", "give",
                                           "up",  "lens",  "system", "to",   "and", "fro"};
    const IsEnglishWord isWord = [&](std::string_view w) {
        return english.count(std::string(w)) != 0;
    };
    const std::vector<std::string> heads = {"Ice cream",    "At ease",      "Quercus alba",
                                            "To lay waste", "Greek Church", "Anas Americana",
                                            "To and fro",   "ice-cream",    "Route 66"};
    const std::vector<PhraseCandidate> found = phraseCandidates(wn, heads, isWord);
    std::vector<std::string> entries;
    for (const PhraseCandidate& c : found) {
        entries.push_back(c.entry);
    }
    EXPECT_EQ(entries, (std::vector<std::string>{"ATEASE", "GIVEUP", "ICECREAM", "LAYWASTE",
                                                 "LENSSYSTEM", "TOANDFRO"}));
    const PhraseCandidate& ice = found[2];
    EXPECT_TRUE(ice.wordnet);
    EXPECT_TRUE(ice.gcide);
    EXPECT_EQ(ice.tagged, 1);
    EXPECT_EQ(ice.words, (std::vector<std::string>{"ice", "cream"}));
    EXPECT_FALSE(found[0].wordnet);
}

TEST(Phrases, CountedWhereverTheirWordsStandInARow) {
    std::vector<PhraseCandidate> p(2);
    p[0].words = {"ice", "cream"};
    p[1].words = {"one", "by", "one"};
    countPhrases(p, "Ice cream, and more ICE\n  cream; one by one by one. ice creams");
    EXPECT_EQ(p[0].corpusCount, 2); // "creams" is another word
    EXPECT_EQ(p[1].corpusCount, 2); // overlapping runs count
}

TEST(Cuss, ReadsEntriesQuotedOrNot) {
    const std::vector<ProfaneWord> words =
        readCussList("/**\n * Map of English profane words to a rating of sureness.\n */\n"
                     "export const cuss = {\n  abbo: 1,\n  'alligator bait': 2,\n  ass: 2,\n"
                     "  adult: 0,\n  \"x-rated\": 1,\n  r2d2: 2,\n  ass: 1\n}\n");
    std::vector<std::pair<std::string, int>> got;
    for (const ProfaneWord& w : words) {
        got.emplace_back(w.word, w.sureness);
    }
    EXPECT_EQ(got,
              (std::vector<std::pair<std::string, int>>{
                  {"ABBO", 1}, {"ADULT", 0}, {"ALLIGATORBAIT", 2}, {"ASS", 2}, {"XRATED", 1}}));
}

TEST(Cuss, DecisionsAndTheirFaults) {
    const BanDecisions d = readBanDecisions("# remark\n\nASS keep   # the donkey\n"
                                            "rectal low\nMILFS ban\nTIT maybe\nbad-word\n");
    EXPECT_EQ(d.words.size(), 3u);
    EXPECT_EQ(d.words.at("ASS"), BanDecision::Keep);
    EXPECT_EQ(d.words.at("RECTAL"), BanDecision::Low);
    EXPECT_EQ(d.words.at("MILFS"), BanDecision::Ban);
    ASSERT_EQ(d.errors.size(), 2u);
    EXPECT_EQ(d.errors[0].rfind("line 6:", 0), 0u);
    EXPECT_EQ(d.errors[1].rfind("line 7:", 0), 0u);
}

} // namespace
