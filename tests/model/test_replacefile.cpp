// SPDX-License-Identifier: GPL-3.0-or-later
// The checked writer on a real disk: read-only files, files of another user,
// links that lead nowhere or in a circle, several files written all or none,
// stale scratch files, a signal that lands while a scratch file exists or
// between the renames of several files, and the file-size limit's signal.
#include "asnobody.h"
#include "filesizelimit.h"
#include "printable.h"
#include "renamesignal.h"
#include "replacefile.h"
#include "scratchsignal.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvel;
using korvel::testing::FileSizeLimit;
using korvel::testing::readFile;
using korvel::testing::TempDir;
using korvel::testing::writeFile;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> names(const std::string& folder) {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(folder)) {
        v.push_back(e.path().filename().string());
    }
    std::sort(v.begin(), v.end());
    return v;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A folder that "nobody" may enter and write in.
void openToAll(const std::string& folder) {
    ::chmod(folder.c_str(), 0777);
}

} // namespace

// A file its owner marked read-only stays as it is, for root too; so does
// one reached through a link. A file with the owner's write bit is replaced.
TEST(ReplaceFile, ReadOnlyFileIsRefused) {
    TempDir dir;
    const std::string file = dir.file("r.kvl");
    writeFile(file, "old");
    ::chmod(file.c_str(), 0444);
    fs::create_symlink("r.kvl", dir.file("link.kvl"));
    for (const std::string& path : {file, dir.file("link.kvl")}) {
        std::string error;
        EXPECT_FALSE(replaceFile(path, "new", error)) << path;
        EXPECT_TRUE(contains(error, "is read-only")) << error;
        EXPECT_EQ(readFile(file), "old");
        EXPECT_FALSE(checkReplaceable(path, error));
    }
    EXPECT_EQ(names(dir.path), (std::vector<std::string>{"link.kvl", "r.kvl"}));
    ::chmod(file.c_str(), 0644);
    std::string error;
    EXPECT_TRUE(replaceFile(dir.file("link.kvl"), "new", error)) << error;
    EXPECT_EQ(readFile(file), "new");
}

