// SPDX-License-Identifier: GPL-3.0-or-later
#include "kvlfile.h"

#include "blanks.h"

#include <algorithm>

namespace korvel {

namespace {

struct Reader {
    std::string_view in;
    std::size_t pos = 0;

    bool atEnd() const { return pos >= in.size(); }

    // The rest of the current line, up to CR LF (consumed). Fails when the
    // line is not ended by CR LF, unless it is the file's last line and
    // allowEof is set.
    bool line(std::string_view& out, bool allowEof) {
        const std::size_t k = in.find("\r\n", pos);
        if (k == std::string_view::npos) {
            if (!allowEof || atEnd()) {
                return false;
            }
            out = in.substr(pos);
            pos = in.size();
            return true;
        }
        out = in.substr(pos, k - pos);
        pos = k + 2;
        return true;
    }
};

// A count: blanks around it allowed, decimal digits only. Returns -1 for
// anything else; values beyond any grid side are capped so they stay
// refusable without overflowing.
int parseCount(std::string_view s) {
    s = trimBlanks(s);
    if (s.empty()) {
        return -1;
    }
    int v = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9') {
            return -1;
        }
        v = std::min(v * 10 + (ch - '0'), 10000);
    }
    return v;
}

KvlReadResult fail(std::string why) {
    KvlReadResult r;
    r.error = std::move(why);
    return r;
}

} // namespace

KvlReadResult readKvl(std::string_view bytes) {
    if (bytes.find('\0') != std::string_view::npos) {
        return fail("the file holds a NUL byte");
    }
    Reader rd{bytes};
    std::string_view first;
    if (!rd.line(first, false)) {
        return fail("the counts line is missing or not ended by CR LF");
    }
    const std::size_t comma = first.find(',');
    if (comma == std::string_view::npos) {
        return fail("the counts line has no comma");
    }
    const int rows = parseCount(first.substr(0, comma));
    const int cols = parseCount(first.substr(comma + 1));
    if (rows < 0 || cols < 0) {
        return fail("the counts are not numbers");
    }
    if (rows < MinRows || rows > MaxRows || cols < MinColumns || cols > MaxColumns) {
        return fail("the counts lie outside 2..25 rows and 2..35 columns");
    }

    GridModel g = GridModel::make(static_cast<int16_t>(rows), static_cast<int16_t>(cols));
    for (int r = 0; r < rows; ++r) {
        std::string_view text;
        // The last row line may end at the end of the file.
        if (!rd.line(text, r == rows - 1)) {
            return fail("the file ends before row " + std::to_string(r + 1) +
                        " or a line is not ended by CR LF");
        }
        std::string_view cells;
        const std::string_view t = trimBlanks(text);
        if (!t.empty() && t.front() == '"') {
            const std::size_t close = t.find('"', 1);
            if (close == std::string_view::npos) {
                return fail("row " + std::to_string(r + 1) + " has no closing quote");
            }
            if (close != t.size() - 1) {
                return fail("row " + std::to_string(r + 1) + " has text after its closing quote");
            }
            cells = t.substr(1, close - 1);
        } else {
            // An unquoted field runs to the next comma.
            cells = trimBlanks(t.substr(0, t.find(',')));
        }
        if (cells.find_first_of("\r\n\"") != std::string_view::npos) {
            return fail("row " + std::to_string(r + 1) + " holds a line break or a quote");
        }
        if (cells.size() > static_cast<std::size_t>(cols)) {
            return fail("row " + std::to_string(r + 1) + " is longer than the grid");
        }
        std::string& row = g.GridRows[static_cast<std::size_t>(r)];
        row.replace(0, cells.size(), cells);
    }
    KvlReadResult res;
    res.grid = std::move(g);
    return res;
}

std::string writeKvl(const GridModel& grid) {
    std::string out =
        std::to_string(grid.RowCount) + "," + std::to_string(grid.ColumnCount) + "\r\n";
    for (int r = 0; r < grid.RowCount; ++r) {
        std::string row = grid.GridRows[static_cast<std::size_t>(r)];
        row.resize(static_cast<std::size_t>(grid.ColumnCount), EmptyCell);
        out += '"';
        out += row;
        out += "\"\r\n";
    }
    return out;
}

std::string unsavedChangeMessage(std::string_view currentFile) {
    std::string m = "The ";
    m += currentFile;
    m += " file is changed but not saved.\r\nSave it now?";
    return m;
}

std::string withKvlExtension(std::string_view name) {
    return endsWithNoCase(name, ".kvl") ? std::string(name) : std::string(name) + ".kvl";
}

} // namespace korvel
