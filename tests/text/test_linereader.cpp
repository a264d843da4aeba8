// SPDX-License-Identifier: GPL-3.0-or-later
// The line-at-a-time reader of word lists: the same lines whatever the size
// of a read, the cap on one line, and what it refuses to open.
#include "linereader.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace korvel;
using korvel::testing::TempDir;
using korvel::testing::writeFile;

namespace {

using Lines = std::vector<std::string>;

// The oracle: lines end at LF, a last line without LF counts, an empty rest
// after the last LF does not.
Lines splitAtLf(const std::string& text) {
    Lines lines;
    std::size_t p = 0;
    while (p < text.size()) {
        const std::size_t k = text.find('\n', p);
        if (k == std::string::npos) {
            lines.push_back(text.substr(p));
            break;
        }
        lines.push_back(text.substr(p, k - p));
        p = k + 1;
    }
    return lines;
}

// Every line the reader hands out; status is its status afterwards.
Lines readAll(const std::string& path, uint64_t cap, std::size_t chunk, FileReadResult& status) {
    LineReader reader(cap, chunk);
    Lines lines;
    if (reader.open(AT_FDCWD, path).ok()) {
        std::string_view line;
        while (reader.next(line)) {
            lines.emplace_back(line);
        }
        EXPECT_EQ(reader.lineCount(), lines.size());
    }
    status = reader.status();
    return lines;
}

struct SplitCase {
    const char* name;
    std::string text;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class Split : public ::testing::TestWithParam<std::tuple<SplitCase, std::size_t>> {};

TEST_P(Split, SameLinesForEverySizeOfRead) {
    const auto& [c, chunk] = GetParam();
    TempDir dir;
    writeFile(dir.file("list"), c.text);
    FileReadResult status;
    EXPECT_EQ(readAll(dir.file("list"), 1000, chunk, status), splitAtLf(c.text));
    EXPECT_TRUE(status.ok()) << status.cause;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Split,
    ::testing::Combine(
        ::testing::Values(SplitCase{"empty", ""}, SplitCase{"onlyLf", "\n"},
                          SplitCase{"twoEmptyLines", "\n\n"}, SplitCase{"noLf", "ABC"},
                          SplitCase{"oneLine", "ABC\n"}, SplitCase{"lastWithoutLf", "AB\nCD"},
                          SplitCase{"crKept", "AB\r\nCD\r\n\r"},
                          SplitCase{"emptyInside", "AB\n\nCDE\nF\n"},
                          SplitCase{"nulAndHighBytes", std::string("A\0B\n\xE0\xFF\n", 7)}),
        ::testing::Values(std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5},
                          LineReader::DefaultChunkBytes)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_read" +
               std::to_string(std::get<1>(info.param));
    });

TEST(LineReader, LineOfTheCapPassesOneMoreStops) {
    TempDir dir;
    const std::string ok = "AB\n" + std::string(10, 'x') + "\nCD";
    writeFile(dir.file("ok"), ok);
    writeFile(dir.file("long"), "AB\nCD\n" + std::string(11, 'x') + "\nEF\n");
    writeFile(dir.file("longLast"), "AB\n" + std::string(11, 'x'));
    for (std::size_t chunk : {std::size_t{1}, std::size_t{4}, std::size_t{64}}) {
        FileReadResult status;
        EXPECT_EQ(readAll(dir.file("ok"), 10, chunk, status), splitAtLf(ok));
        EXPECT_TRUE(status.ok()) << status.cause;

        EXPECT_EQ(readAll(dir.file("long"), 10, chunk, status), (Lines{"AB", "CD"}));
        EXPECT_EQ(status.status, FileReadStatus::TooLarge);
        EXPECT_EQ(status.cause, "line 3 is longer than 10 bytes");

        EXPECT_EQ(readAll(dir.file("longLast"), 10, chunk, status), (Lines{"AB"}));
        EXPECT_EQ(status.cause, "line 2 is longer than 10 bytes");
    }
}

// No line ends at all: the read stops at the cap, the rest is never held.
TEST(LineReader, FileWithoutLineEndsStopsAtTheCap) {
    TempDir dir;
    writeFile(dir.file("flat"), std::string(1 << 20, 'A'));
    FileReadResult status;
    EXPECT_TRUE(readAll(dir.file("flat"), 4096, 512, status).empty());
    EXPECT_EQ(status.status, FileReadStatus::TooLarge);
}

TEST(LineReader, OnlyRegularFilesAreOpened) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("folder"));
    std::filesystem::create_symlink("nowhere", dir.file("dangling"));
    struct Case {
        const char* name;
        FileReadStatus status;
        const char* cause;
    };
    for (const Case& c : {Case{"fifo", FileReadStatus::NotRegular, "is a FIFO"},
                          Case{"folder", FileReadStatus::NotRegular, "is a folder"},
                          Case{"dangling", FileReadStatus::Missing, "cannot be opened: "},
                          Case{"missing", FileReadStatus::Missing, "cannot be opened: "}}) {
        LineReader reader(100);
        const FileReadResult r = reader.open(AT_FDCWD, dir.file(c.name));
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.cause.rfind(c.cause, 0), 0u) << c.name << ": " << r.cause;
        std::string_view line;
        EXPECT_FALSE(reader.next(line)) << c.name;
        EXPECT_FALSE(reader.status().ok()) << c.name;
    }
}

// A link to a regular file is followed, as readRegularFile follows it.
TEST(LineReader, LinkToAListIsRead) {
    TempDir dir;
    writeFile(dir.file("list"), "AB\nCD\n");
    std::filesystem::create_symlink("list", dir.file("link"));
    FileReadResult status;
    EXPECT_EQ(readAll(dir.file("link"), 100, 3, status), (Lines{"AB", "CD"}));
    EXPECT_TRUE(status.ok());
}

// Opening another file in the middle of one starts over on the new one.
TEST(LineReader, OpenAgainStartsOver) {
    TempDir dir;
    writeFile(dir.file("a"), "A1\nA2\nA3");
    writeFile(dir.file("b"), "B1\nB2");
    LineReader reader(100, 2);
    ASSERT_TRUE(reader.open(AT_FDCWD, dir.file("a")).ok());
    std::string_view line;
    ASSERT_TRUE(reader.next(line));
    ASSERT_TRUE(reader.next(line));
    ASSERT_TRUE(reader.open(AT_FDCWD, dir.file("b")).ok());
    Lines lines;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    EXPECT_EQ(lines, (Lines{"B1", "B2"}));
    EXPECT_EQ(reader.lineCount(), 2u);
    EXPECT_TRUE(reader.status().ok());
}

} // namespace
