// SPDX-License-Identifier: GPL-3.0-or-later
// The clue memory: clues remembered through one handle and read through
// another (as after a restart), by copies of the program writing at the
// same time (processes of their own), searched by word, forgotten; and its
// failures through the real file system (a folder that cannot be written, a
// FIFO where the file should be, a database of something else).
#include "asnobody.h"
#include "cluememory.h"
#include "filesizelimit.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvel;

namespace {

class Scratch {
public:
    Scratch() {
        char pattern[] = "/tmp/korvel-memory-XXXXXX";
        dir_ = ::mkdtemp(pattern);
    }
    ~Scratch() {
        ::chmod(dir_.c_str(), 0700);
        std::filesystem::remove_all(dir_);
    }
    const std::string& dir() const { return dir_; }
    std::string folder() const { return dir_ + "/data/korvel"; }

private:
    std::string dir_;
};

std::unique_ptr<ClueMemory> open(const std::string& folder) {
    std::string error;
    std::unique_ptr<ClueMemory> m = ClueMemory::open(folder, error);
    EXPECT_TRUE(m) << error;
    return m;
}

PuzzleClues puzzle(std::string place, std::string title, int64_t when,
                   std::vector<std::pair<std::string, std::string>> clues) {
    return PuzzleClues{std::move(place), std::move(title), when, std::move(clues)};
}

// The clues as "CLUE@PLACE@WHEN", in the order given.
std::vector<std::string> shown(const std::vector<RememberedClue>& clues) {
    std::vector<std::string> out;
    for (const RememberedClue& c : clues)
        out.push_back(c.clue + "@" + c.place + "@" + std::to_string(c.when));
    return out;
}

} // namespace

