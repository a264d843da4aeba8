#pragma once

#include "gridmodel.h"

#include <string>
#include <string_view>

namespace korvel {

// The grid as an .ipuz crossword (version 2, UTF-8 JSON): its dimensions;
// "puzzle" with each cell's clue number (0 for a white cell without one, "#"
// for a black cell); "solution" with the letters ("#" for a black cell, null
// for an empty one); "clues" with an "Across" and a "Down" list holding
// [number, ""] for every word, in the order of the numbers; and the title.
// The clue texts are left empty for the constructor to write. The title may
// hold any bytes; what is not UTF-8 is replaced. Ends with a line feed.
std::string writeIpuz(const GridModel& grid, std::string_view title);

// A JSON string literal for UTF-8 text: quotes, backslashes and control
// characters escaped.
std::string jsonString(std::string_view utf8);

} // namespace korvel
