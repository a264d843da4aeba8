// SPDX-License-Identifier: GPL-3.0-or-later
// Times the clue help: lookups of definitions in the shipped files (the
// first one after opening, then one entry after another, as a constructor
// moves through a grid), and the clue memory's reads and writes, each beside
// its floor in one run: a plain SQLite point query on the same file, and
// the write of the same puzzle's .ipuz through the checked writer.
//
//   bench_definitions DIR WORDS [COUNT]
//
// DIR is a dictionaries folder that holds definitions.db with en/ beside it
// (build/dictionaries); WORDS a plain list, one entry a line (the entries of
// a grid as the window asks for them: upper-case letters), of which COUNT
// (default 5000) are taken evenly. Prints one row per measurement.

#include "benchsupport.h"
#include "cluememory.h"
#include "definitions.h"
#include "ipuzfile.h"
#include "puzzleread.h"
#include "replacefile.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace korvel;
using namespace korvel::bench;

namespace {

std::vector<std::string> sample(const std::string& path, std::size_t count) {
    std::ifstream in(path);
    std::vector<std::string> all;
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (line.size() >= 2 && definitionKey(line))
            all.push_back(*definitionKey(line));
    }
    std::vector<std::string> out;
    const std::size_t step = std::max<std::size_t>(1, all.size() / std::max<std::size_t>(1, count));
    for (std::size_t i = 0; i < all.size() && out.size() < count; i += step)
        out.push_back(all[i]);
    return out;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

void row(const std::string& what, const std::vector<double>& us, std::size_t found) {
    std::printf("%-46s n=%-6zu found=%-6zu median %8.1f us  p99 %8.1f us  max %8.1f us\n",
                what.c_str(), us.size(), found, median(us), percentile(us, 0.99),
                us.empty() ? 0.0 : *std::max_element(us.begin(), us.end()));
}

void lookups(const std::string& label, const std::string& file,
             const std::vector<std::string>& entries) {
    // The first lookup opens the file.
    {
        DefinitionBook book(file);
        const auto t0 = Clock::now();
        const std::size_t n = book.lookup(entries.empty() ? "CASA" : entries.front(), 30).size();
        std::printf("%-46s %8.2f ms (%zu headwords)\n", (label + ": open + first lookup").c_str(),
                    msSince(t0), n);
    }
    DefinitionBook book(file);
    book.lookup("A", 1);
    std::vector<double> us;
    std::size_t found = 0;
    for (const std::string& e : entries) {
        const auto t0 = Clock::now();
        found += book.lookup(e, 30).empty() ? 0 : 1;
        us.push_back(msSince(t0) * 1000);
    }
    row(label + ": lookup of an entry (30 meanings)", us, found);

    // The floor: one point query on the same file, nothing unpacked.
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT first FROM block WHERE first <= ?1 ORDER BY first DESC LIMIT 1",
                       -1, &st, nullptr);
    std::vector<double> floor;
    for (const std::string& e : entries) {
        const auto t0 = Clock::now();
        sqlite3_bind_text(st, 1, e.c_str(), -1, SQLITE_STATIC);
        sqlite3_step(st);
        sqlite3_reset(st);
        floor.push_back(msSince(t0) * 1000);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    row(label + ": baseline, one SQLite point query", floor, entries.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_definitions DIR WORDS [COUNT]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const std::vector<std::string> entries =
        sample(argv[2], argc > 3 ? static_cast<std::size_t>(std::atol(argv[3])) : 5000);
    std::printf("%zu entries of %s\n", entries.size(), argv[2]);
    lookups("Italian", dir + "/definitions.db", entries);
    lookups("English", dir + "/en/definitions.db", entries);

    // The clue memory: a user's memory of 200 puzzles of 78 clues, then one
    // more puzzle remembered on a save, and the reads the panel makes.
    char pattern[] = "/tmp/korvel-bench-memory-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    std::string error;
    std::unique_ptr<ClueMemory> memory = ClueMemory::open(folder, error);
    if (!memory) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const auto puzzleOf = [&](std::size_t k) {
        PuzzleClues p{"/puzzles/" + std::to_string(k) + ".ipuz",
                      "Puzzle " + std::to_string(k),
                      static_cast<int64_t>(k),
                      {}};
        for (std::size_t i = 0; i < 78; ++i) {
            const std::string& answer = entries[(k * 78 + i) % entries.size()];
            p.clues.emplace_back(answer, "A clue for " + answer + " written in puzzle " +
                                             std::to_string(k));
        }
        return p;
    };
    for (std::size_t k = 0; k < 200; ++k)
        memory->remember(puzzleOf(k), error);
    std::vector<double> save;
    std::vector<double> ipuz;
    Puzzle grid;
    grid.grid = GridModel::make(15, 15);
    for (std::size_t k = 200; k < 220; ++k) {
        auto t0 = Clock::now();
        memory->remember(puzzleOf(k), error);
        save.push_back(msSince(t0) * 1000);
        t0 = Clock::now();
        replaceFile(folder + "/puzzle.ipuz", writeIpuz(grid, "Puzzle"), error);
        ipuz.push_back(msSince(t0) * 1000);
    }
    row("memory: remember a puzzle of 78 clues", save, save.size());
    row("memory: baseline, save a 15x15 .ipuz", ipuz, ipuz.size());
    std::vector<double> past;
    std::size_t found = 0;
    for (std::size_t i = 0; i < 2000 && i < entries.size(); ++i) {
        const auto t0 = Clock::now();
        found += memory->pastClues(entries[i], 20, error).empty() ? 0 : 1;
        past.push_back(msSince(t0) * 1000);
    }
    row("memory: past clues of an answer (15,600 held)", past, found);
    std::vector<double> search;
    found = 0;
    for (const char* words : {"clue", "written puzzle 1", "zzz", "a", "puzzle 19"}) {
        const auto t0 = Clock::now();
        found += memory->search(words, 50, error).size();
        search.push_back(msSince(t0) * 1000);
    }
    row("memory: search by words (50 shown)", search, found);
    memory.reset();
    std::filesystem::remove_all(folder);
    return 0;
}
