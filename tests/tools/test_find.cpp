// SPDX-License-Identifier: GPL-3.0-or-later
// korvel-find end to end: a dictionaries folder built with korvel-mkdiz,
// the program run as a user would run it, its streams and exit status read.

#include "shellrun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using korvel::testing::Outcome;
using korvel::testing::quote;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FindTest : public ::testing::Test {
protected:
    fs::path dir;

    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("korvel-find-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    void writeLines(const std::string& name, const std::vector<std::string>& lines) {
        std::ofstream out(dir / name, std::ios::binary);
        for (const auto& l : lines) {
            out << l << "\r\n";
        }
    }
    // base.diz from a plain list, stored as given.
    void makeBase(const std::vector<std::string>& lines) {
        writeLines("base.txt", lines);
        const std::string cmd = std::string(KORVEL_MKDIZ) + " -o " + quote((dir / "base.diz").string()) +
                                " " + quote((dir / "base.txt").string());
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        fs::remove(dir / "base.txt");
    }
    Outcome runFind(const std::string& args) {
        Outcome r;
        const fs::path out = dir.parent_path() / (dir.filename().string() + ".out");
        const fs::path err = dir.parent_path() / (dir.filename().string() + ".err");
        const std::string cmd = std::string(KORVEL_FIND) + " --dir " + quote(dir.string()) + " " +
                                args + " >" + quote(out.string()) + " 2>" + quote(err.string());
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = slurp(out);
        r.err = slurp(err);
        fs::remove(out);
        fs::remove(err);
        return r;
    }
};

const std::vector<std::string> kBase = {"AMORE", "CAS!", "CASTAGN)", "COSA", "MORA", "ROMA"};

} // namespace

TEST_F(FindTest, PatternListsResultsInDisplayOrderAndPanelsLast) {
    makeBase(kBase);
    writeLines("more.dic", {"CASE", "CESO"});
    Outcome r = runFind("pattern 'C?S?'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "CAS(AE) -1\nCASE -2\nCESO -2\nCOSA -1\n");
    EXPECT_EQ(r.err, "panel 2: \" =4 \"\npanel 3: \" \"\n");

    r = runFind("--disable 2 pattern 'C?S?'");
    EXPECT_EQ(r.out, "CAS(AE) -1\nCOSA -1\n");
}

TEST_F(FindTest, RefinementsRunInOrderAsTheButtonsDo) {
    makeBase(kBase);
    // ??RA: the prompt finds MORA; Free HEAD then looks for any word ending in
    // RA that fits four cells.
    Outcome r = runFind("pattern '??RA' free-head");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "MORA -1\n");
    // A refusal is reported in panel 3 and leaves the last list in place.
    r = runFind("pattern 'CAS?' free-head");
    EXPECT_EQ(r.out, "CAS(AE) -1\n");
    EXPECT_NE(r.err.find("panel 3: \" Wrong request! \""), std::string::npos);
    // Free CUE on CAS??????: CAS* with the eight-letter stem in reach.
    r = runFind("pattern 'CAS????\?' free-cue");
    EXPECT_EQ(r.out, "CAS(AE) -1\nCASTAGN(AEO) -1\n");
    EXPECT_NE(r.err.find("panel 2: \" =2 \""), std::string::npos);
}

TEST_F(FindTest, FreeCueAndExtendedOptions) {
    makeBase(kBase);
    Outcome r = runFind("pattern 'CAS???\?'");
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("panel 2: \" none \""), std::string::npos);
    r = runFind("--free-cue pattern 'CAS???\?'");
    EXPECT_EQ(r.out, "CAS(AE) -1\n");

    std::vector<std::string> many;
    for (char a = 'A'; a <= 'Z'; ++a) {
        for (char b = 'A'; b <= 'C'; ++b) {
            many.push_back(std::string("B") + b + a);
        }
    }
    std::sort(many.begin(), many.end());
    makeBase(many);
    r = runFind("pattern 'B?\?'");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 50);
    r = runFind("--extended pattern 'B?\?'");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 78);
}

TEST_F(FindTest, WrongRequestStillExitsZero) {
    makeBase(kBase);
    Outcome r = runFind("pattern '??\?'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "panel 2: \" \"\npanel 3: \" Wrong request! \"\n");
}

