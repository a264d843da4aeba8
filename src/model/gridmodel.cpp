// SPDX-License-Identifier: GPL-3.0-or-later
#include "gridmodel.h"

#include <algorithm>
#include <cmath>

namespace korvel {

GridModel GridModel::make(int16_t rows, int16_t columns) {
    GridModel g;
    g.RowCount = rows;
    g.ColumnCount = columns;
    g.MaxSide = std::max(rows, columns);
    g.GridRows.assign(static_cast<std::size_t>(rows) + 1,
                      std::string(static_cast<std::size_t>(columns), EmptyCell));
    return g;
}

char GridModel::cell(int r, int c) const {
    if (!contains(r, c)) {
        return '\0';
    }
    const std::string& row = GridRows[static_cast<std::size_t>(r)];
    return static_cast<std::size_t>(c) < row.size() ? row[static_cast<std::size_t>(c)] : '\0';
}

void GridModel::setCell(int r, int c, char ch) {
    if (!contains(r, c)) {
        return;
    }
    std::string& row = GridRows[static_cast<std::size_t>(r)];
    if (static_cast<std::size_t>(c) >= row.size()) {
        row.resize(static_cast<std::size_t>(ColumnCount), EmptyCell);
    }
    row[static_cast<std::size_t>(c)] = ch;
}

char GridModel::patternChar(int r, int c) const {
    const char ch = cell(r, c);
    return (ch == ' ' || ch == '\0') ? EmptyCell : ch;
}

bool GridModel::normalizeBlacks(std::vector<int>* changed) {
    bool any = false;
    for (int r = 0; r < RowCount; ++r) {
        std::string& row = GridRows[static_cast<std::size_t>(r)];
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (row[c] == AtBlack) {
                row[c] = BLACK;
                any = true;
                if (changed) {
                    changed->push_back(r * ColumnCount + static_cast<int>(c));
                }
            }
        }
    }
    return any;
}

namespace {
// A non-empty run of decimal digits, leading zeros allowed; nothing for
// anything else or for a value beyond any grid side.
std::optional<int> parseCount(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    int v = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') {
            return std::nullopt;
        }
        v = v * 10 + (ch - '0');
        if (v > 1000) {
            v = 1000;
        }
    }
    return v;
}
} // namespace

std::optional<Dimensions> validateDimensions(std::string_view rowsText,
                                             std::string_view columnsText) {
    const auto rows = parseCount(rowsText);
    const auto cols = parseCount(columnsText);
    if (!rows || !cols || *rows < MinRows || *rows > MaxRows || *cols < MinColumns ||
        *cols > MaxColumns) {
        return std::nullopt;
    }
    return Dimensions{static_cast<int16_t>(*rows), static_cast<int16_t>(*cols)};
}

int16_t hoverIndex(double pos, int16_t count) {
    const double hi = std::max(0, count - 1);
    const double v = std::floor(pos);
    // Also catches NaN.
    if (!(v >= 0.0)) {
        return 0;
    }
    return static_cast<int16_t>(std::min(v, hi));
}

CursorMove moveCursor(const GridModel& grid, int16_t row, int16_t column, int16_t incr,
                      int16_t incc) {
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;
    int r = row + incr;
    int c = column + incc;
    int beeps = 0;
    int r2 = 0; // the second move
    int c2 = 0;
    bool wrapped = true;
    if (r > R - 1) {
        r = 0;
        c2 = 1;
    } else if (r < 0) {
        r = R - 1;
        c2 = -1;
    } else if (c > C - 1) {
        c = 0;
        r2 = 1;
    } else if (c < 0) {
        c = C - 1;
        r2 = -1;
    } else {
        wrapped = false;
    }
    if (wrapped) {
        ++beeps;
        r += r2;
        c += c2;
        // The second move wraps silently.
        if (r > R - 1) {
            r = 0;
        } else if (r < 0) {
            r = R - 1;
        }
        if (c > C - 1) {
            c = 0;
        } else if (c < 0) {
            c = C - 1;
        }
    }
    // A step of more than one cell is never asked for; keep the cursor inside
    // all the same.
    r = std::clamp(r, 0, std::max(0, R - 1));
    c = std::clamp(c, 0, std::max(0, C - 1));
    if (grid.isBlack(r, c)) {
        ++beeps;
    }
    return {static_cast<int16_t>(r), static_cast<int16_t>(c), beeps};
}

} // namespace korvel
