// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gridmodel.h"

#include <string>
#include <string_view>

namespace korvel {

// The grid as an SVG picture, one millimetre per unit and 10 mm a cell: a
// white background, a filled square for each black cell, the grid lines
// (each one line element, the frame drawn heavier), the clue numbers in the
// top-left corners and, with solution set, the letters centred in their
// cells. The title (any bytes; what is not UTF-8 is replaced, and so are
// the characters XML 1.0 does not allow) goes into the picture's title
// element, so that any XML parser reads the picture, and, unless empty, is
// drawn in bold above the grid: smaller when long, wrapped at the smallest
// size, never cut. Ends with a line feed.
std::string writeSvg(const GridModel& grid, std::string_view title, bool solution);

} // namespace korvel
