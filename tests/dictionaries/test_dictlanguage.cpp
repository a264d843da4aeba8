// SPDX-License-Identifier: GPL-3.0-or-later
// The language of the installed sets: the locale's default, the remembered
// setting (read, written, refused), and which folder is loaded for each
// layout of the current, per-user and installed folders.
#include "dictfolder.h"
#include "dictlanguage.h"
#include "filesizelimit.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;
using namespace korvel;
using korvel::testing::FileSizeLimit;
using korvel::testing::readFile;
using korvel::testing::TempDir;
using korvel::testing::writeFile;

namespace {

constexpr auto It = DictionaryLanguage::Italian;
constexpr auto En = DictionaryLanguage::English;

TEST(Language, FromTheLocale) {
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        DictionaryLanguage expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, "it_IT.UTF-8", It},
        {nullptr, nullptr, "it", It},
        {nullptr, nullptr, "it_CH", It},
        {nullptr, nullptr, "en_GB.UTF-8", En},
        {nullptr, nullptr, "de_DE", En},
        {nullptr, nullptr, "C", En},
        {nullptr, nullptr, "C.UTF-8", En},
        {nullptr, nullptr, "i", En},
        {nullptr, nullptr, "IT_it", En}, // locale names are case-sensitive
        {nullptr, nullptr, nullptr, En},
        {nullptr, nullptr, "", En},
        {"en_US.UTF-8", "it_IT", "it_IT", En}, // LC_ALL decides first
        {"it_IT.UTF-8", "en_US", "en_US", It},
        {"", "it_IT", "en_US", It},      // an empty LC_ALL is passed over
        {nullptr, "en_US", "it_IT", En}, // then LC_MESSAGES
        {nullptr, "", "it_IT", It},      // then LANG
    };
    for (const Case& c : cases) {
        EXPECT_EQ(localeLanguage(c.lcAll, c.lcMessages, c.lang), c.expected)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}

TEST(Language, CodesRoundTripAndOthersAreNone) {
    for (DictionaryLanguage l : AllDictionaryLanguages) {
        EXPECT_EQ(languageFromCode(languageCode(l)), l);
    }
    EXPECT_EQ(languageCode(It), "it");
    EXPECT_EQ(languageCode(En), "en");
    EXPECT_EQ(languageFromCode("IT"), It);
    EXPECT_EQ(languageFromCode(" en\r\n"), En);
    EXPECT_EQ(languageFromCode("en\n\n"), En);
    for (const char* bad : {"", "\n", "e", "eng", "it_IT", "fr", "i t", "en\nit"}) {
        EXPECT_FALSE(languageFromCode(bad).has_value()) << bad;
    }
}

TEST(Language, RememberedBeforeLocale) {
    EXPECT_EQ(chooseLanguage(It, En), It);
    EXPECT_EQ(chooseLanguage(En, It), En);
    EXPECT_EQ(chooseLanguage(std::nullopt, It), It);
    EXPECT_EQ(chooseLanguage(std::nullopt, En), En);
}

TEST(Language, SettingsFolderFollowsTheBaseDirectoryRules) {
    EXPECT_EQ(userConfigFolder("/cfg", "/home/u"), "/cfg/korvel");
    EXPECT_EQ(userConfigFolder("/cfg/", "/home/u"), "/cfg/korvel");
    EXPECT_EQ(userConfigFolder(nullptr, "/home/u"), "/home/u/.config/korvel");
    EXPECT_EQ(userConfigFolder("", "/home/u/"), "/home/u/.config/korvel");
    EXPECT_EQ(userConfigFolder("cfg", "/home/u"), "/home/u/.config/korvel");
    EXPECT_EQ(userConfigFolder(nullptr, "home"), "");
    EXPECT_EQ(userConfigFolder(nullptr, nullptr), "");
    EXPECT_EQ(languageSettingFile("/cfg/korvel"), "/cfg/korvel/language");
    EXPECT_EQ(languageSettingFile(""), "");
}

// ---------------------------------------------------------------- the setting file