// As a user other than root: a file of another user in a folder everyone may
// write is not this user's to replace, though the folder would let the
// rename through. The user's own new file goes through.
TEST(ReplaceFile, AnotherUsersFileIsRefused) {
    korvel::testing::OtherUser nobody;
    if (!korvel::testing::nobodyUser(nobody)) {
        GTEST_SKIP() << "needs root, to run a part as the user nobody";
    }
    TempDir dir;
    openToAll(dir.path);
    const std::string theirs = dir.file("theirs.kvl");
    writeFile(theirs, "old");
    ::chmod(theirs.c_str(), 0644);
    const int status = korvel::testing::runAs(nobody, [&] {
        std::string error;
        if (replaceFile(theirs, "new", error) || !contains(error, "Permission denied")) {
            return 1;
        }
        if (checkReplaceable(theirs, error)) {
            return 2;
        }
        return replaceFile(dir.file("mine.kvl"), "mine", error) ? 0 : 3;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(theirs), "old");
    EXPECT_EQ(readFile(dir.file("mine.kvl")), "mine");
    EXPECT_EQ(names(dir.path), (std::vector<std::string>{"mine.kvl", "theirs.kvl"}));
}

// A dangling link is followed to the file it names, which is made; the link
// stays a link. Relative links count from their own folder, through a chain.
TEST(ReplaceFile, DanglingLinkIsFollowed) {
    TempDir dir;
    fs::create_directories(dir.file("other"));
    fs::create_directories(dir.file("sub"));
    fs::create_symlink("other/new.kvl", dir.file("d.kvl"));
    // sub/chain -> ../d.kvl -> other/new.kvl
    fs::create_symlink("../d.kvl", dir.file("sub/chain.kvl"));
    std::string error;
    ASSERT_TRUE(replaceFile(dir.file("sub/chain.kvl"), "first", error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.file("d.kvl")));
    EXPECT_TRUE(fs::is_symlink(dir.file("sub/chain.kvl")));
    EXPECT_EQ(readFile(dir.file("other/new.kvl")), "first");
    EXPECT_EQ(names(dir.file("other")), std::vector<std::string>{"new.kvl"});

    // An absolute dangling link, and one whose folder is missing.
    fs::create_symlink(dir.file("other/abs.kvl"), dir.file("abs.kvl"));
    ASSERT_TRUE(replaceFile(dir.file("abs.kvl"), "second", error)) << error;
    EXPECT_EQ(readFile(dir.file("other/abs.kvl")), "second");
    fs::create_symlink("missing/x.kvl", dir.file("far.kvl"));
    EXPECT_FALSE(replaceFile(dir.file("far.kvl"), "x", error));
    EXPECT_TRUE(fs::is_symlink(dir.file("far.kvl")));
    EXPECT_FALSE(fs::exists(dir.file("missing")));
}

TEST(ReplaceFile, LinkLoopIsRefused) {
    TempDir dir;
    fs::create_symlink("b.kvl", dir.file("a.kvl"));
    fs::create_symlink("a.kvl", dir.file("b.kvl"));
    fs::create_symlink("self.kvl", dir.file("self.kvl"));
    for (const char* name : {"a.kvl", "self.kvl"}) {
        std::string error;
        EXPECT_FALSE(replaceFile(dir.file(name), "x", error)) << name;
        EXPECT_TRUE(contains(error, "loop of symbolic links")) << error;
        EXPECT_FALSE(checkReplaceable(dir.file(name), error));
    }
    EXPECT_TRUE(fs::is_symlink(dir.file("a.kvl")));
    EXPECT_TRUE(fs::is_symlink(dir.file("b.kvl")));
    EXPECT_TRUE(fs::is_symlink(dir.file("self.kvl")));
    EXPECT_EQ(names(dir.path), (std::vector<std::string>{"a.kvl", "b.kvl", "self.kvl"}));
}

// Two files: a failure of the second, found while writing it or before,
// leaves the first as it was, and no scratch file stays.
TEST(ReplaceFiles, AllOrNone) {
    TempDir dir;
    const std::string first = dir.file("t.svg");
    const std::string second = dir.file("t-solution.svg");
    writeFile(first, "old puzzle");
    fs::create_directory(second);
    std::string error;
    EXPECT_FALSE(replaceFiles({{first, "new puzzle"}, {second, "new solution"}}, error));
    EXPECT_TRUE(contains(error, "is a folder")) << error;
    EXPECT_EQ(readFile(first), "old puzzle");
    fs::remove(second);

    // The second does not fit on the "disk", the first does.
    writeFile(second, "old solution");
    const std::string big(8192, 'S');
    {
        FileSizeLimit full(4096);
        EXPECT_FALSE(replaceFiles({{first, "new puzzle"}, {second, big}}, error));
    }
    EXPECT_TRUE(contains(error, "File too large")) << error;
    EXPECT_EQ(readFile(first), "old puzzle");
    EXPECT_EQ(readFile(second), "old solution");
    EXPECT_EQ(names(dir.path), (std::vector<std::string>{"t-solution.svg", "t.svg"}));

    // Two names of one file would leave it holding the second's bytes.
    fs::create_hard_link(first, dir.file("hard.svg"));
    fs::create_symlink("t.svg", dir.file("soft.svg"));
    for (const char* other : {"hard.svg", "soft.svg"}) {
        EXPECT_FALSE(replaceFiles({{first, "a"}, {dir.file(other), "b"}}, error)) << other;
        EXPECT_TRUE(contains(error, "are one file")) << error;
    }
    EXPECT_EQ(readFile(first), "old puzzle");

    ASSERT_TRUE(
        replaceFiles({{first, "new puzzle"}, {second, big}, {dir.file("n.svg"), "n"}}, error))
        << error;
    EXPECT_EQ(readFile(first), "new puzzle");
    EXPECT_EQ(readFile(second), big);
    EXPECT_EQ(readFile(dir.file("n.svg")), "n");
    EXPECT_EQ(names(dir.path), (std::vector<std::string>{"hard.svg", "n.svg", "soft.svg",
                                                         "t-solution.svg", "t.svg"}));
}

// A rename that fails after the first file is in place (a file of another
// user in a sticky folder: the checks let it pass, the rename does not) puts
// the first file back as it was, and a file made new is taken away again.
TEST(ReplaceFiles, FailedRenameTakesTheFirstBack) {
    korvel::testing::OtherUser nobody;
    if (!korvel::testing::nobodyUser(nobody)) {
        GTEST_SKIP() << "needs root, to run a part as the user nobody";
    }
    TempDir dir;
    ::chmod(dir.path.c_str(), 01777);
    const std::string first = dir.file("t.svg");
    const std::string second = dir.file("t-solution.svg");
    writeFile(first, "old puzzle");
    ASSERT_EQ(::chown(first.c_str(), nobody.uid, nobody.gid), 0);
    writeFile(second, "root's solution");
    ::chmod(second.c_str(), 0666);
    const int status = korvel::testing::runAs(nobody, [&] {
        std::string error;
        if (replaceFiles({{first, "new puzzle"}, {second, "new solution"}}, error)) {
            return 1;
        }
        if (!contains(error, "cannot replace " + second)) {
            return 2;
        }
        // The same with a first file that did not exist.
        return replaceFiles({{dir.file("fresh.svg"), "x"}, {second, "y"}}, error) ? 3 : 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(first), "old puzzle");
    EXPECT_EQ(readFile(second), "root's solution");
    EXPECT_EQ(names(dir.path), (std::vector<std::string>{"t-solution.svg", "t.svg"}));
}

// A sweep removes the scratch files a killed writer left (unlocked, this
// user's, named after the target), and nothing else: a live writer's locked
// file, another program's names, another user's file.
TEST(ReplaceFile, StaleScratchFilesAreSwept) {
    TempDir dir;
    const std::string target = dir.file("g.kvl");
    writeFile(target, "old");
    writeFile(dir.file(".g.kvl.korvel-Ab12Cd"), "stale");
    writeFile(dir.file(".g.kvl.korvel-LiveOn"), "live");
    writeFile(dir.file(".g.kvl.Ab12Cd"), "another program's");
    writeFile(dir.file(".g.kvl.korvel-Ab12"), "not the pattern");
    writeFile(dir.file(".h.kvl.korvel-Ab12Cd"), "another target's");
    const int live = ::open(dir.file(".g.kvl.korvel-LiveOn").c_str(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    korvel::testing::OtherUser nobody;
    const bool other = korvel::testing::nobodyUser(nobody);
    if (other) {
        writeFile(dir.file(".g.kvl.korvel-Theirs"), "theirs");
        ASSERT_EQ(::chown(dir.file(".g.kvl.korvel-Theirs").c_str(), nobody.uid, nobody.gid), 0);
    }
    std::string error;
    ASSERT_TRUE(replaceFile(target, "new", error)) << error;
    ::close(live);
    EXPECT_EQ(readFile(target), "new");
    std::vector<std::string> kept = {".g.kvl.Ab12Cd", ".g.kvl.korvel-Ab12", ".g.kvl.korvel-LiveOn",
                                     ".h.kvl.korvel-Ab12Cd", "g.kvl"};
    if (other) {
        kept.push_back(".g.kvl.korvel-Theirs");
        std::sort(kept.begin(), kept.end());
    }
    EXPECT_EQ(names(dir.path), kept);
    // The live writer is gone now: the next write sweeps its file.
    ASSERT_TRUE(replaceFile(target, "newer", error)) << error;
    EXPECT_FALSE(fs::exists(dir.file(".g.kvl.korvel-LiveOn")));
}

// SIGTERM and SIGINT while a large write is under way: the program ends by
// the signal, the old file is whole and the scratch file is gone.
TEST(ReplaceFile, SignalRemovesTheScratchFile) {
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(sig);
        TempDir dir;
        const std::string target = dir.file("big.kvl");
        writeFile(target, "old");
        const korvel::testing::SignalledRun run = korvel::testing::signalOnScratch(
            [&] {
                removeScratchFilesOnSignals();
                const std::string bytes(64u << 20, 'x');
                std::string error;
                return replaceFile(target, bytes, error) ? 0 : 1;
            },
            dir.path, sig);
        ASSERT_TRUE(run.signalSent);
        EXPECT_TRUE(run.killedBySignal(sig)) << run.status;
        EXPECT_EQ(readFile(target), "old");
        EXPECT_EQ(names(dir.path), std::vector<std::string>{"big.kvl"});
    }
}

// A signal that lands between the renames of three files ends the program
// only once all three are in place: each file is new, none is old and none
// is lost (the old first file, exchanged out under its scratch name, used to
// be removed by the signal's cleanup while the others stayed old). With a
// second thread the signal lands there and waits for the renames; without,
// it waits in the renaming thread. SIGXFSZ from outside changes nothing.
TEST(ReplaceFiles, SignalBetweenRenamesLeavesAllNew) {
    for (const bool secondThread : {false, true}) {
        for (const int sig : {SIGTERM, SIGINT, SIGHUP, SIGXFSZ}) {
            for (const std::size_t after : {std::size_t{1}, std::size_t{2}}) {
                SCOPED_TRACE(std::to_string(sig) + (secondThread ? " two threads" : " one") +
                             " after " + std::to_string(after));
                TempDir dir;
                const std::vector<std::string> paths = {
                    dir.file("p.svg"), dir.file("p-solution.svg"), dir.file("p.txt")};
                for (const std::string& p : paths) {
                    writeFile(p, "old " + p);
                }
                const korvel::testing::SignalledRun run = korvel::testing::signalBetweenRenames(
                    [&] {
                        std::string error;
                        return replaceFiles(
                                   {{paths[0], "new 0"}, {paths[1], "new 1"}, {paths[2], "new 2"}},
                                   error)
                                   ? 0
                                   : 1;
                    },
                    sig, after, secondThread);
                ASSERT_TRUE(run.signalSent);
                if (sig == SIGXFSZ) {
                    EXPECT_TRUE(run.exitedWith(0)) << run.status;
                } else {
                    EXPECT_TRUE(run.killedBySignal(sig)) << run.status;
                }
                for (std::size_t i = 0; i < paths.size(); ++i) {
                    EXPECT_EQ(readFile(paths[i]), "new " + std::to_string(i));
                }
                EXPECT_EQ(names(dir.path),
                          (std::vector<std::string>{"p-solution.svg", "p.svg", "p.txt"}));
            }
        }
    }
}

// A signal while the second of two scratch files is being written ends the
// program before any rename: both files are old, no scratch file stays.
TEST(ReplaceFiles, SignalBeforeRenamesLeavesAllOld) {
    TempDir dir;
    const std::string first = dir.file("t.svg");
    const std::string second = dir.file("t-solution.svg");
    writeFile(first, "old puzzle");
    writeFile(second, "old solution");
    const korvel::testing::SignalledRun run = korvel::testing::signalOnScratch(
        [&] {
            removeScratchFilesOnSignals();
            const std::string big(64u << 20, 'x');
            std::string error;
            return replaceFiles({{first, "new puzzle"}, {second, big}}, error) ? 0 : 1;
        },
        dir.path, SIGTERM, 2);
    ASSERT_TRUE(run.signalSent);
    EXPECT_TRUE(run.killedBySignal(SIGTERM)) << run.status;
    EXPECT_EQ(readFile(first), "old puzzle");
    EXPECT_EQ(readFile(second), "old solution");
    EXPECT_EQ(names(dir.path), (std::vector<std::string>{"t-solution.svg", "t.svg"}));
}

// Under a real file-size limit, with SIGXFSZ at its default as a program
// starts, the write past the limit fails with "File too large" instead of
// killing the program: every file stays old and no scratch file is left.
TEST(ReplaceFiles, FileSizeLimitFailsTheWriteInsteadOfKilling) {
    TempDir dir;
    const std::string first = dir.file("t.svg");
    const std::string second = dir.file("t-solution.svg");
    writeFile(first, "old puzzle");
    writeFile(second, "old solution");
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        removeScratchFilesOnSignals();
        rlimit lim{};
        getrlimit(RLIMIT_FSIZE, &lim);
        lim.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &lim);
        std::string error;
        const bool ok =
            replaceFiles({{first, "new puzzle"}, {second, std::string(8192, 'S')}}, error);
        std::_Exit(!ok && contains(error, "File too large") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readFile(first), "old puzzle");
    EXPECT_EQ(readFile(second), "old solution");
    EXPECT_EQ(names(dir.path), (std::vector<std::string>{"t-solution.svg", "t.svg"}));
}

// checkReplaceable says what replaceFile would, and writes nothing.
TEST(ReplaceFile, CheckLeavesEverythingAsItWas) {
    TempDir dir;
    writeFile(dir.file("old.kvl"), "old");
    fs::create_directory(dir.file("folder.kvl"));
    std::string error;
    EXPECT_TRUE(checkReplaceable(dir.file("old.kvl"), error)) << error;
    EXPECT_TRUE(checkReplaceable(dir.file("new.kvl"), error)) << error;
    EXPECT_FALSE(checkReplaceable(dir.file("folder.kvl"), error));
    EXPECT_FALSE(checkReplaceable(dir.file("missing/new.kvl"), error));
    EXPECT_TRUE(contains(error, "cannot create a file in")) << error;
    EXPECT_EQ(readFile(dir.file("old.kvl")), "old");
    EXPECT_EQ(names(dir.path), (std::vector<std::string>{"folder.kvl", "old.kvl"}));
}

TEST(Printable, ControlsAreEscapedAndTextPasses) {
    struct Case {
        std::string in;
        std::string utf8;
        std::string latin1;
    };
    const std::vector<Case> cases = {
        {"plain Caf\xC3\xA9", "plain Caf\xC3\xA9", "plain Caf\xC3\xA9"},
        {"\x1b[2J\x07", "\\x1b[2J\\x07", "\\x1b[2J\\x07"},
        {std::string("a\0b", 3), "a\\x00b", "a\\x00b"},
        {"tab\tline\r\n\x7f", "tab\\x09line\\x0d\\x0a\\x7f", "tab\\x09line\\x0d\\x0a\\x7f"},
        // U+009B (CSI) in UTF-8; in Latin-1 the byte 0x9B alone is CSI.
        {"\xC2\x9B"
         "1m",
         "\\xc2\\x9b1m",
         "\xC2\\x9b"
         "1m"},
        {"\x9B\xE9", "\x9B\xE9", "\\x9b\xE9"},
        {"\xC2\xA0\xC2", "\xC2\xA0\xC2", "\xC2\xA0\xC2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(printable(c.in), c.utf8) << c.in;
        EXPECT_EQ(printableLatin1(c.in), c.latin1) << c.in;
    }
    EXPECT_EQ(printableLines("first\r\nsecond\x1b\n"), "first\r\nsecond\\x1b\\x0a");
}

TEST(ScratchNames, OnlyThisProgramsPatternMatches) {
    EXPECT_TRUE(isScratchNameOf(".g.kvl.korvel-a1B2c3", "g.kvl"));
    for (const char* other :
         {".g.kvl.korvel-a1B2c", ".g.kvl.korvel-a1B2c34", ".g.kvl.a1B2c3", "g.kvl.korvel-a1B2c3",
          ".g.kvl.korvel-a1B2c.", ".h.kvl.korvel-a1B2c3", ".g.kvl.korvel-a1/2c3"}) {
        EXPECT_FALSE(isScratchNameOf(other, "g.kvl")) << other;
    }
}
