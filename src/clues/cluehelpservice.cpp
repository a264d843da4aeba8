// SPDX-License-Identifier: GPL-3.0-or-later
#include "cluehelpservice.h"

namespace korvel {

SerialWorker::SerialWorker() : thread_([this] { run(); }) {}

SerialWorker::~SerialWorker() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void SerialWorker::post(std::function<void()> job) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void SerialWorker::run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || !jobs_.empty(); });
            // What is queued still runs: a memory write must not be lost to
            // the program ending.
            if (jobs_.empty())
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

ClueHelpService::ClueHelpService(std::string memoryFolder, int busyMs)
    : memoryFolder_(std::move(memoryFolder)), busyMs_(busyMs) {}

ClueHelpService::~ClueHelpService() {
    closing_ = true;
}

void ClueHelpService::setDefinitions(const std::vector<std::string>& paths) {
    std::vector<std::shared_ptr<const DefinitionBook>> books;
    for (const std::string& p : paths)
        if (!p.empty())
            books.push_back(std::make_shared<const DefinitionBook>(p));
    const std::lock_guard<std::mutex> lock(booksMutex_);
    books_ = std::move(books);
}

bool ClueHelpService::hasDefinitions() const {
    const std::lock_guard<std::mutex> lock(booksMutex_);
    return !books_.empty();
}

ClueMemory* ClueHelpService::memory(std::string& error) {
    if (!memory_)
        memory_ = ClueMemory::open(memoryFolder_, error, busyMs_);
    return memory_.get();
}

void ClueHelpService::pastClues(std::string answer, std::size_t limit, CluesDone done) {
    const uint64_t mine = ++pastGeneration_;
    memoryWorker_.post([this, mine, answer = std::move(answer), limit, done = std::move(done)] {
        if (closing_ || pastGeneration_ != mine)
            return;
        std::string error;
        std::vector<RememberedClue> clues;
        if (ClueMemory* m = memory(error))
            clues = m->pastClues(answer, limit, error);
        if (pastGeneration_ == mine)
            done(std::move(clues), std::move(error));
    });
}

void ClueHelpService::search(std::string words, std::size_t limit, CluesDone done) {
    const uint64_t mine = ++searchGeneration_;
    memoryWorker_.post([this, mine, words = std::move(words), limit, done = std::move(done)] {
        if (closing_ || searchGeneration_ != mine)
            return;
        std::string error;
        std::vector<RememberedClue> clues;
        if (ClueMemory* m = memory(error))
            clues = m->search(words, limit, error);
        if (searchGeneration_ == mine)
            done(std::move(clues), std::move(error));
    });
}

void ClueHelpService::meanings(std::string entry, std::size_t limit, MeaningsDone done) {
    const uint64_t mine = ++meaningsGeneration_;
    std::vector<std::shared_ptr<const DefinitionBook>> books;
    {
        const std::lock_guard<std::mutex> lock(booksMutex_);
        books = books_;
    }
    definitionsWorker_.post([this, mine, books = std::move(books), entry = std::move(entry), limit,
                             done = std::move(done)] {
        if (closing_ || meaningsGeneration_ != mine)
            return;
        std::vector<EntryMeanings> found;
        std::string error;
        std::size_t count = 0;
        for (const auto& book : books) {
            if (count >= limit)
                break;
            std::string bookError;
            for (EntryMeanings& e : book->lookup(entry, limit - count, &bookError)) {
                count += e.meanings.size();
                found.push_back(std::move(e));
            }
            if (!bookError.empty() && error.empty())
                error = book->path() + ": " + bookError;
        }
        if (meaningsGeneration_ == mine)
            done(std::move(found), std::move(error));
    });
}

void ClueHelpService::remember(PuzzleClues puzzle, WriteDone done) {
    memoryWorker_.post([this, puzzle = std::move(puzzle), done = std::move(done)] {
        std::string error;
        if (ClueMemory* m = memory(error))
            if (!m->remember(puzzle, error) && error.empty())
                error = "the clue memory was not written";
        if (done)
            done(std::move(error));
    });
}

void ClueHelpService::forget(std::string place, WriteDone done) {
    memoryWorker_.post([this, place = std::move(place), done = std::move(done)] {
        std::string error;
        if (ClueMemory* m = memory(error))
            if (!m->forget(place, error) && error.empty())
                error = "the clue memory was not written";
        if (done)
            done(std::move(error));
    });
}

void ClueHelpService::puzzles(PuzzlesDone done) {
    memoryWorker_.post([this, done = std::move(done)] {
        if (closing_)
            return;
        std::string error;
        std::vector<RememberedPuzzle> list;
        if (ClueMemory* m = memory(error))
            list = m->puzzles(error);
        done(std::move(list), std::move(error));
    });
}

} // namespace korvel
