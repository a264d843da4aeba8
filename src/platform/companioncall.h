// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "companionlibrary.h"
#include "loader.h"

#include <memory>

namespace korvel {

// The loader's view of the real companion library. The library is opened
// when the loading starts and kept in holder for the rest of the run.
inline CompanionCall openCompanion(std::unique_ptr<CompanionLibrary>& holder) {
    holder = std::make_unique<CompanionLibrary>();
    CompanionLibrary* lib = holder.get();
    if (!lib->isLoaded()) {
        // No MYFUNC: the loader reports the library's own reason.
        return CompanionCall{{}, {}, {}, lib->error()};
    }
    return CompanionCall{lib->tempFolder(),
                         [lib](const std::string& folder, const std::vector<std::string>& names) {
                             return lib->setup(folder, names, lib->tempFolder());
                         },
                         [lib](int16_t i) { return lib->MYFUNC(i); },
                         {}};
}

} // namespace korvel
