// SPDX-License-Identifier: GPL-3.0-or-later
// The loader under faults: concurrent loads sharing the per-user list folder,
// loads killed half-way, a list folder that is not the user's own, lists that
// are not CR LF text, special files named like dictionaries, and the detail
// of a fatal error. Concurrency is tested with real processes.
#include "dictionarystore.h"
#include "loader.h"
#include "templistpath.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <ostream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace korvel;
using korvel::testing::readFile;
using korvel::testing::TempDir;
using korvel::testing::writeFile;

namespace {

struct Observer : LoadObserver {
    std::vector<std::string> warnings;
    std::vector<std::string> fatals;
    std::vector<std::string> details;
    void outOfSequence(const std::string&) override {}
    void warning(const std::string& m) override { warnings.push_back(m); }
    void fatal(const std::string&, const std::string& m) override { fatals.push_back(m); }
    void fatalWithDetail(const std::string& t, const std::string& m,
                         const std::string& d) override {
        fatal(t, m);
        details.push_back(d);
    }
    std::string allWarnings() const {
        std::string all;
        for (const auto& w : warnings) {
            all += w + "\n";
        }
        return all;
    }
};

// A library stand-in over a shared list folder: the .diz files hold plain
// text, which MYFUNC writes as the list; pause makes it linger after the
// write, as a slow decoder of a large list does.
CompanionCall fakeLibrary(const std::string& tempFolder, std::vector<std::string>& names,
                          std::string& dictFolder, useconds_t pause = 0, int16_t result = 0) {
    return CompanionCall{
        tempFolder,
        [&names, &dictFolder](const std::string& f, const std::vector<std::string>& n) {
            dictFolder = f;
            names = n;
            return int16_t{0};
        },
        [&names, &dictFolder, tempFolder, pause, result](int16_t i) -> int16_t {
            const std::string& name = names.at(static_cast<std::size_t>(i - 1));
            writeFile(tempListPath(tempFolder, name), readFile(dictFolder + name));
            if (pause > 0) {
                usleep(pause);
            }
            return result;
        }};
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(folder)) {
        v.push_back(e.path().filename().string());
    }
    std::sort(v.begin(), v.end());
    return v;
}

} // namespace

// Two loads at once over the same list folder, each of its own dictionaries
// folder: every one must get its own words. The library pauses after writing
// the list, so without the folder lock the second load's list replaces the
// first one's before it is read.
TEST(LoadFaults, ConcurrentLoadsNeverSeeEachOthersList) {
    TempDir lists;
    TempDir a;
    TempDir b;
    writeFile(a.file("base.diz"), "ALFA\r\nAMBO\r\n");
    writeFile(b.file("base.diz"), "BRAVO\r\nBUIO\r\n");
    int barrier[2];
    ASSERT_EQ(pipe(barrier), 0);
    std::vector<pid_t> children;
    for (const TempDir* d : {&a, &b, &a, &b}) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(barrier[1]);
            char go = 0;
            if (read(barrier[0], &go, 1) != 1) {
                _exit(3);
            }
            std::vector<std::string> names;
            std::string dictFolder;
            DictionaryStore store;
            Observer obs;
            const LoadResult r = loadDictionaries(
                store, d->path, fakeLibrary(lists.path, names, dictFolder, 200000), {}, obs);
            const bool own = r == LoadResult::Ok && obs.warnings.empty() &&
                             store.DictText[1] == readFile(d->file("base.diz"));
            _exit(own ? 0 : 1);
        }
        children.push_back(pid);
    }
    close(barrier[0]);
    ASSERT_EQ(write(barrier[1], "gggg", 4), 4);
    close(barrier[1]);
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "a load got another folder's words or none";
    }
    EXPECT_TRUE(fs::is_empty(lists.path));
}

// A load killed while its list was being written leaves the scratch file;
// the next load removes it, and leaves other files alone.
TEST(LoadFaults, ScratchOfAKilledLoadIsSwept) {
    TempDir lists;
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n");
    writeFile(lists.file("notes"), "kept");
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::string scratch = tempListPath(lists.path, "base.diz") + ".XXXXXX";
        const int fd = mkstemp(scratch.data());
        (void)!write(fd, "PARTIAL", 7);
        raise(SIGKILL);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(namesIn(lists.path).size(), 2u) << "the killed load left its scratch file";

    std::vector<std::string> names;
    std::string dictFolder;
    DictionaryStore store;
    Observer obs;
    ASSERT_EQ(
        loadDictionaries(store, dir.path, fakeLibrary(lists.path, names, dictFolder), {}, obs),
        LoadResult::Ok);
    EXPECT_EQ(store.DictText[1], "ABC\r\n");
    EXPECT_EQ(namesIn(lists.path), std::vector<std::string>{"notes"});
}

