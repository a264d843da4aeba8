#pragma once

#include "dictionarystore.h"
#include "enabledset.h"
#include "promptstate.h"
#include "searchhost.h"
#include "tool.h"

#include <cstdint>

namespace korvel {

// Everything the pattern search and its refinements read and change. The
// window owns each piece and hands references in; nothing is copied, so a
// handler that runs from the host's yield sees and changes the same state.
struct SearchContext {
    const DictionaryStore& store;
    // Which dictionaries take part.
    const EnabledSet& enabled;
    PatternState& pattern;
    Selection& selection;
    SearchFlags& flags;
    SearchHost& host;
    // 1 for a prompt across, 2 for a prompt down; it decides whether the
    // refinements move the selection along a row or along a column.
    const Tool& CurrentTool;
};

} // namespace korvel
