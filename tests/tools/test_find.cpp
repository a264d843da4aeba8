// korvel-find end to end: a dictionaries folder built with korvel-mkdiz,
// the program run as a user would run it, its streams and exit status read.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
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
