// SPDX-License-Identifier: GPL-3.0-or-later
// The clue panel's work off the window's thread: a lookup asked for after a
// write sees it, writes queued when the program ends are not lost, a lookup
// overtaken by a newer one while the memory waited is never answered, a
// memory that cannot be opened says why and is opened once mended, and
// meanings come from the books in order, a missing book named.
#include "cluehelpservice.h"
#include "definitionsbuild.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <unistd.h>

using namespace korvel;
using namespace std::chrono_literals;

namespace {

class Scratch {
public:
    Scratch() {
        char pattern[] = "/tmp/korvel-cluehelp-XXXXXX";
        dir_ = ::mkdtemp(pattern);
    }
    ~Scratch() { std::filesystem::remove_all(dir_); }
    std::string folder() const { return dir_ + "/data/korvel"; }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

struct Clues {
    std::vector<RememberedClue> clues;
    std::string error;
};

// The answer of a lookup, waited for.
Clues pastClues(ClueHelpService& s, const std::string& answer) {
    std::promise<Clues> p;
    s.pastClues(answer, 10, [&](std::vector<RememberedClue> c, std::string e) {
        p.set_value({std::move(c), std::move(e)});
    });
    auto f = p.get_future();
    EXPECT_EQ(f.wait_for(10s), std::future_status::ready);
    return f.get();
}

std::string write(ClueHelpService& s, PuzzleClues puzzle) {
    std::promise<std::string> p;
    s.remember(std::move(puzzle), [&](std::string e) { p.set_value(std::move(e)); });
    auto f = p.get_future();
    EXPECT_EQ(f.wait_for(10s), std::future_status::ready);
    return f.get();
}

std::vector<std::string> texts(const std::vector<RememberedClue>& clues) {
    std::vector<std::string> out;
    for (const RememberedClue& c : clues)
        out.push_back(c.clue + "@" + c.place);
    return out;
}

} // namespace

TEST(ClueHelpService, LookupsSeeTheWritesBeforeThem) {
    Scratch s;
    ClueHelpService help(s.folder());
    // Not waited for: the lookups queued behind it must see it.
    help.remember({"/p/one.ipuz", "One", 100, {{"CATS", "Pets"}, {"BOYS", "Lads"}}}, nullptr);
    EXPECT_EQ(texts(pastClues(help, "CATS").clues), (std::vector<std::string>{"Pets@/p/one.ipuz"}));

    std::promise<Clues> found;
    help.search("lad", 10, [&](std::vector<RememberedClue> c, std::string e) {
        found.set_value({std::move(c), std::move(e)});
    });
    EXPECT_EQ(texts(found.get_future().get().clues),
              (std::vector<std::string>{"Lads@/p/one.ipuz"}));

    help.forget("/p/one.ipuz", nullptr);
    std::promise<std::vector<RememberedPuzzle>> listed;
    help.puzzles([&](std::vector<RememberedPuzzle> p, std::string) { listed.set_value(p); });
    EXPECT_TRUE(listed.get_future().get().empty());
    EXPECT_TRUE(pastClues(help, "CATS").clues.empty());
}

TEST(ClueHelpService, WritesQueuedAtTheEndAreKept) {
    Scratch s;
    {
        ClueHelpService help(s.folder());
        for (int i = 0; i < 5; ++i)
            help.remember({"/p/" + std::to_string(i) + ".kvl", "", 100 + i, {{"CATS", "Pets"}}},
                          nullptr);
        // Gone at once: the destructor finishes the writes.
    }
    std::string error;
    const auto memory = ClueMemory::open(s.folder(), error);
    ASSERT_TRUE(memory) << error;
    EXPECT_EQ(memory->pastClues("CATS", 10, error).size(), 5u);
}

TEST(ClueHelpService, AnOvertakenLookupIsNeverAnswered) {
    Scratch s;
    ClueHelpService help(s.folder(), 5000);
    ASSERT_EQ(write(help, {"/p/one.ipuz", "One", 100, {{"CATS", "Pets"}, {"DOGS", "Hounds"}}}), "");
    // Another copy of the program holds the memory: the next write waits,
    // and the lookups queue behind it.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((s.folder() + "/clue-memory.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::promise<std::string> written;
    help.remember({"/p/two.ipuz", "Two", 200, {{"CATS", "Felines"}}},
                  [&](std::string e) { written.set_value(e); });
    std::atomic<int> oldAnswers{0};
    help.pastClues("DOGS", 10, [&](std::vector<RememberedClue>, std::string) { ++oldAnswers; });
    std::promise<Clues> latest;
    help.pastClues("CATS", 10, [&](std::vector<RememberedClue> c, std::string e) {
        latest.set_value({std::move(c), std::move(e)});
    });
    std::this_thread::sleep_for(200ms);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(written.get_future().get(), "");
    // The newer lookup comes after the write and sees it.
    EXPECT_EQ(texts(latest.get_future().get().clues),
              (std::vector<std::string>{"Felines@/p/two.ipuz", "Pets@/p/one.ipuz"}));
    EXPECT_EQ(oldAnswers.load(), 0);
}

TEST(ClueHelpService, AFailedMemorySaysWhyAndIsOpenedOnceMended) {
    Scratch s;
    // A file where the memory's folder should be.
    std::filesystem::create_directories(s.path("data"));
    std::ofstream(s.folder()) << "not a folder";
    ClueHelpService help(s.folder());
    const std::string error = write(help, {"/p/one.ipuz", "One", 100, {{"CATS", "Pets"}}});
    EXPECT_NE(error, "");
    const Clues failed = pastClues(help, "CATS");
    EXPECT_TRUE(failed.clues.empty());
    EXPECT_NE(failed.error, "");

    std::filesystem::remove(s.folder());
    EXPECT_EQ(write(help, {"/p/one.ipuz", "One", 100, {{"CATS", "Pets"}}}), "");
    EXPECT_EQ(texts(pastClues(help, "CATS").clues), (std::vector<std::string>{"Pets@/p/one.ipuz"}));
}

TEST(ClueHelpService, MeaningsComeFromTheBooksInOrder) {
    Scratch s;
    auto book = [&](const std::string& name, const std::string& language,
                    const std::vector<std::string>& meanings) {
        DefinitionsWriter w(language);
        for (const std::string& m : meanings)
            w.add(Meaning{"gatto", "n", DefinitionSource::ItalWordNet, false, m});
        std::string error;
        EXPECT_TRUE(w.write(s.path(name), "test", error)) << error;
        return s.path(name);
    };
    const std::string first = book("first.db", "it", {"felino domestico", "persona furba"});
    const std::string second = book("second.db", "it", {"uno dei due"});
    ClueHelpService help(s.folder());
    EXPECT_FALSE(help.hasDefinitions());
    help.setDefinitions({first, "", s.path("missing.db"), second});
    EXPECT_TRUE(help.hasDefinitions());

    struct Found {
        std::vector<EntryMeanings> meanings;
        std::string error;
    };
    auto lookup = [&](const std::string& entry, std::size_t limit) {
        std::promise<Found> p;
        help.meanings(entry, limit, [&](std::vector<EntryMeanings> m, std::string e) {
            p.set_value({std::move(m), std::move(e)});
        });
        return p.get_future().get();
    };
    const Found all = lookup("GATTO", 10);
    std::vector<std::string> got;
    for (const EntryMeanings& e : all.meanings)
        for (const Meaning& m : e.meanings)
            got.push_back(m.text);
    EXPECT_EQ(got, (std::vector<std::string>{"felino domestico", "persona furba", "uno dei due"}));
    // The missing book is named; the others still answered.
    EXPECT_NE(all.error.find("missing.db"), std::string::npos) << all.error;

    // The limit counts meanings across the books.
    const Found two = lookup("GATTO", 2);
    ASSERT_EQ(two.meanings.size(), 1u);
    EXPECT_EQ(two.meanings[0].meanings.size(), 2u);
    EXPECT_TRUE(lookup("CANE", 10).meanings.empty());
}
