// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionarystore.h"
#include "loader.h"
#include "templistpath.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <set>
#include <stdlib.h>

namespace fs = std::filesystem;
using namespace korvel;

namespace {

const std::string Fixtures = KORVEL_FIXTURES;

struct RecordingObserver : LoadObserver {
    std::vector<std::string> outOfSequenceMessages;
    std::vector<std::string> warnings;
    std::vector<std::pair<std::string, std::string>> fatals;
    void outOfSequence(const std::string& m) override { outOfSequenceMessages.push_back(m); }
    void warning(const std::string& m) override { warnings.push_back(m); }
    void fatal(const std::string& t, const std::string& m) override { fatals.emplace_back(t, m); }
};

using korvel::testing::readFile;
using korvel::testing::TempDir;
using korvel::testing::writeFile;

// A stand-in for the companion library: the .diz fixtures hold plain text,
// which it copies to the temporary list, unless told to fail or to leave
// nothing behind for one index.
struct FakeLibrary {
    TempDir temp;
    std::string dictFolder;
    std::vector<std::string> names;
    std::vector<int> calls;
    std::map<int, int16_t> failOn;
    std::set<int> writeNothing;
    int16_t setupResult = 0;

    CompanionCall call() {
        return CompanionCall{
            temp.path,
            [this](const std::string& folder, const std::vector<std::string>& n) {
                dictFolder = folder;
                names = n;
                return setupResult;
            },
            [this](int16_t i) -> int16_t {
                calls.push_back(i);
                if (auto f = failOn.find(i); f != failOn.end()) {
                    return f->second;
                }
                if (!writeNothing.contains(i)) {
                    const std::string& name = names.at(static_cast<std::size_t>(i - 1));
                    writeFile(tempListPath(temp.path, name), readFile(dictFolder + name));
                }
                return 0;
            }};
    }
};

LoadResult load(DictionaryStore& store, const std::string& folder, FakeLibrary& lib,
                RecordingObserver& obs, long* yields = nullptr) {
    return loadDictionaries(
        store, folder, lib.call(),
        [yields] {
            if (yields != nullptr) {
                ++*yields;
            }
        },
        obs);
}

// ---------------------------------------------------------------- index

struct IndexCase {
    const char* name;
    std::string text;
    std::map<char, int32_t> letterStart; // initials expected to be set
    std::vector<std::string> outOfSequence;
    int warnings = 0;
};

void PrintTo(const IndexCase& c, std::ostream* os) {
    *os << c.name;
}

class IndexTest : public ::testing::TestWithParam<IndexCase> {};

TEST_P(IndexTest, LetterStartAndOrderCheck) {
    const IndexCase& c = GetParam();
    DictionaryStore store;
    store.DictFileName[1] = "base.diz";
    store.setText(1, c.text);
    RecordingObserver obs;
    indexDictionary(store, 1, {}, obs);

    for (int l = 0; l <= 26; ++l) {
        const char initial = static_cast<char>('@' + l);
        const auto it = c.letterStart.find(initial);
        EXPECT_EQ(store.LetterStart[1][l], it == c.letterStart.end() ? 0 : it->second)
            << "initial " << initial;
    }
    std::vector<std::string> expected;
    for (const std::string& line : c.outOfSequence) {
        expected.push_back(outOfSequenceText(line));
    }
    EXPECT_EQ(obs.outOfSequenceMessages, expected);
    EXPECT_EQ(static_cast<int>(obs.warnings.size()), c.warnings);
    EXPECT_TRUE(obs.fatals.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IndexTest,
    ::testing::Values(
        IndexCase{
            "sorted", "ABC\r\nABD\r\nBCD\r\nBCE\r\nZZZ\r\n", {{'A', 1}, {'B', 11}, {'Z', 21}}, {}},
        IndexCase{
            "remarkRestartsRun", "ABC\r\n'remark\r\nABD\r\nBCD\r\n", {{'A', 15}, {'B', 20}}, {}},
        IndexCase{"hashRemarkNotIndexed", "#xyz\r\nABC\r\nBCD\r\n", {{'A', 7}, {'B', 12}}, {}},
        IndexCase{"remarkNotOrderTested",
                  "XYZ\r\n'abc\r\nABC\r\nBCD\r\n",
                  {{'X', 1}, {'A', 12}, {'B', 17}},
                  {}},
        IndexCase{"outOfSequence", "ABD\r\nABC\r\nXYZW\r\n", {{'A', 1}, {'X', 11}}, {"ABC"}},
        IndexCase{"eachLineReported",
                  "CCC\r\nBBB\r\nAAA\r\nZZZ\r\n",
                  {{'C', 1}, {'B', 6}, {'A', 11}, {'Z', 16}},
                  {"BBB", "AAA"}},
        IndexCase{"shortLinesNeverReported",
                  "ABC\r\nAA\r\nZZZ\r\nAB\r\nAAA\r\nQQQQ\r\n",
                  {{'A', 15}, {'Z', 10}, {'Q', 24}},
                  {}},
        IndexCase{"shortLastLineNotExamined", "ABC\r\nABD\r\nAA", {{'A', 1}}, {}},
        IndexCase{"threeCharLastLineWithoutSeparator", "ABC\r\nABD\r\nAAA", {{'A', 1}}, {}},
        IndexCase{"threeCharLastLineWithSeparator", "ABC\r\nABD\r\nAAA\r\n", {{'A', 1}}, {"AAA"}},
        IndexCase{
            "leadingBlanksTrimmed", "  ABC\r\n  ABB\r\nXYZ\r\n", {{'A', 1}, {'X', 15}}, {"ABB"}},
        IndexCase{
            "atSignIsIndexZero", "@AB\r\nABC\r\nBCD\r\n", {{'@', 1}, {'A', 6}, {'B', 11}}, {}},
        IndexCase{"endingCodesSortBeforeLetters",
                  "ABBAGLI\r\nABBAGLI&\r\nABBAGLIAI\r\nROSS@\r\nROSSA\r\n",
                  {{'A', 1}, {'R', 31}},
                  {}},
        IndexCase{"initialOutsideRangeSkipped",
                  "abc\r\nABC\r\n1XY\r\nBCD\r\n\xC0XY\r\nCDE\r\n",
                  {{'A', 6}, {'B', 16}, {'C', 26}},
                  {"ABC", "1XY", "CDE"},
                  1},
        IndexCase{"emptyLineSkipped", "ABC\r\n\r\nABD\r\nBCD\r\n", {{'A', 8}, {'B', 13}}, {}, 1},
        IndexCase{"empty", "", {}, {}}, IndexCase{"singleLineNoSeparator", "QRS", {{'Q', 1}}, {}}),
    [](const ::testing::TestParamInfo<IndexCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- folder scan

TEST(Scan, BaseFirstThenDizThenDicInByteOrder) {
    const std::vector<std::string> expected{"base.diz", "Upper.DIZ", "alpha.diz",
                                            "zeta.diz", "b.dic",     "words.dic"};
    EXPECT_EQ(scanDictionaryFolder(Fixtures + "/numbering/"), expected);
}

TEST(Scan, OnlyRegularFilesAndLinksToThem) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "A\r\n");
    writeFile(dir.file("real.dic"), "A\r\n");
    fs::create_directory(dir.file("folder.dic"));
    fs::create_symlink(dir.file("real.dic"), dir.file("link.dic"));
    fs::create_symlink(dir.file("missing.dic"), dir.file("dangling.dic"));
    const std::vector<std::string> expected{"base.diz", "link.dic", "real.dic"};
    EXPECT_EQ(scanDictionaryFolder(dir.path), expected);
}

TEST(Scan, NamesInUnsignedByteOrder) {
    TempDir dir;
    for (const char* name :
         {"base.diz", "\xC3\xA9t\xC3\xA9.dic", "zeta.dic", "Zeta.dic", "10.dic"}) {
        writeFile(dir.file(name), "A\r\n");
    }
    const std::vector<std::string> expected{"base.diz", "10.dic", "Zeta.dic", "zeta.dic",
                                            "\xC3\xA9t\xC3\xA9.dic"};
    EXPECT_EQ(scanDictionaryFolder(dir.path), expected);
}

TEST(Scan, MissingFolderGivesNothing) {
    EXPECT_TRUE(scanDictionaryFolder("/nonexistent/korvel/folder").empty());
}

// ---------------------------------------------------------------- loading

TEST(Load, NumberingLibraryCallsAndTexts) {
    DictionaryStore store;
    FakeLibrary lib;
    RecordingObserver obs;
    long yields = 0;
    ASSERT_EQ(load(store, Fixtures + "/numbering", lib, obs, &yields), LoadResult::Ok);

    EXPECT_EQ(store.DictFolder, Fixtures + "/numbering/");
    EXPECT_EQ(store.count, 6);
    const std::vector<std::string> names{"base.diz", "Upper.DIZ", "alpha.diz",
                                         "zeta.diz", "b.dic",     "words.dic"};
    EXPECT_EQ(lib.names, names);
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(store.DictFileName[i], names[i - 1]);
        EXPECT_EQ(store.DictText[i], readFile(Fixtures + "/numbering/" + names[i - 1]));
        EXPECT_EQ(store.DictLength[i], static_cast<int64_t>(store.DictText[i].size()));
    }
    EXPECT_EQ(store.DictFileName[7], "");
    // Only the exact ".diz" names go through the library.
    EXPECT_EQ(lib.calls, (std::vector<int>{1, 3, 4}));
    EXPECT_TRUE(fs::is_empty(lib.temp.path)) << "temporary lists must be deleted";
    EXPECT_TRUE(fs::exists(Fixtures + "/numbering/b.dic"));
    EXPECT_TRUE(fs::exists(Fixtures + "/numbering/base.diz"));

    EXPECT_EQ(store.LetterStart[1]['A' - '@'], 1);
    EXPECT_EQ(store.LetterStart[1]['C' - '@'], 11);
    EXPECT_EQ(store.LetterStart[1]['R' - '@'], 17);
    EXPECT_EQ(store.LetterStart[6]['W' - '@'], 13); // after the remark line
    EXPECT_TRUE(obs.outOfSequenceMessages.empty());
    EXPECT_TRUE(obs.warnings.empty());
    EXPECT_GT(yields, 0);
}

TEST(Load, YieldsOncePerWalkedLine) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "AAA\r\nBBB\r\nCCC\r\nDDD\r\n");
    writeFile(dir.file("x.dic"), "AAA\r\nBBB\r\n");
    DictionaryStore store;
    FakeLibrary lib;
    RecordingObserver obs;
    long yields = 0;
    ASSERT_EQ(load(store, dir.path, lib, obs, &yields), LoadResult::Ok);
    EXPECT_EQ(yields, 4 + 2);
}

