// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace korvel {

// The meanings of crossword entries, from a definitions file made at build
// time for one language (see DefinitionsWriter): English from WordNet 3.0
// and GCIDE, Italian from ItalWordNet and MultiWordNet (with the English
// WordNet gloss of a sense that has no Italian definition).

// Where a meaning comes from, as the file records it.
enum class DefinitionSource : char {
    WordNet = 'w',
    Gcide = 'g',
    ItalWordNet = 'i',
    MultiWordNet = 'm',
};

// One meaning of a headword.
struct Meaning {
    // The headword as written ("ice cream", "casa", "Neapolitan ice cream").
    std::string headword;
    // Its part of speech as the source abbreviates it: "n", "v", "adj",
    // "adv", or GCIDE's own ("n.", "v. t."); may be empty.
    std::string partOfSpeech;
    DefinitionSource source = DefinitionSource::WordNet;
    // The text is English where the headword is Italian (no Italian
    // definition of that sense is known).
    bool english = false;
    // UTF-8, one line.
    std::string text;

    friend bool operator==(const Meaning&, const Meaning&) = default;
};

// The meanings found for an entry, headword by headword: first the entry's
// own headwords (its letters exactly, "ICECREAM" giving "ice cream"), then
// those it is a form of (a plural, a verb form: "CASES" giving "case").
struct EntryMeanings {
    std::string key;   // the headword's letters, as the grid holds them
    bool form = false; // the entry is a form of this headword
    std::vector<Meaning> meanings;
};

// The letters of a headword as a grid holds them: upper-case A to Z, accents
// to their base letter, with the blanks, hyphens, apostrophes and full stops
// of a phrase or an abbreviation left out ("ice cream" and "ice-cream" give
// ICECREAM, "perché" PERCHE, "o'clock" OCLOCK). Nothing when anything else
// remains (a digit, another script) or no letter does.
std::optional<std::string> definitionKey(std::string_view written);

// The headwords an entry may be a form of, most likely first, before they
// are looked for: the English rules of WordNet's morphology (plurals, verb
// and adjective endings: CASES -> CASE, TRIED -> TRY, BIGGER -> BIG) or, for
// Italian, the endings of nouns and adjectives (CASE -> CASA, AMICI ->
// AMICO, AMICHE -> AMICA, ROSSA -> ROSSO). Irregular forms are in the file
// itself. Never the entry, never twice.
std::vector<std::string> formCandidates(std::string_view entry, std::string_view language);

// A definitions file, opened read-only on first use, for lookups from any
// thread (one at a time: the lookups share one connection behind a lock).
// Opening reads no more than the file's header, and a lookup a few pages,
// so a book may be made at start-up and used at once.
class DefinitionBook {
public:
    // The name the file has beside the dictionaries of its language.
    static constexpr std::string_view FileName = "definitions.db";
    // The version of the file's layout this program reads.
    static constexpr int Format = 1;
    // The size of the blocks of entries the file compresses one by one.
    static constexpr std::size_t BlockBytes = 32 * 1024;

    // A book for path; nothing is read until the first lookup.
    explicit DefinitionBook(std::string path);
    ~DefinitionBook();
    DefinitionBook(const DefinitionBook&) = delete;
    DefinitionBook& operator=(const DefinitionBook&) = delete;

    const std::string& path() const { return path_; }

    // The meanings of an entry (upper-case letters as the grid holds them),
    // at most limit in all: its own headwords first, then those it is a
    // form of, each in the file's order (the commoner senses first). Empty
    // when the book knows none, or cannot be read (error then says why:
    // no such file, not a definitions file, a damaged one).
    std::vector<EntryMeanings> lookup(std::string_view entry, std::size_t limit,
                                      std::string* error = nullptr) const;

    // The language of the book ("en", "it"), "" before a lookup opened it
    // or when it cannot be read.
    std::string language() const;

private:
    bool openLocked(std::string& error) const;
    // The packed meanings of key, from the block that holds it (the last one
    // unpacked is kept).
    std::optional<std::string> entryData(const std::string& key, std::string& error) const;
    std::vector<std::string> formsOf(const std::string& key, std::string& error) const;

    std::string path_;
    mutable std::mutex mutex_;
    mutable sqlite3* db_ = nullptr;
    mutable bool tried_ = false;
    mutable std::string openError_;
    mutable std::string language_;
    mutable std::string blockFirst_; // the first key of the block unpacked last
    mutable std::string block_;
    struct Decoder;
    mutable std::unique_ptr<Decoder> decoder_;
};

// The definitions file of the first of folders that holds one (a regular
// file, or a link to one, named DefinitionBook::FileName), or "" when none
// does: the loaded set's own folder first, then the installed set of its
// language.
std::string findDefinitions(const std::vector<std::string>& folders);

// Meanings of an entry from several books in turn (the puzzle's language
// first, then another), each book's headwords after the previous ones'.
std::vector<EntryMeanings> lookupAll(const std::vector<const DefinitionBook*>& books,
                                     std::string_view entry, std::size_t limit);

// --- the file's contents, shared by the writer and the reader

// A block of the file, before compression, is each of its keys in order,
// followed by EntryEnd, its packed meanings and BlockEntryEnd.
inline constexpr char EntryEnd = '\x1D';
inline constexpr char BlockEntryEnd = '\x1C';

// The meanings of one key packed as the file holds them: for each meaning
// its headword, part of speech, source, the English flag and its text,
// separated by 0x1F, each meaning ended by 0x1E.
std::string packMeanings(const std::vector<Meaning>& meanings);
// Unpacks what packMeanings made; a damaged record is left out.
std::vector<Meaning> unpackMeanings(std::string_view packed);

} // namespace korvel
