// SPDX-License-Identifier: GPL-3.0-or-later
// korvel-pattern end to end: patterns written and checked again by the
// program's --check and by reading the files back, kept letters, the
// ranking on a dictionaries folder built with korvel-mkdiz, exit statuses.

#include "shellrun.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
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

// The rows of a crossword file as written: "#" for the black byte.
std::vector<std::string> rowsOf(const std::string& bytes) {
    std::vector<std::string> rows;
    std::size_t at = bytes.find("\r\n") + 2;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        std::string row = bytes.substr(at + 1, end - at - 2);
        for (char& ch : row) {
            if (ch == '\x10') {
                ch = '#';
            }
        }
        rows.push_back(row);
        at = end + 2;
    }
    return rows;
}

class PatternToolTest : public ::testing::Test {
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

    Outcome run(const std::string& args) {
        Outcome r;
        const std::string cmd = std::string(KORVEL_PATTERN) + " " + args + " >" +
                                quote(dir.file("out.txt")) + " 2>" + quote(dir.file("err.txt"));
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readFile(dir.file("out.txt"));
        r.err = readFile(dir.file("err.txt"));
        return r;
    }
};

} // namespace

TEST_F(PatternToolTest, HelpVersionAndUsageErrors) {
    Outcome r = run("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: korvel-pattern"), std::string::npos);
    r = run("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("korvel-pattern ") + KORVEL_VERSION + "\n");
    const std::string out = quote(dir.file("p.kvl"));
    for (const std::string& args : std::vector<std::string>{
             "", "--style british " + out, "--size 1x5 " + out, "--size 15 " + out,
             "--words 9-3 " + out, "--symmetry spiral " + out, "--letters-only " + out,
             "--min-length 2 " + out, "--count 0 " + out, "--quick-fill -1 " + out,
             "--keep " + quote(dir.file("missing.kvl")) + " " + out, out + " " + out}) {
        r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("korvel-pattern: "), std::string::npos) << args;
    }
    EXPECT_FALSE(fs::exists(dir.file("p.kvl")));
}

// Every pattern offered is written, meets the rules by --check, and is a
// symmetric grid of blacks and empty cells.
TEST_F(PatternToolTest, WritesPatternsThatMeetTheRules) {
    const std::string out = dir.file("p.kvl");
    Outcome r = run("--quick-fill 0 --size 11x13 --count 3 --all --seed 7 " + quote(out));
    ASSERT_EQ(r.status, 0) << r.err;
    for (int k = 1; k <= 3; ++k) {
        EXPECT_NE(r.out.find("pattern " + std::to_string(k) + ": "), std::string::npos);
        const std::string file = dir.file("p-" + std::to_string(k) + ".kvl");
        ASSERT_TRUE(fs::exists(file));
        const std::vector<std::string> rows = rowsOf(readFile(file));
        ASSERT_EQ(rows.size(), 11u);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i].size(), 13u);
            for (std::size_t j = 0; j < rows[i].size(); ++j) {
                EXPECT_TRUE(rows[i][j] == '#' || rows[i][j] == '?');
                EXPECT_EQ(rows[i][j] == '#', rows[10 - i][12 - j] == '#');
            }
        }
        const Outcome check = run("--check " + quote(file));
        EXPECT_EQ(check.status, 0) << check.out << check.err;
        EXPECT_EQ(check.out, "");
        EXPECT_NE(check.err.find("meets every rule"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(out));
    // The same seed gives the same patterns; the first is what OUT gets
    // without --all.
    r = run("--quick-fill 0 --size 11x13 --count 3 --seed 7 " + quote(out));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(out), readFile(dir.file("p-1.kvl")));

    // Italian style: a few cells checked one way only.
    r = run("--quick-fill 0 --style italian --size 13x13 --symmetry left-right " + quote(out));
    ASSERT_EQ(r.status, 0) << r.err;
    const Outcome check = run("--check --style italian --symmetry left-right " + quote(out));
    EXPECT_EQ(check.status, 0) << check.out;
}

