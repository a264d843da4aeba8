// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the crossword file reader: any bytes either fail with a
// reason or give a grid of valid size whose written bytes read back to the
// same grid. Built for libFuzzer with clang; otherwise a replay program that
// runs the files named on its command line (CTest replays the corpus).
#include "kvlfile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const KvlReadResult r = readKvl(bytes);
    if (!r.grid) {
        if (r.error.empty()) {
            std::abort();
        }
        return 0;
    }
    const GridModel& g = *r.grid;
    if (g.RowCount < MinRows || g.RowCount > MaxRows || g.ColumnCount < MinColumns ||
        g.ColumnCount > MaxColumns ||
        g.GridRows.size() != static_cast<std::size_t>(g.RowCount) + 1) {
        std::abort();
    }
    for (const std::string& row : g.GridRows) {
        if (row.size() != static_cast<std::size_t>(g.ColumnCount)) {
            std::abort();
        }
    }
    const std::string written = writeKvl(g);
    const KvlReadResult back = readKvl(written);
    if (!back.grid || back.grid->GridRows != g.GridRows || writeKvl(*back.grid) != written) {
        std::abort();
    }
    return 0;
}
