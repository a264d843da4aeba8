// SPDX-License-Identifier: GPL-3.0-or-later
// The user's own lists (My Words, banned words) and the index cache that
// takes them in: the list edits, the files' permissions, two writers at
// once, a failed write, a signal between the two lists' renames, lines no
// fill could place, and indexes kept under the right version.
#include "banlist.h"
#include "filesizelimit.h"
#include "fill.h"
#include "gridrows.h"
#include "memoryhost.h"
#include "personallists.h"
#include "renamesignal.h"
#include "testfiles.h"
#include "wordindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvel;

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

} // namespace

TEST(PersonalLists, EditsKeepEveryOtherLine) {
    struct Case {
        const char* text;
        const char* word;
        const char* with;
        const char* without;
    } cases[] = {
        {"", "CAT", "CAT\n", ""},
        {"COT\n", "CAT", "COT\nCAT\n", "COT\n"},
        {"COT", "CAT", "COT\nCAT\n", "COT"}, // no last line end
        {"# mine\r\ncat\r\nDOG\r\n", "CAT", "# mine\r\ncat\r\nDOG\r\n", "# mine\r\nDOG\r\n"},
        {" Cat \n'CAT\nCAT-S\n", "CAT", " Cat \n'CAT\nCAT-S\n", "'CAT\nCAT-S\n"},
        {"CAT\nCAT\n", "CAT", "CAT\nCAT\n", ""},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(listWithWord(k.text, k.word), k.with) << k.text;
        EXPECT_EQ(listWithoutWord(k.text, k.word), k.without) << k.text;
    }
    EXPECT_TRUE(isPersonalWord("AB"));
    EXPECT_FALSE(isPersonalWord("A"));
    EXPECT_FALSE(isPersonalWord("ab"));
    EXPECT_FALSE(isPersonalWord("A?C"));
    EXPECT_FALSE(isPersonalWord(std::string(36, 'A')));
}

TEST(PersonalLists, AddMakesPrivateFilesAndMovesWordsBetweenLists) {
    const korvel::testing::TempDir dir;
    const std::string base = dir.path;
    const std::string folder = base + "/data/korvel";
    const mode_t oldMask = ::umask(022);
    PersonalListEdit e = addToPersonalList(folder, PersonalList::Banned, "COT");
    ::umask(oldMask);
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_TRUE(e.added);
    EXPECT_FALSE(e.takenFromOther);
    EXPECT_EQ(modeOf(base + "/data"), 0700u);
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(folder + "/banned-words.txt"), 0600u);
    EXPECT_EQ(readText(folder + "/banned-words.txt"), "COT\n");

    e = addToPersonalList(folder, PersonalList::Banned, "COT");
    EXPECT_TRUE(e.ok);
    EXPECT_FALSE(e.added);

    e = addToPersonalList(folder, PersonalList::MyWords, "COT");
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_TRUE(e.added);
    EXPECT_TRUE(e.takenFromOther);
    EXPECT_EQ(readText(folder + "/banned-words.txt"), "");
    EXPECT_EQ(readText(folder + "/my-words.txt"), "COT\n");
    EXPECT_EQ(modeOf(folder + "/my-words.txt"), 0600u);

    addToPersonalList(folder, PersonalList::MyWords, "ZQX");
    addToPersonalList(folder, PersonalList::Banned, "TAN");
    const PersonalWords read = readPersonalLists(folder);
    EXPECT_EQ(read.myWords, (std::vector<std::string>{"COT", "ZQX"}));
    EXPECT_EQ(read.banned, (std::vector<std::string>{"TAN"}));
    EXPECT_TRUE(read.problems.empty());

    EXPECT_FALSE(addToPersonalList(folder, PersonalList::MyWords, "C?T").ok);
    EXPECT_FALSE(addToPersonalList("", PersonalList::MyWords, "CAT").ok);
}

