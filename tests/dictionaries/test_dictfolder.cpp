// SPDX-License-Identifier: GPL-3.0-or-later
// The choice of the dictionaries folder at start-up: the per-user folder's
// name from the environment, and which of the current, per-user and installed
// folders is loaded, over real folders.
#include "dictfolder.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace korvel;
using korvel::testing::TempDir;
using korvel::testing::writeFile;

namespace {

struct UserFolderCase {
    const char* name;
    const char* xdgDataHome; // nullptr: unset
    const char* home;        // nullptr: unset
    const char* expected;
};

void PrintTo(const UserFolderCase& c, std::ostream* os) {
    const auto shown = [](const char* s) {
        return s == nullptr ? std::string("unset") : '"' + std::string(s) + '"';
    };
    *os << c.name << ": XDG_DATA_HOME " << shown(c.xdgDataHome) << ", HOME " << shown(c.home);
}

class UserFolder : public ::testing::TestWithParam<UserFolderCase> {};

TEST_P(UserFolder, FollowsTheBaseDirectoryRules) {
    const UserFolderCase& c = GetParam();
    EXPECT_EQ(userDictionaryFolder(c.xdgDataHome, c.home), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environment, UserFolder,
    ::testing::Values(
        UserFolderCase{"xdgSet", "/data", "/home/u", "/data/korvel/dictionaries"},
        UserFolderCase{"xdgTrailingSlash", "/data/", "/home/u", "/data/korvel/dictionaries"},
        UserFolderCase{"xdgUnset", nullptr, "/home/u", "/home/u/.local/share/korvel/dictionaries"},
        UserFolderCase{"xdgEmpty", "", "/home/u", "/home/u/.local/share/korvel/dictionaries"},
        UserFolderCase{"xdgRelativeIsIgnored", "data", "/home/u",
                       "/home/u/.local/share/korvel/dictionaries"},
        UserFolderCase{"homeTrailingSlash", nullptr, "/home/u/",
                       "/home/u/.local/share/korvel/dictionaries"},
        UserFolderCase{"rootHome", nullptr, "/", "/.local/share/korvel/dictionaries"},
        UserFolderCase{"nothingUsable", "rel", "", ""},
        UserFolderCase{"bothUnset", nullptr, nullptr, ""},
        UserFolderCase{"relativeHome", nullptr, "home/u", ""}),
    [](const ::testing::TestParamInfo<UserFolderCase>& info) { return info.param.name; });

// How a folder is laid out for a case.
enum class Base {
    None,      // no base.diz
    File,      // a regular base.diz
    Link,      // base.diz links to a regular file elsewhere
    Dangling,  // base.diz links to nothing
    Folder,    // a folder named base.diz
    UpperCase, // BASE.DIZ only: the name must match exactly
    Missing,   // the folder itself does not exist
};

void lay(const std::string& folder, Base base, const std::string& elsewhere) {
    if (base == Base::Missing) {
        return;
    }
    fs::create_directories(folder);
    const std::string path = folder + "/base.diz";
    switch (base) {
    case Base::File:
        writeFile(path, "ABC\r\n");
        break;
    case Base::Link:
        writeFile(elsewhere, "ABC\r\n");
        fs::create_symlink(elsewhere, path);
        break;
    case Base::Dangling:
        fs::create_symlink(folder + "/nothing", path);
        break;
    case Base::Folder:
        fs::create_directories(path);
        break;
    case Base::UpperCase:
        writeFile(folder + "/BASE.DIZ", "ABC\r\n");
        break;
    case Base::None:
    case Base::Missing:
        break;
    }
}

struct ChoiceCase {
    const char* name;
    Base current;
    Base user;
    Base installed;
    const char* expected; // "current", "user" or "installed"
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << c.name << " -> " << c.expected;
}

class Choice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(Choice, FirstFolderHoldingBaseDiz) {
    const ChoiceCase& c = GetParam();
    TempDir dir;
    const std::string current = dir.file("current");
    const std::string user = dir.file("data/korvel/dictionaries");
    const std::string installed = dir.file("share/korvel/dictionaries");
    lay(current, c.current, dir.file("target-current"));
    lay(user, c.user, dir.file("target-user"));
    lay(installed, c.installed, dir.file("target-installed"));

    const std::string chosen = chooseDictionaryFolder(current, {user, installed});
    const std::string expected = std::string(c.expected) == "current" ? current
                                 : std::string(c.expected) == "user"  ? user
                                                                      : installed;
    EXPECT_EQ(chosen, expected);
    // The test of each folder agrees with the choice: the chosen folder holds
    // base.diz unless none does.
    const bool any =
        holdsBaseDictionary(current) || holdsBaseDictionary(user) || holdsBaseDictionary(installed);
    EXPECT_EQ(holdsBaseDictionary(chosen), any);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, Choice,
    ::testing::Values(
        ChoiceCase{"currentWinsOverAll", Base::File, Base::File, Base::File, "current"},
        ChoiceCase{"currentLinkCounts", Base::Link, Base::File, Base::File, "current"},
        ChoiceCase{"userBeforeInstalled", Base::None, Base::File, Base::File, "user"},
        ChoiceCase{"userLinkCounts", Base::None, Base::Link, Base::File, "user"},
        ChoiceCase{"installedWhenUserEmpty", Base::None, Base::None, Base::File, "installed"},
        ChoiceCase{"installedWhenNoUserFolder", Base::None, Base::Missing, Base::File, "installed"},
        ChoiceCase{"danglingLinkIsNoBase", Base::Dangling, Base::Dangling, Base::File, "installed"},
        ChoiceCase{"folderNamedBaseIsNoBase", Base::Folder, Base::Folder, Base::File, "installed"},
        ChoiceCase{"nameIsCaseSensitive", Base::UpperCase, Base::UpperCase, Base::File,
                   "installed"},
        ChoiceCase{"missingCurrentFolder", Base::Missing, Base::File, Base::File, "user"},
        ChoiceCase{"noneHoldsBaseKeepsCurrent", Base::None, Base::None, Base::None, "current"},
        ChoiceCase{"nothingAnywhere", Base::None, Base::Missing, Base::Missing, "current"}),
    [](const ::testing::TestParamInfo<ChoiceCase>& info) { return info.param.name; });

TEST(Choice, EmptyFallbacksAreSkipped) {
    TempDir dir;
    writeFile(dir.file("base.diz"), "ABC\r\n");
    fs::create_directories(dir.file("current"));
    // An empty entry (no HOME, unknown program folder) must not stand for the
    // current directory of the process.
    std::vector<std::string> asked;
    const auto holds = [&](const std::string& f) {
        asked.push_back(f);
        return holdsBaseDictionary(f);
    };
    EXPECT_EQ(chooseDictionaryFolder(dir.file("current"), {"", dir.path}, holds), dir.path);
    EXPECT_EQ(asked, (std::vector<std::string>{dir.file("current"), dir.path}));
    EXPECT_EQ(chooseDictionaryFolder(dir.file("current"), {"", ""}, holds), dir.file("current"));
}

TEST(Choice, FallbacksAreNotLookedAtWhenCurrentHoldsBase) {
    int calls = 0;
    const auto holds = [&](const std::string& f) {
        ++calls;
        return f == "/here";
    };
    EXPECT_EQ(chooseDictionaryFolder("/here", {"/user", "/installed"}, holds), "/here");
    EXPECT_EQ(calls, 1);
}

TEST(UserFolder, DictionariesLieInTheDataFolder) {
    EXPECT_EQ(userDataFolder("/data", "/home/u"), "/data/korvel");
    EXPECT_EQ(userDataFolder(nullptr, "/home/u"), "/home/u/.local/share/korvel");
    EXPECT_EQ(userDataFolder("", ""), "");
}

struct ScratchCase {
    const char* name;
    const char* dictFolder;
    const char* installed;
    const char* user;
    const char* expected;
};

void PrintTo(const ScratchCase& c, std::ostream* os) {
    *os << c.name << " (" << c.dictFolder << ")";
}

class Scratch : public ::testing::TestWithParam<ScratchCase> {};

TEST_P(Scratch, StaysInTheDictionariesFolderUnlessInstalled) {
    const ScratchCase& c = GetParam();
    EXPECT_EQ(scratchFolder(c.dictFolder, c.installed, c.user), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, Scratch,
    ::testing::Values(ScratchCase{"startFolder", "/home/u/words/", "/usr/share/korvel/dictionaries",
                                  "/home/u/.local/share/korvel", "/home/u/words/"},
                      ScratchCase{"userDictionaries", "/home/u/.local/share/korvel/dictionaries/",
                                  "/usr/share/korvel/dictionaries", "/home/u/.local/share/korvel",
                                  "/home/u/.local/share/korvel/dictionaries/"},
                      ScratchCase{"installed", "/usr/share/korvel/dictionaries/",
                                  "/usr/share/korvel/dictionaries", "/home/u/.local/share/korvel",
                                  "/home/u/.local/share/korvel"},
                      ScratchCase{"installedNoSlash", "/usr/share/korvel/dictionaries",
                                  "/usr/share/korvel/dictionaries/", "/d/korvel", "/d/korvel"},
                      ScratchCase{"installedNoUserFolder", "/usr/share/korvel/dictionaries/",
                                  "/usr/share/korvel/dictionaries", "",
                                  "/usr/share/korvel/dictionaries/"},
                      ScratchCase{"installedUnknown", "/usr/share/korvel/dictionaries/", "",
                                  "/d/korvel", "/usr/share/korvel/dictionaries/"},
                      ScratchCase{"prefixOnlyIsNotInstalled", "/usr/share/korvel/dictionaries2/",
                                  "/usr/share/korvel/dictionaries", "/d/korvel",
                                  "/usr/share/korvel/dictionaries2/"}),
    [](const ::testing::TestParamInfo<ScratchCase>& info) { return info.param.name; });

} // namespace

// The one rule for the ends of folder names: the start-up, the loader and
// the data folders all join file names to what these return.
TEST(FolderName, EndsInOneSeparator) {
    struct Case {
        std::string_view given;
        std::string current;
        std::string separated; // withSeparator(given)
        std::string loaded;    // folderToLoad(given, current)
    };
    const Case cases[] = {
        {"/a/b", "/cwd", "/a/b/", "/a/b/"},
        {"/a/b/", "/cwd", "/a/b/", "/a/b/"},
        {"/", "/cwd", "/", "/"},
        {"", "/cwd", "", "/cwd/"},
        {"", "/cwd/", "", "/cwd/"},
        {"False", "/cwd", "False/", "/cwd/"},
        {"false", "/cwd", "false/", "false/"},
        {"", "", "", "/"},
        {"rel", "/cwd", "rel/", "rel/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(withSeparator(std::string(c.given)), c.separated) << c.given;
        EXPECT_EQ(folderToLoad(c.given, c.current), c.loaded) << c.given << " in " << c.current;
    }
}
