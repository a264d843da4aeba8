// SPDX-License-Identifier: GPL-3.0-or-later
// Crossword files: exact bytes, round trips, malformed input.
#include "kvlfile.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvel;
using namespace std::string_literals;

TEST(Kvl, WritesExactBytes) {
    GridModel g = GridModel::make(2, 3);
    g.GridRows[0] = "A?B";
    g.GridRows[1] = "?\x10"
                    "C";
    EXPECT_EQ(writeKvl(g), "2,3\r\n\"A?B\"\r\n\"?\x10"
                           "C\"\r\n");
}

TEST(Kvl, ReadsRowsAsWritten) {
    const KvlReadResult r = readKvl("2,3\r\n\"ABC\"\r\n\"D?F\"\r\n");
    ASSERT_TRUE(r.grid) << r.error;
    EXPECT_EQ(r.grid->RowCount, 2);
    EXPECT_EQ(r.grid->ColumnCount, 3);
    EXPECT_EQ(r.grid->MaxSide, 3);
    ASSERT_EQ(r.grid->GridRows.size(), 3u);
    EXPECT_EQ(r.grid->GridRows[0], "ABC");
    EXPECT_EQ(r.grid->GridRows[1], "D?F");
    EXPECT_EQ(r.grid->GridRows[2], "???");
}

TEST(Kvl, RoundTripKeepsEveryByte) {
    GridModel g = GridModel::make(25, 35);
    for (int r = 0; r < 25; ++r) {
        for (int c = 0; c < 35; ++c) {
            const int k = (r * 35 + c) % 5;
            g.setCell(r, c, k == 0 ? BLACK : k == 1 ? '?' : k == 2 ? '\xE8' : char('A' + r));
        }
    }
    const std::string bytes = writeKvl(g);
    const KvlReadResult back = readKvl(bytes);
    ASSERT_TRUE(back.grid) << back.error;
    EXPECT_EQ(back.grid->GridRows, g.GridRows);
    EXPECT_EQ(writeKvl(*back.grid), bytes);
}

TEST(Kvl, TolerantForms) {
    struct Case {
        std::string bytes;
        std::string row0;
    } cases[] = {
        {"2,2\r\n\"AB\"\r\n\"CD\"", "AB"},             // no line end after the last row
        {" 2, 2\r\n\"AB\"\r\n\"CD\"\r\n", "AB"},       // blanks before the counts
        {"02,02\r\n\"AB\"\r\n\"CD\"\r\n", "AB"},       // leading zeros
        {"2,2\r\n  AB  \r\n\"CD\"\r\n", "AB"},         // unquoted, blanks removed
        {"2,2\r\n\"A\"\r\n\"CD\"\r\n", "A?"},          // short row padded
        {"2,2\r\n\"\"\r\n\"CD\"\r\n", "??"},           // empty row
        {"2,2\r\n\"A@\"\r\n\"CD\"\r\n", "A@"},         // "@" kept until the repaint
        {"2,2\r\n\"AB\"\r\n\"CD\"\r\nrest\r\n", "AB"}, // what follows is not read
        {"2,2\r\n\" B\"\r\n\"CD\"\r\n", " B"},         // quoted blanks kept
    };
    for (const Case& k : cases) {
        const KvlReadResult r = readKvl(k.bytes);
        ASSERT_TRUE(r.grid) << k.bytes << ": " << r.error;
        EXPECT_EQ(r.grid->GridRows[0], k.row0) << k.bytes;
        EXPECT_EQ(r.grid->GridRows[1], "CD");
    }
}

TEST(Kvl, MalformedFilesFailCleanly) {
    const std::string cases[] = {
        "",
        "5,3\r\n\"ABC\"\r\n\"ABC\"\r\n\"ABC\"\r\n", // too few rows
        "2,3",                                      // no line end, no rows
        "x,3\r\n\"ABC\"\r\n\"ABC\"\r\n",            // counts not numbers
        "2;3\r\n\"ABC\"\r\n\"ABC\"\r\n",
        "2,\r\n\"ABC\"\r\n\"ABC\"\r\n",
        "-2,3\r\n\"ABC\"\r\n\"ABC\"\r\n",
        "1,3\r\n\"ABC\"\r\n", // counts out of range
        "26,3\r\n\"ABC\"\r\n",
        "2,36\r\n\"ABC\"\r\n\"ABC\"\r\n",
        "30000,30000\r\n",
        "99999999999999999999,3\r\n",
        "2,3\r\n\"ABC\r\n\"ABC\"\r\n",    // missing closing quote
        "2,3\r\n\"ABC\"x\r\n\"ABC\"\r\n", // text after the quote
        "2,3\n\"ABC\"\n\"ABC\"\n",        // LF-only line ends
        "2,3\r\n\"ABC\"\n\"ABC\"\r\n",
        "2,3\r\n\"ABCD\"\r\n\"ABC\"\r\n",  // a row longer than the grid
        "2,3\r\nA\"C\r\n\"ABC\"\r\n",      // a quote inside a row
        "2,3\r\n\"A\0C\"\r\n\"ABC\"\r\n"s, // NUL byte
        "\0\0\0\0"s,
    };
    for (const std::string& bytes : cases) {
        const KvlReadResult r = readKvl(bytes);
        EXPECT_FALSE(r.grid.has_value()) << bytes;
        EXPECT_FALSE(r.error.empty());
    }
}

TEST(Kvl, UnsavedChangeMessage) {
    EXPECT_EQ(unsavedChangeMessage("C:\\CW\\A.kvl"),
              "The C:\\CW\\A.kvl file is changed but not saved.\r\nSave it now?");
    EXPECT_EQ(unsavedChangeMessage(""), "The  file is changed but not saved.\r\nSave it now?");
}

// Save As's extension rule, case by case.
TEST(Kvl, ExtensionRule) {
    const std::pair<std::string, std::string> cases[] = {
        {"grid", "grid.kvl"},
        {"grid.kvl", "grid.kvl"},
        {"GRID.KVL", "GRID.KVL"},
        {"grid.Kvl", "grid.Kvl"},
        {"", ".kvl"},
        {".kvl", ".kvl"},
        {"kvl", "kvl.kvl"},
        {"a.kvlx", "a.kvlx.kvl"},
        {"a.txt", "a.txt.kvl"},
        {"/tmp/x.kv", "/tmp/x.kv.kvl"},
        {"caf\xC3\xA9", "caf\xC3\xA9.kvl"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(withKvlExtension(in), out) << in;
}
