// SPDX-License-Identifier: GPL-3.0-or-later
// Score lists made by korvel-mkdiz (--score, --case) as the score reader
// reads them, and korvel-find and korvel-fill without --dir following the
// remembered language and the locale into the per-user language subfolders.
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

class ToolTest : public ::testing::Test {
protected:
    TempDir dir;

    // Runs command in dir/here with a clean locale and the scratch folders as
    // the per-user data and settings folders; env words come first.
    Outcome run(const std::string& command, const std::string& env = {}) {
        fs::create_directories(dir.file("here"));
        Outcome r;
        const std::string cmd =
            "cd " + quote(dir.file("here")) + " && env -u LC_ALL -u LC_MESSAGES LANG=C " +
            "XDG_DATA_HOME=" + quote(dir.file("data")) +
            " XDG_CONFIG_HOME=" + quote(dir.file("config")) + " " + env + " " + command + " >" +
            quote(dir.file("out.txt")) + " 2>" + quote(dir.file("err.txt"));
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readFile(dir.file("out.txt"));
        r.err = readFile(dir.file("err.txt"));
        return r;
    }
    Outcome mkdiz(const std::string& args) { return run(std::string(KORVEL_MKDIZ) + " " + args); }

    // A dictionaries folder whose base.diz holds words.
    void makeSet(const std::string& folder, const std::string& words) {
        fs::create_directories(folder);
        writeFile(dir.file("words.txt"), words);
        ASSERT_EQ(
            mkdiz("-o " + quote(folder + "/base.diz") + " " + quote(dir.file("words.txt"))).status,
            0);
    }
};

} // namespace

TEST_F(ToolTest, ScoreListsKeepTheHighestScoreOfEachFoldedWord) {
    writeFile(dir.file("common.txt"), "casa\nperch\xC3\xA9\nRoma\nONU\nice cream\n");
    writeFile(dir.file("names.txt"), "Roma\nCasa\n");
    const std::string out = dir.file("out.scores");
    Outcome r = mkdiz("-o " + quote(out) + " --score 20 " + quote(dir.file("names.txt")) +
                      " --score 60 " + quote(dir.file("common.txt")));
    ASSERT_EQ(r.status, 0) << r.err;
    // Byte order, LF ends, folded; what folds to no word is left out.
    EXPECT_EQ(readFile(out), "CASA;60\nONU;60\nPERCHE;60\nROMA;60\n");

    // --case: only the entries written so in the inputs after it.
    r = mkdiz("-o " + quote(out) + " --case upper --score 30 " + quote(dir.file("common.txt")) +
              " --case title --score 40 " + quote(dir.file("common.txt")) +
              " --case lower --score 70 " + quote(dir.file("common.txt")) +
              " --case any --score 10 " + quote(dir.file("names.txt")));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(out), "CASA;70\nONU;30\nPERCHE;70\nROMA;40\n");

    // --case filters a dictionary too.
    r = mkdiz("--case title -o " + quote(dir.file("names.dic")) + " " +
              quote(dir.file("common.txt")));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("names.dic")), "Roma\r\n");
}

TEST_F(ToolTest, ScoreListUsageErrors) {
    const std::string in = quote(dir.file("w.txt"));
    writeFile(dir.file("w.txt"), "casa\n");
    const std::string out = " -o " + quote(dir.file("x.scores")) + " ";
    EXPECT_EQ(mkdiz(out + in).status, 2);                      // no --score
    EXPECT_EQ(mkdiz(out + in + " --score 5 " + in).status, 2); // first input without
    EXPECT_EQ(mkdiz(out + "--score 101 " + in).status, 2);     // out of range
    EXPECT_EQ(mkdiz(out + "--score -1 " + in).status, 2);
    EXPECT_EQ(mkdiz(out + "--score x " + in).status, 2);
    EXPECT_EQ(mkdiz(out + "--stems --score 5 " + in).status, 2);
    EXPECT_EQ(mkdiz(out + "--case Lower --score 5 " + in).status, 2);
    EXPECT_EQ(mkdiz("-o " + quote(dir.file("x.dic")) + " --score 5 " + in).status, 2);
    EXPECT_FALSE(fs::exists(dir.file("x.scores")));
    EXPECT_FALSE(fs::exists(dir.file("x.dic")));
}

TEST_F(ToolTest, FindAndFillWithoutDirFollowTheLanguage) {
    const std::string user = dir.file("data/korvel/dictionaries");
    makeSet(user + "/it", "CASA\nCOSA\n");
    makeSet(user + "/en", "CASE\nCOST\n");
    writeFile(dir.file("grid.kvl"), "2,4\r\n\"C?S?\"\r\n\"\x10\x10\x10\x10\"\r\n");
    const std::string find = std::string(KORVEL_FIND) + " pattern 'C?S?'";
    const std::string check = std::string(KORVEL_FILL) + " --check " + quote(dir.file("grid.kvl"));

    // The locale decides until a language is remembered.
    EXPECT_EQ(run(find).out, "CASE -1\nCOST -1\n");
    EXPECT_EQ(run(find, "LANG=it_IT.UTF-8").out, "CASA -1\nCOSA -1\n");
    EXPECT_EQ(run(find, "LANG=C LC_MESSAGES=it_IT").out, "CASA -1\nCOSA -1\n");
    EXPECT_EQ(run(check).out.substr(0, 5), "C2S2\n");
    fs::create_directories(dir.file("config/korvel"));
    writeFile(dir.file("config/korvel/language"), "it\n");
    EXPECT_EQ(run(find).out, "CASA -1\nCOSA -1\n");
    EXPECT_EQ(run(check).out.substr(0, 5), "C2Sa\n");
    writeFile(dir.file("config/korvel/language"), "en\n");
    EXPECT_EQ(run(find, "LANG=it_IT.UTF-8").out, "CASE -1\nCOST -1\n");

    // The per-user folder itself, and the current folder, come first.
    makeSet(user, "CASO\n");
    EXPECT_EQ(run(find).out, "CASO -1\n");
    makeSet(dir.file("here"), "CESO\n");
    EXPECT_EQ(run(find).out, "CESO -1\n");
}
