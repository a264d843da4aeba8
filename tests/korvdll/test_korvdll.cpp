// SPDX-License-Identifier: GPL-3.0-or-later
#include "companionlibrary.h"
#include "dizformat.h"
#include "loader.h"
#include "templist.h"
#include "templistpath.h"
#include "testfiles.h"

#include <gtest/gtest.h>
#include <zstd.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace korvel;

namespace {

using korvel::testing::readFile;
using korvel::testing::TempDir;
using korvel::testing::writeFile;

std::string encoded(std::string_view plain) {
    std::string out;
    std::string error;
    EXPECT_TRUE(diz::encode(plain, out, error)) << error;
    return out;
}

bool decodes(std::string_view file, std::string* plainOut = nullptr) {
    std::string plain;
    std::string error;
    const bool ok = diz::decode(file, plain, error);
    if (!ok) {
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(plain.empty());
    }
    if (plainOut != nullptr) {
        *plainOut = plain;
    }
    return ok;
}

void put32(std::string& s, std::size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) {
        s[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    }
}

void put64(std::string& s, std::size_t at, uint64_t v) {
    put32(s, at, static_cast<uint32_t>(v));
    put32(s, at + 4, static_cast<uint32_t>(v >> 32));
}

// A header for plain followed by an arbitrary zstd frame.
std::string withFrame(std::string_view plain, std::string_view frame) {
    std::string f = encoded(plain).substr(0, diz::HeaderSize);
    return f + std::string(frame);
}

// A zstd frame that does not state its content size, as a streaming writer
// would produce it.
std::string frameWithoutSize(std::string_view plain) {
    ZSTD_CCtx* c = ZSTD_createCCtx();
    ZSTD_CCtx_setParameter(c, ZSTD_c_contentSizeFlag, 0);
    std::string out(ZSTD_compressBound(plain.size()) + 64, '\0');
    ZSTD_inBuffer in{plain.data(), plain.size(), 0};
    ZSTD_outBuffer o{out.data(), out.size(), 0};
    while (ZSTD_compressStream2(c, &o, &in, ZSTD_e_end) != 0) {
    }
    ZSTD_freeCCtx(c);
    out.resize(o.pos);
    return out;
}

// ---------------------------------------------------------------- format

TEST(Diz, Crc32KnownValue) {
    EXPECT_EQ(diz::crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(diz::crc32(""), 0u);
    // The 8-byte steps and the byte tail must agree.
    std::string s(1000, '\0');
    for (std::size_t k = 0; k < s.size(); ++k) {
        s[k] = static_cast<char>(k * 7 + 3);
    }
    uint32_t bytewise = 0xFFFFFFFFu;
    for (unsigned char ch : s) {
        bytewise ^= ch;
        for (int b = 0; b < 8; ++b) {
            bytewise = (bytewise & 1u) ? (0xEDB88320u ^ (bytewise >> 1)) : (bytewise >> 1);
        }
    }
    EXPECT_EQ(diz::crc32(s), bytewise ^ 0xFFFFFFFFu);
}

TEST(Diz, CountEntries) {
    EXPECT_EQ(diz::countEntries(""), 0u);
    EXPECT_EQ(diz::countEntries("A"), 1u);
    EXPECT_EQ(diz::countEntries("A\r\n"), 1u);
    EXPECT_EQ(diz::countEntries("A\r\nB"), 2u);
    EXPECT_EQ(diz::countEntries("A\r\n\r\nB\r\n"), 3u);
    EXPECT_EQ(diz::countEntries("A\nB\n"), 1u);
}

class RoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(RoundTrip, DecodesToTheSameBytes) {
    const std::string file = encoded(GetParam());
    ASSERT_GE(file.size(), diz::HeaderSize);
    EXPECT_EQ(file.substr(0, 4), "KDIZ");
    std::string plain;
    ASSERT_TRUE(decodes(file, &plain));
    EXPECT_EQ(plain, GetParam());
}

std::string allBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b) {
        s += static_cast<char>(b);
    }
    return s;
}

std::string randomWords(std::size_t n) {
    std::mt19937 rng(42);
    std::string s;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t len = 2 + rng() % 12;
        for (std::size_t j = 0; j < len; ++j) {
            s += static_cast<char>('A' + rng() % 26);
        }
        s += "\r\n";
    }
    return s;
}

