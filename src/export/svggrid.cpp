// SPDX-License-Identifier: GPL-3.0-or-later
#include "svggrid.h"

#include "slots.h"

#include "celltext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace korvel {

namespace {

constexpr double Cell = 10;
constexpr double Margin = 1;
// The title above the grid: its largest and smallest font size, and the
// width of a character as a part of the size, generous for capitals, since
// the picture cannot measure the font that will draw it.
constexpr double TitleSize = 6;
constexpr double SmallestTitleSize = 3;
constexpr double CharWidth = 0.7;

// Coordinates with at most two decimals and no trailing zeros, so the bytes
// are the same on every machine.
std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    while (s.back() == '0') {
        s.pop_back();
    }
    if (s.back() == '.') {
        s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

// Text for an element: well-formed UTF-8 holding only characters XML 1.0
// allows. The controls below U+0020 but tab and line feed become blanks, and
// U+FFFE and U+FFFF (the only other characters valid UTF-8 can hold that XML
// forbids; validUtf8 has replaced surrogates already) become U+FFFD.
std::string xmlText(std::string_view text) {
    const std::string utf8 = validUtf8(text);
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char ch = utf8[i];
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            if (utf8.compare(i, 2, "\xEF\xBF") == 0 && i + 2 < utf8.size() &&
                (utf8[i + 2] == '\xBE' || utf8[i + 2] == '\xBF')) {
                out += "\xEF\xBF\xBD";
                i += 2;
            } else {
                out += static_cast<unsigned char>(ch) < 0x20 && ch != '\t' && ch != '\n' ? ' ' : ch;
            }
        }
    }
    return out;
}

bool continuation(char ch) {
    return (static_cast<unsigned char>(ch) & 0xC0) == 0x80;
}

std::size_t codePoints(std::string_view utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char ch) { return !continuation(ch); }));
}

