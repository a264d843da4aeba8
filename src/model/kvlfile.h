// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gridmodel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvel {

inline constexpr std::string_view OpenSaveErrorText = "Errors in Open/Save File. Exit and retry.";

// A crossword file read from its bytes: the grid, or nothing and the reason
// (for the tests; the window shows OpenSaveErrorText for every failure).
struct KvlReadResult {
    std::optional<GridModel> grid;
    std::string error;
};

// Reads a crossword file: a first line "rows,cols", then one line per row,
// each the row's cells in double quotes, every line ended by CR LF. Refused:
// counts that are not numbers or lie outside 2..25 rows and 2..35 columns,
// fewer row lines than declared, a row longer than the width, a missing
// closing quote, a line not ended by CR LF, a NUL, CR, LF or double quote inside a
// row (no written file could hold it). A
// short row is padded with empty cells. An unquoted row is taken without its
// surrounding blanks. Lines after the last row are not read. Nothing is
// allocated from the counts before they are checked.
KvlReadResult readKvl(std::string_view bytes);

// The exact bytes of the file for a grid: the counts line, then rows 0 to
// RowCount - 1 in double quotes, CR LF after every line. Byte 16 stays byte 16.
std::string writeKvl(const GridModel& grid);

// A crossword file is a few hundred bytes; anything beyond this is no
// crossword file and is refused before it is read.
inline constexpr uint64_t MaxKvlBytes = 1024 * 1024;

// Opens and reads the crossword file at path: a regular file only (a FIFO,
// a device or a folder is refused without blocking), at most MaxKvlBytes,
// then readKvl. The error names the cause.
KvlReadResult loadKvlFile(const std::string& path);

// Saves grid to path so that a failure leaves the old file byte for byte as
// it was: the bytes go to a new file in the same folder, which is written,
// synced and closed, each step checked, then renamed over path, and the
// folder is synced. A path that is a symbolic link saves to the file it leads
// to. A new file gets the usual permissions (0666 less the umask), an
// existing one keeps its own. Returns false with the cause in error; no
// scratch file is left behind then.
bool saveKvlFile(const std::string& path, const GridModel& grid, std::string& error);

// A crossword file's name as Save As keeps it: unchanged when it ends in
// ".kvl" in any case, otherwise with ".kvl" added (an empty name included).
std::string withKvlExtension(std::string_view name);

// The unsaved-change prompt's text, "The " + file + " file is changed but not
// saved." + CR LF + "Save it now?", shown with Yes, No and Cancel under
// UnsavedChangeTitle.
std::string unsavedChangeMessage(std::string_view currentFile);
inline constexpr std::string_view UnsavedChangeTitle = "ATTENTION !";

} // namespace korvel
