// SPDX-License-Identifier: GPL-3.0-or-later
// The scoring rule of the default sets on evidence written by hand: each
// case is an entry whose place on the scale can be argued for, with what
// the word data says about it (the Zipf values are wordfreq's).
#include "wordrating.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvel;

namespace {

struct EnglishCase {
    const char* word;
    EnglishEvidence evidence;
    WordKind kind;
    int low;  // lowest score it may have
    int high; // highest
};

// SCOWL sizes: words, names, abbreviations.
const EnglishCase EnglishCases[] = {
    {"AREA", {5.46, 10, 0, 0}, WordKind::Word, 90, 100},
    {"PARIS (a word only at size 80)", {4.82, 80, 50, 0}, WordKind::Name, 55, 70},
    {"MPEG", {2.82, 0, 0, 50}, WordKind::Abbreviation, 30, 45},
    {"NASA", {4.21, 0, 0, 40}, WordKind::Abbreviation, 50, 55},
    {"FSLIC (in no frequency list)", {std::nullopt, 0, 0, 50}, WordKind::Abbreviation, 0, 10},
    {"OZAENA", {std::nullopt, 80, 0, 0}, WordKind::Word, 0, 29},
    {"ETUI (crosswordese)", {1.21, 70, 0, 0}, WordKind::Word, 30, 49},
    {"EPEE", {1.93, 50, 0, 0}, WordKind::Word, 30, 49},
    {"EEL", {3.23, 35, 0, 0}, WordKind::Word, 50, 70},
    {"GEYSER (size 50, Zipf 2.6)", {2.6, 50, 0, 0}, WordKind::Word, 50, 60},
    {"ERIE", {3.57, 0, 50, 0}, WordKind::Name, 50, 55},
    {"ESAU (a lesser name)", {2.57, 0, 50, 0}, WordKind::Name, 30, 49},
    {"ETA (a word and an abbreviation at 50)", {3.37, 50, 0, 50}, WordKind::Word, 50, 70},
    {"MAN (a word at 10, an abbreviation at 50)", {5.82, 10, 0, 50}, WordKind::Word, 90, 100},
    {"THE", {7.73, 10, 0, 0}, WordKind::Word, 100, 100},
};

class EnglishRule : public ::testing::TestWithParam<EnglishCase> {};

TEST_P(EnglishRule, PlacesTheWordInItsBand) {
    const EnglishCase& c = GetParam();
    EXPECT_EQ(englishKind(c.evidence), c.kind) << c.word;
    const int score = englishRating(c.evidence);
    EXPECT_GE(score, c.low) << c.word;
    EXPECT_LE(score, c.high) << c.word;
}

INSTANTIATE_TEST_SUITE_P(Table, EnglishRule, ::testing::ValuesIn(EnglishCases));

TEST(EnglishRule, OrdersByWhatSolversKnow) {
    const int mpeg = englishRating({2.82, 0, 0, 50});
    const int paris = englishRating({4.82, 80, 50, 0});
    const int area = englishRating({5.46, 10, 0, 0});
    EXPECT_LT(mpeg, paris);
    EXPECT_LT(paris, area);
    // An abbreviation needs more frequency than a name, a name more than a
    // common word: at the same Zipf value they come in that order.
    for (double z : {2.0, 3.0, 3.8, 4.5}) {
        const int word = englishRating({z, 50, 0, 0});
        const int name = englishRating({z, 0, 50, 0});
        const int abbreviation = englishRating({z, 0, 0, 50});
        EXPECT_GT(word, name) << z;
        EXPECT_GT(name, abbreviation) << z;
    }
    // The size of a name or an abbreviation does not move it.
    EXPECT_EQ(englishRating({3.0, 0, 10, 0}), englishRating({3.0, 0, 80, 0}));
    EXPECT_EQ(englishRating({3.0, 0, 0, 10}), englishRating({3.0, 0, 0, 80}));
}

TEST(EnglishRule, RisesWithFrequencyAndFallsWithSize) {
    int previousSize = 101;
    for (int size : {10, 20, 35, 40, 50, 55, 60, 70, 80}) {
        const int score = englishRating({2.5, size, 0, 0});
        EXPECT_LE(score, previousSize) << size;
        previousSize = score;
        int previousZipf = -1;
        for (double z = 0.5; z <= 7.5; z += 0.5) {
            const int s = englishRating({z, size, 0, 0});
            EXPECT_GE(s, previousZipf) << size << " " << z;
            previousZipf = s;
        }
    }
    // Rare by any measure (no word list up to 60, Zipf under 2.5): under 50.
    for (int size : {70, 80}) {
        EXPECT_LT(englishRating({2.49, size, 0, 0}), 50) << size;
    }
    EXPECT_LT(englishRating({2.49, 0, 50, 0}), 50);
    EXPECT_LT(englishRating({2.49, 0, 0, 50}), 50);
}

TEST(RatingLine, IsTenPointsAZipfStepWithinTheScale) {
    EXPECT_EQ(ratingOnLine(3.0, 3.0), 50);
    EXPECT_EQ(ratingOnLine(4.0, 3.0), 60);
    EXPECT_EQ(ratingOnLine(2.04, 3.0), 40); // rounded
    EXPECT_EQ(ratingOnLine(std::nullopt, 3.0), 20);
    EXPECT_EQ(ratingOnLine(9.0, 1.0), 100);
    EXPECT_EQ(ratingOnLine(std::nullopt, 8.0), 0);
}

// ---------------------------------------------------------------- phrases

TEST(PhraseRule, CommonPhrasesPassAndChanceMeetingsDoNot) {
    PhraseEvidence iceCream;
    iceCream.wordZipf = 4.62;
    iceCream.wordnet = iceCream.gcide = true;
    iceCream.tagged = 1;
    iceCream.corpusCount = 61;
    iceCream.expectedCount = 0.03;
    EXPECT_GE(phraseRating(iceCream), 70);

    PhraseEvidence atEase;
    atEase.wordZipf = 4.3;
    atEase.gcide = true;
    atEase.corpusCount = 27;
    atEase.expectedCount = 0.7;
    EXPECT_GE(phraseRating(atEase), 50);

    // Common only because its words are: counted as often as chance says.
    PhraseEvidence andThen;
    andThen.wordZipf = 5.5;
    andThen.gcide = true;
    andThen.corpusCount = 300;
    andThen.expectedCount = 330;
    andThen.partial = true;
    EXPECT_LT(phraseRating(andThen), 50);
    andThen.partial = false;
    EXPECT_GT(phraseRating(andThen), 45); // the partial costs it 15
    EXPECT_EQ(phraseRating(andThen) - 15, [&] {
        PhraseEvidence p = andThen;
        p.partial = true;
        return phraseRating(p);
    }());

    // Only its own headword: at most 40, however common its words.
    PhraseEvidence waterDressing;
    waterDressing.wordZipf = 5.5;
    waterDressing.gcide = true;
    waterDressing.corpusCount = 1;
    waterDressing.expectedCount = 0.001;
    EXPECT_LE(phraseRating(waterDressing), 40);
    waterDressing.tagged = 1; // ... unless readers met it in the tagged texts
    EXPECT_GT(phraseRating(waterDressing), 40);
}

TEST(PhraseRule, LongerPhrasesPayForEachWordPastThree) {
    PhraseEvidence p;
    p.wordZipf = 5.0;
    p.wordnet = true;
    p.corpusCount = 10;
    p.expectedCount = 0.01;
    p.words = 3;
    const int three = phraseRating(p);
    p.words = 5;
    EXPECT_EQ(phraseRating(p), three - 10);
}

TEST(PhraseRule, PartialsByTheirFirstAndLastWords) {
    using W = std::vector<std::string>;
    EXPECT_TRUE(isPartialPhrase(W{"close", "to"}));
    EXPECT_TRUE(isPartialPhrase(W{"and", "then"}));
    EXPECT_TRUE(isPartialPhrase(W{"fall", "short", "of"}));
    EXPECT_FALSE(isPartialPhrase(W{"at", "ease"}));
    EXPECT_FALSE(isPartialPhrase(W{"give", "up"}));
    EXPECT_FALSE(isPartialPhrase(W{"one", "by", "one"}));
    EXPECT_FALSE(isPartialPhrase(W{"set", "in"}));
}

// ---------------------------------------------------------------- Italian

ItalianEvidence italian(std::optional<double> zipf, bool words, bool lemmas, bool affixes,
                        bool english = false, std::optional<double> englishZipf = std::nullopt,
                        WordKind kind = WordKind::Word) {
    ItalianEvidence e;
    e.zipf = zipf;
    e.englishZipf = englishZipf;
    e.inWords = words;
    e.inLemmas = lemmas;
    e.lemmaHasAffixes = affixes;
    e.english = english;
    e.kind = kind;
    return e;
}

TEST(ItalianRule, TheDefendedTable) {
    // Common words of the word list.
    EXPECT_GE(italianRating(italian(4.49, true, false, false)), 70); // POETA
    EXPECT_GE(italianRating(italian(4.08, true, false, false)), 70); // VUOTA
    // A rare form of the checked list is still a word: weak, not avoided.
    EXPECT_EQ(italianRating(italian(std::nullopt, true, false, false)), 40);
    // A staple lemma with forms (ALPE, Zipf 3.2).
    EXPECT_GE(italianRating(italian(3.2, false, true, true)), 50);
    // Bare Hunspell lemmas that are no words: RAZ, SFO.
    EXPECT_LT(italianRating(italian(2.58, false, true, false)), 30);
    EXPECT_LT(italianRating(italian(1.65, false, true, false)), 30);
    // ... while a bare loanword Italian writes often passes (BAR, GOL).
    EXPECT_GE(italianRating(italian(4.84, false, true, false, true, 4.9)), 50);
    EXPECT_GE(italianRating(italian(4.6, false, true, false)), 50);
    // English met in Italian text: MAN, NIT, SPRUE.
    EXPECT_EQ(italianRating(italian(4.58, false, true, false, true, 5.82)), EnglishInItalianRating);
    EXPECT_EQ(italianRating(italian(2.41, false, true, false, true, 3.09)), EnglishInItalianRating);
    EXPECT_EQ(italianRating(italian(1.38, false, true, false, true, 2.05)), EnglishInItalianRating);
    // An English word of the Italian word list is Italian (FILM, SPORT).
    EXPECT_GE(italianRating(italian(5.48, true, true, true, true, 5.5)), 50);
    // Only the English list: 0 whatever its frequency, the one score the
    // fill's steps never reach, while the rarest Italian form scores 1.
    EXPECT_EQ(italianRating(italian(6.0, false, false, false, true, 6.0)), 0);
    EXPECT_EQ(italianRating(italian(std::nullopt, false, true, false)), 1);
    EXPECT_EQ(italianRating(italian(std::nullopt, false, true, false, false, {}, WordKind::Name)),
              15);
    // Names and abbreviations by frequency alone.
    EXPECT_GE(italianRating(italian(5.63, true, true, true, false, {}, WordKind::Name)), 60);
    EXPECT_LT(italianRating(italian(3.0, false, true, false, false, {}, WordKind::Name)), 50);
    EXPECT_LT(italianRating(italian(3.5, false, true, false, false, {}, WordKind::Abbreviation)),
              50);
}

TEST(ItalianRule, EnglishInItalianNeedsALemmaOnly) {
    EXPECT_TRUE(englishInItalian(italian(4.58, false, true, false, true, 5.82)));
    EXPECT_FALSE(englishInItalian(italian(4.58, true, true, false, true, 5.82)));   // word list
    EXPECT_FALSE(englishInItalian(italian(4.58, false, true, false, false, 5.82))); // not English
    EXPECT_FALSE(englishInItalian(italian(5.5, false, true, false, true, 5.82)));   // a loanword
}

} // namespace
