// SPDX-License-Identifier: GPL-3.0-or-later
// Word scores: the rule for every kind of line of a score list, the order in
// which the lists of a folder are read, files that are no lists to read, and
// the lookup against a plain map.
#include "testfiles.h"
#include "wordfold.h"
#include "wordscores.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace fs = std::filesystem;
using namespace korvel;
using korvel::testing::TempDir;
using korvel::testing::writeFile;

namespace {

// One list and what it must leave: each expected word with its score (or -1
// for no score), and the counts of the report.
struct LineCase {
    const char* name;
    std::string text;
    std::vector<std::pair<std::string, int>> expect;
    uint64_t scored, skipped, noScore, badScore, badWord, clamped, duplicates, firstFault;
};

class ScoreLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(ScoreLines, FollowTheDocumentedRule) {
    const LineCase& c = GetParam();
    WordScores scores;
    const ScoreListReport r = scores.addList(c.text, "t.scores");
    for (const auto& [word, score] : c.expect) {
        if (score < 0) {
            EXPECT_FALSE(scores.score(word).has_value()) << word;
            EXPECT_EQ(scores.scoreOr(word), DefaultWordScore) << word;
        } else {
            EXPECT_EQ(scores.score(word), score) << word;
        }
    }
    EXPECT_EQ(r.scored, c.scored);
    EXPECT_EQ(r.skipped, c.skipped);
    EXPECT_EQ(r.noScore, c.noScore);
    EXPECT_EQ(r.badScore, c.badScore);
    EXPECT_EQ(r.badWord, c.badWord);
    EXPECT_EQ(r.clamped, c.clamped);
    EXPECT_EQ(r.duplicates, c.duplicates);
    EXPECT_EQ(r.firstFaultLine, c.firstFault);
    EXPECT_TRUE(r.error.empty());
    EXPECT_EQ(scoreListWarning(r).empty(), r.faults() == 0) << scoreListWarning(r);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScoreLines,
    ::testing::Values(
        LineCase{
            "plain", "CASA;60\nROMA;45\n", {{"CASA", 60}, {"ROMA", 45}}, 2, 0, 0, 0, 0, 0, 0, 0},
        LineCase{"crLfAndLfMixed",
                 "CASA;60\r\nROMA;45\nMARE;7\r\n",
                 {{"CASA", 60}, {"ROMA", 45}, {"MARE", 7}},
                 3,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0},
        LineCase{"lastLineWithoutEnd", "CASA;60\nROMA;45", {{"ROMA", 45}}, 2, 0, 0, 0, 0, 0, 0, 0},
        LineCase{"byteOrderMark",
                 "\xEF\xBB\xBF"
                 "CASA;60\n",
                 {{"CASA", 60}},
                 1,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0},
        LineCase{
            "lowerCaseFolded", "casa;60\n", {{"CASA", 60}, {"casa", -1}}, 1, 0, 0, 0, 0, 0, 0, 0},
        LineCase{"accentsFolded",
                 "perch\xC3\xA9;55\nStra\xC3\x9F"
                 "e;40\n",
                 {{"PERCHE", 55}, {"STRASSE", 40}},
                 2,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0},
        LineCase{"latin1Line", "citt\xE0;70\n", {{"CITTA", 70}}, 1, 0, 0, 0, 0, 0, 0, 0},
        LineCase{
            "blanksAroundFields", "  CASA \t;\t 60  \n", {{"CASA", 60}}, 1, 0, 0, 0, 0, 0, 0, 0},
        LineCase{"blankAndCommentLines",
                 "\n   \n# a remark;50\n  #CASA;60\r\n\r\nROMA;45\n",
                 {{"ROMA", 45}, {"CASA", -1}},
                 1,
                 5,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0},
        LineCase{"noScore",
                 "CASA\nROMA;\nMARE;  \nSOLE;10\n",
                 {{"CASA", -1}, {"ROMA", -1}, {"MARE", -1}, {"SOLE", 10}},
                 1,
                 0,
                 3,
                 0,
                 0,
                 0,
                 0,
                 1},
        LineCase{"noScoreKeepsAnotherLinesScore",
                 "CASA;70\nCASA\n",
                 {{"CASA", 70}},
                 1,
                 0,
                 1,
                 0,
                 0,
                 0,
                 0,
                 2},
        LineCase{"scoreNotAWholeNumber",
                 "A;50.5\nB;abc\nC;5x\nD;+\nE;1 2\nF;-\nGG;3\n",
                 {{"A", -1}, {"B", -1}, {"GG", 3}},
                 1,
                 0,
                 0,
                 6,
                 0,
                 0,
                 0,
                 1},
        LineCase{
            "secondSemicolonIsNoNumber", "CASA;50;60\n", {{"CASA", -1}}, 0, 0, 0, 1, 0, 0, 0, 1},
        LineCase{"signedScores",
                 "CASA;+70\nROMA;-0\n",
                 {{"CASA", 70}, {"ROMA", 0}},
                 2,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0},
        LineCase{"outOfRangeClamped",
                 "CASA;101\nROMA;-5\nMARE;99999999999999999999\nSOLE;100\nLUNA;0\n",
                 {{"CASA", 100}, {"ROMA", 0}, {"MARE", 100}, {"SOLE", 100}, {"LUNA", 0}},
                 5,
                 0,
                 0,
                 0,
                 0,
                 3,
                 0,
                 0},
        LineCase{"badWords",
                 "ICE CREAM;50\nWELL-MADE;50\nDON'T;50\nR2D2;50\n;50\n\xCE\xB1\xCE\xB2;50\nOK;50\n",
                 {{"ICECREAM", -1}, {"OK", 50}},
                 1,
                 0,
                 0,
                 0,
                 6,
                 0,
                 0,
                 1},
        LineCase{"badWordBeforeBadScore", "ICE CREAM;x\n", {}, 0, 0, 0, 0, 1, 0, 0, 1},
        LineCase{"tooLongWord",
                 std::string(256, 'A') + ";50\n" + std::string(255, 'B') + ";40\n",
                 {{std::string(256, 'A'), -1}, {std::string(255, 'B'), 40}},
                 1,
                 0,
                 0,
                 0,
                 1,
                 0,
                 0,
                 1},
        LineCase{"duplicateKeepsHigher",
                 "CASA;40\nCASA;70\nCASA;55\n",
                 {{"CASA", 70}},
                 3,
                 0,
                 0,
                 0,
                 0,
                 0,
                 2,
                 0},
        LineCase{"foldedDuplicates",
                 "cafe;40\ncaf\xC3\xA9;60\nPolo;30\npolo;50\n",
                 {{"CAFE", 60}, {"POLO", 50}},
                 4,
                 0,
                 0,
                 0,
                 0,
                 0,
                 2,
                 0},
        LineCase{"loneCrIsPartOfTheLine",
                 "CASA;60\rROMA;45\n",
                 {{"CASA", -1}, {"ROMA", -1}},
                 0,
                 0,
                 0,
                 1,
                 0,
                 0,
                 0,
                 1},
        LineCase{"nulByteIsNoLetter",
                 std::string("CA\0SA;60\nROMA;1\n", 16),
                 {{"ROMA", 1}},
                 1,
                 0,
                 0,
                 0,
                 1,
                 0,
                 0,
                 1},
        LineCase{"empty", "", {{"CASA", -1}}, 0, 0, 0, 0, 0, 0, 0, 0}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(WordScores, ALaterListReplacesAnEarlierOnesScore) {
    WordScores scores;
    scores.addList("CASA;80\nROMA;60\n", "base.scores");
    const ScoreListReport r = scores.addList("CASA;10\nCASA;20\nMARE;5\n", "mine.scores");
    EXPECT_EQ(scores.score("CASA"), 20); // lowered by the later list; its higher line wins
    EXPECT_EQ(scores.score("ROMA"), 60);
    EXPECT_EQ(scores.score("MARE"), 5);
    EXPECT_EQ(r.duplicates, 1u); // the first CASA of this list is no duplicate
    EXPECT_EQ(scores.size(), 3u);
}

TEST(WordScores, WarningNamesFileCountAndFirstLine) {
    WordScores scores;
    const ScoreListReport r = scores.addList("A;1\nB\nC;x\nD E;3\n", "mine.scores");
    EXPECT_EQ(scoreListWarning(r),
              "Score list mine.scores: 3 lines left out (1 without a score, 1 with a score that "
              "is no whole number, 1 whose word is not made of letters), the first at line 2");
}

// The table against a plain map over many words, through several rehashes.
TEST(WordScores, LookupAgreesWithAMap) {
    std::mt19937 rng(7);
    std::unordered_map<std::string, int> oracle;
    std::string list;
    std::vector<std::string> probes;
    for (int i = 0; i < 60000; ++i) {
        std::string w(2 + rng() % 12, 'A');
        for (char& c : w) {
            c = static_cast<char>('A' + rng() % 26);
        }
        const int s = static_cast<int>(rng() % 101);
        auto [it, added] = oracle.emplace(w, s);
        if (!added) {
            it->second = std::max(it->second, s);
        }
        list += w + ";" + std::to_string(s) + "\n";
        probes.push_back(w);
        probes.push_back(w + "Q"); // mostly no word of the list
    }
    WordScores scores;
    scores.addList(list);
    EXPECT_EQ(scores.size(), oracle.size());
    for (const std::string& p : probes) {
        const auto it = oracle.find(p);
        const std::optional<int> got = scores.score(p);
        ASSERT_EQ(got.has_value(), it != oracle.end()) << p;
        if (got) {
            EXPECT_EQ(*got, it->second) << p;
        }
    }
    EXPECT_FALSE(scores.score("").has_value());
    EXPECT_FALSE(scores.score(std::string(300, 'A')).has_value());
    EXPECT_FALSE(WordScores().score("A").has_value());
}

// Lists read one after the other, each adding words to parts of the table
// that already hold some (and so grow them) and scoring again words of the
// lists before, against a map: a word's score is the highest of the last
// list that scores it, and each list counts its own repeated lines.
TEST(WordScores, SeveralListsAgreeWithAMap) {
    std::mt19937 rng(11);
    std::unordered_map<std::string, int> oracle;
    std::vector<std::string> seen;
    WordScores scores;
    for (const int lines : {30000, 3000, 90000}) {
        std::unordered_map<std::string, int> thisList;
        uint64_t repeated = 0;
        std::string list;
        for (int i = 0; i < lines; ++i) {
            std::string w;
            if (!seen.empty() && rng() % 3 == 0) {
                w = seen[rng() % seen.size()];
            } else {
                w.assign(2 + rng() % 10, 'A');
                for (char& c : w) {
                    c = static_cast<char>('A' + rng() % 26);
                }
                seen.push_back(w);
            }
            const int s = static_cast<int>(rng() % 101);
            auto [it, added] = thisList.emplace(w, s);
            if (!added) {
                it->second = std::max(it->second, s);
                ++repeated;
            }
            list += w + ";" + std::to_string(s) + "\n";
        }
        const ScoreListReport r = scores.addList(list);
        EXPECT_EQ(r.scored, static_cast<uint64_t>(lines));
        EXPECT_EQ(r.duplicates, repeated);
        for (const auto& [w, s] : thisList) {
            oracle[w] = s;
        }
        ASSERT_EQ(scores.size(), oracle.size());
        for (const std::string& w : seen) {
            const auto it = oracle.find(w);
            ASSERT_EQ(scores.score(w),
                      it == oracle.end() ? std::nullopt : std::optional(it->second))
                << w;
        }
    }
}

TEST(WordScores, CopiesAreIndependent) {
    WordScores a;
    a.addList("CASA;10\n");
    WordScores b = a;
    b.addList("CASA;90\n");
    EXPECT_EQ(a.score("CASA"), 10);
    EXPECT_EQ(b.score("CASA"), 90);
}

TEST(WordFold, LetterCaseOfEntries) {
    EXPECT_EQ(letterCase("casa"), LetterCase::Lower);
    EXPECT_EQ(letterCase("iPod"), LetterCase::Lower);
    EXPECT_EQ(letterCase("Roma"), LetterCase::Title);
    EXPECT_EQ(letterCase("McCoy"), LetterCase::Title);
    EXPECT_EQ(letterCase("O'Toole"), LetterCase::Title);
    EXPECT_EQ(letterCase("ONU"), LetterCase::Upper);
    EXPECT_EQ(letterCase("A"), LetterCase::Upper);
    EXPECT_EQ(letterCase("\xC3\x88RA"), LetterCase::Upper); // ÈRA
    EXPECT_EQ(letterCase("\xC3\xA8ra"), LetterCase::Lower); // èra
    EXPECT_EQ(letterCase("\xC3\x89tienne"), LetterCase::Title);
    EXPECT_EQ(letterCase("\xC5\x81\xC3\xB3"
                         "d\xC5\xBA"),
              LetterCase::Title); // Łódź
    EXPECT_EQ(letterCase("\xC5\x81\xC3\x93"
                         "D\xC5\xB9"),
              LetterCase::Upper); // ŁÓDŹ
    EXPECT_EQ(letterCase("12-3"), LetterCase::None);
    EXPECT_EQ(letterCase(""), LetterCase::None);
}

// ---------------------------------------------------------------- folders

TEST(ScoreFolder, BaseFirstThenByteOrderAndLaterWins) {
    TempDir dir;
    writeFile(dir.file("base.scores"), "CASA;60\nROMA;60\nMARE;60\n");
    writeFile(dir.file("a.scores"), "CASA;10\n");
    writeFile(dir.file("B.SCORES"), "ROMA;20\nCASA;30\n");
    writeFile(dir.file("z.Scores"), "MARE;90\n");
    writeFile(dir.file("words.txt"), "MARE;0\n");
    writeFile(dir.file("base.scores.bak"), "MARE;0\n");
    EXPECT_EQ(scoreListNames(dir.path),
              (std::vector<std::string>{"base.scores", "B.SCORES", "a.scores", "z.Scores"}));
    std::vector<ScoreListReport> reports;
    std::vector<std::string> warnings;
    const WordScores scores = loadWordScores(dir.path, &reports, &warnings);
    EXPECT_EQ(scores.score("CASA"), 10); // a.scores is read after B.SCORES
    EXPECT_EQ(scores.score("ROMA"), 20);
    EXPECT_EQ(scores.score("MARE"), 90);
    EXPECT_EQ(reports.size(), 4u);
    EXPECT_TRUE(warnings.empty());
    // The same folder named with a trailing slash.
    EXPECT_EQ(loadWordScores(dir.path + "/").score("CASA"), 10);
}

TEST(ScoreFolder, NoListsMeansEveryWordHasTheDefault) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "CASA\r\n");
    const WordScores scores = loadWordScores(dir.path);
    EXPECT_TRUE(scores.empty());
    EXPECT_EQ(scores.scoreOr("CASA"), DefaultWordScore);
    EXPECT_TRUE(loadWordScores(dir.file("missing")).empty());
}

TEST(ScoreFolder, EntriesThatAreNoRegularFilesAreSkippedWithAWarning) {
    TempDir dir;
    writeFile(dir.file("base.scores"), "CASA;60\n");
    ASSERT_EQ(::mkfifo(dir.file("fifo.scores").c_str(), 0600), 0);
    fs::create_directory(dir.file("folder.scores"));
    fs::create_symlink(dir.file("nothing"), dir.file("dangling.scores"));
    writeFile(dir.file("target.txt"), "ROMA;70\n");
    fs::create_symlink(dir.file("target.txt"), dir.file("link.scores"));
    std::vector<std::string> warnings;
    const WordScores scores = loadWordScores(dir.path, nullptr, &warnings);
    EXPECT_EQ(scores.score("CASA"), 60);
    EXPECT_EQ(scores.score("ROMA"), 70); // a link to a regular file is a list
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_EQ(warnings[0],
              "Score list dangling.scores is a link that leads nowhere; it is not read");
    EXPECT_EQ(warnings[1], "Score list fifo.scores is a FIFO; it is not read");
    EXPECT_EQ(warnings[2], "Score list folder.scores is a folder; it is not read");
}

TEST(ScoreFolder, AListOverTheSizeCapIsNotRead) {
    TempDir dir;
    writeFile(dir.file("base.scores"), "CASA;60\n");
    writeFile(dir.file("huge.scores"), "CASA;1\n");
    // A sparse file: the size is refused before anything is read.
    ASSERT_EQ(
        ::truncate(dir.file("huge.scores").c_str(), static_cast<off_t>(MaxScoreListBytes + 1)), 0);
    std::vector<ScoreListReport> reports;
    std::vector<std::string> warnings;
    const WordScores scores = loadWordScores(dir.path, &reports, &warnings);
    EXPECT_EQ(scores.score("CASA"), 60);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("huge.scores is larger than"), std::string::npos) << warnings[0];
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_FALSE(reports[1].error.empty());
}

TEST(ScoreFolder, AnUnreadableListIsNotRead) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads any file";
    }
    TempDir dir;
    writeFile(dir.file("base.scores"), "CASA;60\n");
    writeFile(dir.file("closed.scores"), "CASA;1\n");
    fs::permissions(dir.file("closed.scores"), fs::perms::none);
    std::vector<std::string> warnings;
    EXPECT_EQ(loadWordScores(dir.path, nullptr, &warnings).score("CASA"), 60);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("Permission denied"), std::string::npos) << warnings[0];
}

} // namespace