// Copies of the program adding words at the same moment: the lock on the
// folder keeps every word.
TEST(PersonalLists, ConcurrentWritersKeepEveryWord) {
    const korvel::testing::TempDir dir;
    const std::string folder = dir.path;
    constexpr int Writers = 6;
    constexpr int Each = 15;
    std::vector<pid_t> children;
    for (int w = 0; w < Writers; ++w) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool ok = true;
            for (int i = 0; i < Each; ++i) {
                std::string word = "W";
                word += static_cast<char>('A' + w);
                word += static_cast<char>('A' + i);
                ok &= addToPersonalList(
                          folder, i % 3 == 0 ? PersonalList::Banned : PersonalList::MyWords, word)
                          .ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const PersonalWords read = readPersonalLists(folder);
    EXPECT_EQ(read.myWords.size() + read.banned.size(), std::size_t{Writers * Each});
    EXPECT_EQ(read.banned.size(), std::size_t{Writers * 5});
}

// A write that fails (a full disk) leaves both lists as they were.
TEST(PersonalLists, FailedWriteChangesNothing) {
    const korvel::testing::TempDir dir;
    const std::string folder = dir.path;
    std::string many;
    for (int i = 0; i < 200; ++i)
        many += "WORD" + std::string(1, static_cast<char>('A' + i % 26)) +
                std::string(1, static_cast<char>('A' + i / 26)) + "\n";
    ASSERT_TRUE(addToPersonalList(folder, PersonalList::Banned, "CAT").ok);
    {
        std::ofstream out(folder + "/my-words.txt", std::ios::binary);
        out << many;
    }
    {
        const korvel::testing::FileSizeLimit limit(many.size());
        const PersonalListEdit e = addToPersonalList(folder, PersonalList::MyWords, "CAT");
        EXPECT_FALSE(e.ok);
        EXPECT_FALSE(e.error.empty());
    }
    EXPECT_EQ(readText(folder + "/my-words.txt"), many);
    EXPECT_EQ(readText(folder + "/banned-words.txt"), "CAT\n");
    // A list that is no regular file is named as a problem and left out.
    std::remove((folder + "/banned-words.txt").c_str());
    ::mkdir((folder + "/banned-words.txt").c_str(), 0700);
    const PersonalWords read = readPersonalLists(folder);
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_NE(read.problems[0].find("is a folder"), std::string::npos);
    EXPECT_TRUE(read.banned.empty());
    EXPECT_EQ(read.myWords.size(), 200u);
}

// Moving a word from My Words to the bans writes both lists; SIGTERM, SIGINT,
// SIGHUP or SIGXFSZ between the two renames ends the program (or, for
// SIGXFSZ, lets it go on) with both written (the word banned and off My
// Words), never with the word on both lists or on neither.
TEST(PersonalLists, SignalBetweenTheTwoWritesKeepsBothLists) {
    const korvel::testing::TempDir dir;
    const std::string folder = dir.path + "/lists";
    std::string mine;
    std::string banned = "COT\n";
    ASSERT_TRUE(addToPersonalList(folder, PersonalList::Banned, "COT").ok);
    std::vector<std::string> bannedWords = {"COT"};
    int n = 0;
    for (const int sig : {SIGTERM, SIGINT, SIGHUP, SIGXFSZ}) {
        for (const bool secondThread : {false, true}) {
            SCOPED_TRACE(std::to_string(sig) + (secondThread ? " two threads" : " one"));
            const std::string word = "WORD" + std::string(1, static_cast<char>('A' + n++));
            ASSERT_TRUE(addToPersonalList(folder, PersonalList::MyWords, word).ok);
            ASSERT_EQ(readText(folder + "/my-words.txt"), word + "\n");
            const korvel::testing::SignalledRun run = korvel::testing::signalBetweenRenames(
                [&] { return addToPersonalList(folder, PersonalList::Banned, word).ok ? 0 : 1; },
                sig, 1, secondThread);
            ASSERT_TRUE(run.signalSent);
            if (sig == SIGXFSZ) {
                EXPECT_TRUE(run.exitedWith(0)) << run.status;
            } else {
                EXPECT_TRUE(run.killedBySignal(sig)) << run.status;
            }
            banned += word + "\n";
            bannedWords.push_back(word);
            EXPECT_EQ(readText(folder + "/my-words.txt"), "");
            EXPECT_EQ(readText(folder + "/banned-words.txt"), banned);
            const PersonalWords read = readPersonalLists(folder);
            EXPECT_TRUE(read.problems.empty());
            EXPECT_TRUE(read.myWords.empty());
            std::vector<std::string> sorted = bannedWords;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_EQ(read.banned, sorted);
        }
    }
}

// A line longer than any word the fill places is no word of a list, however
// long: it is skipped as a line of other characters is, and an edit keeps it
// as it is. Words at the limit stay.
TEST(PersonalLists, OverlongLinesAreNoWords) {
    const std::string longest(35, 'Q');
    const std::string huge(3'000'000, 'a');
    const std::string text =
        " " + longest + " \r\n" + std::string(36, 'Z') + "\n" + huge + "\nCAT\n" + huge;
    const BanList list = BanList::parse(text);
    EXPECT_EQ(list.words(), (std::vector<std::string>{"CAT", longest}));
    EXPECT_EQ(listWithWord(text, "CAT"), text);
    EXPECT_EQ(listWithWord(text, "COT"), text + "\nCOT\n");
    EXPECT_EQ(listWithoutWord(text, "CAT"),
              " " + longest + " \r\n" + std::string(36, 'Z') + "\n" + huge + "\n" + huge);

    const korvel::testing::TempDir dir;
    {
        std::ofstream out(dir.path + "/banned-words.txt", std::ios::binary);
        out << text;
    }
    const PersonalListEdit e = addToPersonalList(dir.path, PersonalList::MyWords, "CAT");
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_TRUE(e.takenFromOther);
    const PersonalWords read = readPersonalLists(dir.path);
    EXPECT_EQ(read.banned, std::vector<std::string>{longest});
    EXPECT_EQ(read.myWords, std::vector<std::string>{"CAT"});
}

// The cache builds with the additions, keeps at most two indexes, and
// never returns an index of older additions.
TEST(PersonalLists, CacheKeysIndexesByVersion) {
    DictionaryStore store;
    store.count = 1;
    store.setText(1, "CAT\r\nCOT\r\nTEN\r\n");
    WordIndexCache cache(store);
    DictionarySelection take{};
    take[1] = true;
    const auto plain = cache.get(take);
    EXPECT_FALSE(plain->hasScores());
    EXPECT_FALSE(plain->hasBans());
    EXPECT_EQ(plain->totalWords(), 3u);
    EXPECT_EQ(cache.get(take), plain);

    auto scores = std::make_shared<WordScores>();
    scores->addList("CAT;90\nCOT;20\n");
    IndexAdditions more;
    more.scores = readyScores(scores);
    more.ownWords = {"ZQX", "cat?"};
    more.bannedWords = {"COT"};
    cache.setAdditions(more);
    EXPECT_EQ(cache.version(), 1u);
    EXPECT_EQ(cache.kept(), 0u);
    EXPECT_EQ(cache.cached(take), nullptr);
    const auto added = cache.get(take);
    EXPECT_NE(added, plain);
    EXPECT_EQ(added->totalWords(), 4u); // ZQX joins; "cat?" is no word
    const auto id = [&](const char* w) { return static_cast<uint32_t>(added->find(w)); };
    EXPECT_EQ(added->score(3, id("ZQX")), HighestScore);
    EXPECT_EQ(added->score(3, id("CAT")), 90);
    EXPECT_EQ(added->score(3, id("TEN")), DefaultWordScore);
    EXPECT_TRUE(added->isBanned(3, id("COT")));
    EXPECT_FALSE(added->isBanned(3, id("CAT")));

    // The fill: C?T only as CAT, ZQ? as ZQX.
    MemoryHost host;
    SearchFlags flags;
    FillOptions o;
    EXPECT_EQ(fillGrid(korvel::testing::gridOf({"C?T"}), *added, o, host, flags).grid.GridRows[0],
              "CAT");
    EXPECT_EQ(fillGrid(korvel::testing::gridOf({"ZQ?"}), *added, o, host, flags).grid.GridRows[0],
              "ZQX");

    DictionarySelection none{};
    cache.get(none);
    DictionarySelection again = take;
    again[2] = true;
    cache.get(again);
    EXPECT_EQ(cache.kept(), 2u);
    EXPECT_EQ(cache.cached(take), nullptr); // the oldest went

    // Empty additions: the index of the words alone, as without additions.
    cache.setAdditions({});
    const auto bare = cache.get(take);
    EXPECT_FALSE(bare->hasScores());
    EXPECT_FALSE(bare->hasBans());
    EXPECT_EQ(bare->totalWords(), 3u);
}