struct MissingBaseCase {
    const char* name;
    std::string folder;
};

void PrintTo(const MissingBaseCase& c, std::ostream* os) {
    *os << c.name << " (" << c.folder << ")";
}

class MissingBaseTest : public ::testing::TestWithParam<MissingBaseCase> {};

TEST_P(MissingBaseTest, IsFatal) {
    DictionaryStore store;
    FakeLibrary lib;
    RecordingObserver obs;
    EXPECT_EQ(load(store, GetParam().folder, lib, obs), LoadResult::MissingBase);
    ASSERT_EQ(obs.fatals.size(), 1u);
    EXPECT_EQ(obs.fatals[0].first, "Error ...");
    EXPECT_EQ(obs.fatals[0].second, "... mandatory dictionary is missing: base.diz !");
    EXPECT_TRUE(lib.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Folders, MissingBaseTest,
                         ::testing::Values(MissingBaseCase{"caseDiffers", Fixtures + "/nobase"},
                                           MissingBaseCase{"missingFolder", "/nonexistent/korvel"},
                                           MissingBaseCase{"emptyFolder", Fixtures + "/.."}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Load, LibraryFailureIsFatalAndLeavesNoList) {
    DictionaryStore store;
    FakeLibrary lib;
    lib.failOn[3] = 2;
    // A list left behind by the failing call must still go.
    writeFile(tempListPath(lib.temp.path, "alpha.diz"), "stale");
    RecordingObserver obs;
    EXPECT_EQ(load(store, Fixtures + "/numbering", lib, obs), LoadResult::LibraryErrors);
    ASSERT_EQ(obs.fatals.size(), 1u);
    EXPECT_EQ(obs.fatals[0].first, "Error ...");
    EXPECT_EQ(obs.fatals[0].second, "... errors while loading dictionaries *.diz !");
    EXPECT_EQ(lib.calls, (std::vector<int>{1, 3}));
    EXPECT_TRUE(fs::is_empty(lib.temp.path));
}

TEST(Load, ZeroOrNegativeResultIsSuccess) {
    DictionaryStore store;
    FakeLibrary lib;
    lib.failOn[1] = -5;
    lib.writeNothing.insert(1);
    RecordingObserver obs;
    EXPECT_EQ(load(store, Fixtures + "/toomany", lib, obs), LoadResult::Ok);
    EXPECT_TRUE(obs.fatals.empty());
}

TEST(Load, NoLibraryNoListFolderOrFailingSetupIsFatal) {
    for (const int variant : {0, 1, 2}) {
        DictionaryStore store;
        FakeLibrary lib;
        RecordingObserver obs;
        CompanionCall call = lib.call();
        if (variant == 0) {
            call.MYFUNC = nullptr;
        } else if (variant == 1) {
            call.tempFolder.clear();
        } else {
            lib.setupResult = 1;
        }
        EXPECT_EQ(loadDictionaries(store, Fixtures + "/numbering", call, {}, obs),
                  LoadResult::LibraryErrors);
        ASSERT_EQ(obs.fatals.size(), 1u);
        EXPECT_EQ(obs.fatals[0].second, "... errors while loading dictionaries *.diz !");
        EXPECT_TRUE(lib.calls.empty());
    }
}

TEST(Load, MissingTemporaryListLeavesDictionaryEmpty) {
    DictionaryStore store;
    FakeLibrary lib;
    lib.writeNothing.insert(3);
    RecordingObserver obs;
    ASSERT_EQ(load(store, Fixtures + "/numbering", lib, obs), LoadResult::Ok);
    EXPECT_EQ(store.DictFileName[3], "alpha.diz");
    EXPECT_EQ(store.DictText[3], "");
    EXPECT_EQ(store.DictLength[3], 0);
    ASSERT_EQ(obs.warnings.size(), 1u);
    EXPECT_NE(obs.warnings[0].find("alpha.diz"), std::string::npos);
    EXPECT_EQ(store.DictText[4], "ZETA\r\n");
}

TEST(Load, TemporaryListIsNotReadThroughALink) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n");
    writeFile(dir.file("secret"), "SECRET\r\n");
    DictionaryStore store;
    FakeLibrary lib;
    lib.writeNothing.insert(1);
    fs::create_symlink(dir.file("secret"), tempListPath(lib.temp.path, "base.diz"));
    RecordingObserver obs;
    ASSERT_EQ(load(store, dir.path, lib, obs), LoadResult::Ok);
    EXPECT_EQ(store.DictText[1], "");
    EXPECT_EQ(obs.warnings.size(), 1u);
    EXPECT_TRUE(fs::is_empty(lib.temp.path)) << "the link is removed";
    EXPECT_TRUE(fs::exists(dir.file("secret")));
}

// A list folder that is a link, or open to others, may be someone else's
// doing: whatever its list path leads to is neither read nor deleted, after a
// failing call as after a successful one.
TEST(Load, ListFolderThatIsNotPrivateIsNeverTouched) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n");
    for (const bool linked : {true, false}) {
        for (const bool fails : {true, false}) {
            FakeLibrary lib;
            TempDir victim;
            std::string folder = lib.temp.file("lists");
            if (linked) {
                fs::create_directory_symlink(victim.path, folder);
            } else {
                fs::create_directory(folder);
                fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read |
                                            fs::perms::group_exec | fs::perms::others_read |
                                            fs::perms::others_exec);
            }
            const std::string list = tempListPath(folder, "base.diz");
            writeFile(list, "PRECIOUS\r\n");
            if (fails) {
                lib.failOn[1] = 1;
            }
            lib.writeNothing.insert(1);
            CompanionCall call = lib.call();
            call.tempFolder = folder;
            DictionaryStore store;
            RecordingObserver obs;
            const LoadResult result = loadDictionaries(store, dir.path, call, {}, obs);
            SCOPED_TRACE(std::string(linked ? "link" : "open folder") +
                         (fails ? ", failing call" : ", successful call"));
            EXPECT_EQ(result, fails ? LoadResult::LibraryErrors : LoadResult::Ok);
            EXPECT_EQ(readFile(list), "PRECIOUS\r\n");
            EXPECT_EQ(store.DictText[1], "");
            EXPECT_EQ(obs.warnings.size(), fails ? 0u : 1u);
        }
    }
}

