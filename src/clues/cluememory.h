// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "puzzle.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3;

namespace korvel {

// One clue as the memory gives it back: the answer it was written for (the
// grid's letters), its text, the puzzle it is in (its file, as the file
// system names it, and its title) and when it was first remembered there
// (seconds since 1970).
struct RememberedClue {
    std::string answer;
    std::string clue;
    std::string place;
    std::string title;
    int64_t when = 0;

    friend bool operator==(const RememberedClue&, const RememberedClue&) = default;
};

// A puzzle as the memory takes it: where it is, its title, when it was
// saved, and its clues, each with its answer.
struct PuzzleClues {
    std::string place;
    std::string title;
    int64_t when = 0;
    std::vector<std::pair<std::string, std::string>> clues; // answer, clue
};

// The clues of a puzzle worth remembering: each placed clue with a text on
// a word whose letters are all there (answer, clue), in slot order.
std::vector<std::pair<std::string, std::string>> cluesToRemember(const Puzzle& puzzle);

// A puzzle the memory holds clues of.
struct RememberedPuzzle {
    std::string place;
    std::string title;
    int64_t when = 0;
    int clues = 0;
};

// The constructor's own clues, kept per user in one file (an SQLite
// database) in the per-user data folder, so that a clue written once is
// offered again when its answer comes up in another puzzle. Copies of the
// program running at once share the file: every change is one transaction
// under SQLite's lock of the file, and a reader never sees half a change.
// A failure is returned, never thrown, and leaves the memory as it was; the
// caller saves its puzzle anyway and tells why the memory was not written.
// One object is used by one thread at a time.
class ClueMemory {
public:
    static constexpr std::string_view FileName = "clue-memory.db";

    // The per-user folder: $XDG_DATA_HOME/korvel, where an unset, empty or
    // relative XDG_DATA_HOME means $HOME/.local/share. Empty when neither
    // gives an absolute folder. Either may be null.
    static std::string folderFor(const char* xdgDataHome, const char* home);

    // Opens the memory in folder, made when missing (closed to others,
    // 0700; the file readable by its owner alone, 0600). A file of the name
    // that is no regular file, or no memory of this program, is refused.
    // Returns nothing, with error set, on failure. busyMs is how long a
    // change waits for another copy of the program to finish its own.
    static std::unique_ptr<ClueMemory> open(const std::string& folder, std::string& error,
                                            int busyMs = 2000);
    ~ClueMemory();
    ClueMemory(const ClueMemory&) = delete;
    ClueMemory& operator=(const ClueMemory&) = delete;

    const std::string& path() const { return path_; }

    // Remembers the puzzle's clues in place of what the memory held for its
    // place: a clue it held already keeps the time it was first
    // remembered, a new one gets puzzle.when, one the puzzle no longer has
    // is forgotten. A puzzle without clues is forgotten whole.
    bool remember(const PuzzleClues& puzzle, std::string& error);

    // The clues written for answer, the most recent first (then by place),
    // at most limit.
    std::vector<RememberedClue> pastClues(std::string_view answer, std::size_t limit,
                                          std::string& error) const;
    // The clues (and answers) holding every word of words at the start of
    // one of their words, case and accents aside ("citta" finds "Città"),
    // the most recent first, at most limit. Nothing for no word.
    std::vector<RememberedClue> search(std::string_view words, std::size_t limit,
                                       std::string& error) const;
    // Forgets every clue of the puzzle at place.
    bool forget(std::string_view place, std::string& error);
    // The puzzles it holds clues of, the most recently saved first.
    std::vector<RememberedPuzzle> puzzles(std::string& error) const;

private:
    ClueMemory(std::string path, sqlite3* db) : path_(std::move(path)), db_(db) {}
    // Runs sql with values bound in turn (as text, or as the bytes the
    // answers and places are kept as) and the limit after them.
    std::vector<RememberedClue> query(const char* sql, const std::vector<std::string>& values,
                                      std::size_t limit, std::string& error, bool text) const;

    std::string path_;
    sqlite3* db_ = nullptr;
};

// The words of a text as the memory searches them: folded to A to Z
// (accents to their base letter) and digits, each with a blank before and
// after (" CITTA DI CASTELLO ").
std::string searchWords(std::string_view text);

} // namespace korvel
