// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "griddocument.h"
#include "puzzlefile.h"

#include <string>

namespace korvel {

// The one way a document comes from a file and goes to one, whatever the
// file's type: through loadPuzzleFile and savePuzzleFile.

// Reads the file at path as format and, when it reads, puts the puzzle in
// the document in place of everything (named path, an empty history, not
// changed); the result's puzzle is then set, but empty. A file that does not
// read leaves the document as it was; the result holds the cause, and on
// success the warnings of what the reader changed.
PuzzleReadResult openDocument(GridDocument& doc, const std::string& path, PuzzleFileFormat format);

// Writes the document to its file name as format (a .kvl keeps the grid
// alone). On success the document is not changed any more; on failure the
// old file and the changed flag stay as they were and error holds the cause.
bool saveDocument(GridDocument& doc, PuzzleFileFormat format, std::string& error);

} // namespace korvel