TEST_F(FindTest, LoadFailuresAndUsageErrors) {
    writeLines("more.dic", {"CASE"});
    Outcome r = runFind("pattern 'C?S?'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("... mandatory dictionary is missing: base.diz !"), std::string::npos);

    // A .diz that is no .diz: the library reports errors.
    std::ofstream(dir / "base.diz", std::ios::binary) << "not a dictionary";
    r = runFind("pattern 'C?S?'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("... errors while loading dictionaries *.diz !"), std::string::npos);

    makeBase(kBase);
    for (const char* args : {"", "pattern", "bogus 'C?S?'", "pattern 'c?s?'", "--disable 1 pattern 'C?S?'",
                             "pattern 'C?S?' sideways", "--nope pattern 'C?S?'"}) {
        r = runFind(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << args;
    }
}

// --batch answers every query as a separate run of korvel-find would: the
// same lines, the same panel texts, each query from a fresh state.
TEST_F(FindTest, BatchAnswersAsSeparateRuns) {
    makeBase(
        {"AMORE", "CAS!", "CASTAGN)", "COSA", "MA", "MARE", "MORA", "ORA", "RE", "ROMA", "ROSA"});
    writeLines("more.dic", {"ARCO", "CASE", "CESO", "MAREA", "ORMA", "RAMO"});

    std::mt19937 rng(1208);
    const std::string letters = "ACEMORS";
    auto pick = [&](const std::string& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    };
    auto chance = [&](int percent) {
        return std::uniform_int_distribution<int>(0, 99)(rng) < percent;
    };
    std::vector<std::string> queries;
    for (int i = 0; i < 60; ++i) {
        std::string q;
        if (chance(30)) {
            q += "--extended ";
        }
        if (chance(30)) {
            q += "--free-cue ";
        }
        if (chance(20)) {
            q += "--disable 2 ";
        }
        const int kind = std::uniform_int_distribution<int>(0, 5)(rng);
        if (kind <= 3) {
            std::string slot;
            for (int n = std::uniform_int_distribution<int>(2, 7)(rng); n > 0; --n) {
                slot += chance(60) ? '?' : pick(letters);
            }
            q += "pattern " + slot;
            for (const char* r : {"free-head", "trim-head", "trim-cue", "free-cue"}) {
                if (chance(15)) {
                    q += std::string(" ") + r;
                }
            }
        } else if (kind == 4) {
            q += "cross ?#" + std::string(1, pick(letters)) + " #?" + std::string(1, pick(letters));
        } else {
            std::string word;
            for (int n = std::uniform_int_distribution<int>(2, 5)(rng); n > 0; --n) {
                word += pick(letters);
            }
            q += "anagram " + word;
        }
        queries.push_back(q);
    }
    // Blanks in a quoted word, and a line that is no query.
    queries.push_back("anagram 'RO A'");
    queries.push_back("pattern");

    std::string expected;
    for (const std::string& q : queries) {
        // The same words for the shell, each quoted.
        std::string args;
        std::size_t i = 0;
        while (i < q.size()) {
            std::size_t end = q.find(' ', i);
            if (q[i] == '\'') {
                end = q.find('\'', i + 1) + 1;
            }
            if (end == std::string::npos) {
                end = q.size();
            }
            std::string word = q.substr(i, end - i);
            if (word.front() == '\'') {
                word = word.substr(1, word.size() - 2);
            }
            args += quote(word) + " ";
            i = end + 1;
        }
        const Outcome single = runFind(args);
        if (single.status == 2) {
            expected += "\"\" \"\"\n\n";
            continue;
        }
        ASSERT_EQ(single.status, 0) << q;
        // The panels are standard error's last two lines.
        const std::size_t p2 = single.err.rfind("panel 2: \"");
        ASSERT_NE(p2, std::string::npos) << q;
        const std::size_t p3 = single.err.find("\npanel 3: \"", p2);
        const std::string panel2 = single.err.substr(p2 + 10, p3 - 1 - (p2 + 10));
        const std::string panel3 = single.err.substr(p3 + 11, single.err.size() - 2 - (p3 + 11));
        expected += single.out + "\"" + panel2 + "\" \"" + panel3 + "\"\n\n";
    }

    {
        std::ofstream in(dir.parent_path() / (dir.filename().string() + ".in"), std::ios::binary);
        for (const std::string& q : queries) {
            in << q << "\n";
        }
    }
    const std::string inPath = (dir.parent_path() / (dir.filename().string() + ".in")).string();
    const Outcome batch = runFind("--batch <" + quote(inPath));
    EXPECT_EQ(batch.status, 2); // the last line is no query
    EXPECT_EQ(batch.out, expected) << batch.err;
    EXPECT_NE(batch.err.find("line " + std::to_string(queries.size()) + ": not a query"),
              std::string::npos);

    // Word scores are the fill's alone: score lists that rank the words
    // every which way leave every answer and its order as it was.
    writeLines("base.scores", {"AMORE;0", "COSA;100", "MA;3", "RAMO;100", "ORA;1", "ROSA;55"});
    writeLines("mine.scores", {"CASE;0", "MARE;100", "ARCO;7", "ORMA;99", "RE;0"});
    const Outcome scored = runFind("--batch <" + quote(inPath));
    fs::remove(inPath);
    EXPECT_EQ(scored.status, 2);
    EXPECT_EQ(scored.out, expected) << scored.err;
}

// A dictionary line's control bytes reach the terminal escaped, in the
// results and in the loader's warnings alike.
TEST_F(FindTest, ControlBytesAreShownEscaped) {
    makeBase({"CASA", "CA\033A", "CA\233A"});
    const Outcome r = runFind("pattern 'C?\?\?'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "CA\\x1bA -1\nCASA -1\nCA\\x9bA -1\n");
    EXPECT_NE(r.err.find("This item CA\\x1bA is out of sequence"), std::string::npos) << r.err;
    for (const std::string* text : {&r.out, &r.err}) {
        EXPECT_EQ(text->find('\x1b'), std::string::npos);
        EXPECT_EQ(text->find('\x9b'), std::string::npos);
    }
}
