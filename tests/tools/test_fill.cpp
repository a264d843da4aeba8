// SPDX-License-Identifier: GPL-3.0-or-later
// korvel-fill end to end: a dictionaries folder built with korvel-mkdiz, the
// program run as a user would run it, its exit status, streams and output
// file read back.

#include "scratchsignal.h"
#include "shellrun.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;
using korvel::testing::Outcome;
using korvel::testing::quote;
using korvel::testing::readFile;
using korvel::testing::TempDir;
using korvel::testing::writeFile;

namespace {

std::string kvl(const std::vector<std::string>& rows) {
    std::string s = std::to_string(rows.size()) + "," + std::to_string(rows[0].size()) + "\r\n";
    for (const auto& r : rows) {
        s += "\"" + r + "\"\r\n";
    }
    return s;
}

class FillToolTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string dicts = dir.file("dicts");

    void SetUp() override { fs::create_directories(dicts); }

    void makeBase(const std::vector<std::string>& words) {
        std::string text;
        for (const auto& w : words) {
            text += w + "\r\n";
        }
        writeFile(dir.file("base.txt"), text);
        const std::string cmd = std::string(KORVEL_MKDIZ) + " -o " + quote(dicts + "/base.diz") +
                                " " + quote(dir.file("base.txt"));
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }

    Outcome run(const std::string& args, bool withDir = true) {
        Outcome r;
        const std::string cmd =
            std::string(KORVEL_FILL) + (withDir ? " --dir " + quote(dicts) : std::string()) + " " +
            args + " >" + quote(dir.file("out.txt")) + " 2>" + quote(dir.file("err.txt"));
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readFile(dir.file("out.txt"));
        r.err = readFile(dir.file("err.txt"));
        return r;
    }
};

const std::vector<std::string> kWords = {"ARE", "CASA", "CASE", "ORA", "RE", "ROMA", "SE"};

std::vector<std::string> names(const std::string& folder) {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(folder)) {
        v.push_back(e.path().filename().string());
    }
    std::sort(v.begin(), v.end());
    return v;
}

// Whether text holds a byte a terminal takes as a command (line feeds apart).
bool hasControlBytes(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && c != '\n') || b == 0x7F || (b >= 0x80 && b <= 0x9F);
    });
}

} // namespace

TEST_F(FillToolTest, FillsAndWritesTheCrosswordFormat) {
    makeBase({"AB", "BC"});
    writeFile(dir.file("in.kvl"), kvl({"A?", "??"}));
    // AB across and AB down: the same word twice unless repeats are allowed.
    Outcome r = run(quote(dir.file("in.kvl")) + " " + quote(dir.file("out.kvl")));
    EXPECT_EQ(r.status, 3) << r.err;
    r = run("--allow-repeats " + quote(dir.file("in.kvl")) + " " + quote(dir.file("out.kvl")));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("out.kvl")), "2,2\r\n\"AB\"\r\n\"BC\"\r\n");

    // A region: only its cells are written; a black cell stays byte 16.
    writeFile(dir.file("in.kvl"), kvl({"A??", "???", std::string("\x10??")}));
    makeBase({"AB", "ABC", "BC", "BCD"});
    r = run("--allow-repeats --region 1,1,1,2 " + quote(dir.file("in.kvl")) + " " +
            quote(dir.file("out.kvl")));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("out.kvl")), "3,3\r\n\"AB?\"\r\n\"???\"\r\n\"\x10?\?\"\r\n");
}

TEST_F(FillToolTest, CheckPrintsCountsForcedAndDead) {
    makeBase(kWords);
    // Only CASA fits C??A: its two empty cells are forced.
    writeFile(dir.file("in.kvl"), kvl({"C??A", std::string(4, '\x10')}));
    Outcome r = run("--check " + quote(dir.file("in.kvl")));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "CasA\n####\ndead cells: 0, forced cells: 2, slots without a word: 0\n");
    // Nothing fits Q??: the slot and its empty cells are dead. ??? takes
    // ARE or ORA: two letters in its first and last cells, one in between.
    writeFile(dir.file("in.kvl"), kvl({"Q??", std::string(3, '\x10'), "???"}));
    r = run("--check " + quote(dir.file("in.kvl")));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Q..\n###\n2r2\ndead cells: 2, forced cells: 1, slots without a word: 1\n"
                     "no word: 1 across (R1 C1)\n");
}

