// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "definitions.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// Making a definitions file at build time: the readers of the sources'
// own formats, and the writer of the file DefinitionBook reads. Nothing
// here runs in the program.

// Collects meanings by key (definitionKey of their headword) and the forms
// that lead to other keys, and writes them as a definitions file.
class DefinitionsWriter {
public:
    explicit DefinitionsWriter(std::string language) : language_(std::move(language)) {}

    // Adds a meaning under its headword's key (headwords without one are
    // left out); the same text twice under one key is kept once. At most
    // maxPerKey meanings a key are kept, the first ones.
    void add(Meaning meaning);
    void setMaxPerKey(std::size_t n) { maxPerKey_ = n; }
    // Records that form (as written) is a form of lemma (as written); kept
    // only when the lemma's key has meanings by the time the file is
    // written and differs from the form's.
    void addForm(std::string_view form, std::string_view lemma);
    bool hasKey(const std::string& key) const { return entries_.count(key) != 0; }

    std::size_t keys() const { return entries_.size(); }
    std::size_t meanings() const;

    // Writes the file, replacing any at path: the entries compressed with a
    // dictionary trained on them, in key order, so the same input gives the
    // same bytes. attribution names the sources for the file's readers.
    bool write(const std::string& path, const std::string& attribution, std::string& error) const;

private:
    std::string language_;
    std::size_t maxPerKey_ = 60;
    std::map<std::string, std::vector<Meaning>> entries_;
    std::map<std::string, std::vector<std::string>> forms_;
};

// --- WordNet 3.0 (Debian's wordnet-base: index.*, data.*, *.exc)

struct WordNetSynset {
    std::vector<std::string> words; // as written, "_" between the words of a phrase
    std::string gloss;              // the definition, without the examples
};

struct WordNet {
    // By "offset-p" (p: n, v, a, r; satellites are "a" too), as OMW names them.
    std::map<std::string, WordNetSynset> synsets;
    // Each lemma of the index files with its synsets, commonest first: the
    // nouns, then the verbs, the adjectives and the adverbs.
    struct Lemma {
        std::string lemma;
        char pos = 'n';
        std::vector<std::string> synsets;
    };
    std::vector<Lemma> lemmas;
    // Irregular forms of the exception lists: form, lemma.
    std::vector<std::pair<std::string, std::string>> exceptions;
};

// Reads one data.<pos> file (pos: n, v, a, r) into wn.synsets.
void readWordNetData(std::string_view text, char pos, WordNet& wn);
// Reads one index.<pos> file into wn.lemmas.
void readWordNetIndex(std::string_view text, char pos, WordNet& wn);
// Reads one <pos>.exc file into wn.exceptions.
void readWordNetExceptions(std::string_view text, WordNet& wn);

// The English meanings of WordNet: every lemma's glosses, headed by the
// lemma as its synset writes it; the exceptions as forms.
void addWordNet(DefinitionsWriter& out, const WordNet& wn);

// --- GCIDE (Debian's dict-gcide: the dictd index and the text it points into)

struct GcideEntry {
    std::string headword;
    std::string partOfSpeech;
    std::vector<std::string> senses;
    // Phrases defined inside the entry ("{Ice cream}, cream ...").
    std::vector<std::pair<std::string, std::vector<std::string>>> phrases;
};

// The definitions of one dictd article: its numbered senses (or its one
// unnumbered definition), without etymology, quotations, notes, synonyms or
// source marks; GCIDE's escapes ("[ae]", "['e]") as the letters they stand
// for. An article that only repeats WordNet 1.5 gives nothing.
GcideEntry parseGcideArticle(std::string_view article);

// Every article of the dictd index (headword TAB offset TAB length, in
// dictd's base 64) in the uncompressed text, each once.
std::vector<GcideEntry> readGcide(std::string_view index, std::string_view text);

void addGcide(DefinitionsWriter& out, const std::vector<GcideEntry>& entries,
              std::size_t maxSenses);

// --- Open Multilingual Wordnet tab files (ItalWordNet, MultiWordNet)

struct OmwRecord {
    std::string synset; // "07614500-n"
    std::string kind;   // "ita:lemma", "ita:def", ...
    std::string value;
};
std::vector<OmwRecord> readOmw(std::string_view text);

// The Italian meanings: each lemma of the files with, for each of its
// senses, the Italian definition the files give (ItalWordNet's first), or
// else the English gloss of the sense's WordNet synset, marked English.
void addItalian(DefinitionsWriter& out, const std::vector<OmwRecord>& italWordNet,
                const std::vector<OmwRecord>& multiWordNet, const WordNet& wn);

} // namespace korvel
