// SPDX-License-Identifier: GPL-3.0-or-later
#include "puzzlefile.h"

#include "blanks.h"
#include "exportformat.h"
#include "ipuzfile.h"
#include "kvlfile.h"
#include "puzfile.h"
#include "regularfile.h"
#include "replacefile.h"

#include <fcntl.h>

namespace korvel {

const PuzzleFileType& puzzleFileType(PuzzleFileFormat format) {
    for (const PuzzleFileType& type : PuzzleFileTypes) {
        if (type.format == format) {
            return type;
        }
    }
    return PuzzleFileTypes[0];
}

std::optional<PuzzleFileFormat> puzzleFormatFromPath(std::string_view path) {
    for (const PuzzleFileType& type : PuzzleFileTypes) {
        if (endsWithNoCase(path, type.extension)) {
            return type.format;
        }
    }
    return std::nullopt;
}

PuzzleReadResult loadPuzzleFile(const std::string& path) {
    PuzzleReadResult result;
    const std::optional<PuzzleFileFormat> format = puzzleFormatFromPath(path);
    if (!format) {
        result.error = path + " is not a puzzle file Korvel opens (.kvl, .puz or .ipuz).";
        return result;
    }
    return loadPuzzleFile(path, *format);
}

PuzzleReadResult loadPuzzleFile(const std::string& path, PuzzleFileFormat format) {
    PuzzleReadResult result;
    if (format == PuzzleFileFormat::Kvl) {
        KvlReadResult kvl = loadKvlFile(path);
        if (!kvl.grid) {
            // A failed read names the file already; a refused one does not.
            result.error = kvl.error.compare(0, path.size(), path) == 0 ? std::move(kvl.error)
                                                                        : path + ": " + kvl.error;
            return result;
        }
        result.puzzle.emplace();
        result.puzzle->grid = std::move(*kvl.grid);
        return result;
    }
    std::string bytes;
    const FileReadResult read =
        readRegularFile(AT_FDCWD, path, puzzleFileType(format).maxBytes, bytes);
    if (!read.ok()) {
        result.error = path + " " + read.cause;
        return result;
    }
    result = format == PuzzleFileFormat::Puz ? puzzleFromPuz(bytes) : puzzleFromIpuz(bytes);
    if (!result.error.empty()) {
        result.error = path + ": " + result.error;
    }
    return result;
}

bool savePuzzleFile(const std::string& path, const Puzzle& puzzle, std::string& error) {
    const std::optional<PuzzleFileFormat> format = puzzleFormatFromPath(path);
    if (!format) {
        error = path + " names no puzzle file Korvel saves (.kvl, .puz or .ipuz).";
        return false;
    }
    return savePuzzleFile(path, puzzle, *format, error);
}

bool savePuzzleFile(const std::string& path, const Puzzle& puzzle, PuzzleFileFormat format,
                    std::string& error) {
    std::string bytes;
    switch (format) {
    case PuzzleFileFormat::Kvl:
        return saveKvlFile(path, puzzle.grid, error);
    case PuzzleFileFormat::Ipuz:
        bytes = writeIpuz(puzzle, exportTitle(path));
        break;
    case PuzzleFileFormat::Puz: {
        PuzWriteResult puz = writePuz(puzzle);
        if (!puz.error.empty()) {
            error = std::move(puz.error);
            return false;
        }
        bytes = std::move(puz.bytes);
        break;
    }
    }
    return replaceFile(path, bytes, error);
}

} // namespace korvel
