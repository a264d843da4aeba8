// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace korvel {

// What WordNet 3.0 says about one lemma, over its parts of speech.
struct WordNetLemma {
    int senses = 0; // senses in all parts of speech (index files)
    // Senses tagged in the semantic concordance (index files): how often
    // readers of the tagged texts met the lemma; 0 for most lemmas.
    int tagged = 0;
    // Written with a capital letter in some synset (data files): a name
    // ("New_York"), a taxon ("Quercus_alba", "genus_Quercus") or a word
    // formed on one ("French_fries").
    bool capitalized = false;
};

// The lemmas and glosses of the WordNet files. Lemmas are keyed as the index
// files write them: lower case, words joined by "_" ("ice_cream").
struct WordNet {
    std::unordered_map<std::string, WordNetLemma> lemmas;
    // Every gloss, one a line: running English text for counting phrases.
    std::string glosses;
};

// Reads one index file (index.noun, index.verb, index.adj, index.adv):
// "lemma pos synset_cnt p_cnt [ptr_symbol...] sense_cnt tagsense_cnt
// synset_offset..." lines; the licence lines (starting with blanks) and lines
// that do not parse are passed over.
void readWordNetIndex(std::string_view text, WordNet& wordnet);

// Reads one data file (data.noun, ...): the lemmas of each synset as written
// (with their case) and its gloss, the text after "|".
void readWordNetData(std::string_view text, WordNet& wordnet);

} // namespace korvel
