// SPDX-License-Identifier: GPL-3.0-or-later
#include "hunspellwordservice.h"
#include "wordqueries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>

namespace korvel {
namespace {

namespace fs = std::filesystem;

// Records what a tool writes, in order, as the window would show it.
class RecordingSink : public WordToolSink {
public:
    void setPanelText(int panel, std::string_view text) override {
        panels[panel] = std::string(text);
    }
    void setPanelHint(int panel, std::string_view hint) override {
        hints[panel] = std::string(hint);
    }
    void clearList() override {
        list.clear();
        ++clears;
    }
    void addListLine(std::string line) override { list.push_back(std::move(line)); }
    void setListHint(std::string_view hint) override { listHint = std::string(hint); }
    void beep() override { ++beeps; }

    std::map<int, std::string> panels;
    std::map<int, std::string> hints;
    std::vector<std::string> list;
    std::string listHint = "unset";
    int clears = 0;
    int beeps = 0;
};

// A scripted service: answers the look-ups from fixed values and fails the
// call numbered failAt (1-based over all calls), recording every call.
class ScriptedService : public WordService {
public:
    WordStatus start() override { return step("start"); }
    WordStatus setVisible(bool v) override { return step(v ? "visible" : "hidden"); }
    WordStatus addDocument() override { return step("add"); }
    WordStatus saveDocumentAs(int index, const std::string& path) override {
        return step("save " + std::to_string(index) + " " + path);
    }
    WordStatus closeDocument(const std::string& name, bool save) override {
        return step("close " + name + (save ? " save" : " nosave"));
    }
    WordStatus quit() override { return step("quit"); }
    WordResult<SynonymInfo> synonymInfo(std::string_view word, int lang) override {
        if (auto st = step("syn " + std::string(word) + " " + std::to_string(lang)); !st)
            return WordResult<SynonymInfo>::failure(st.error());
        return synonyms;
    }
    WordResult<SpellingSuggestions> spellingSuggestions(std::string_view word, bool ignoreUpper,
                                                        int lang, int mode) override {
        if (auto st = step("spell " + std::string(word) + " " + std::to_string(ignoreUpper) + " " +
                           std::to_string(lang) + " " + std::to_string(mode));
            !st)
            return WordResult<SpellingSuggestions>::failure(st.error());
        return spelling;
    }