// A list folder of another user may hold anything of theirs: nothing in it is
// read or removed. Only the superuser can make such a folder.
TEST(LoadFaults, ListFolderOfAnotherUserIsNeverTouched) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs the superuser to give a folder away";
    }
    TempDir root;
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n");
    const std::string lists = root.file("lists");
    fs::create_directory(lists);
    chmod(lists.c_str(), 0700);
    writeFile(tempListPath(lists, "base.diz"), "PRECIOUS\r\n");
    ASSERT_EQ(chown(lists.c_str(), 65534, 65534), 0);
    std::vector<std::string> names;
    std::string dictFolder;
    CompanionCall call = fakeLibrary(lists, names, dictFolder);
    call.MYFUNC = [](int16_t) { return int16_t{0}; };
    DictionaryStore store;
    Observer obs;
    ASSERT_EQ(loadDictionaries(store, dir.path, call, {}, obs), LoadResult::Ok);
    EXPECT_EQ(store.DictText[1], "");
    ASSERT_EQ(obs.warnings.size(), 1u);
    EXPECT_NE(obs.warnings[0].find("belongs to another user"), std::string::npos)
        << obs.warnings[0];
    EXPECT_EQ(readFile(tempListPath(lists, "base.diz")), "PRECIOUS\r\n");
}

// The folder is opened before the library call and the failed call's list is
// removed through that descriptor: a link planted at the folder's name during
// the call neither leads the removal elsewhere nor saves the list from it.
TEST(LoadFaults, FailedCallsListIsRemovedInTheFolderThatWasChecked) {
    TempDir root;
    TempDir victim;
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n");
    writeFile(victim.file("base"), "PRECIOUS\r\n");
    const std::string lists = root.file("lists");
    const std::string moved = root.file("moved");
    fs::create_directory(lists);
    chmod(lists.c_str(), 0700);
    std::vector<std::string> names;
    std::string dictFolder;
    CompanionCall call = fakeLibrary(lists, names, dictFolder);
    call.MYFUNC = [&](int16_t) {
        writeFile(tempListPath(lists, "base.diz"), "HALF");
        fs::rename(lists, moved);
        fs::create_directory_symlink(victim.path, lists);
        return int16_t{1};
    };
    DictionaryStore store;
    Observer obs;
    EXPECT_EQ(loadDictionaries(store, dir.path, call, {}, obs), LoadResult::LibraryErrors);
    EXPECT_EQ(readFile(victim.file("base")), "PRECIOUS\r\n");
    EXPECT_TRUE(fs::is_empty(moved)) << "the half list is gone";
}

struct LineEndCase {
    const char* name;
    std::string bytes;
    std::string text;  // DictText afterwards
    const char* cause; // in the one warning; "" for none
};

void PrintTo(const LineEndCase& c, std::ostream* os) {
    *os << c.name;
}

class LineEnds : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(LineEnds, NoLineHoldsACrLfOrNul) {
    const LineEndCase& c = GetParam();
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n");
    writeFile(dir.file("words.dic"), c.bytes);
    std::vector<std::string> names;
    std::string dictFolder;
    TempDir lists;
    DictionaryStore store;
    Observer obs;
    ASSERT_EQ(
        loadDictionaries(store, dir.path, fakeLibrary(lists.path, names, dictFolder), {}, obs),
        LoadResult::Ok);
    EXPECT_EQ(store.DictText[2], c.text);
    EXPECT_EQ(store.DictLength[2], static_cast<int64_t>(c.text.size()));
    const LineIndex& ix = store.Lines[2];
    for (std::size_t n = 0; n < ix.lineCount(); ++n) {
        const std::string_view line = ix.line(store.DictText[2], n);
        EXPECT_EQ(line.find_first_of(std::string_view("\r\n\0", 3)), std::string_view::npos)
            << "line " << n;
    }
    if (*c.cause == '\0') {
        EXPECT_TRUE(obs.warnings.empty()) << obs.allWarnings();
    } else {
        ASSERT_EQ(obs.warnings.size(), 1u) << obs.allWarnings();
        EXPECT_NE(obs.warnings[0].find("words.dic"), std::string::npos) << obs.warnings[0];
        EXPECT_NE(obs.warnings[0].find(c.cause), std::string::npos) << obs.warnings[0];
    }
}

