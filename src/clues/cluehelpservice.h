// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cluememory.h"
#include "definitions.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace korvel {

// Runs jobs one after another on a thread of its own, in the order they were
// posted. Destroying it runs what is still queued, then joins the thread.
class SerialWorker {
public:
    SerialWorker();
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    void post(std::function<void()> job);

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool quit_ = false;
    std::thread thread_;
};

// The clue panel's work, kept off the window's thread so that neither typing
// nor a save ever waits for a file: the constructor's clue memory (opened on
// first use, on the memory's own thread, and opened again after a failure,
// which may have been mended since) and the meanings of entries (from the
// definitions books, on a second thread, so that a memory waiting for
// another copy of the program never holds up a lookup).
//
// Every answer comes through a callback, called on one of the service's
// threads: the caller hands it on to its own. Of the lookups of one kind
// (past clues, meanings, searches) only the latest asked for is answered: a
// lookup that a newer one overtook before it ran is dropped unanswered.
// Memory writes (remember, forget) are never dropped, and a lookup asked for
// after a write sees it.
class ClueHelpService {
public:
    // memoryFolder: where the memory lives (ClueMemory::folderFor); busyMs,
    // how long a write waits for another copy of the program.
    explicit ClueHelpService(std::string memoryFolder, int busyMs = 2000);
    // Finishes the memory writes queued, drops the lookups.
    ~ClueHelpService();
    ClueHelpService(const ClueHelpService&) = delete;
    ClueHelpService& operator=(const ClueHelpService&) = delete;

    const std::string& memoryFolder() const { return memoryFolder_; }

    // The books meanings come from, in order (the loaded set's language
    // first); empty paths are left out. Takes effect for the next lookup.
    void setDefinitions(const std::vector<std::string>& paths);
    // Whether any book is set.
    bool hasDefinitions() const;

    // error is "" on success; otherwise why the memory could not be read or
    // written (nothing else happened then).
    using CluesDone = std::function<void(std::vector<RememberedClue> clues, std::string error)>;
    using MeaningsDone =
        std::function<void(std::vector<EntryMeanings> meanings, std::string error)>;
    using WriteDone = std::function<void(std::string error)>;
    using PuzzlesDone =
        std::function<void(std::vector<RememberedPuzzle> puzzles, std::string error)>;

    // The past clues of answer, the most recent first.
    void pastClues(std::string answer, std::size_t limit, CluesDone done);
    // The meanings of entry from the books, the first book's first; error
    // names a book that could not be read (the others' meanings still come).
    void meanings(std::string entry, std::size_t limit, MeaningsDone done);
    // Past clues holding every word of words (ClueMemory::search).
    void search(std::string words, std::size_t limit, CluesDone done);
    // Remembers a puzzle's clues in place of those held for its place.
    void remember(PuzzleClues puzzle, WriteDone done);
    // Forgets the clues of the puzzle at place.
    void forget(std::string place, WriteDone done);
    // The puzzles the memory holds clues of.
    void puzzles(PuzzlesDone done);

private:
    // The memory, opened when it is not; nullptr with error set on failure.
    // On the memory's thread only.
    ClueMemory* memory(std::string& error);

    std::string memoryFolder_;
    int busyMs_;
    std::unique_ptr<ClueMemory> memory_;

    mutable std::mutex booksMutex_;
    std::vector<std::shared_ptr<const DefinitionBook>> books_;

    // Bumped by each lookup of its kind: a lookup of an older one is dropped.
    std::atomic<uint64_t> pastGeneration_{0};
    std::atomic<uint64_t> meaningsGeneration_{0};
    std::atomic<uint64_t> searchGeneration_{0};
    // Declared last: their threads stop before what they use goes.
    std::atomic<bool> closing_{false};
    SerialWorker memoryWorker_;
    SerialWorker definitionsWorker_;
};

} // namespace korvel
