// SPDX-License-Identifier: GPL-3.0-or-later
// The document: every edit checked by do, undo and redo against the grid it
// should leave and the changed flag it should show; open and save through the
// real file system.
#include "griddocument.h"
#include "gridedit.h"
#include "kvlfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

using namespace korvel;
namespace fs = std::filesystem;

namespace {

std::string rowsOf(const GridModel& g) {
    std::string all;
    for (int16_t r = 0; r < g.RowCount; ++r)
        all += g.GridRows[static_cast<std::size_t>(r)] + "|";
    return all;
}

struct TempFolder {
    fs::path path;
    TempFolder() {
        std::string tmpl = (fs::temp_directory_path() / "korvel-doc-XXXXXX").string();
        path = ::mkdtemp(tmpl.data());
    }
    ~TempFolder() { fs::remove_all(path); }
};

std::string fileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

// Random edits on a document: after each, undo returns the grid it had before
// and redo the grid it had after; the changed flag follows the edits and only
// markSaved clears it.
TEST(GridDocument, DoUndoRedoEveryEdit) {
    std::mt19937 rng(12);
    for (int round = 0; round < 40; ++round) {
        GridDocument doc;
        doc.newGrid(static_cast<int16_t>(2 + rng() % 6), static_cast<int16_t>(2 + rng() % 8));
        EXPECT_FALSE(doc.isModified());
        for (int step = 0; step < 20; ++step) {
            const auto r = static_cast<int16_t>(rng() % static_cast<unsigned>(doc.grid().RowCount));
            const auto c =
                static_cast<int16_t>(rng() % static_cast<unsigned>(doc.grid().ColumnCount));
            const std::string before = rowsOf(doc.grid());
            const bool black = rng() % 2;
            const CellEditResult e = doc.edit([&](DocumentEdit& ed) {
                ed.beginAction(); // as every grid click does
                return black ? blackWhite(ed, r, c) : clearCell(ed, r, c);
            });
            const std::string after = rowsOf(doc.grid());
            if (before == after)
                continue;
            EXPECT_TRUE(doc.isModified());
            int16_t row = r, col = c;
            ASSERT_FALSE(doc.edit([&](DocumentEdit& ed) { return ed.undo(row, col); }).anomaly);
            EXPECT_EQ(rowsOf(doc.grid()), before);
            ASSERT_FALSE(doc.edit([&](DocumentEdit& ed) { return ed.redo(row, col); }).anomaly);
            EXPECT_EQ(rowsOf(doc.grid()), after);
            if (step % 7 == 0) {
                doc.markSaved();
                EXPECT_FALSE(doc.isModified());
            }
            (void)e;
        }
    }
}

// Save writes exactly writeKvl's bytes and clears the flag; open reads them
// back into an equal grid with an empty history and the new file name.
TEST(GridDocument, SaveThenOpenRoundTrip) {
    TempFolder tmp;
    GridDocument doc;
    doc.newGrid(4, 6);
    doc.edit([](DocumentEdit& e) {
        blackWhite(e, 1, 2);
        e.beginAction();
        e.aggior(0, 0, '\xE8');
    });
    ASSERT_TRUE(doc.isModified());
    const std::string path = (tmp.path / "one.kvl").string();
    doc.setFileName(path);
    std::string error;
    ASSERT_TRUE(doc.save(error)) << error;
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(fileBytes(path), writeKvl(doc.grid()));

    GridDocument other;
    ASSERT_TRUE(other.open(path, error)) << error;
    EXPECT_EQ(rowsOf(other.grid()), rowsOf(doc.grid()));
    EXPECT_EQ(other.fileName(), path);
    EXPECT_FALSE(other.isModified());
    EXPECT_EQ(other.history().HistoryLength(), 0);
    EXPECT_FALSE(other.history().undoEnabled());
}

// A failed open or save changes nothing: not the grid, not the file name,
// not the flag, not the file on disk.
TEST(GridDocument, FailuresChangeNothing) {
    TempFolder tmp;
    GridDocument doc;
    doc.newGrid(3, 3);
    doc.edit([](DocumentEdit& e) { blackWhite(e, 0, 0); });
    const std::string good = (tmp.path / "good.kvl").string();
    doc.setFileName(good);
    std::string error;
    ASSERT_TRUE(doc.save(error));
    doc.edit([](DocumentEdit& e) { blackWhite(e, 2, 2); });
    const std::string grid = rowsOf(doc.grid());

    std::ofstream(tmp.path / "bad.kvl", std::ios::binary) << "x,y\r\n";
    EXPECT_FALSE(doc.open((tmp.path / "bad.kvl").string(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(doc.open(tmp.path.string(), error)); // a folder
    EXPECT_EQ(rowsOf(doc.grid()), grid);
    EXPECT_EQ(doc.fileName(), good);
    EXPECT_TRUE(doc.isModified());

    const std::string onDisk = fileBytes(good);
    doc.setFileName((tmp.path / "missing" / "x.kvl").string());
    EXPECT_FALSE(doc.save(error));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(fileBytes(good), onDisk);
}

// One priclk: set by a placement, cleared by the document.
TEST(GridDocument, OnePriclk) {
    GridDocument doc;
    EXPECT_FALSE(doc.priclk());
    doc.edit([](DocumentEdit& e) { e.placement().priclk = true; });
    EXPECT_TRUE(doc.priclk());
    doc.clearPriclk();
    EXPECT_FALSE(doc.placement().priclk);
}
