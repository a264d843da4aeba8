#pragma once

#include "dictionarystore.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// Titles and texts the loader reports; the window shows them as message boxes.
inline constexpr std::string_view LoadErrorTitle = "Error ...";
inline constexpr std::string_view MissingBaseText =
    "... mandatory dictionary is missing: base.diz !";
inline constexpr std::string_view LibraryErrorsText =
    "... errors while loading dictionaries *.diz !";
inline constexpr std::string_view OutOfSequenceTitle = "Attention...";
inline constexpr std::string_view BaseDictionaryName = "base.diz";

// Largest dictionary file (or decoded list) the loader reads. Keeps every
// position within the 32-bit LetterStart entries and the line index.
inline constexpr uint64_t MaxDictionaryBytes = 512ull * 1024 * 1024;

// "This item <line> is out of sequence" CR LF "and might compromise ...".
std::string outOfSequenceText(std::string_view line);

// Receives what the loader has to tell the user, in order.
class LoadObserver {
public:
    virtual ~LoadObserver() = default;
    // One call per line that sorts before the line above it: the full box
    // text (title OutOfSequenceTitle, OK button). Loading goes on afterwards.
    virtual void outOfSequence(const std::string& message) = 0;
    // Something the loader skipped so that it could go on: a surplus file, an
    // unreadable file, lines it could not index. Loading goes on.
    virtual void warning(const std::string& message) = 0;
    // A failure that ends the program; the loader returns right after it.
    virtual void fatal(const std::string& title, const std::string& message) = 0;
};

// The companion library as the loader sees it. The real one comes from
// CompanionLibrary (src/platform); tests give fakes. For example:
//     CompanionLibrary lib;
//     CompanionCall call{lib.tempFolder(),
//         [&](const std::string& f, const std::vector<std::string>& n) {
//             return lib.setup(f, n, lib.tempFolder()); },
//         [&](int16_t i) { return lib.MYFUNC(i); }};
struct CompanionCall {
    // Folder in which MYFUNC leaves the plain lists (see tempListPath).
    std::string tempFolder;
    // Called once after the folder scan, before the first MYFUNC, with the
    // dictionaries folder and the names of dictionaries 1 to count. Returns
    // the number of errors; may be empty when the library needs no setup.
    std::function<int16_t(const std::string& dictFolder, const std::vector<std::string>& names)>
        setup;
    // MYFUNC(i): errors met while preparing the list of dictionary i; an
    // empty function counts as a library that could not be loaded.
    std::function<int16_t(int16_t)> MYFUNC;
};

enum class LoadResult { Ok, MissingBase, LibraryErrors };

// The names of the dictionary files in folder, numbered as the loader numbers
// them: base.diz (exact name) first, then the other files whose extension is
// .diz in any case, then those with .dic in any case, each group in byte
// order of the names. Index 0 of the result is dictionary 1. Only regular
// files (or links to them) count. A folder that cannot be listed gives none.
std::vector<std::string> scanDictionaryFolder(const std::string& folder);

// Loads the dictionaries of folder into store, which is reset first: scan,
// the library call for each name ending in ".diz" (case-sensitive), one whole
// read per file, removal of the temporary list (whether the read worked or
// not), then the letter index and the order check. yieldPerLine runs once for
// every line the check walks. Without base.diz, or when the library reports
// errors, observer.fatal gets the message and the result says which.
//
// Where the old rules had no answer the loader warns and goes on: only the
// first 7 files are loaded; a file that cannot be read, or a temporary list
// missing after a successful call, leaves that dictionary empty; lines that
// are empty or start outside "@" to "Z" are not indexed.
//
// Temporary lists are read and deleted only inside a list folder that is a
// real folder (not a link) closed to group and others; otherwise nothing in
// it is touched and the dictionary stays empty (after a successful call) or
// the failure stands alone (after a failing one).
LoadResult loadDictionaries(DictionaryStore& store, std::string_view folder,
                            const CompanionCall& companion,
                            const std::function<void()>& yieldPerLine, LoadObserver& observer);

// The letter index and order check of dictionary i over its text (already in
// the store): sets LetterStart[i], reports each out-of-sequence line and
// returns what it could not index as warnings.
void indexDictionary(DictionaryStore& store, int i, const std::function<void()>& yieldPerLine,
                     LoadObserver& observer);

} // namespace korvel
