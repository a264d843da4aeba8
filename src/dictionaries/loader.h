// SPDX-License-Identifier: GPL-3.0-or-later
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
    // The same failure with what the fixed message leaves out: the file and
    // the cause ("base.diz in /home/me/words/ is a FIFO"). The loader calls
    // this one; an observer with no place for the detail keeps the default.
    virtual void fatalWithDetail(const std::string& title, const std::string& message,
                                 const std::string& detail) {
        (void)detail;
        fatal(title, message);
    }
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
    // Why the library could not be used, for the fatal message's detail.
    std::string error = {};
};

enum class LoadResult { Ok, MissingBase, LibraryErrors };

// The names of the dictionary files in folder, numbered as the loader numbers
// them: base.diz (exact name) first, then the other files whose extension is
// .diz in any case, then those with .dic in any case, each group in byte
// order of the names. Index 0 of the result is dictionary 1. Only regular
// files (or links to them) count. A folder that cannot be listed gives none.
// A file with a dictionary's name that is no regular file (a FIFO, a
// folder, a dangling link, a loop of links) is left out; when skipped is given
// it gets each such name with the reason ("is a FIFO").
struct SkippedFile {
    std::string name;
    std::string cause;
};
std::vector<std::string> scanDictionaryFolder(const std::string& folder,
                                              std::vector<SkippedFile>* skipped = nullptr);

// Why the folder entry at path is no regular file to read, for a warning
// after its name: "is a FIFO", "is a link that leads nowhere".
std::string specialCause(const std::string& path);

// What normalizeList found in a list's text.
struct ListCheck {
    bool lfOnly = false;  // lines ended in LF alone; they now end in CR LF
    uint64_t leftOut = 0; // lines left out for holding a lone CR, a lone LF or a NUL
    std::string cause;    // why, in words, when leftOut > 0
};

// Makes text a list of lines as every scan reads them, so that no line holds
// a CR, an LF or a NUL byte: a list whose lines end in LF alone (no CR
// anywhere, the usual hand-made list on this system) gets CR LF ends; then
// every CR LF line that still holds a CR, an LF or a NUL is left out. A CR LF
// list without such bytes stays byte for byte as it was.
ListCheck normalizeList(std::string& text);

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
// are empty or start outside "@" to "Z" are not indexed; what normalizeList
// changes is warned about once per dictionary; files with a dictionary's name
// that are no regular files are skipped with a warning.
//
// Temporary lists are read and deleted only inside a list folder that is a
// real folder (not a link) of the user's own, closed to group and others;
// otherwise nothing in it is touched and the dictionary stays empty (after a
// successful call) or the failure stands alone (after a failing one). Each
// library call with the read and removal of its list holds the folder's lock
// (see TempListFolder), so concurrent loads never see each other's lists; the
// first one also sweeps the scratch files of loads that died.
LoadResult loadDictionaries(DictionaryStore& store, std::string_view folder,
                            const CompanionCall& companion,
                            const std::function<void()>& yieldPerLine, LoadObserver& observer);

// The letter index and order check of dictionary i over its text (already in
// the store): sets LetterStart[i], reports each out-of-sequence line and
// returns what it could not index as warnings.
void indexDictionary(DictionaryStore& store, int i, const std::function<void()>& yieldPerLine,
                     LoadObserver& observer);

} // namespace korvel
