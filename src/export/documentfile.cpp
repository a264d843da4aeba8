// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentfile.h"

#include <utility>

namespace korvel {

PuzzleReadResult openDocument(GridDocument& doc, const std::string& path, PuzzleFileFormat format) {
    PuzzleReadResult read = loadPuzzleFile(path, format);
    // read.puzzle stays set, emptied, to say that the document has it now.
    if (read.puzzle)
        doc.openPuzzle(std::exchange(*read.puzzle, Puzzle{}), path);
    return read;
}

bool saveDocument(GridDocument& doc, PuzzleFileFormat format, std::string& error) {
    if (!savePuzzleFile(doc.fileName(), doc.puzzle(), format, error))
        return false;
    doc.edit([](DocumentEdit& e) { e.setDocumentChanged(false); });
    return true;
}

} // namespace korvel
