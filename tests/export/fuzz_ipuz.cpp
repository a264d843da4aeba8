// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the .ipuz reader: any bytes either fail with a reason, or
// give a puzzle Korvel can hold (its sides in range, every cell a letter A to
// Z, empty or black; clues in key order with keys of their own; circles
// ascending on white cells) that writes and reads back as the same puzzle,
// and writes the same bytes again. Built for libFuzzer with clang; otherwise
// a replay program that runs the files named on its command line (CTest
// replays the corpus).
#include "ipuzfile.h"
#include "puzzleread.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool holdable(const korvel::Puzzle& p) {
    using namespace korvel;
    const GridModel& g = p.grid;
    if (g.RowCount < MinRows || g.RowCount > MaxRows || g.ColumnCount < MinColumns ||
        g.ColumnCount > MaxColumns) {
        return false;
    }
    for (int r = 0; r < g.RowCount; ++r) {
        for (int c = 0; c < g.ColumnCount; ++c) {
            const char ch = g.cell(r, c);
            if (ch != BLACK && ch != EmptyCell && (ch < 'A' || ch > 'Z')) {
                return false;
            }
        }
    }
    for (std::size_t i = 1; i < p.clues.size(); ++i) {
        if (!(p.clues[i - 1].key < p.clues[i].key)) {
            return false;
        }
    }
    for (std::size_t i = 0; i < p.circles.size(); ++i) {
        const int at = p.circles[i];
        if ((i > 0 && at <= p.circles[i - 1]) || at < 0 || at >= g.RowCount * g.ColumnCount ||
            g.isBlack(at / g.ColumnCount, at % g.ColumnCount)) {
            return false;
        }
    }
    return true;
}

bool same(const korvel::Puzzle& a, const korvel::Puzzle& b) {
    return a.grid.GridRows == b.grid.GridRows && a.clues == b.clues && a.details == b.details &&
           a.circles == b.circles;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const PuzzleReadResult r = puzzleFromIpuz(bytes);
    if (!r.puzzle) {
        if (r.error.empty()) {
            std::abort();
        }
        return 0;
    }
    if (!holdable(*r.puzzle) || r.warnings != readWarnings(r.counts)) {
        std::abort();
    }
    const std::string once = writeIpuz(*r.puzzle, "");
    const PuzzleReadResult back = puzzleFromIpuz(once);
    if (!back.puzzle || !same(*back.puzzle, *r.puzzle) || writeIpuz(*back.puzzle, "") != once) {
        std::abort();
    }
    return 0;
}