// The title in lines of at most width characters, broken at blanks, and
// inside a word only when the word alone is longer than a line. Each word's
// characters are counted once, and so are the line's, so that a long title
// without blanks takes no longer than one with them.
std::vector<std::string> titleLines(std::string_view utf8, std::size_t width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t lineChars = 0;
    std::size_t at = 0;
    while (at < utf8.size()) {
        const std::size_t blank = utf8.find(' ', at);
        std::string_view word =
            utf8.substr(at, blank == std::string_view::npos ? std::string_view::npos : blank - at);
        at = blank == std::string_view::npos ? utf8.size() : blank + 1;
        std::size_t wordChars = codePoints(word);
        while (!word.empty()) {
            const std::size_t room = line.empty() ? width : width - std::min(width, lineChars + 1);
            if (wordChars <= room) {
                lineChars += (line.empty() ? 0 : 1) + wordChars;
                line += (line.empty() ? "" : " ") + std::string(word);
                word = {};
            } else if (!line.empty()) {
                lines.push_back(std::move(line));
                line.clear();
                lineChars = 0;
            } else {
                // A word longer than a line: as much of it as fits.
                std::size_t cut = 0;
                std::size_t n = 0;
                for (; cut < word.size() && n < width; ++n) {
                    ++cut;
                    while (cut < word.size() && continuation(word[cut]))
                        ++cut;
                }
                lines.emplace_back(word.substr(0, cut));
                word.remove_prefix(cut);
                wordChars -= n;
            }
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

} // namespace

std::string writeSvg(const GridModel& grid, std::string_view title, bool solution) {
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;
    const double W = C * Cell + 2 * Margin;

    // The title in bold above the grid: on one line, smaller when it must,
    // wrapped at the smallest size. No title, no room for one.
    const std::string heading = validUtf8(title);
    std::vector<std::string> lines;
    double size = TitleSize;
    if (!heading.empty()) {
        const double room = C * Cell;
        const double chars = static_cast<double>(codePoints(heading));
        // Down to the two decimals the file keeps, so the size written fits.
        size = std::max(SmallestTitleSize,
                        std::min(TitleSize, std::floor(room / (CharWidth * chars) * 100) / 100));
        lines = titleLines(
            heading, std::max<std::size_t>(1, static_cast<std::size_t>(room / (CharWidth * size))));
    }
    const double band = lines.empty() ? 0 : static_cast<double>(lines.size()) * size * 1.25 + 2;
    const double H = R * Cell + 2 * Margin + band;
    const auto x = [](int c) { return Margin + c * Cell; };
    const auto y = [band](int r) { return Margin + band + r * Cell; };

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + num(W) +
           "mm\" height=\"" + num(H) + "mm\" viewBox=\"0 0 " + num(W) + " " + num(H) + "\">\n";
    out += "<title>" + xmlText(validUtf8(title)) + "</title>\n";
    out += "<rect x=\"0\" y=\"0\" width=\"" + num(W) + "\" height=\"" + num(H) +
           "\" fill=\"#ffffff\"/>\n";
    if (!lines.empty()) {
        out += "<text x=\"" + num(Margin) + "\" y=\"" + num(Margin + size) +
               "\" font-family=\"Liberation Sans, Arial, Helvetica, sans-serif\" font-size=\"" +
               num(size) + "\" font-weight=\"bold\" fill=\"#000000\">";
        for (std::size_t i = 0; i < lines.size(); ++i)
            out += i == 0 ? xmlText(lines[i])
                          : "<tspan x=\"" + num(Margin) + "\" dy=\"" + num(size * 1.25) + "\">" +
                                xmlText(lines[i]) + "</tspan>";
        out += "</text>\n";
    }

    out += "<g fill=\"#000000\">\n";
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            if (grid.isBlack(r, c)) {
                out += "<rect x=\"" + num(x(c)) + "\" y=\"" + num(y(r)) + "\" width=\"" +
                       num(Cell) + "\" height=\"" + num(Cell) + "\"/>\n";
            }
        }
    }
    out += "</g>\n";

    // Square caps close the corners where the lines meet.
    out += "<g stroke=\"#000000\" stroke-width=\"0.3\" stroke-linecap=\"square\">\n";
    for (int i = 0; i <= R; ++i) {
        const bool frame = i == 0 || i == R;
        out += "<line x1=\"" + num(x(0)) + "\" y1=\"" + num(y(i)) + "\" x2=\"" + num(x(C)) +
               "\" y2=\"" + num(y(i)) + (frame ? "\" stroke-width=\"0.6\"/>\n" : "\"/>\n");
    }
    for (int j = 0; j <= C; ++j) {
        const bool frame = j == 0 || j == C;
        out += "<line x1=\"" + num(x(j)) + "\" y1=\"" + num(y(0)) + "\" x2=\"" + num(x(j)) +
               "\" y2=\"" + num(y(R)) + (frame ? "\" stroke-width=\"0.6\"/>\n" : "\"/>\n");
    }
    out += "</g>\n";

    const std::vector<int> numbers = Slots::of(grid).numbers();
    out += "<g font-family=\"Liberation Sans, Arial, Helvetica, sans-serif\" font-size=\"3\" "
           "fill=\"#000000\">\n";
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            const int n = numbers[static_cast<std::size_t>(r * C + c)];
            if (n > 0) {
                out += "<text x=\"" + num(x(c) + 0.6) + "\" y=\"" + num(y(r) + 3) + "\">" +
                       std::to_string(n) + "</text>\n";
            }
        }
    }
    out += "</g>\n";

    if (solution) {
        out += "<g font-family=\"Liberation Sans, Arial, Helvetica, sans-serif\" font-size=\"6\" "
               "font-weight=\"bold\" fill=\"#000000\" text-anchor=\"middle\">\n";
        for (int r = 0; r < R; ++r) {
            for (int c = 0; c < C; ++c) {
                if (grid.isBlack(r, c)) {
                    continue;
                }
                if (const auto letter = cellLetter(grid.cell(r, c))) {
                    out += "<text x=\"" + num(x(c) + Cell / 2) + "\" y=\"" + num(y(r) + 8.2) +
                           "\">" + xmlText(*letter) + "</text>\n";
                }
            }
        }
        out += "</g>\n";
    }
    out += "</svg>\n";
    return out;
}

} // namespace korvel