TEST_F(FillToolTest, ExitStatuses) {
    makeBase(kWords);
    const std::string out = quote(dir.file("out.kvl"));
    // 3: no fill, with the reason.
    writeFile(dir.file("q.kvl"), kvl({"Q???", std::string(4, '\x10')}));
    Outcome r = run(quote(dir.file("q.kvl")) + " " + out);
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("no word fits 1 across (R1 C1): Q???"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("out.kvl")));

    // 4: the time limit, on a grid only a long search can refute (rows of 8
    // and columns of 7 letters, each with an odd number of B).
    std::vector<std::string> parity;
    for (int len : {7, 8}) {
        for (int bits = 0; bits < (1 << len); ++bits) {
            if (std::popcount(static_cast<unsigned>(bits)) % 2 == 1) {
                std::string w;
                for (int k = len - 1; k >= 0; --k) {
                    w += (bits >> k & 1) ? 'B' : 'A';
                }
                parity.push_back(w);
            }
        }
    }
    std::sort(parity.begin(), parity.end());
    makeBase(parity);
    writeFile(dir.file("p.kvl"), kvl(std::vector<std::string>(7, "????????")));
    r = run("--allow-repeats --time-limit 0.3 " + quote(dir.file("p.kvl")) + " " + out);
    EXPECT_EQ(r.status, 4) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("out.kvl")));

    // 1: no base.diz.
    fs::remove(dicts + "/base.diz");
    r = run(quote(dir.file("q.kvl")) + " " + out);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("base.diz"), std::string::npos);
}

TEST_F(FillToolTest, UsageAndUnreadableFiles) {
    makeBase(kWords);
    writeFile(dir.file("in.kvl"), kvl({"???", std::string(3, '\x10')}));
    const std::string in = quote(dir.file("in.kvl"));
    for (const std::string& args : std::vector<std::string>{
             "", in, "--check", "--check " + in + " " + in, "--seed x " + in + " o.kvl",
             "--time-limit 0 " + in + " o.kvl", "--region 1,1,0,1 " + in + " o.kvl",
             "--region 1,1,3,3 " + in + " o.kvl", "--disable 1 " + in + " o.kvl",
             "--bogus " + in + " o.kvl"}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_FALSE(r.err.empty()) << args;
    }
    // Missing file, a folder, a FIFO (must not block), a file that is no
    // crossword file.
    ::mkfifo(dir.file("fifo.kvl").c_str(), 0600);
    writeFile(dir.file("bad.kvl"), "hello\r\n");
    for (const std::string& name :
         std::vector<std::string>{"missing.kvl", "dicts", "fifo.kvl", "bad.kvl"}) {
        const Outcome r = run("--check " + quote(dir.file(name)));
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_NE(r.err.find(dir.file(name)), std::string::npos) << r.err;
    }
    // An output folder that cannot be written: 2, and no file left behind.
    fs::create_directories(dir.file("ro"));
    fs::permissions(dir.file("ro"), fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(dir.file("ro").c_str(), W_OK) != 0) {
        const Outcome r = run(in + " " + quote(dir.file("ro/out.kvl")));
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find("cannot write"), std::string::npos);
    }
    fs::permissions(dir.file("ro"), fs::perms::owner_all);

    Outcome r = run("--help", false);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: korvel-fill"), std::string::npos);
    r = run("--version", false);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("korvel-fill ") + KORVEL_VERSION + "\n");
}

// OUT marked read-only stays as it is; a dangling link is followed to the
// file it names, which is made; a loop of links is refused.
TEST_F(FillToolTest, OutputReadOnlyDanglingOrLooping) {
    makeBase(kWords);
    writeFile(dir.file("in.kvl"), kvl({"C??A", std::string(4, '\x10')}));
    const std::string in = quote(dir.file("in.kvl"));
    const std::string filled = kvl({"CASA", std::string(4, '\x10')});

    writeFile(dir.file("r.kvl"), "old");
    fs::permissions(dir.file("r.kvl"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Outcome r = run(in + " " + quote(dir.file("r.kvl")));
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("is read-only"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(dir.file("r.kvl")), "old");

    fs::create_directories(dir.file("other"));
    fs::create_symlink("other/new.kvl", dir.file("d.kvl"));
    r = run(in + " " + quote(dir.file("d.kvl")));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(dir.file("d.kvl")));
    EXPECT_EQ(readFile(dir.file("other/new.kvl")), filled);

    fs::create_symlink("loop2.kvl", dir.file("loop1.kvl"));
    fs::create_symlink("loop1.kvl", dir.file("loop2.kvl"));
    r = run(in + " " + quote(dir.file("loop1.kvl")));
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("loop of symbolic links"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_symlink(dir.file("loop1.kvl")));
    EXPECT_TRUE(fs::is_symlink(dir.file("loop2.kvl")));
    EXPECT_EQ(names(dir.file("other")), std::vector<std::string>{"new.kvl"});
}

// OUT is checked before the fill: a grid without a fill still says that OUT
// cannot be written (status 2, not 3), and nothing is made beside it.
TEST_F(FillToolTest, OutputCheckedBeforeTheFill) {
    makeBase(kWords);
    writeFile(dir.file("q.kvl"), kvl({"Q???", std::string(4, '\x10')}));
    const std::string q = quote(dir.file("q.kvl"));
    Outcome r = run(q + " " + quote(dir.file("missing/out.kvl")));
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("no word fits"), std::string::npos) << r.err;

    fs::create_directory(dir.file("out.kvl"));
    r = run(q + " " + quote(dir.file("out.kvl")));
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("is a folder"), std::string::npos) << r.err;
    fs::remove(dir.file("out.kvl"));

    // A writable OUT: the fill runs (and finds none), OUT is not made.
    r = run(q + " " + quote(dir.file("out.kvl")));
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(names(dir.path),
              (std::vector<std::string>{"base.txt", "dicts", "err.txt", "out.txt", "q.kvl"}));
}

