// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// The display order of the results list: alphabetical without regard to case,
// a blank before every other character, then by character code (so "=" comes
// before ">" and both before letters). Returns <0, 0 or >0.
int compareListLines(std::string_view a, std::string_view b);

// Sorts lines into display order; lines that compare equal keep the order in
// which they were added, as a sorted list box that inserts each new line after
// its equals would show them.
void sortListLines(std::vector<std::string>& lines);

} // namespace korvel