TEST(Load, AtMostSevenDictionaries) {
    DictionaryStore store;
    FakeLibrary lib;
    RecordingObserver obs;
    ASSERT_EQ(load(store, Fixtures + "/toomany", lib, obs), LoadResult::Ok);
    EXPECT_EQ(store.count, 7);
    EXPECT_EQ(store.DictFileName[1], "base.diz");
    EXPECT_EQ(store.DictFileName[7], "f.dic");
    EXPECT_EQ(store.DictText[7], "WORDF\r\n");
    ASSERT_EQ(obs.warnings.size(), 1u);
    EXPECT_NE(obs.warnings[0].find("g.dic, h.dic"), std::string::npos) << obs.warnings[0];
}

// The loader's notes read as English for one line and for several.
TEST(Load, NotesOnLinesLeftOutReadForOneAndMany) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n\r\nDEF\r\n");
    writeFile(dir.file("a.dic"), "ABC\r\n\r\n\r\nDEF\r\n");
    writeFile(dir.file("b.dic"), "1X\r\nABC\r\n");
    writeFile(dir.file("c.dic"), "1X\r\n2Y\r\nABC\r\n");
    writeFile(dir.file("d.dic"), "ABC\r\nD\nEF\r\n");
    writeFile(dir.file("e.dic"), "ABC\r\nD\nE\r\nF\rG\r\n");
    DictionaryStore store;
    FakeLibrary lib;
    RecordingObserver obs;
    ASSERT_EQ(load(store, dir.path, lib, obs), LoadResult::Ok);
    const auto has = [&](const std::string& text) {
        for (const std::string& w : obs.warnings)
            if (w.find(text) != std::string::npos)
                return true;
        return false;
    };
    EXPECT_TRUE(has("base.diz: 1 empty line is not indexed !"));
    EXPECT_TRUE(has("a.dic: 2 empty lines are not indexed !"));
    EXPECT_TRUE(
        has("b.dic: 1 line not beginning with a letter A to Z is not indexed (the first: "));
    EXPECT_TRUE(
        has("c.dic: 2 lines not beginning with a letter A to Z are not indexed (the first: "));
    EXPECT_TRUE(has("; 1 line holding a CR, LF or NUL byte is left out !"));
    EXPECT_TRUE(has("; 2 lines holding a CR, LF or NUL byte are left out !"));
    for (const std::string& w : obs.warnings)
        EXPECT_EQ(w.find("(s)"), std::string::npos) << w;
}