// A hostile grid's control bytes (ESC, BEL, C1) and a file name's reach the
// terminal escaped, in the check, the reasons and the messages.
TEST_F(FillToolTest, ControlBytesAreShownEscaped) {
    makeBase(kWords);
    writeFile(dir.file("esc.kvl"), kvl({"\x1b\x07?", "\x9b??", std::string(3, '\x10')}));
    Outcome r = run("--check " + quote(dir.file("esc.kvl")));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(hasControlBytes(r.out)) << r.out;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "\\x1b\\x07.");
    EXPECT_NE(r.out.find("\n\\x9b.."), std::string::npos) << r.out;

    writeFile(dir.file("done.kvl"), kvl({"\x1b[2J", std::string(4, '\x10')}));
    r = run(quote(dir.file("done.kvl")) + " " + quote(dir.file("out.kvl")));
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_FALSE(hasControlBytes(r.err)) << r.err;
    EXPECT_NE(r.err.find("is complete and is no word: \\x1b[2J"), std::string::npos) << r.err;

    r = run("--check " + quote(dir.file("no\x1b]0;pwned\x07.kvl")));
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(hasControlBytes(r.err)) << r.err;
    EXPECT_NE(r.err.find("no\\x1b]0;pwned\\x07.kvl"), std::string::npos) << r.err;
}

// SIGTERM or SIGINT while a scratch file exists (the check of OUT before the
// fill, then the write after it): the program ends by the signal, leaves no
// scratch file, and OUT is the old file or the whole new one.
TEST_F(FillToolTest, SignalLeavesNoScratchFile) {
    makeBase(kWords);
    writeFile(dir.file("in.kvl"), kvl({"C??A", std::string(4, '\x10')}));
    const std::string filled = kvl({"CASA", std::string(4, '\x10')});
    fs::create_directory(dir.file("work"));
    const std::string out = dir.file("work/out.kvl");
    int interrupted = 0;
    for (const int sig : {SIGTERM, SIGINT}) {
        for (const int nth : {1, 2, 1, 2}) {
            SCOPED_TRACE(std::to_string(sig) + " at scratch file " + std::to_string(nth));
            writeFile(out, "old");
            const korvel::testing::SignalledRun run = korvel::testing::signalOnScratch(
                korvel::testing::execChild({KORVEL_FILL, "--dir", dicts, dir.file("in.kvl"), out}),
                dir.file("work"), sig, nth);
            EXPECT_TRUE(run.killedBySignal(sig) || run.exitedWith(0)) << run.status;
            EXPECT_EQ(names(dir.file("work")), std::vector<std::string>{"out.kvl"});
            const std::string now = readFile(out);
            EXPECT_TRUE(now == "old" || now == filled) << now;
            interrupted += run.signalSent && run.killedBySignal(sig) && now == "old";
        }
    }
    EXPECT_GT(interrupted, 0) << "no signal landed before the file was replaced";
}

