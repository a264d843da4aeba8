// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The fill's prebuilt word index: the words of a dictionaries folder with
// their scores, written once (at build time, `korvel-fill --write-index`)
// beside the lists it was made from, so that a fill need not load the lists,
// read the score lists and build the index every time it starts.
//
// The file is never trusted blindly. It names every list it was made from
// (each dictionary the loader would load, each score list, with its size and
// a hash of its bytes) and is used only while the folder holds exactly those
// lists with exactly those bytes; its own bytes carry a hash too, and every
// count, letter, order and score is checked before a word of it is used. A
// stale, damaged or foreign file is ignored: the caller builds the index
// from the lists as before, and the words, ids and scores are the same
// either way.

#include "wordindex.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// The file's name in the dictionaries folder: no dictionary (*.diz, *.dic)
// and no score list (*.scores), so neither loading takes it for one.
inline constexpr std::string_view FillIndexName = "base.fillindex";
// Largest index file read: far above what 512 MiB of lists give.
inline constexpr uint64_t MaxFillIndexBytes = 1ull << 30;

// 64 bits of the bytes, the same on every machine: enough to tell a changed
// list or a damaged file from the one the index was made from (no defence
// against a file made to collide on purpose, which the folder's owner could
// as well write as a word list).
uint64_t hashBytes(std::string_view bytes);

// One list the index was made from.
struct IndexSource {
    // Passed: a name the loading passes over with a warning (no regular
    // file, no list name, past the seventh dictionary), kept so that the
    // warnings stay those the index recorded; its size and hash are 0.
    enum class Kind : uint8_t { Dictionary = 1, ScoreList = 2, Passed = 3 };
    Kind kind = Kind::Dictionary;
    std::string name; // the file's name in the folder
    uint64_t size = 0;
    uint64_t hash = 0;
    bool operator==(const IndexSource&) const = default;
};

// The lists of folder that the loader and the score reading would read now,
// in their order (dictionaries as scanDictionaryFolder numbers them, the
// first MaxDictionaries; then the score lists in reading order), each read
// whole (bounded, regular files only) and hashed, and the names they pass
// over. Nothing, with why, when a list cannot be read.
std::optional<std::vector<IndexSource>> folderSources(const std::string& folder, std::string& why);

// What an index file holds. The words point into the bytes it was read
// from.
struct FillIndexContents {
    DictionarySelection take{};
    bool hasScores = false;
    std::vector<IndexSource> sources;
    // What loading the lists and reading the score lists said when the
    // index was made (the same lists say the same every time).
    std::string messages;
    PackedIndex words{};
};

// The bytes of an index file for index, made from the dictionaries of take
// and the given sources.
std::string fillIndexBytes(const WordIndex& index, const DictionarySelection& take,
                           const std::vector<IndexSource>& sources, std::string_view messages);

// Reads an index file's bytes. False, with why, for anything but a whole,
// undamaged file of this format: wrong magic or version, a size or hash that
// does not match (skipped when checkHash is off, for the fuzzer to reach the
// rest), counts beyond the bytes, letters outside A to Z, words out of byte
// order or repeated, scores above 100, bytes left over.
bool parseFillIndex(std::string_view bytes, FillIndexContents& out, std::string& why,
                    bool checkHash = true);

// A prebuilt index ready for the fill.
struct PrebuiltIndex {
    WordIndex index;
    DictionarySelection take{};
    std::vector<IndexSource> sources;
    std::string messages;
};

// The index of folder's FillIndexName, when it is there, sound and made from
// exactly the lists the folder holds now; bannedWords are banned in it as
// build would ban them. Nothing, with why, otherwise. The file is mapped
// (one mmap) and unmapped before this returns; the words are copied out.
std::optional<PrebuiltIndex> loadPrebuiltIndex(const std::string& folder,
                                               const std::vector<std::string>& bannedWords,
                                               std::string& why);

} // namespace korvel