TEST(Load, NamelessDizIsSkipped) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n");
    writeFile(dir.file(".diz"), "ABC\r\n");
    writeFile(dir.file("..diz"), "ABC\r\n");
    writeFile(dir.file("...diz"), "ABC\r\n");
    writeFile(dir.file("z.dic"), "ZZZ\r\n");
    DictionaryStore store;
    FakeLibrary lib;
    RecordingObserver obs;
    ASSERT_EQ(load(store, dir.path, lib, obs), LoadResult::Ok);
    EXPECT_EQ(store.count, 2);
    EXPECT_EQ(store.DictFileName[2], "z.dic");
    EXPECT_EQ(obs.warnings.size(), 3u);
    EXPECT_TRUE(fs::exists(lib.temp.path));
}

TEST(Load, OutOfSequenceReportedThroughObserver) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "ROSSO\r\nROSSA\r\nZZZ\r\n");
    DictionaryStore store;
    FakeLibrary lib;
    RecordingObserver obs;
    ASSERT_EQ(load(store, dir.path, lib, obs), LoadResult::Ok);
    ASSERT_EQ(obs.outOfSequenceMessages.size(), 1u);
    EXPECT_EQ(obs.outOfSequenceMessages[0],
              "This item ROSSA is out of sequence\r\nand might compromise the search within its "
              "dictionary.");
    EXPECT_EQ(store.DictText[1], "ROSSO\r\nROSSA\r\nZZZ\r\n") << "the text stays as read";
}