TEST(LanguageSetting, WrittenAndReadBack) {
    TempDir dir;
    const std::string file = languageSettingFile(dir.file("cfg/korvel"));
    EXPECT_FALSE(readLanguageSetting(file).has_value()); // nothing remembered yet
    std::string error;
    ASSERT_TRUE(writeLanguageSetting(file, It, error)) << error; // makes the folders
    EXPECT_EQ(readFile(file), "it\n");
    EXPECT_EQ(readLanguageSetting(file), It);
    ASSERT_TRUE(writeLanguageSetting(file, En, error)) << error;
    EXPECT_EQ(readLanguageSetting(file), En);
    // Nothing but the file is left in the folder (no scratch files).
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.file("cfg/korvel"))) {
        names.push_back(e.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"language"});
}

TEST(LanguageSetting, WhatIsNoSettingRemembersNone) {
    TempDir dir;
    const std::string file = dir.file("language");
    for (const char* text : {"", "fr\n", "italiano\n", "\xEF\xBB\xBFit\n"}) {
        writeFile(file, text);
        EXPECT_FALSE(readLanguageSetting(file).has_value()) << text;
    }
    writeFile(file, std::string(300, ' ') + "it");
    EXPECT_FALSE(readLanguageSetting(file).has_value()); // over the bounded read
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); // must not block
    EXPECT_FALSE(readLanguageSetting(file).has_value());
    fs::remove(file);
    fs::create_directory(file);
    EXPECT_FALSE(readLanguageSetting(file).has_value());
    EXPECT_FALSE(readLanguageSetting("").has_value());
}

TEST(LanguageSetting, AFailedWriteLeavesTheOldValue) {
    TempDir dir;
    const std::string file = dir.file("language");
    std::string error;
    ASSERT_TRUE(writeLanguageSetting(file, It, error)) << error;
    {
        // A full disk: the new value cannot be written whole.
        FileSizeLimit limit(1);
        EXPECT_FALSE(writeLanguageSetting(file, En, error));
    }
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_EQ(readFile(file), "it\n");
    EXPECT_EQ(fs::directory_iterator(dir.path)->path().filename(), "language");
}

TEST(LanguageSetting, RefusedWhereNoFileCanBe) {
    TempDir dir;
    std::string error;
    // The settings folder would have to be made inside a regular file.
    writeFile(dir.file("plain"), "x");
    EXPECT_FALSE(writeLanguageSetting(dir.file("plain/korvel/language"), It, error));
    EXPECT_NE(error.find("cannot make the folder"), std::string::npos) << error;
    // A folder stands where the file would go.
    fs::create_directories(dir.file("cfg/language"));
    EXPECT_FALSE(writeLanguageSetting(dir.file("cfg/language"), It, error));
    EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
    // No settings folder known at all.
    EXPECT_FALSE(writeLanguageSetting("", It, error));
    EXPECT_FALSE(error.empty());
}

// ---------------------------------------------------------------- which folder is loaded

// Lays a base.diz in folder (made when missing).
void holdBase(const std::string& folder) {
    fs::create_directories(folder);
    writeFile(folder + "/base.diz", "ABC\r\n");
}

struct LayoutCase {
    const char* name;
    bool current;                                // the start folder holds base.diz
    bool user;                                   // the per-user folder itself does
    std::vector<const char*> userLanguages;      // its subfolders that do
    std::vector<const char*> installedLanguages; // installed sets
    DictionaryLanguage language;
    const char* expected; // "current", "user", "user/it", "installed/en", ...
};

