// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dictionarystore.h"
#include "enabledset.h"
#include "promptstate.h"
#include "searchhost.h"
#include "tool.h"

#include <cstdint>

namespace korvel {

// What every scan reads and changes: the pattern search and its
// refinements, and the cross prompt. The window owns each piece and hands
// references in; nothing is copied, so a handler that runs from the host's
// yield sees and changes the same state.
struct ScanContext {
    const DictionaryStore& store;
    // Which dictionaries take part.
    const EnabledSet& enabled;
    PatternState& pattern;
    Selection& selection;
    SearchFlags& flags;
    SearchHost& host;
};

// The pattern search and its refinements also read the tool: a prompt
// across or down decides whether the refinements move the selection along
// a row or along a column.
struct SearchContext : ScanContext {
    const Tool& CurrentTool;
};

} // namespace korvel