TEST(Load, EmptyOrFalseFolderMeansCurrentDirectory) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n");
    const fs::path before = fs::current_path();
    fs::current_path(dir.path);
    for (const char* folder : {"", "False"}) {
        DictionaryStore store;
        FakeLibrary lib;
        RecordingObserver obs;
        EXPECT_EQ(load(store, folder, lib, obs), LoadResult::Ok) << folder;
        EXPECT_EQ(store.DictFolder, fs::current_path().string() + "/");
        EXPECT_EQ(store.DictText[1], "ABC\r\n");
    }
    fs::current_path(before);
}

TEST(Load, UnreadableDicStaysEmpty) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n");
    writeFile(dir.file("locked.dic"), "ABC\r\n");
    fs::permissions(dir.file("locked.dic"), fs::perms::none);
    if (std::ifstream(dir.file("locked.dic"))) {
        GTEST_SKIP() << "running with privileges that ignore file permissions";
    }
    DictionaryStore store;
    FakeLibrary lib;
    RecordingObserver obs;
    ASSERT_EQ(load(store, dir.path, lib, obs), LoadResult::Ok);
    EXPECT_EQ(store.DictFileName[2], "locked.dic");
    EXPECT_EQ(store.DictText[2], "");
    EXPECT_EQ(obs.warnings.size(), 1u);
}