using namespace std::string_literals;
INSTANTIATE_TEST_SUITE_P(
    Lists, LineEnds,
    ::testing::Values(LineEndCase{"crlf", "ABC\r\nDEF\r\nGH", "ABC\r\nDEF\r\nGH", ""},
                      LineEndCase{"lfOnly", "ABC\nDEF\nGHI\n", "ABC\r\nDEF\r\nGHI\r\n", ""},
                      LineEndCase{"lfOnlyWithNul", "ABC\nD\0F\nGHI\n"s, "ABC\r\nGHI\r\n", "NUL"},
                      LineEndCase{"crOnly", "ABC\rDEF\rGHI\r", "", "CR alone"},
                      LineEndCase{"nul", "ABC\r\nD\0F\r\nGHI\r\n"s, "ABC\r\nGHI\r\n", "NUL"},
                      LineEndCase{"mixed", "ABC\r\nDEF\nGHI\r\nJKL\r\n", "ABC\r\nJKL\r\n",
                                  "other than CR LF"},
                      LineEndCase{"loneCrAtEnd", "ABC\r\nDEF\r", "ABC\r\n", "other than CR LF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadFaults, SpecialFilesNamedLikeDictionariesAreReported) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n");
    writeFile(dir.file("real.dic"), "REAL\r\n");
    ASSERT_EQ(mkfifo(dir.file("fifo.dic").c_str(), 0600), 0);
    fs::create_symlink("loop.dic", dir.file("loop.dic"));
    fs::create_symlink("nowhere", dir.file("dangling.dic"));
    fs::create_directory(dir.file("folder.dic"));
    ASSERT_EQ(mkfifo(dir.file("pipe.diz").c_str(), 0600), 0);
    std::vector<std::string> names;
    std::string dictFolder;
    TempDir lists;
    DictionaryStore store;
    Observer obs;
    ASSERT_EQ(
        loadDictionaries(store, dir.path, fakeLibrary(lists.path, names, dictFolder), {}, obs),
        LoadResult::Ok);
    EXPECT_EQ(store.count, 2);
    EXPECT_EQ(store.DictText[2], "REAL\r\n");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"dangling.dic", "leads nowhere"},
        {"fifo.dic", "is a FIFO"},
        {"folder.dic", "is a folder"},
        {"loop.dic", "loop of symbolic links"},
        {"pipe.diz", "is a FIFO"}};
    ASSERT_EQ(obs.warnings.size(), expected.size()) << obs.allWarnings();
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(obs.warnings[k].rfind("... " + expected[k].first + " ", 0), 0u)
            << obs.warnings[k];
        EXPECT_NE(obs.warnings[k].find(expected[k].second), std::string::npos) << obs.warnings[k];
    }
}

TEST(LoadFaults, FatalErrorsNameTheFileAndTheCause) {
    struct Case {
        const char* name;
        std::function<void(TempDir&, CompanionCall&)> arrange;
        std::vector<std::string> inDetail;
    };
    const std::vector<Case> cases = {
        {"without base.diz",
         [](TempDir& d, CompanionCall&) { writeFile(d.file("x.dic"), "A\r\n"); },
         {"base.diz is not in ", "/"}},
        {"base.diz is a FIFO",
         [](TempDir& d, CompanionCall&) { mkfifo(d.file("base.diz").c_str(), 0600); },
         {"base.diz in ", "is a FIFO"}},
        {"library fails on base.diz",
         [](TempDir& d, CompanionCall& c) {
             writeFile(d.file("base.diz"), "ABC\r\n");
             c.MYFUNC = [](int16_t) { return int16_t{3}; };
         },
         {"base.diz: ", "met 3 errors preparing its list"}},
        {"library missing",
         [](TempDir& d, CompanionCall& c) {
             writeFile(d.file("base.diz"), "ABC\r\n");
             c.MYFUNC = nullptr;
             c.error = "libkorvdll.so: cannot open shared object file";
         },
         {"libkorvdll.so: cannot open shared object file"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        TempDir lists;
        std::vector<std::string> names;
        std::string dictFolder;
        CompanionCall call = fakeLibrary(lists.path, names, dictFolder);
        c.arrange(dir, call);
        DictionaryStore store;
        Observer obs;
        EXPECT_NE(loadDictionaries(store, dir.path, call, {}, obs), LoadResult::Ok);
        ASSERT_EQ(obs.details.size(), 1u);
        for (const std::string& part : c.inDetail) {
            EXPECT_NE(obs.details[0].find(part), std::string::npos) << obs.details[0];
        }
        if (std::string_view(c.name).find("library") == std::string_view::npos) {
            EXPECT_NE(obs.details[0].find(dir.path), std::string::npos) << obs.details[0];
        }
    }
}