// The names of the texts below, in their order.
constexpr const char* RoundTripNames[] = {
    "empty",    "oneLine",     "endingCodes",           "noFinalSeparator",
    "allBytes", "randomWords", "separatorAcrossPieces", "separatorAtPieceStart"};

INSTANTIATE_TEST_SUITE_P(Texts, RoundTrip,
                         ::testing::Values(std::string(), std::string("A\r\n"),
                                           std::string("ABBAGLI&\r\nCASA\r\nROSS@\r\n"),
                                           std::string("NO\r\nFINAL\r\nSEPARATOR"), allBytes(),
                                           randomWords(200000),
                                           // A separator across the decoder's 1 MiB pieces.
                                           std::string((1u << 20) - 1, 'A') + "\r\nB\r\n",
                                           std::string(1u << 20, 'A') + "\r\nB\r"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.index < std::size(RoundTripNames)
                                        ? std::string(RoundTripNames[info.index])
                                        : "text" + std::to_string(info.index);
                         });

TEST(Diz, SinkGetsTheListInOrderAndCanStop) {
    const std::string plain = randomWords(300000);
    const std::string file = encoded(plain);
    std::string collected;
    std::string error;
    int pieces = 0;
    ASSERT_TRUE(diz::decode(
        file,
        [&](std::string_view piece) {
            collected.append(piece);
            ++pieces;
            return true;
        },
        error));
    EXPECT_EQ(collected, plain);
    EXPECT_GT(pieces, 1);
    EXPECT_FALSE(diz::decode(
        file, [](std::string_view) { return false; }, error));
    EXPECT_FALSE(error.empty());
}

TEST(Diz, EveryTruncationIsRejected) {
    const std::string file = encoded("ABBAGLI&\r\nCASA\r\nROSS@\r\nZUCCA\r\n");
    for (std::size_t n = 0; n < file.size(); ++n) {
        EXPECT_FALSE(decodes(file.substr(0, n))) << "prefix of " << n << " bytes";
    }
}

TEST(Diz, EveryFlippedByteIsRejectedOrHarmless) {
    const std::string plain = "ABBAGLI&\r\nCASA\r\nROSS@\r\nZUCCA\r\n";
    const std::string file = encoded(plain);
    int rejected = 0;
    for (std::size_t at = 0; at < file.size(); ++at) {
        for (const unsigned char mask : {0x01, 0x80, 0xFF}) {
            std::string bad = file;
            bad[at] = static_cast<char>(bad[at] ^ mask);
            std::string out;
            if (decodes(bad, &out)) {
                EXPECT_EQ(out, plain) << "byte " << at;
            } else {
                ++rejected;
            }
        }
    }
    EXPECT_GT(rejected, static_cast<int>(file.size()));
}

struct BadHeader {
    const char* name;
    std::size_t at;
    uint64_t value;
    int width;
};

void PrintTo(const BadHeader& b, std::ostream* os) {
    *os << b.name << ": " << b.width << " byte(s) at " << b.at << " set to " << b.value;
}

class BadHeaderTest : public ::testing::TestWithParam<BadHeader> {};

