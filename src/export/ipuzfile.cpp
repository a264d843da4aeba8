#include "ipuzfile.h"

#include "gridentries.h"

#include <cstdio>

namespace korvel {

std::string jsonString(std::string_view utf8) {
    std::string out = "\"";
    for (char ch : utf8) {
        const auto u = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

namespace {
void writeClues(std::string& out, const char* direction, const std::vector<GridEntry>& list,
                bool last) {
    out += "    \"";
    out += direction;
    out += "\": [";
    for (std::size_t i = 0; i < list.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        out += "      [" + std::to_string(list[i].number) + ", \"\"]";
    }
    out += list.empty() ? "]" : "\n    ]";
    out += last ? "\n" : ",\n";
}
} // namespace

std::string writeIpuz(const GridModel& grid, std::string_view title) {
    const std::vector<int> numbers = clueNumbers(grid);
    const GridEntries entries = gridEntries(grid);
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;

    std::string out = "{\n";
    out += "  \"version\": \"http://ipuz.org/v2\",\n";
    out += "  \"kind\": [\"http://ipuz.org/crossword#1\"],\n";
    out += "  \"origin\": \"Korvel\",\n";
    out += "  \"title\": " + jsonString(validUtf8(title)) + ",\n";
    out += "  \"dimensions\": {\"width\": " + std::to_string(C) +
           ", \"height\": " + std::to_string(R) + "},\n";
    out += "  \"block\": \"#\",\n";
    out += "  \"empty\": 0,\n";

    out += "  \"puzzle\": [\n";
    for (int r = 0; r < R; ++r) {
        out += "    [";
        for (int c = 0; c < C; ++c) {
            if (c > 0) {
                out += ", ";
            }
            out += grid.isBlack(r, c)
                       ? std::string("\"#\"")
                       : std::to_string(numbers[static_cast<std::size_t>(r * C + c)]);
        }
        out += r + 1 < R ? "],\n" : "]\n";
    }
    out += "  ],\n";

    out += "  \"solution\": [\n";
    for (int r = 0; r < R; ++r) {
        out += "    [";
        for (int c = 0; c < C; ++c) {
            if (c > 0) {
                out += ", ";
            }
            if (grid.isBlack(r, c)) {
                out += "\"#\"";
            } else if (const auto letter = cellLetter(grid.cell(r, c))) {
                out += jsonString(*letter);
            } else {
                out += "null";
            }
        }
        out += r + 1 < R ? "],\n" : "]\n";
    }
    out += "  ],\n";

    out += "  \"clues\": {\n";
    writeClues(out, "Across", entries.across, false);
    writeClues(out, "Down", entries.down, true);
    out += "  }\n";
    out += "}\n";
    return out;
}

} // namespace korvel
