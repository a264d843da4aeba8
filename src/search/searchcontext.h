// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dictionarystore.h"
#include "editorstate.h"
#include "enabledset.h"
#include "searchhost.h"

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
    // The pattern state, the selection box and the tool (a prompt across
    // or down decides whether the refinements move the box along a row or a
    // column); the refinements draw their boxes over the picture through it.
    EditorState& editor;
    SearchFlags& flags;
    SearchHost& host;
};

// The pattern search and its refinements.
using SearchContext = ScanContext;

} // namespace korvel