class Fallback : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Fallback, FirstFolderHoldingBaseDiz) {
    const LayoutCase& c = GetParam();
    TempDir dir;
    const std::string current = dir.file("here");
    fs::create_directories(current);
    const std::string user = dir.file("data/korvel/dictionaries");
    const std::string installed = dir.file("share/korvel/dictionaries");
    if (c.current) {
        holdBase(current);
    }
    if (c.user) {
        holdBase(user);
    }
    for (const char* l : c.userLanguages) {
        holdBase(user + "/" + l);
    }
    for (const char* l : c.installedLanguages) {
        holdBase(installed + "/" + l);
    }
    const std::string chosen =
        chooseDictionaryFolder(current, languageFallbacks(user, installed, c.language));
    const std::string expected = c.expected;
    const std::string want = expected == "current"           ? current
                             : expected == "user"            ? user
                             : expected.starts_with("user/") ? user + expected.substr(4)
                                                             : installed + expected.substr(9);
    EXPECT_EQ(chosen, want);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, Fallback,
    ::testing::Values(
        LayoutCase{"currentWinsOverAll", true, true, {"it", "en"}, {"it", "en"}, It, "current"},
        LayoutCase{"userFolderItselfWhateverTheLanguage",
                   false,
                   true,
                   {"it", "en"},
                   {"it", "en"},
                   En,
                   "user"},
        LayoutCase{
            "userSubfolderOfTheLanguage", false, false, {"it", "en"}, {"it", "en"}, En, "user/en"},
        LayoutCase{"userSubfolderItalian", false, false, {"it", "en"}, {"it", "en"}, It, "user/it"},
        LayoutCase{"otherUserSubfolderIsPassedOver",
                   false,
                   false,
                   {"it"},
                   {"it", "en"},
                   En,
                   "installed/en"},
        LayoutCase{"installedEnglish", false, false, {}, {"it", "en"}, En, "installed/en"},
        LayoutCase{"installedItalian", false, false, {}, {"it", "en"}, It, "installed/it"},
        LayoutCase{
            "otherInstalledSetWhenOneIsMissing", false, false, {}, {"it"}, En, "installed/it"},
        LayoutCase{"otherInstalledSetItalianMissing", false, false, {}, {"en"}, It, "installed/en"},
        LayoutCase{"nothingKeepsCurrent", false, false, {}, {}, It, "current"}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST(Fallback, OrderAndUnknownFolders) {
    EXPECT_EQ(languageFallbacks("/u", "/i", It),
              (std::vector<std::string>{"/u", "/u/it", "/i/it", "/i/en"}));
    EXPECT_EQ(languageFallbacks("/u/", "/i/", En),
              (std::vector<std::string>{"/u/", "/u/en", "/i/en", "/i/it"}));
    EXPECT_EQ(languageFallbacks("", "/i", En), (std::vector<std::string>{"/i/en", "/i/it"}));
    EXPECT_EQ(languageFallbacks("/u", "", En), (std::vector<std::string>{"/u", "/u/en"}));
    EXPECT_TRUE(languageFallbacks("", "", En).empty());
}

// The locale and the remembered setting, together, pick the installed set.
TEST(Fallback, SettingOverridesLocale) {
    TempDir dir;
    const std::string installed = dir.file("share/korvel/dictionaries");
    holdBase(installed + "/it");
    holdBase(installed + "/en");
    const std::string setting = languageSettingFile(dir.file("cfg/korvel"));
    const auto chosen = [&](const char* lang) {
        const DictionaryLanguage l =
            chooseLanguage(readLanguageSetting(setting), localeLanguage(nullptr, nullptr, lang));
        return chooseDictionaryFolder(dir.file("here"), languageFallbacks("", installed, l));
    };
    EXPECT_EQ(chosen("it_IT.UTF-8"), installed + "/it");
    EXPECT_EQ(chosen("en_GB.UTF-8"), installed + "/en");
    std::string error;
    ASSERT_TRUE(writeLanguageSetting(setting, En, error)) << error;
    EXPECT_EQ(chosen("it_IT.UTF-8"), installed + "/en");
    ASSERT_TRUE(writeLanguageSetting(setting, It, error)) << error;
    EXPECT_EQ(chosen("en_GB.UTF-8"), installed + "/it");
}

} // namespace

TEST(DictLanguage, ANewPuzzleTakesTheLanguageOfTheLoadedSet) {
    const std::vector<std::pair<std::string, DictionaryLanguage>> cases = {
        {"/usr/share/korvel/dictionaries/en", DictionaryLanguage::English},
        {"/usr/share/korvel/dictionaries/en/", DictionaryLanguage::English},
        {"/home/ann/.local/share/korvel/dictionaries/it/", DictionaryLanguage::Italian},
        {"build/dictionaries/EN", DictionaryLanguage::English},
        // The name does not tell: Italian, as the build's own set is.
        {"/work/korvel/build/dictionaries/", DictionaryLanguage::Italian},
        {"/home/ann/.local/share/korvel/dictionaries", DictionaryLanguage::Italian},
        {"/home/ann/english/", DictionaryLanguage::Italian},
        {"", DictionaryLanguage::Italian},
        {"/", DictionaryLanguage::Italian},
    };
    for (const auto& [folder, language] : cases)
        EXPECT_EQ(puzzleLanguageOfSet(folder), language) << folder;
}
