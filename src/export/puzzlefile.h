// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "kvlfile.h"
#include "puzzle.h"
#include "puzzleread.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvel {

// The puzzle files Korvel opens and saves: its own .kvl (the grid alone) and
// the crossword formats of other programs.
enum class PuzzleFileFormat { Kvl, Puz, Ipuz };

// One kind of puzzle file: its extension (with the dot, matched without case),
// a name for file dialogs, and the most bytes a file of the kind may have
// before it is refused unread. The one place these limits live.
struct PuzzleFileType {
    PuzzleFileFormat format;
    std::string_view extension;
    std::string_view name;
    uint64_t maxBytes;
};

// The largest Korvel grid has under 900 words. With a 1,000-character clue
// for each, its .puz is under 1 MiB (a byte a character) and its .ipuz under
// 5 MiB (at most 5 bytes a character, "&amp;"); the limits leave room beyond.
inline constexpr std::array<PuzzleFileType, 3> PuzzleFileTypes = {{
    {PuzzleFileFormat::Kvl, ".kvl", "Korvel crossword", MaxKvlBytes},
    {PuzzleFileFormat::Puz, ".puz", "Across Lite puzzle", 4 * 1024 * 1024},
    {PuzzleFileFormat::Ipuz, ".ipuz", "ipuz crossword", 16 * 1024 * 1024},
}};

const PuzzleFileType& puzzleFileType(PuzzleFileFormat format);

// The format a file name asks for by its extension (case ignored), or nothing.
std::optional<PuzzleFileFormat> puzzleFormatFromPath(std::string_view path);

// Opens the puzzle file at path, the format chosen by its extension: .kvl
// through loadKvlFile (a grid alone), .puz through puzzleFromPuz, .ipuz
// through puzzleFromIpuz. The read takes regular files only and refuses one
// larger than its type's maxBytes. The error names the file and the cause;
// a file of another extension is refused unread.
PuzzleReadResult loadPuzzleFile(const std::string& path);
// The same, read as format whatever the name ends in.
PuzzleReadResult loadPuzzleFile(const std::string& path, PuzzleFileFormat format);

// Saves the puzzle to path through the checked writer (replaceFile: a
// failure leaves the old file as it was), the format chosen by its
// extension: .ipuz (writeIpuz, the title falling back on exportTitle(path)),
// .puz (writePuz, which may refuse the puzzle) or .kvl (saveKvlFile: the
// grid alone; the caller decides whether the rest may be lost). Returns false
// with the cause in error.
bool savePuzzleFile(const std::string& path, const Puzzle& puzzle, std::string& error);
// The same, written as format whatever the name ends in.
bool savePuzzleFile(const std::string& path, const Puzzle& puzzle, PuzzleFileFormat format,
                    std::string& error);

} // namespace korvel