TEST(ClueMemory, RememberedInOneHandleReadInAnother) {
    Scratch s;
    {
        auto m = open(s.folder());
        ASSERT_TRUE(m);
        std::string error;
        ASSERT_TRUE(m->remember(puzzle("/p/one.ipuz", "One", 100,
                                       {{"CASA", "Home, sweet home"}, {"GATTO", "Fa le fusa"}}),
                                error))
            << error;
        ASSERT_TRUE(m->remember(puzzle("/p/two.ipuz", "Two", 200, {{"CASA", "Dimora"}}), error));
    }
    // A new handle, as after a restart of the program.
    auto m = open(s.folder());
    ASSERT_TRUE(m);
    std::string error;
    EXPECT_EQ(
        shown(m->pastClues("CASA", 10, error)),
        (std::vector<std::string>{"Dimora@/p/two.ipuz@200", "Home, sweet home@/p/one.ipuz@100"}));
    EXPECT_EQ(error, "");
    const std::vector<RememberedClue> gatto = m->pastClues("GATTO", 10, error);
    ASSERT_EQ(gatto.size(), 1u);
    EXPECT_EQ(gatto[0].title, "One");
    EXPECT_EQ(gatto[0].answer, "GATTO");
    EXPECT_TRUE(m->pastClues("CANE", 10, error).empty());
    EXPECT_EQ(m->pastClues("CASA", 1, error).size(), 1u);

    // The folder is the user's alone, and so is the file.
    struct stat st {};
    ASSERT_EQ(::stat(s.folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(m->path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(ClueMemory, SavingAgainKeepsWhatStayedAndForgetsWhatWent) {
    Scratch s;
    auto m = open(s.folder());
    ASSERT_TRUE(m);
    std::string error;
    ASSERT_TRUE(
        m->remember(puzzle("/p/a.ipuz", "A", 100, {{"CASA", "Home"}, {"ORO", "Gold"}}), error));
    // The clue of ORO was rewritten, CASA's kept; the title changed.
    ASSERT_TRUE(m->remember(
        puzzle("/p/a.ipuz", "A, again", 300, {{"CASA", "Home"}, {"ORO", "Metal of kings"}}),
        error));
    EXPECT_EQ(shown(m->pastClues("CASA", 10, error)),
              std::vector<std::string>{"Home@/p/a.ipuz@100"});
    EXPECT_EQ(shown(m->pastClues("ORO", 10, error)),
              std::vector<std::string>{"Metal of kings@/p/a.ipuz@300"});
    EXPECT_EQ(m->pastClues("ORO", 10, error)[0].title, "A, again");
    // A puzzle saved without clues is forgotten.
    ASSERT_TRUE(m->remember(puzzle("/p/a.ipuz", "A", 400, {}), error));
    EXPECT_TRUE(m->puzzles(error).empty());
}

TEST(ClueMemory, SearchByWordsCaseAndAccentsAside) {
    Scratch s;
    auto m = open(s.folder());
    ASSERT_TRUE(m);
    std::string error;
    ASSERT_TRUE(m->remember(puzzle("/p/a.ipuz", "A", 100,
                                   {{"ROMA", "Citt\xC3\xA0 eterna"},
                                    {"MILANO", "La citt\xC3\xA0 della Madonnina"},
                                    {"PO", "Fiume lungo"}}),
                            error));
    ASSERT_TRUE(m->remember(puzzle("/p/b.ipuz", "B", 200, {{"TEVERE", "Fiume di Roma"}}), error));
    EXPECT_EQ(shown(m->search("citta", 10, error)),
              (std::vector<std::string>{"Citt\xC3\xA0 eterna@/p/a.ipuz@100",
                                        "La citt\xC3\xA0 della Madonnina@/p/a.ipuz@100"}));
    // Every word must start a word of the clue (or its answer).
    EXPECT_EQ(shown(m->search("FIUME ro", 10, error)),
              std::vector<std::string>{"Fiume di Roma@/p/b.ipuz@200"});
    EXPECT_EQ(
        shown(m->search("fiu", 10, error)),
        (std::vector<std::string>{"Fiume di Roma@/p/b.ipuz@200", "Fiume lungo@/p/a.ipuz@100"}));
    EXPECT_EQ(shown(m->search("tever", 10, error)),
              std::vector<std::string>{"Fiume di Roma@/p/b.ipuz@200"});
    EXPECT_TRUE(m->search("iume", 10, error).empty());
    EXPECT_TRUE(m->search("  ,. ", 10, error).empty());
    EXPECT_EQ(error, "");
}

TEST(ClueMemory, ForgettingAPuzzle) {
    Scratch s;
    auto m = open(s.folder());
    ASSERT_TRUE(m);
    std::string error;
    ASSERT_TRUE(m->remember(puzzle("/p/a.ipuz", "A", 100, {{"CASA", "Home"}}), error));
    ASSERT_TRUE(
        m->remember(puzzle("/p/b.ipuz", "B", 200, {{"CASA", "House"}, {"ORO", "Gold"}}), error));
    const std::vector<RememberedPuzzle> held = m->puzzles(error);
    ASSERT_EQ(held.size(), 2u);
    EXPECT_EQ(held[0].place, "/p/b.ipuz");
    EXPECT_EQ(held[0].clues, 2);
    ASSERT_TRUE(m->forget("/p/b.ipuz", error));
    EXPECT_EQ(shown(m->pastClues("CASA", 10, error)),
              std::vector<std::string>{"Home@/p/a.ipuz@100"});
    EXPECT_TRUE(m->pastClues("ORO", 10, error).empty());
    EXPECT_TRUE(m->search("gold", 10, error).empty());
    EXPECT_TRUE(m->forget("/p/never.ipuz", error));
}

TEST(ClueMemory, CopiesOfTheProgramWritingAtOnceLoseNothing) {
    Scratch s;
    ASSERT_TRUE(open(s.folder())); // made once; the copies then share it
    constexpr int Copies = 4;
    constexpr int Saves = 15;
    std::vector<pid_t> children;
    for (int k = 0; k < Copies; ++k) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::string error;
            std::unique_ptr<ClueMemory> m = ClueMemory::open(s.folder(), error, 20000);
            bool ok = m != nullptr;
            for (int i = 0; ok && i < Saves; ++i) {
                std::vector<std::pair<std::string, std::string>> clues;
                for (int j = 0; j <= i; ++j)
                    clues.emplace_back("WORD" + std::string(1, char('A' + j)),
                                       "Clue " + std::to_string(j) + " of copy " +
                                           std::to_string(k));
                ok = m->remember(
                    puzzle("/p/copy" + std::to_string(k) + ".ipuz", "Copy", 1000 + i, clues),
                    error);
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto m = open(s.folder());
    ASSERT_TRUE(m);
    std::string error;
    const std::vector<RememberedPuzzle> held = m->puzzles(error);
    ASSERT_EQ(held.size(), static_cast<std::size_t>(Copies)) << error;
    for (const RememberedPuzzle& p : held)
        EXPECT_EQ(p.clues, Saves);
    EXPECT_EQ(m->pastClues("WORDA", 100, error).size(), static_cast<std::size_t>(Copies));
}

TEST(ClueMemory, FailuresAreToldAndChangeNothing) {
    Scratch s;
    std::string error;
    // No folder known at all.
    EXPECT_FALSE(ClueMemory::open("", error));
    EXPECT_NE(error.find("XDG_DATA_HOME"), std::string::npos);

    // A FIFO where the file should be is refused, not waited on.
    std::filesystem::create_directories(s.dir() + "/fifo");
    ASSERT_EQ(::mkfifo((s.dir() + "/fifo/" + std::string(ClueMemory::FileName)).c_str(), 0600), 0);
    error.clear();
    EXPECT_FALSE(ClueMemory::open(s.dir() + "/fifo", error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos);

    // Another program's database is left alone.
    std::filesystem::create_directories(s.dir() + "/other");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((s.dir() + "/other/" + std::string(ClueMemory::FileName)).c_str(), &db),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(x)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    error.clear();
    EXPECT_FALSE(ClueMemory::open(s.dir() + "/other", error));
    EXPECT_NE(error.find("no clue memory"), std::string::npos);
}

TEST(ClueMemory, AFullDiskFailsTheRememberingAndKeepsWhatWasThere) {
    Scratch s;
    auto m = open(s.folder());
    ASSERT_TRUE(m);
    std::string error;
    ASSERT_TRUE(m->remember(puzzle("/p/a.ipuz", "A", 100, {{"CASA", "Home"}}), error));
    std::vector<std::pair<std::string, std::string>> many;
    for (int i = 0; i < 400; ++i)
        many.emplace_back("WORD" + std::to_string(i), std::string(300, char('a' + i % 26)));
    {
        const std::uintmax_t size = std::filesystem::file_size(m->path());
        const korvel::testing::FileSizeLimit full(static_cast<rlim_t>(size));
        EXPECT_FALSE(m->remember(puzzle("/p/b.ipuz", "B", 200, many), error));
    }
    EXPECT_NE(error, "");
    auto back = open(s.folder());
    ASSERT_TRUE(back);
    EXPECT_EQ(shown(back->pastClues("CASA", 10, error)),
              std::vector<std::string>{"Home@/p/a.ipuz@100"});
    EXPECT_TRUE(back->pastClues("WORD1", 10, error).empty());
    // Room again: the same handle writes.
    EXPECT_TRUE(m->remember(puzzle("/p/b.ipuz", "B", 200, many), error)) << error;
}

TEST(ClueMemory, AFolderThatCannotBeWrittenFailsTheRemembering) {
    Scratch s;
    {
        auto m = open(s.folder());
        ASSERT_TRUE(m);
        std::string error;
        ASSERT_TRUE(m->remember(puzzle("/p/a.ipuz", "A", 100, {{"CASA", "Home"}}), error));
    }
    // Root writes where the modes forbid it: the check runs as another user.
    const auto check = [&]() -> int {
        std::string error;
        std::unique_ptr<ClueMemory> m = ClueMemory::open(s.folder(), error);
        if (!m)
            return 2;
        ::chmod(s.folder().c_str(), 0500);
        const bool wrote = m->remember(puzzle("/p/b.ipuz", "B", 200, {{"ORO", "Gold"}}), error);
        ::chmod(s.folder().c_str(), 0700);
        if (wrote || error.empty())
            return 3;
        const std::vector<RememberedClue> casa = m->pastClues("CASA", 10, error);
        return casa.size() == 1 && m->pastClues("ORO", 10, error).empty() ? 0 : 4;
    };
    korvel::testing::OtherUser nobody;
    if (korvel::testing::nobodyUser(nobody)) {
        std::filesystem::path p = s.dir();
        for (const std::filesystem::path& d : {p, p / "data", p / "data" / "korvel"})
            ASSERT_EQ(::chown(d.c_str(), nobody.uid, nobody.gid), 0);
        const std::string file = s.folder() + "/" + std::string(ClueMemory::FileName);
        ASSERT_EQ(::chown(file.c_str(), nobody.uid, nobody.gid), 0);
        EXPECT_EQ(korvel::testing::runAs(nobody, check), 0);
    } else if (::geteuid() != 0) {
        EXPECT_EQ(check(), 0);
    } else {
        GTEST_SKIP() << "no other user to run as";
    }
}

TEST(ClueMemory, TheCluesOfAPuzzleWorthRemembering) {
    Puzzle p;
    p.grid = GridModel::make(3, 3);
    p.grid.GridRows = {"CAT", "A?E", "BED", "???"};
    p.clues = {{{0, 0, Direction::Across}, 3, "Pet", "", ""},
               {{1, 0, Direction::Across}, 3, "Has an empty cell", "", ""},
               {{2, 0, Direction::Across}, 3, "", "", ""},
               {{0, 0, Direction::Down}, 3, "Taxi", "", ""},
               {{0, 2, Direction::Down}, 2, "Wrong length: unplaced", "", ""},
               {{MaxRows, 0, Direction::Across}, 0, "Kept from elsewhere", "", ""}};
    EXPECT_EQ(cluesToRemember(p),
              (std::vector<std::pair<std::string, std::string>>{{"CAT", "Pet"}, {"CAB", "Taxi"}}));
}

TEST(ClueMemory, SearchWordsAreFolded) {
    EXPECT_EQ(searchWords("Citt\xC3\xA0 d'Italia, anno 1861!"), " CITTA D ITALIA ANNO 1861 ");
    EXPECT_EQ(searchWords(""), " ");
    EXPECT_EQ(searchWords("  --  "), " ");
}
