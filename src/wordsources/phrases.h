// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "wordnet.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// An entry of several words written without blanks (ICECREAM, ATEASE), with
// what the sources say about it.
struct PhraseCandidate {
    std::string entry;              // folded, A to Z: "ICECREAM"
    std::vector<std::string> words; // lower case, as the phrase is read: "ice", "cream"
    bool wordnet = false;           // a WordNet lemma
    bool gcide = false;             // a GCIDE headword
    int tagged = 0;                 // WordNet's tagged senses
    int senses = 0;                 // WordNet's senses
    int corpusCount = 0;            // times its words stand in a row in the counted text
};

// Whether a word (lower case, A to Z) is an English word a solver reads as a
// word: a name or a Latin taxon word ("quercus", "alba") is not.
using IsEnglishWord = std::function<bool(std::string_view)>;

// The phrases of WordNet's multi-word lemmas (words joined by "_" or "-")
// and of GCIDE's headwords of several words. Left out: lemmas WordNet writes
// with a capital (names, taxa: "New_York", "genus_Quercus"), headwords with a
// capital past their first letter, anything with other characters than
// letters (digits, apostrophes, periods), and every phrase with a word that
// isEnglishWord refuses, which keeps out the Latin binomials and names GCIDE
// writes in lower case. A GCIDE verb idiom loses its "to" ("To lay waste":
// LAYWASTE). Phrases of 2 to 5 words and 3 to 25 letters; one candidate per
// entry, in byte order of the entries, with the evidence of both sources.
std::vector<PhraseCandidate> phraseCandidates(const WordNet& wordnet,
                                              const std::vector<std::string>& gcideHeadwords,
                                              const IsEnglishWord& isEnglishWord);

// Adds to each candidate's corpusCount the times its words stand in a row in
// text (any case; anything but a letter separates words).
void countPhrases(std::vector<PhraseCandidate>& phrases, std::string_view text);

} // namespace korvel