    SynonymInfo synonyms;
    SpellingSuggestions spelling;
    int failAt = 0;
    std::vector<std::string> calls;

private:
    WordStatus step(std::string call) {
        calls.push_back(std::move(call));
        if (static_cast<int>(calls.size()) == failAt)
            return WordStatus::failure("scripted failure");
        return wordOk();
    }
};

using Lines = std::vector<std::string>;

// ---- the thesaurus tool ---------------------------------------------------

struct ThesaurusCase {
    const char* name;
    SynonymInfo info;
    int failAt;
    Lines list;
    std::string panel2;
    int beeps;
};

void PrintTo(const ThesaurusCase& c, std::ostream* os) {
    *os << c.name;
}

class ThesaurusTool : public testing::TestWithParam<ThesaurusCase> {};

TEST_P(ThesaurusTool, ListsPanelsAndBeeps) {
    const ThesaurusCase& c = GetParam();
    ScriptedService service;
    service.synonyms = c.info;
    service.failAt = c.failAt;
    RecordingSink sink;
    sink.list = {"old line"};
    sink.panels[3] = "remark";

    thesaurusLookup(service, "Happy", sink);

    EXPECT_EQ(sink.list, c.list);
    EXPECT_EQ(sink.panels[2], c.panel2);
    EXPECT_EQ(sink.panels[3], " ");
    EXPECT_EQ(sink.beeps, c.beeps);
    EXPECT_EQ(service.calls.front(), "syn Happy 2057");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThesaurusTool,
    testing::Values(
        ThesaurusCase{"SynonymsAndAntonyms",
                      {2, {"glad", "joyful"}, {"unhappy"}},
                      0,
                      {"=         synonyms         =", "=GLAD", "=JOYFUL",
                       ">         antonyms          <", ">UNHAPPY"},
                      " 3 Syn./Ant.",
                      0},
        ThesaurusCase{"SynonymsWithoutAntonymsKeepBothHeaders",
                      {1, {"glad"}, {}},
                      0,
                      {"=         synonyms         =", "=GLAD", ">         antonyms          <"},
                      " 1 Syn./Ant.",
                      0},
        ThesaurusCase{"UnknownWord", {0, {}, {}}, 0, {" ", " no Syn./Ant. "}, " no Syn./Ant. ", 1},
        ThesaurusCase{"FirstLookupFailsLeavesListAlone",
                      {2, {"glad"}, {}},
                      1,
                      {"old line"},
                      " no Syn./Ant. ",
                      1},
        ThesaurusCase{"SecondLookupFailsKeepsSynonyms",
                      {2, {"glad"}, {"sad"}},
                      2,
                      {"=         synonyms         =", "=GLAD"},
                      " no Syn./Ant. ",
                      1},
        ThesaurusCase{"UpperCasesLatin1",
                      {1, {"caf\xE9"}, {}},
                      0,
                      {"=         synonyms         =", "=CAF\xC9", ">         antonyms          <"},
                      " 1 Syn./Ant.",
                      0}),
    [](const testing::TestParamInfo<ThesaurusCase>& i) { return std::string(i.param.name); });

TEST(ThesaurusTool, ClearsListAndHints) {
    ScriptedService service;
    service.synonyms = {1, {"glad"}, {}};
    RecordingSink sink;
    sink.hints[2] = "hint";
    thesaurusLookup(service, "HAPPY", sink);
    EXPECT_EQ(sink.clears, 1);
    EXPECT_EQ(sink.listHint, "");
    EXPECT_EQ(sink.hints[2], "");
}

// ---- the spelling tool ----------------------------------------------------

struct SpellingCase {
    const char* name;
    std::string test;
    SpellingSuggestions answer;
    int failAt;
    Lines list;
    std::string panel2; // "" when the panel is not written
    int beeps;
    std::size_t calls;
};

void PrintTo(const SpellingCase& c, std::ostream* os) {
    *os << c.name << " (\"" << c.test << "\")";
}

class SpellingTool : public testing::TestWithParam<SpellingCase> {};

TEST_P(SpellingTool, ListsPanelsAndBeeps) {
    const SpellingCase& c = GetParam();
    ScriptedService service;
    service.spelling = c.answer;
    service.failAt = c.failAt;
    RecordingSink sink;
    sink.list = {"kept"};

    spellingCheck(service, c.test, sink);

    Lines expected{"kept"};
    expected.insert(expected.end(), c.list.begin(), c.list.end());
    EXPECT_EQ(sink.list, expected);
    EXPECT_EQ(sink.panels[2], c.panel2);
    if (!c.panel2.empty()) {
        EXPECT_EQ(sink.panels[3], " ");
    }
    EXPECT_EQ(sink.beeps, c.beeps);
    EXPECT_EQ(sink.clears, 0);
    EXPECT_EQ(service.calls.size(), c.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpellingTool,
    testing::Values(
        SpellingCase{"Correct", "HAPPY", {0, {}}, 0, {" ", " OK Spelling "}, " OK Spelling ", 0, 1},
        SpellingCase{"OtherErrorTypeCountsAsCorrect",
                     "HAPPY",
                     {3, {"x"}},
                     0,
                     {" ", " OK Spelling "},
                     " OK Spelling ",
                     0,
                     1},
        SpellingCase{"MisspelledSeveral",
                     "HAPY",
                     {1, {"happy", "harpy", "hap y"}},
                     0,
                     {"HAPPY", "HARPY", "HAP Y"},
                     " ERR. Spelling ",
                     0,
                     2},
        SpellingCase{"MisspelledSingleSuggestionIsListed",
                     "XYZZY",
                     {1, {"XYZ"}},
                     0,
                     {"XYZ"},
                     " ERR. Spelling ",
                     0,
                     2},
        SpellingCase{"MisspelledNoSuggestion", "QQQQ", {1, {}}, 0, {}, " ERR. Spelling ", 0, 2},
        SpellingCase{"QuestionMarkRefused", "HA?PY", {0, {}}, 0, {}, " not valid ", 0, 0},
        SpellingCase{"StarRefused", "HAP*", {0, {}}, 0, {}, " not valid ", 0, 0},
        SpellingCase{"EmptyDoesNothing", "", {0, {}}, 0, {}, "", 0, 0},
        SpellingCase{"BlankDoesNothing", " ", {0, {}}, 0, {}, "", 0, 0},
        SpellingCase{"SeveralBlanksDoNothing", "   ", {0, {}}, 0, {}, "", 0, 0},
        SpellingCase{
            "FirstCallFails", "HAPY", {1, {"happy"}}, 1, {}, " Spelling not available ", 1, 1},
        SpellingCase{
            "SecondCallFails", "HAPY", {1, {"happy"}}, 2, {}, " Spelling not available ", 1, 2}),
    [](const testing::TestParamInfo<SpellingCase>& i) { return std::string(i.param.name); });

TEST(SpellingTool, AsksForBritishSpellingSuggestions) {
    ScriptedService service;
    RecordingSink sink;
    spellingCheck(service, "COLOUR", sink);
    EXPECT_EQ(service.calls, Lines{"spell COLOUR 0 2057 0"});
}

TEST(ThesaurusTool, EmptyOrBlankDoesNothing) {
    for (const char* text : {"", " ", "  ", "      "}) {
        ScriptedService service;
        RecordingSink sink;
        thesaurusLookup(service, text, sink);
        EXPECT_TRUE(service.calls.empty());
        EXPECT_TRUE(sink.panels.empty());
        EXPECT_EQ(sink.clears, 0);
    }
}

// ---- connection -----------------------------------------------------------

TEST(WordConnection, OpenRunsItsStepsInOrderAndStopsAtAFailure) {
    const Lines all{"start", "hidden", "add", "save 1 /d/~ravor.doc"};
    for (int failAt = 0; failAt <= 4; ++failAt) {
        ScriptedService service;
        service.failAt = failAt;
        const WordStatus st = openWordService(service, "/d/~ravor.doc");
        EXPECT_EQ(st.ok(), failAt == 0) << failAt;
        Lines expected(all.begin(), all.begin() + (failAt == 0 ? 4 : failAt));
        // A failure after the start quits the service again.
        if (failAt > 1)
            expected.push_back("quit");
        EXPECT_EQ(service.calls, expected) << failAt;
    }
}

TEST(WordConnection, CloseDoesNotSaveAndStopsAtAFailure) {
    ScriptedService service;
    EXPECT_TRUE(closeWordService(service, "/d/~ravor.doc").ok());
    EXPECT_EQ(service.calls, (Lines{"close /d/~ravor.doc nosave", "quit"}));

    ScriptedService failing;
    failing.failAt = 1;
    EXPECT_FALSE(closeWordService(failing, "/d/~ravor.doc").ok());
    EXPECT_EQ(failing.calls.size(), 1u);
}

TEST(WordConnection, ScratchDocumentPath) {
    EXPECT_EQ(scratchDocumentPath("/home/u/dict/"), "/home/u/dict/~ravor.doc");
    EXPECT_EQ(scratchDocumentPath("/home/u/dict"), "/home/u/dict/~ravor.doc");
}

TEST(WordConnection, FailureMessageText) {
    EXPECT_EQ(WordConnectionFailureText,
              "This program cannot use MS Word directly.\r\n"
              "It might happen when MS Word is opened already. If so, exit the program,\r\n"
              "close MS Word, and then call this program again.");
}

// ---- the Hunspell and MyThes service on the installed dictionaries ---------

class InstalledService : public testing::Test {
protected:
    void SetUp() override {
        const std::string missing = WordDictionaryPaths{}.firstMissing();
        if (!missing.empty())
            GTEST_SKIP() << "dictionary not installed (" << missing
                         << "): install hunspell-en-gb and mythes-en-us (scripts/setup)";
    }
    static HunspellWordService& service() {
        static HunspellWordService s;
        return s;
    }
};

bool contains(const Lines& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

TEST_F(InstalledService, CorrectWordInAnyCase) {
    for (const char* word : {"HAPPY", "happy", "COLOUR", "Receive", "HAPPY ", "  "}) {
        const auto r =
            service().spellingSuggestions(word, false, LanguageEnglishUK, SuggestionModeSpelling);
        ASSERT_TRUE(r.ok()) << r.error();
        EXPECT_EQ(r.value().SpellingErrorType, 0) << word;
        EXPECT_TRUE(r.value().names.empty()) << word;
    }
}

TEST_F(InstalledService, MisspelledWordHasSeveralSuggestionsBestFirst) {
    const auto r =
        service().spellingSuggestions("recieve", false, LanguageEnglishUK, SuggestionModeSpelling);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r.value().SpellingErrorType, 1);
    ASSERT_GE(r.value().names.size(), 2u);
    EXPECT_EQ(r.value().names.front(), "receive");
}

TEST_F(InstalledService, AmericanSpellingIsAnErrorInBritishEnglish) {
    const auto r =
        service().spellingSuggestions("COLOR", false, LanguageEnglishUK, SuggestionModeSpelling);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r.value().SpellingErrorType, 1);
    EXPECT_TRUE(contains(r.value().names, "COLOUR"));
}

TEST_F(InstalledService, IgnoreUppercaseSkipsAllCapitalWords) {
    const auto r =
        service().spellingSuggestions("QWXZT", true, LanguageEnglishUK, SuggestionModeSpelling);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value().SpellingErrorType, 0);
}

TEST_F(InstalledService, SynonymsAndAntonymsWithoutNotes) {
    const auto r = service().synonymInfo("HAPPY", LanguageEnglishUK);
    ASSERT_TRUE(r.ok()) << r.error();
    const SynonymInfo& info = r.value();
    EXPECT_GE(info.MeaningCount, 2);
    EXPECT_TRUE(contains(info.SynonymList, "blessed"));
    EXPECT_TRUE(contains(info.SynonymList, "joyful"));
    EXPECT_EQ(info.AntonymList, Lines{"unhappy"});
    EXPECT_FALSE(contains(info.SynonymList, "unhappy"));
    EXPECT_FALSE(contains(info.SynonymList, "happy"));
    for (const std::string& s : info.SynonymList)
        EXPECT_EQ(s.find('('), std::string::npos) << s;
    // No term twice, though the thesaurus repeats some.
    Lines sorted = info.SynonymList;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}

TEST_F(InstalledService, BlanksAroundTheWordAreIgnored) {
    const auto r = service().synonymInfo(" HAPPY  ", LanguageEnglishUK);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_GT(r.value().MeaningCount, 0);
}

TEST_F(InstalledService, InflectedFormFoundThroughItsStem) {
    const auto r = service().synonymInfo("HAPPIER", LanguageEnglishUK);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_GT(r.value().MeaningCount, 0);
}

TEST_F(InstalledService, WordUnknownToTheThesaurus) {
    for (const char* word : {"XYZZY", "RECIEVE"}) {
        const auto r = service().synonymInfo(word, LanguageEnglishUK);
        ASSERT_TRUE(r.ok()) << r.error();
        EXPECT_EQ(r.value().MeaningCount, 0) << word;
        EXPECT_TRUE(r.value().SynonymList.empty());
        EXPECT_TRUE(r.value().AntonymList.empty());
    }
}

TEST_F(InstalledService, OtherLanguagesAreNotInstalled) {
    EXPECT_FALSE(service().synonymInfo("HAPPY", 1040).ok());
    EXPECT_FALSE(service().spellingSuggestions("HAPPY", false, 1040, 0).ok());
    EXPECT_FALSE(service().spellingSuggestions("HAPPY", false, LanguageEnglishUK, 1).ok());
}

TEST_F(InstalledService, ToolsEndToEnd) {
    RecordingSink thesaurus;
    thesaurusLookup(service(), "HAPPY", thesaurus);
    EXPECT_TRUE(contains(thesaurus.list, "=BLESSED"));
    EXPECT_TRUE(contains(thesaurus.list, ">UNHAPPY"));
    EXPECT_EQ(thesaurus.panels[2], " " + std::to_string(thesaurus.list.size() - 2) + " Syn./Ant.");

    RecordingSink unknown;
    thesaurusLookup(service(), "XYZZY", unknown);
    EXPECT_EQ(unknown.list, (Lines{" ", " no Syn./Ant. "}));
    EXPECT_EQ(unknown.beeps, 1);

    RecordingSink spelling;
    spellingCheck(service(), "ACOMMODATE", spelling);
    EXPECT_EQ(spelling.panels[2], " ERR. Spelling ");
    ASSERT_FALSE(spelling.list.empty());
    EXPECT_EQ(spelling.list.front(), "ACCOMMODATE");
}

class ScratchFolder : public InstalledService {
protected:
    void SetUp() override {
        InstalledService::SetUp();
        folder =
            fs::temp_directory_path() /
            ("korvel_word_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

TEST_F(ScratchFolder, OpenAndCloseTwiceLeavesTheScratchDocument) {
    HunspellWordService word;
    const std::string path = scratchDocumentPath(folder.string());
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(openWordService(word, path).ok());
        EXPECT_TRUE(word.isRunning());
        EXPECT_EQ(word.documentNames(), Lines{path});
        EXPECT_TRUE(closeWordService(word, path).ok());
        EXPECT_FALSE(word.isRunning());
        EXPECT_TRUE(fs::exists(path));
    }
    // A close without a connection fails at its first step.
    const WordStatus again = closeWordService(word, path);
    EXPECT_FALSE(again.ok());
    EXPECT_FALSE(again.error().empty());
}

TEST_F(ScratchFolder, OpenOverwritesAnOldScratchDocument) {
    const std::string path = scratchDocumentPath(folder.string());
    std::ofstream(path) << "old content";
    HunspellWordService word;
    ASSERT_TRUE(openWordService(word, path).ok());
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(ScratchFolder, LinkUnderTheScratchNameIsReplacedNotFollowed) {
    const fs::path victim = folder / "victim.txt";
    std::ofstream(victim) << "precious";
    const std::string path = scratchDocumentPath(folder.string());
    fs::create_symlink(victim, path);
    HunspellWordService word;
    ASSERT_TRUE(openWordService(word, path).ok());
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(fs::file_size(victim), 8u);
    EXPECT_TRUE(closeWordService(word, path).ok());
    // Nothing is left beside the document.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

TEST_F(ScratchFolder, UnwritableFolderFailsTheOpenAndLeavesNothingRunning) {
    HunspellWordService word;
    const std::string path = scratchDocumentPath((folder / "no such folder").string());
    EXPECT_FALSE(openWordService(word, path).ok());
    EXPECT_FALSE(word.isRunning());
    EXPECT_TRUE(word.documentNames().empty());
}

TEST(MissingDictionaries, ConnectionAndLookupsFail) {
    WordDictionaryPaths paths;
    paths.thesaurusIndex = "/nonexistent/th_en_US_v2.idx";
    HunspellWordService word(paths);
    EXPECT_EQ(paths.firstMissing(), "/nonexistent/th_en_US_v2.idx");
    const WordStatus st = openWordService(word, "/tmp/never-written/~ravor.doc");
    EXPECT_FALSE(st.ok());
    EXPECT_NE(st.error().find("th_en_US_v2.idx"), std::string::npos);
    EXPECT_FALSE(word.isRunning());
    EXPECT_FALSE(word.synonymInfo("HAPPY", LanguageEnglishUK).ok());
    EXPECT_FALSE(word.spellingSuggestions("HAPPY", false, LanguageEnglishUK, 0).ok());

    RecordingSink sink;
    thesaurusLookup(word, "HAPPY", sink);
    EXPECT_EQ(sink.panels[2], " no Syn./Ant. ");
    EXPECT_EQ(sink.beeps, 1);
    spellingCheck(word, "HAPPY", sink);
    EXPECT_EQ(sink.panels[2], " Spelling not available ");
    EXPECT_EQ(sink.beeps, 2);
}

TEST(Latin1, UpperCase) {
    EXPECT_EQ(toUpperLatin1("caf\xE9 na\xEFve \xF7\xFF"), "CAF\xC9 NA\xCFVE \xF7\xFF");
}

} // namespace
} // namespace korvel
