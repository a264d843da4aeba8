// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// The scoring rule of the default sets: how good an entry is for a grid a
// constructor would publish, from 0 to 100, from what the word data says
// about it. The scale is meant to be read at one threshold:
//   50 and above  words and phrases of everyday fill;
//   30 to 49      acceptable but weak: crosswordese, well-known
//                 abbreviations, lesser names;
//   below 30      avoid: rare, archaic, obscure, not words, and in the
//                 Italian set English words.
// Frequency comes first (wordfreq's Zipf value: log10 of the occurrences per
// billion words); what the lists say about the word (SCOWL's size, which
// list holds it) says how much frequency it needs. Each rule is a straight
// line, 10 points a Zipf step, through the Zipf value at which the entry
// reaches 50. README.md gives the table with examples.

inline constexpr int LowestRating = 0;
inline constexpr int HighestRating = 100;
// The score of an entry the project decided to score as one to avoid
// (unpleasant or clinical words kept off the ban list).
inline constexpr int AvoidRating = 20;
// The score, in the Italian set, of a word only the English list holds (and
// of an English word Italian hardly uses): 0, the one score the fill's steps
// down from the minimum never reach, so that no English word gets into an
// Italian fill unless the user asks for minimum 0. Every Italian word scores
// at least ItalianLowestRating.
inline constexpr int EnglishInItalianRating = 0;
inline constexpr int ItalianLowestRating = 1;

// What solvers know the entry as.
enum class WordKind { Word, Name, Abbreviation };
std::string_view kindName(WordKind kind);

// The score of an entry of the given kind and Zipf value, which reaches 50
// at the Zipf value zipfAt50; an entry no frequency list holds counts as
// Zipf 0. Rounded, and kept within 0 to 100.
int ratingOnLine(std::optional<double> zipf, double zipfAt50);

// ---------------------------------------------------------------- English

// What SCOWL and wordfreq say about an English entry. A size is SCOWL's
// smallest size (10 to 80) of a list of that kind that holds the entry, 0
// when none does.
struct EnglishEvidence {
    std::optional<double> zipf;
    int wordsSize = 0;         // english-, american-, british-words
    int namesSize = 0;         // the upper-case and proper-name lists
    int abbreviationsSize = 0; // the abbreviation lists
};

// The kind of the list of the smallest size that holds the entry (a word
// before a name before an abbreviation at the same size): BILL and MAN are
// words, PARIS (a word only at size 80) is a name, NASA an abbreviation.
WordKind englishKind(const EnglishEvidence& e);

// The Zipf value at which a word of the given SCOWL size reaches 50: the
// smaller (commoner) the size, the less frequent a form of it may be (an
// inflection of a common word is a good entry though rarely written).
double englishWordZipfAt50(int size);

// A word by its SCOWL size and frequency (englishWordZipfAt50); a name
// reaches 50 at Zipf 3.5 and an abbreviation at 4.0, whatever their size.
int englishRating(const EnglishEvidence& e);

// ---------------------------------------------------------------- phrases

// What WordNet, GCIDE and wordfreq say about a phrase (ICECREAM).
struct PhraseEvidence {
    // The lowest Zipf value of its words (0 when one has none): a phrase is
    // at most as familiar as its least familiar word.
    double wordZipf = 0;
    int words = 2;
    bool wordnet = false;
    bool gcide = false;
    int tagged = 0; // WordNet's tagged senses
    // Times it stands in the counted text (GCIDE's entries and WordNet's
    // glosses), less its own GCIDE headword.
    int corpusCount = 0;
    // Times its words would stand in a row in that text by chance, from
    // their frequencies: ANDTHEN is common only because its words are.
    double expectedCount = 0;
    // Begins with "and", "or", "of" and the like, or ends with a word that
    // leaves it unfinished ("to", "of", "the"): CLOSETO, ANDTHEN.
    bool partial = false;
};

// 10 + 6 x wordZipf (at most 5.5)
//    + 8 x log10(corpusCount / expectedCount), within -1 to 3, when counted
//      twice or more (a phrase, not a chance meeting of words)
//    + 4 x log10(1 + corpusCount)
//    + 5 when WordNet's tagged texts hold it, + 5 when WordNet and GCIDE both
//      list it; - 15 for a partial; - 5 for each word past three.
// A phrase counted less than twice and not tagged scores at most 40.
// ICECREAM scores 79, ATEASE 54, WATERDRESSING 33.
int phraseRating(const PhraseEvidence& e);

// Whether a phrase of these words (lower case) is a partial.
bool isPartialPhrase(const std::vector<std::string>& words);

// ---------------------------------------------------------------- Italian

// What the Italian lists and wordfreq say about an entry of the Italian set.
struct ItalianEvidence {
    std::optional<double> zipf;        // Italian frequency
    std::optional<double> englishZipf; // English frequency
    bool inWords = false;              // the Italian word list (witalian)
    bool inLemmas = false;             // a Hunspell lemma (hunspell-it)
    bool lemmaHasAffixes = false;      // ... with affix flags, so a word with forms
    bool english = false;              // an English word (wbritish or SCOWL's words)
    // Written only with a capital first letter (a name), or only in capitals
    // (an abbreviation), in the Italian lists.
    WordKind kind = WordKind::Word;
};

// Whether an entry that only Hunspell's lemmas hold, and that is an English
// word, is English met in Italian text rather than an Italian loanword: it is
// when Italian text writes it less than a third as often as English text does
// (MAN, NIT, SPRUE; not BAR, SPORT or VIP).
bool englishInItalian(const ItalianEvidence& e);

// A word of no Italian list, or English met in Italian text, scores
// EnglishInItalianRating. A name reaches 50 at Zipf 3.5, an abbreviation at
// 4.0. A word of the Italian word list reaches 50 at Zipf 2.0 and never scores
// under 40 (the list is checked: a rare form of it is still a word); a
// Hunspell lemma with affix flags, at 2.5; a bare Hunspell lemma (no flags,
// in no word list: abbreviations, clipped forms, foreign words) rises 15
// points a Zipf step and reaches 50 at Zipf 4.0. No Italian word scores under
// ItalianLowestRating.
int italianRating(const ItalianEvidence& e);

} // namespace korvel
