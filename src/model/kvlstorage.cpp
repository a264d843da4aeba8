// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and saving crossword files on disk; the format itself is kvlfile.cpp's.

#include "kvlfile.h"

#include "regularfile.h"
#include "replacefile.h"

#include <fcntl.h>

namespace korvel {

KvlReadResult loadKvlFile(const std::string& path) {
    std::string bytes;
    const FileReadResult r = readRegularFile(AT_FDCWD, path, MaxKvlBytes, bytes);
    if (!r.ok()) {
        KvlReadResult res;
        res.error = path + " " + r.cause;
        return res;
    }
    return readKvl(bytes);
}

bool saveKvlFile(const std::string& path, const GridModel& grid, std::string& error) {
    return replaceFile(path, writeKvl(grid), error);
}

} // namespace korvel
