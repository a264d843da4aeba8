// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// The headwords of GCIDE's dictd index (gcide.index: "headword TAB offset TAB
// length" lines), as written there, in the order of the index; the entries
// of the database itself ("00-database-info" and the like) are left out.
std::vector<std::string> gcideHeadwords(std::string_view index);

} // namespace korvel
