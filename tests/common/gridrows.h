// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Grids written as rows of text in the tests.

#include "gridmodel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvel::testing {

// A grid from rows of equal length: "#" stands for a black cell, every other
// byte (letters, "?", a blank) is stored as written.
inline GridModel gridOf(const std::vector<std::string>& rows) {
    GridModel g =
        GridModel::make(static_cast<int16_t>(rows.size()), static_cast<int16_t>(rows[0].size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::string row = rows[r];
        for (char& ch : row) {
            if (ch == '#') {
                ch = BLACK;
            }
        }
        g.GridRows[r] = row;
    }
    return g;
}

} // namespace korvel::testing
