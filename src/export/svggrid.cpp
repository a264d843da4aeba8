#include "svggrid.h"

#include "gridentries.h"

#include <cstdio>

namespace korvel {

namespace {

constexpr double Cell = 10;
constexpr double Margin = 1;

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

} // namespace

std::string writeSvg(const GridModel& grid, std::string_view title, bool solution) {
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;
    const double W = C * Cell + 2 * Margin;
    const double H = R * Cell + 2 * Margin;
    const auto x = [](int c) { return Margin + c * Cell; };
    const auto y = [](int r) { return Margin + r * Cell; };

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + num(W) +
           "mm\" height=\"" + num(H) + "mm\" viewBox=\"0 0 " + num(W) + " " + num(H) + "\">\n";
    out += "<title>" + xmlText(validUtf8(title)) + "</title>\n";
    out += "<rect x=\"0\" y=\"0\" width=\"" + num(W) + "\" height=\"" + num(H) +
           "\" fill=\"#ffffff\"/>\n";

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

    const std::vector<int> numbers = clueNumbers(grid);
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