TEST_P(BadHeaderTest, IsRejected) {
    std::string file = encoded("ABC\r\nDEF\r\n");
    const BadHeader& b = GetParam();
    if (b.width == 8) {
        put64(file, b.at, b.value);
    } else if (b.width == 4) {
        put32(file, b.at, static_cast<uint32_t>(b.value));
    } else {
        file[b.at] = static_cast<char>(b.value);
    }
    EXPECT_FALSE(decodes(file));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, BadHeaderTest,
    ::testing::Values(BadHeader{"magic", 0, 'X', 1}, BadHeader{"version", 4, 2, 1},
                      BadHeader{"flags", 6, 1, 1}, BadHeader{"countTooHigh", 8, 3, 4},
                      BadHeader{"countTooLow", 8, 1, 4}, BadHeader{"sizeTooSmall", 12, 9, 8},
                      BadHeader{"sizeTooLarge", 12, 11, 8},
                      BadHeader{"sizeOverCap", 12, diz::MaxPlainSize + 1, 8},
                      BadHeader{"sizeHuge", 12, ~0ull, 8}, BadHeader{"checksum", 20, 0, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Diz, TrailingBytesAreRejected) {
    EXPECT_FALSE(decodes(encoded("ABC\r\n") + "x"));
    EXPECT_FALSE(decodes(encoded("ABC\r\n") + encoded("ABC\r\n").substr(diz::HeaderSize)));
}

TEST(Diz, FrameLongerThanDeclaredIsCutOff) {
    // The frame does not state its size, so only the declared size bounds the
    // output: a "bomb" of zeros behind a header that declares 5 bytes.
    const std::string bomb = frameWithoutSize(std::string(50'000'000, 'A'));
    ASSERT_LT(bomb.size(), 10'000u);
    EXPECT_FALSE(decodes(withFrame("ABC\r\n", bomb)));
}

TEST(Diz, FrameShorterThanDeclaredIsRejected) {
    std::string file = withFrame("ABCDEF\r\n", frameWithoutSize("ABC\r\n"));
    EXPECT_FALSE(decodes(file));
}

TEST(Diz, FrameWithoutSizeMatchingHeaderIsAccepted) {
    const std::string plain = randomWords(1000);
    std::string out;
    ASSERT_TRUE(decodes(withFrame(plain, frameWithoutSize(plain)), &out));
    EXPECT_EQ(out, plain);
}

// ---------------------------------------------------------------- temporary lists

TEST(TempList, FolderIsCreatedPrivate) {
    TempDir root;
    const std::string dir = root.file("lists");
    std::string error;
    ASSERT_TRUE(templist::prepareFolder(dir, error)) << error;
    struct stat st {};
    ASSERT_EQ(lstat(dir.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(templist::prepareFolder(dir, error)) << "an existing private folder is fine";
}

TEST(TempList, UnsafeFoldersAreRefused) {
    TempDir root;
    std::string error;
    fs::create_directory(root.file("open"));
    fs::permissions(root.file("open"), fs::perms::owner_all | fs::perms::group_read |
                                           fs::perms::group_exec | fs::perms::others_read |
                                           fs::perms::others_exec);
    EXPECT_FALSE(templist::prepareFolder(root.file("open"), error));
    EXPECT_EQ(fs::status(root.file("open")).permissions() & fs::perms::others_read,
              fs::perms::others_read)
        << "a refused folder is left alone";

    fs::create_directory(root.file("private"));
    fs::permissions(root.file("private"), fs::perms::owner_all);
    fs::create_directory_symlink(root.file("private"), root.file("link"));
    EXPECT_FALSE(templist::prepareFolder(root.file("link"), error));

    writeFile(root.file("file"), "x");
    EXPECT_FALSE(templist::prepareFolder(root.file("file"), error));
    EXPECT_FALSE(templist::prepareFolder("", error));
}

TEST(TempList, WrittenExclusivelyAndNeverThroughALink) {
    TempDir root;
    std::string error;
    const std::string dir = root.file("lists");
    ASSERT_TRUE(templist::prepareFolder(dir, error));
    const std::string target = root.file("precious");
    writeFile(target, "keep me");
    fs::create_symlink(target, tempListPath(dir, "base.diz"));

    ASSERT_TRUE(templist::writeList(dir, "base.diz", "ABC\r\n", error)) << error;
    const std::string path = tempListPath(dir, "base.diz");
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(readFile(path), "ABC\r\n");
    EXPECT_EQ(readFile(target), "keep me");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // A stale list of an earlier run is replaced.
    ASSERT_TRUE(templist::writeList(dir, "base.diz", "NEW\r\n", error)) << error;
    EXPECT_EQ(readFile(path), "NEW\r\n");

    EXPECT_FALSE(templist::writeList(dir, ".diz", "X", error));
}

TEST(TempList, DefaultFolderIsPerUser) {
    EXPECT_EQ(templist::defaultFolder(), "/tmp/korvel-" + std::to_string(geteuid()));
}

// ---------------------------------------------------------------- the library

struct LibraryFolders {
    TempDir dicts;
    TempDir lists;
};

TEST(Library, ConvertsAndReportsErrors) {
    CompanionLibrary lib;
    ASSERT_TRUE(lib.isLoaded()) << lib.error();
    EXPECT_EQ(lib.tempFolder(), templist::defaultFolder());

    LibraryFolders f;
    writeFile(f.dicts.file("base.diz"), encoded("ABC\r\nDEF\r\n"));
    std::string broken = encoded("ABC\r\nDEF\r\n");
    broken.resize(broken.size() - 3);
    writeFile(f.dicts.file("broken.diz"), broken);
    writeFile(f.dicts.file("plain.diz"), "ABC\r\n");
    // A FIFO in place of a dictionary is refused, not waited on.
    ASSERT_EQ(::mkfifo(f.dicts.file("fifo.diz").c_str(), 0600), 0);
    const std::vector<std::string> names{"base.diz", "broken.diz", "plain.diz", "absent.diz",
                                         "fifo.diz"};
    ASSERT_EQ(lib.setup(f.dicts.path, names, f.lists.path), 0);

    EXPECT_EQ(lib.MYFUNC(1), 0);
    EXPECT_EQ(readFile(tempListPath(f.lists.path, "base.diz")), "ABC\r\nDEF\r\n");
    for (const int16_t bad : {2, 3, 4, 5, 0, -1, 8, 32767}) {
        EXPECT_GT(lib.MYFUNC(bad), 0) << bad;
    }
    fs::remove(tempListPath(f.lists.path, "base.diz"));
    EXPECT_TRUE(fs::is_empty(f.lists.path)) << "a failed call leaves nothing behind";
}

TEST(Library, RefusesAnOpenListFolder) {
    CompanionLibrary lib;
    ASSERT_TRUE(lib.isLoaded()) << lib.error();
    LibraryFolders f;
    fs::permissions(f.lists.path, fs::perms::owner_all | fs::perms::others_all);
    writeFile(f.dicts.file("base.diz"), encoded("ABC\r\n"));
    ASSERT_EQ(lib.setup(f.dicts.path, {"base.diz"}, f.lists.path), 0);
    EXPECT_GT(lib.MYFUNC(1), 0);
    EXPECT_FALSE(fs::exists(tempListPath(f.lists.path, "base.diz")));
}

TEST(Library, MissingLibraryOrSymbolIsAnErrorNotACrash) {
    for (const std::string& path : {std::string("/nonexistent/libkorvdll.so"),
                                    std::string(KORVEL_NOSYMBOLS), std::string("libkorvdll.so")}) {
        CompanionLibrary lib(path);
        EXPECT_FALSE(lib.isLoaded()) << path;
        EXPECT_FALSE(lib.error().empty());
        EXPECT_EQ(lib.MYFUNC(1), 1);
        EXPECT_EQ(lib.setup("/", {"base.diz"}, ""), 1);
        EXPECT_EQ(lib.tempFolder(), "");
    }
}

struct Recorder : LoadObserver {
    std::vector<std::string> messages;
    void outOfSequence(const std::string& m) override { messages.push_back(m); }
    void warning(const std::string& m) override { messages.push_back(m); }
    void fatal(const std::string& t, const std::string& m) override { messages.push_back(t + m); }
};

TEST(Library, LoaderWithTheRealLibrary) {
    CompanionLibrary lib;
    ASSERT_TRUE(lib.isLoaded()) << lib.error();
    LibraryFolders f;
    const std::string base = "ABBAGLI&\r\nCASA\r\nROSS@\r\n";
    writeFile(f.dicts.file("base.diz"), encoded(base));
    writeFile(f.dicts.file("more.diz"), encoded("MORE\r\nWORDS\r\n"));
    writeFile(f.dicts.file("words.dic"), "WORD\r\n");
    CompanionCall call{f.lists.path,
                       [&](const std::string& folder, const std::vector<std::string>& names) {
                           return lib.setup(folder, names, f.lists.path);
                       },
                       [&](int16_t i) { return lib.MYFUNC(i); }};
    DictionaryStore store;
    Recorder rec;
    ASSERT_EQ(loadDictionaries(store, f.dicts.path, call, {}, rec), LoadResult::Ok);
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_EQ(store.DictText[1], base);
    EXPECT_EQ(store.DictText[2], "MORE\r\nWORDS\r\n");
    EXPECT_EQ(store.DictText[3], "WORD\r\n");
    EXPECT_EQ(store.LetterStart[1]['R' - '@'], 17);
    EXPECT_TRUE(fs::is_empty(f.lists.path));

    // A corrupt base.diz stops the load with the library message.
    writeFile(f.dicts.file("base.diz"), "KDIZ garbage");
    ASSERT_EQ(loadDictionaries(store, f.dicts.path, call, {}, rec), LoadResult::LibraryErrors);
    EXPECT_EQ(rec.messages.back(), "Error ...... errors while loading dictionaries *.diz !");
    EXPECT_TRUE(fs::is_empty(f.lists.path));
}

// ---------------------------------------------------------------- korvel-mkdiz

int run(const std::string& args, std::string* out = nullptr) {
    const std::string cmd = std::string(KORVEL_MKDIZ) + " " + args;
    if (out == nullptr) {
        const int status = std::system((cmd + " 2>/dev/null").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    FILE* p = popen(cmd.c_str(), "r");
    out->clear();
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) {
        out->append(buf, n);
    }
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct MkdizCase {
    const char* name;
    std::string options;
    std::string input;
    std::string expected;
};

void PrintTo(const MkdizCase& c, std::ostream* os) {
    *os << c.name << " (options \"" << c.options << "\")";
}

class Mkdiz : public ::testing::TestWithParam<MkdizCase> {};

TEST_P(Mkdiz, BuildsTheExpectedList) {
    const MkdizCase& c = GetParam();
    TempDir dir;
    writeFile(dir.file("in.txt"), c.input);
    ASSERT_EQ(run(c.options + " -o " + dir.file("out.dic") + " " + dir.file("in.txt")), 0);
    EXPECT_EQ(readFile(dir.file("out.dic")), c.expected);

    ASSERT_EQ(run(c.options + " -o " + dir.file("out.diz") + " " + dir.file("in.txt")), 0);
    std::string plain;
    ASSERT_TRUE(decodes(readFile(dir.file("out.diz")), &plain));
    EXPECT_EQ(plain, c.expected);
    std::string printed;
    ASSERT_EQ(run("--decode " + dir.file("out.diz"), &printed), 0);
    EXPECT_EQ(printed, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Options, Mkdiz,
    ::testing::Values(
        MkdizCase{"asGiven", "", "ZETA\nalfa\n\nZETA\r\nlast",
                  "ZETA\r\nalfa\r\n\r\nZETA\r\nlast\r\n"},
        MkdizCase{"sort", "--sort", "ZETA\nALFA\n\nZETA\nAB\xC3\x80\n",
                  "AB\xC3\x80\r\nALFA\r\nZETA\r\n"},
        MkdizCase{"fold", "--fold",
                  "citt\xC3\xA0\nperch\xC3\xA9\nPERCHE\nl'"
                  "altro\nzoo\n\xC3\x80\xC3\x89\xC3\x8C\xC3\x92\xC3"
                  "\x99\nna\xC3\xAFve\nstra\xC3\x9F"
                  "e\n\xC5\x93uvre\nx1\nspace d\n\xE6\x97\xA5\n",
                  "AEIOU\r\nCITTA\r\nNAIVE\r\nOEUVRE\r\nPERCHE\r\nSTRASSE\r\nZOO\r\n"},
        MkdizCase{"foldLatin1Fallback", "--fold", "caff\xE8\n", "CAFFE\r\n"},
        MkdizCase{"stems", "--fold --stems",
                  "rosso\nrossa\nrossi\nrosse\nrossetto\ncasa\ncase\ncasale\nlupo\nlupi\nmare\nro\n"
                  "ra\nA\nE\n",
                  "A\r\nCAS!\r\nCASALE\r\nE\r\nLUP=\r\nMARE\r\nR&\r\nROSS@\r\nROSSETTO\r\n"},
        MkdizCase{
            "stemsAllCodes", "--stems",
            "XA\nXE\nYA\nYI\nZE\nZI\nWA\nWE\nWI\nVA\nVO\nUE\nUO\nTA\nTE\nTO\nSI\nSO\nRA\nRI\nRO\n"
            "QE\nQI\nQO\nPA\nPE\nPI\nPO\n",
            "P@\r\nQ-\r\nR+\r\nS=\r\nT)\r\nU(\r\nV&\r\nW%\r\nX!\r\nY#\r\nZ$\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MkdizTool, RejectsBadUseAndBadInput) {
    TempDir dir;
    writeFile(dir.file("in.txt"), "A\n");
    writeFile(dir.file("bad.diz"), "KDIZ not really");
    EXPECT_EQ(run(""), 2);
    EXPECT_EQ(run("-o " + dir.file("out.txt") + " " + dir.file("in.txt")), 2);
    EXPECT_EQ(run("--bogus -o " + dir.file("out.dic") + " " + dir.file("in.txt")), 2);
    EXPECT_EQ(run("-o " + dir.file("out.dic")), 2);
    EXPECT_EQ(run("-o " + dir.file("out.dic") + " " + dir.file("missing.txt")), 1);
    EXPECT_EQ(run("--decode " + dir.file("bad.diz")), 1);
    EXPECT_EQ(run("--decode " + dir.file("missing.diz")), 1);
}

// An input that is no regular file is refused without waiting on it, and a
// write that fails (a file-size limit, a folder in the way) leaves the old
// output byte for byte and no scratch file beside it.
TEST(MkdizTool, FaultsLeaveTheOldOutput) {
    TempDir dir;
    std::string words;
    for (int i = 0; i < 400; ++i)
        words += "WORD" + std::to_string(i) + "\n";
    writeFile(dir.file("in.txt"), words);
    writeFile(dir.file("out.dic"), "OLD\r\n");
    ASSERT_EQ(::mkfifo(dir.file("fifo.txt").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(dir.file("folder.dic").c_str(), 0700), 0);
    EXPECT_EQ(run("-o " + dir.file("out.dic") + " " + dir.file("fifo.txt")), 1);
    EXPECT_EQ(run("-o " + dir.file("folder.dic") + " " + dir.file("in.txt")), 1);
    // The limit is in blocks of 512 bytes; the list is some 3 KB. SIGXFSZ
    // ignored by the shell stays ignored in the tool, so write() fails.
    const std::string limited = "sh -c \"trap '' XFSZ; ulimit -f 2; exec " +
                                std::string(KORVEL_MKDIZ) + " -o " + dir.file("out.dic") + " " +
                                dir.file("in.txt") + "\" 2>/dev/null";
    const int status = std::system(limited.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(readFile(dir.file("out.dic")), "OLD\r\n");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"fifo.txt", "folder.dic", "in.txt", "out.dic"}));
    // Without the limit the same list replaces the old one.
    ASSERT_EQ(run("-o " + dir.file("out.dic") + " " + dir.file("in.txt")), 0);
    EXPECT_EQ(readFile(dir.file("out.dic")).size(), words.size() + 400);
}

// The word lists are converted, not loaded: an input longer than the loader's
// cap is read a line at a time. The file is a hole with a line end every MiB
// (lines of NUL bytes, which --fold drops), so it takes almost no disk.
TEST(MkdizTool, ReadsAnInputLongerThanTheLoadersCap) {
    TempDir dir;
    const std::string in = dir.file("forms.txt");
    const uint64_t size = MaxDictionaryBytes + (64u << 20);
    {
        const int fd = ::open(in.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        const auto put = [fd](std::string_view s, uint64_t at) {
            return ::pwrite(fd, s.data(), s.size(), static_cast<off_t>(at)) ==
                   static_cast<ssize_t>(s.size());
        };
        bool ok = put("rosso\n", 0);
        for (uint64_t at = 1u << 20; at < size; at += 1u << 20)
            ok = ok && put("\n", at);
        const std::string tail = "\ncasa\nrossa\nrosso\n";
        ok = ok && put(tail, size - tail.size());
        ASSERT_TRUE(ok);
        ASSERT_EQ(::close(fd), 0);
    }
    ASSERT_GT(fs::file_size(in), MaxDictionaryBytes);
    ASSERT_EQ(run("--fold -o " + dir.file("out.dic") + " " + in), 0);
    EXPECT_EQ(readFile(dir.file("out.dic")), "CASA\r\nROSSA\r\nROSSO\r\n");
}

// Sorted lists are thinned out while they are read; the result is the same as
// one sort of every line at the end.
TEST(MkdizTool, SortsManyLinesAsOneSortWould) {
    TempDir dir;
    std::mt19937 rng(7);
    std::vector<std::string> words;
    std::string text;
    for (int i = 0; i < 300000; ++i) {
        std::string w;
        const std::size_t len = 1 + rng() % 4;
        for (std::size_t j = 0; j < len; ++j)
            w += static_cast<char>('A' + rng() % 8);
        words.push_back(w);
        text += w + (i % 3 == 0 ? "\r\n" : "\n");
    }
    writeFile(dir.file("in.txt"), text);
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    std::string expected;
    for (const std::string& w : words)
        expected += w + "\r\n";
    ASSERT_EQ(run("--sort -o " + dir.file("out.dic") + " " + dir.file("in.txt")), 0);
    EXPECT_EQ(readFile(dir.file("out.dic")), expected);
}

TEST(MkdizTool, ConcatenatesInputsInOrder) {
    TempDir dir;
    writeFile(dir.file("a.txt"), "B\nA");
    writeFile(dir.file("b.txt"), "C\r\n");
    ASSERT_EQ(run("-o " + dir.file("o.dic") + " " + dir.file("a.txt") + " " + dir.file("b.txt")),
              0);
    EXPECT_EQ(readFile(dir.file("o.dic")), "B\r\nA\r\nC\r\n");
}

} // namespace
