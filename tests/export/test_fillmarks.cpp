// SPDX-License-Identifier: GPL-3.0-or-later
// Where the letters came from, through an .ipuz file: a document with typed
// and filled letters is saved, read back into another document, and Clear
// Fill there takes away the fill's letters only; the marks never name a cell
// without a letter; other programs' files without them read as before.
#include "clearfill.h"
#include "documentfile.h"
#include "griddocument.h"
#include "ipuzfile.h"
#include "puzzleread.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace korvel;

namespace {

std::string rowsOf(const GridModel& g) {
    std::string all;
    for (int16_t r = 0; r < g.RowCount; ++r)
        all += g.GridRows[static_cast<std::size_t>(r)] + "|";
    return all;
}

// Typed SEED across row 1, then the fill's letters in rows 0 and 2.
GridDocument seededAndFilled() {
    GridDocument doc;
    doc.newGrid(3, 4);
    doc.edit([](DocumentEdit& e) {
        e.beginAction();
        for (int c = 0; c < 4; ++c)
            e.aggior(1, static_cast<int16_t>(c), "SEED"[c]);
    });
    BulkChange fill;
    fill.byFill = true;
    for (int r : {0, 2})
        for (int16_t c = 0; c < 4; ++c)
            fill.cells.push_back(
                CellChange{static_cast<int16_t>(r), c, EmptyCell, (r == 0 ? "ABCD" : "WXYZ")[c]});
    doc.edit([&](DocumentEdit& e) { e.record(std::move(fill)); });
    return doc;
}

} // namespace

TEST(FillMarks, IpuzRoundTripKeepsThemForClearFill) {
    GridDocument doc = seededAndFilled();
    const std::string bytes = writeIpuz(doc.puzzle(), "t");
    const nlohmann::json j = nlohmann::json::parse(bytes);
    ASSERT_TRUE(j.contains("org.korvel:fill"));
    EXPECT_EQ(j["org.korvel:fill"].size(), 8u);
    EXPECT_EQ(j["org.korvel:fill"][4], nlohmann::json::array({2, 0}));

    PuzzleReadResult back = puzzleFromIpuz(bytes);
    ASSERT_TRUE(back.puzzle) << back.error;
    EXPECT_TRUE(back.puzzle->details.kept.ipuz.empty()); // read, not kept as foreign
    EXPECT_TRUE(back.warnings.empty());
    // Written again: the same bytes.
    EXPECT_EQ(writeIpuz(*back.puzzle, "t"), bytes);

    GridDocument reopened;
    reopened.openPuzzle(std::move(*back.puzzle), "t.ipuz");
    EXPECT_EQ(reopened.fillCells(), doc.fillCells());
    const ClearFillResult r = reopened.edit([](DocumentEdit& e) { return clearFill(e, {}); });
    EXPECT_EQ(r.cleared, 8);
    EXPECT_EQ(rowsOf(reopened.grid()), "????|SEED|????|");
}

// Once cleared, nothing is marked and the file has no such field: the bytes
// are those of a puzzle that never had a fill.
TEST(FillMarks, NoMarksNoField) {
    GridDocument doc = seededAndFilled();
    doc.edit([](DocumentEdit& e) { clearFill(e, {}); });
    Puzzle plain;
    plain.grid = doc.grid();
    EXPECT_EQ(writeIpuz(doc.puzzle(), "t"), writeIpuz(plain.grid, "t"));
}

// A file's marks are a help only: entries that name no cell with a letter,
// or are no pair of numbers, are passed over without a warning.
TEST(FillMarks, BadEntriesArePassedOver) {
    const std::string file = R"({"version": "http://ipuz.org/v2",
 "kind": ["http://ipuz.org/crossword#1"], "dimensions": {"width": 3, "height": 2},
 "puzzle": [[1, 0, 2], [0, "#", 0]], "solution": [["A", "B", null], ["C", "#", "D"]],
 "org.korvel:fill": [[0, 0], [0, 2], [1, 1], [9, 9], [-1, 0], "x", [1], [1, 2], [0, 0]]})";
    const PuzzleReadResult r = puzzleFromIpuz(file);
    ASSERT_TRUE(r.puzzle) << r.error;
    EXPECT_EQ(r.puzzle->fillCells, (std::vector<int>{0, 5}));
    EXPECT_TRUE(r.warnings.empty());
}

// The marks stay out of the .kvl file: a grid with fill letters and typed
// ones is written as its rows alone, byte for byte as before, and read back
// every letter is the file's.
TEST(FillMarks, KvlBytesDoNotCarryThem) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("korvel-fillmarks-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    GridDocument doc = seededAndFilled();
    const std::string path = (folder / "g.kvl").string();
    doc.edit([&](DocumentEdit& e) { e.setFileName(path); });
    std::string error;
    ASSERT_TRUE(saveDocument(doc, PuzzleFileFormat::Kvl, error)) << error;
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(bytes, "3,4\r\n\"ABCD\"\r\n\"SEED\"\r\n\"WXYZ\"\r\n");
    GridDocument reopened;
    const PuzzleReadResult r = openDocument(reopened, path, PuzzleFileFormat::Kvl);
    ASSERT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(rowsOf(reopened.grid()), "ABCD|SEED|WXYZ|");
    EXPECT_TRUE(reopened.fillCells().empty());
    fs::remove_all(folder);
}
