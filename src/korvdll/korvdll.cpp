// SPDX-License-Identifier: GPL-3.0-or-later
#include "korvdll.h"

#include "dizformat.h"
#include "regularfile.h"
#include "templist.h"

#include <array>
#include <fcntl.h>
#include <string>

#define KORVDLL_EXPORT __attribute__((visibility("default")))

namespace {

constexpr int MaxIndex = 7;

struct Setup {
    bool ready = false;
    std::string dictFolder;
    std::array<std::string, MaxIndex + 1> names{};
    std::string tempFolder;
};

Setup& setup() {
    static Setup s;
    return s;
}

// The .diz file, read whole: a regular file only, opened without waiting (a
// FIFO put in its place must not hold the caller's lock on the list folder
// for ever), and no longer than a list may be.
bool readWhole(const std::string& path, std::string& bytes) {
    return korvel::readRegularFile(AT_FDCWD, path, korvel::diz::MaxPlainSize, bytes).ok();
}

int16_t convert(int16_t i) {
    const Setup& s = setup();
    if (!s.ready || i < 1 || i > MaxIndex || s.names[i].empty()) {
        return 1;
    }
    std::string path = s.dictFolder;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += s.names[i];

    std::string file;
    if (!readWhole(path, file)) {
        return 1;
    }
    std::string error;
    if (!korvel::templist::prepareFolder(s.tempFolder, error)) {
        return 1;
    }
    // The list goes to the file as it is decoded: no second copy of a large
    // list in memory, and nothing under the list's name unless all of it
    // decoded and checked out.
    korvel::templist::ListWriter list;
    if (!list.begin(s.tempFolder, s.names[i], error)) {
        return 1;
    }
    const bool decoded = korvel::diz::decode(
        file, [&](std::string_view piece) { return list.write(piece, error); }, error);
    if (!decoded || !list.commit(error)) {
        return 1;
    }
    return 0;
}

} // namespace

extern "C" KORVDLL_EXPORT int16_t KORVDLL_SETUP(const char* dictFolder, const char* const* names,
                                                int16_t count, const char* tempFolder) {
    try {
        Setup& s = setup();
        s = Setup{};
        if (dictFolder == nullptr || names == nullptr || count < 0 || count > MaxIndex) {
            return 1;
        }
        s.dictFolder = dictFolder;
        for (int k = 0; k < count; ++k) {
            s.names[k + 1] = names[k] != nullptr ? names[k] : "";
        }
        s.tempFolder = tempFolder != nullptr ? tempFolder : korvel::templist::defaultFolder();
        s.ready = true;
        return 0;
    } catch (...) {
        return 1;
    }
}

extern "C" KORVDLL_EXPORT int16_t MYFUNC(int16_t i) {
    // Nothing may escape into a caller that knows only C.
    try {
        return convert(i);
    } catch (...) {
        return 1;
    }
}

extern "C" KORVDLL_EXPORT const char* KORVDLL_TEMPFOLDER(void) {
    static const std::string folder = korvel::templist::defaultFolder();
    return folder.c_str();
}