TEST_F(PatternToolTest, CheckNamesWhatBreaksTheRules) {
    writeFile(dir.file("g.kvl"), kvl({"??\x10??", "?????", "?????", "?????", "??\x10??"}));
    Outcome r = run("--check " + quote(dir.file("g.kvl")));
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("the entry at R1 C1 across has 2 letters, fewer than 3\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.err.find("breaks the rules"), std::string::npos);
    // The same grid in the Italian style, whose entries may be 2 long.
    r = run("--check --style italian --words 10-14 " + quote(dir.file("g.kvl")));
    EXPECT_EQ(r.status, 0) << r.out;
    r = run("--check --size 9x9 " + quote(dir.file("g.kvl")));
    EXPECT_EQ(r.status, 2);
}

// Kept letters stay, a typed entry stays whole; letters that the symmetry
// and the entries' ends contradict are refused with the reason.
TEST_F(PatternToolTest, KeepsTypedEntries) {
    std::vector<std::string> rows(9, std::string(9, '?'));
    rows[4] = "???CAT???";
    writeFile(dir.file("keep.kvl"), kvl(rows));
    const std::string out = dir.file("p.kvl");
    Outcome r = run("--quick-fill 0 --keep " + quote(dir.file("keep.kvl")) + " " + quote(out));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> got = rowsOf(readFile(out));
    ASSERT_EQ(got.size(), 9u);
    EXPECT_EQ(got[4].substr(2, 5), "#CAT#");
    r = run("--check --keep " + quote(dir.file("keep.kvl")) + " " + quote(out));
    EXPECT_EQ(r.status, 0) << r.out;

    // CAT ends at R1 C4, whose half-turn partner R9 C6 holds a letter.
    rows[4] = std::string(9, '?');
    rows[0] = "CAT??????";
    rows[8] = "?????E???";
    writeFile(dir.file("clash.kvl"), kvl(rows));
    r = run("--quick-fill 0 --keep " + quote(dir.file("clash.kvl")) + " " + quote(out));
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("must stay white"), std::string::npos) << r.err;
    // With the letters only, no end is needed.
    r = run("--quick-fill 0 --letters-only --keep " + quote(dir.file("clash.kvl")) + " " +
            quote(out));
    EXPECT_EQ(r.status, 0) << r.err;
}

// The ranking reads the lists: a 3x3 word square fills from its six words;
// without them the pattern has no fill.
TEST_F(PatternToolTest, RanksOnTheWordLists) {
    makeBase({"ABC", "ADG", "BEH", "CFI", "DEF", "GHI"});
    const std::string out = dir.file("p.kvl");
    Outcome r = run("--dir " + quote(dicts) + " --size 3x3 --words 6-6 --count 2 " + quote(out));
    ASSERT_EQ(r.status, 0) << r.err;
    // A 3x3 has one American pattern: the open square.
    EXPECT_NE(r.out.find("pattern 1: 6 words, 0 blacks, 9 white cells, longest entry 3, 0 "
                         "unchecked cells; quick fill: filled in "),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("pattern 2"), std::string::npos);
    EXPECT_EQ(readFile(out), kvl({"???", "???", "???"}));

    makeBase({"ABC", "ADG"});
    r = run("--dir " + quote(dicts) + " --size 3x3 --words 6-6 " + quote(out));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("quick fill: no fill exists"), std::string::npos) << r.out;

    // Rules no pattern meets.
    r = run("--quick-fill 0 --size 3x3 --words 7-9 " + quote(out));
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("no pattern"), std::string::npos) << r.err;
    // Dictionaries that cannot be loaded.
    r = run("--dir " + quote(dir.file("nowhere")) + " --size 5x5 " + quote(out));
    EXPECT_EQ(r.status, 1);
}