TEST(Load, OversizedDicStaysEmpty) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n");
    writeFile(dir.file("huge.dic"), "");
    // Sparse: no disk space is used.
    fs::resize_file(dir.file("huge.dic"), MaxDictionaryBytes + 1);
    DictionaryStore store;
    FakeLibrary lib;
    RecordingObserver obs;
    ASSERT_EQ(load(store, dir.path, lib, obs), LoadResult::Ok);
    EXPECT_EQ(store.DictFileName[2], "huge.dic");
    EXPECT_EQ(store.DictLength[2], 0);
    ASSERT_EQ(obs.warnings.size(), 1u);
    EXPECT_NE(obs.warnings[0].find("larger than"), std::string::npos);
}

TEST(TempListPath, NameLessLastFourCharacters) {
    EXPECT_EQ(tempListPath("/tmp/k", "base.diz"), "/tmp/k/base");
    EXPECT_EQ(tempListPath("/tmp/k/", "my.words.diz"), "/tmp/k/my.words");
    EXPECT_EQ(tempListPath("/tmp/k", ".diz"), "");
    EXPECT_EQ(tempListPath("/tmp/k", "..diz"), "");
    EXPECT_EQ(tempListPath("/tmp/k", "...diz"), "");
    EXPECT_EQ(tempListPath("/tmp/k", "....diz"), "/tmp/k/...");
    EXPECT_EQ(tempListPath("", "base.diz"), "");
}

} // namespace