TEST_F(FillToolTest, BanListThemeEntriesAndMinimum) {
    makeBase({"CASA", "CASE", "ROMA", "ORA"});
    const std::string out = quote(dir.file("out.kvl"));
    // CAS?: CASA or CASE; with CASA banned only CASE is left.
    writeFile(dir.file("in.kvl"), kvl({"CAS?", std::string(4, '\x10')}));
    writeFile(dir.file("ban.txt"), "# mine\r\ncasa\r\n\r\nnot a word\r\n");
    Outcome r =
        run("--ban " + quote(dir.file("ban.txt")) + " " + quote(dir.file("in.kvl")) + " " + out);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("out.kvl")), "2,4\r\n\"CASE\"\r\n\"\x10\x10\x10\x10\"\r\n");
    // The check follows the ban: the last cell can only be E.
    r = run("--check --ban " + quote(dir.file("ban.txt")) + " " + quote(dir.file("in.kvl")));
    EXPECT_EQ(r.out, "CASe\n####\ndead cells: 0, forced cells: 1, slots without a word: 0\n");

    // A theme entry is kept with --theme-entries, and is a reason without.
    writeFile(dir.file("theme.kvl"), kvl({"CASO", std::string(4, '\x10'), "?OMA"}));
    r = run(quote(dir.file("theme.kvl")) + " " + out);
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("is complete and is no word: CASO"), std::string::npos) << r.err;
    r = run("--theme-entries " + quote(dir.file("theme.kvl")) + " " + out);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("out.kvl")),
              "3,4\r\n\"CASO\"\r\n\"\x10\x10\x10\x10\"\r\n\"ROMA\"\r\n");

    // Without score lists a minimum holds nothing back.
    r = run("--min-score 100 " + quote(dir.file("in.kvl")) + " " + out);
    EXPECT_EQ(r.status, 0) << r.err;

    for (const std::string& args : std::vector<std::string>{
             "--min-score 101", "--min-score -1", "--min-score x",
             "--ban " + quote(dir.file("missing.txt")), "--ban " + quote(dicts)}) {
        r = run(args + " " + quote(dir.file("in.kvl")) + " " + out);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_FALSE(r.err.empty()) << args;
    }
}

// The score lists of the folder loaded: --min-score keeps the weaker words
// out, for the fill and the check; a faulty line is named on standard error;
// at 0 the fill is the one without scores.
TEST_F(FillToolTest, MinimumReadsTheFolderScoreLists) {
    makeBase({"CASA", "CASE", "ROMA", "ORA"});
    const std::string out = quote(dir.file("out.kvl"));
    writeFile(dir.file("in.kvl"), kvl({"CAS?", std::string(4, '\x10')}));
    Outcome plain = run(quote(dir.file("in.kvl")) + " " + out);
    ASSERT_EQ(plain.status, 0) << plain.err;
    const std::string unscored = readFile(dir.file("out.kvl"));

    writeFile(dicts + "/base.scores", "CASA;20\ncase;70\nROMA;oops\n");
    Outcome r = run("--min-score 50 " + quote(dir.file("in.kvl")) + " " + out);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("out.kvl")), "2,4\r\n\"CASE\"\r\n\"\x10\x10\x10\x10\"\r\n");
    EXPECT_NE(r.err.find("base.scores"), std::string::npos) << r.err;
    r = run("--check --min-score 50 " + quote(dir.file("in.kvl")));
    EXPECT_EQ(r.out, "CASe\n####\ndead cells: 0, forced cells: 1, slots without a word: 0\n");
    // A later list scores CASE down: nothing is left at 50.
    writeFile(dicts + "/mine.scores", "CASE;10\n");
    r = run("--min-score 50 " + quote(dir.file("in.kvl")) + " " + out);
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("(no word the fill may place, at score 50 or more)"), std::string::npos)
        << r.err;
    // Minimum 0: the fill of the same words without scores.
    r = run(quote(dir.file("in.kvl")) + " " + out);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("out.kvl")), unscored);
}

// No fill: the message names the slots that have none together, each with
// its pattern, after the reason; --explain-limit 0 leaves them out.
TEST_F(FillToolTest, NoFillNamesTheConflictingSlots) {
    // X? across and X? down can both only be XY; the 2x2 block on the
    // right fills.
    makeBase({"XY", "AB", "CD", "AC", "BD"});
    writeFile(dir.file("in.kvl"), kvl({"X?\x10??", "?\x10\x10??"}));
    const std::string args = quote(dir.file("in.kvl")) + " " + quote(dir.file("out.kvl"));
    Outcome r = run(args);
    EXPECT_EQ(r.status, 3) << r.err;
    const std::string named =
        "korvel-fill: these 2 slots have no fill together; leave out any one and the others "
        "have one:\n"
        "korvel-fill:   1 across (R1 C1): X?\n"
        "korvel-fill:   1 down (R1 C1): X?\n";
    EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
    EXPECT_EQ(r.err.rfind("korvel-fill: no fill exists", 0), 0u) << r.err;
    r = run("--explain-limit 0 " + args);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err.find("have no fill together"), std::string::npos) << r.err;
    r = run("--explain-limit soon " + args);
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(fs::exists(dir.file("out.kvl")));
}
