// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "searchcontext.h"

#include <string>
#include <string_view>

namespace korvel {

// The cap on the results of a search while Extended Search is off.
inline constexpr std::size_t ResultCap = 50;

// Runs the search for ctx.editor.pattern.CurrentPattern over the enabled
// dictionaries 1 to 6 and writes the hits into the host's list, with the
// status texts, the beep, the 50-result cap, the abort request and, when
// Free Cue is ticked and nothing was found, the retry with a free end.
// The caller has already checked the busy counter.
void searchPattern(SearchContext& ctx);

// True when the pattern is one the search refuses (" Wrong request! "): no
// wildcard at all, only "?", or shorter than 2 characters.
bool isWrongRequest(std::string_view pattern);

// One hit's list line as the search writes it: dictionaries 2 to 6 as stored
// plus " -n"; for dictionary 1 the stem's EndingCode replaced by its vowel set
// (under a wildcard) or by the required letter (when the set holds it).
// Returns false when a base-dictionary stem has no ending for the required
// letter, and then writes nothing.
bool formatMatch(std::string_view line, int dictionary, char requiredLetter, std::string& out);

} // namespace korvel
