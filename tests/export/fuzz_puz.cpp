// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the .puz reader: any bytes either fail with a reason, or
// give a puzzle whose boards have the declared size, whose own encoding reads
// back to the same puzzle, and whose grid (when it fits one) writes again.
// The lenient reader of real files either refuses with a reason or gives a
// puzzle that goes through .ipuz and back unchanged.
// Built for libFuzzer with clang; otherwise a replay program that runs the
// files named on its command line (CTest replays the corpus).
#include "ipuzfile.h"
#include "puzfile.h"
#include "puzzleread.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void lenientReader(std::string_view bytes) {
    using namespace korvel;
    const PuzzleReadResult r = puzzleFromPuz(bytes);
    if (!r.puzzle) {
        if (r.error.empty()) {
            std::abort();
        }
        return;
    }
    const PuzzleReadResult back = puzzleFromIpuz(writeIpuz(*r.puzzle, ""));
    if (!back.puzzle || back.puzzle->grid.GridRows != r.puzzle->grid.GridRows ||
        back.puzzle->clues != r.puzzle->clues || back.puzzle->details != r.puzzle->details ||
        back.puzzle->circles != r.puzzle->circles) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    lenientReader(bytes);
    const PuzReadResult r = readPuz(bytes);
    if (!r.puzzle) {
        if (r.error.empty()) {
            std::abort();
        }
        return 0;
    }
    const PuzPuzzle& p = *r.puzzle;
    const std::size_t cells = static_cast<std::size_t>(p.width) * p.height;
    if (p.solution.size() != cells || p.state.size() != cells) {
        std::abort();
    }
    const std::string again = encodePuz(p);
    const PuzReadResult back = readPuz(again);
    if (!back.puzzle || back.puzzle->solution != p.solution || back.puzzle->clues != p.clues ||
        encodePuz(*back.puzzle) != again) {
        std::abort();
    }
    std::string error;
    if (const auto grid = gridFromPuz(p, error)) {
        const PuzWriteResult w = writePuz(*grid);
        if (w.bytes.empty() == w.error.empty()) {
            std::abort();
        }
    }
    return 0;
}
