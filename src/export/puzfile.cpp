#include "puzfile.h"

#include "gridentries.h"

#include <algorithm>

namespace korvel {

namespace {

constexpr std::size_t HeaderSize = 0x34;
constexpr std::string_view Magic("ACROSS&DOWN\0", 12);
constexpr std::string_view Version("1.3\0", 4);
// The masks of the four low and the four high checksum bytes.
constexpr std::string_view Mask = "ICHEATED";

void putShort(std::string& bytes, std::size_t at, uint16_t v) {
    bytes[at] = static_cast<char>(v & 0xFF);
    bytes[at + 1] = static_cast<char>(v >> 8);
}

uint16_t getShort(std::string_view bytes, std::size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                 (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

// A string counts with its NUL, and only when it is not empty; the clues
// count without theirs. The notes count from version 1.3 on, which is what
// this program writes.
uint16_t textChecksum(const PuzPuzzle& p, uint16_t c) {
    const auto withNul = [&c](const std::string& s) {
        if (!s.empty()) {
            c = puzChecksum(std::string_view(s.c_str(), s.size() + 1), c);
        }
    };
    withNul(p.title);
    withNul(p.author);
    withNul(p.copyright);
    for (const std::string& clue : p.clues) {
        c = puzChecksum(clue, c);
    }
    withNul(p.notes);
    return c;
}

struct Checksums {
    uint16_t file = 0;
    uint16_t cib = 0;
    std::string masked; // 8 bytes: the four low bytes, then the four high ones
};

Checksums checksums(const PuzPuzzle& p, std::string_view header) {
    Checksums k;
    k.cib = puzChecksum(header.substr(0x2C, 8), 0);
    uint16_t c = puzChecksum(p.solution, k.cib);
    c = puzChecksum(p.state, c);
    k.file = textChecksum(p, c);
    const uint16_t parts[4] = {k.cib, puzChecksum(p.solution, 0), puzChecksum(p.state, 0),
                               textChecksum(p, 0)};
    k.masked.assign(8, '\0');
    for (int i = 0; i < 4; ++i) {
        k.masked[i] = static_cast<char>(Mask[i] ^ (parts[i] & 0xFF));
        k.masked[4 + i] = static_cast<char>(Mask[4 + i] ^ (parts[i] >> 8));
    }
    return k;
}

bool fitsPuz(char ch) {
    const auto u = static_cast<unsigned char>(ch);
    return (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
           (u >= 0xC0 && u <= 0xDE && u != 0xD7);
}

std::string cellName(int r, int c) {
    return "row " + std::to_string(r + 1) + ", column " + std::to_string(c + 1);
}

} // namespace

uint16_t puzChecksum(std::string_view region, uint16_t start) {
    uint16_t c = start;
    for (char ch : region) {
        // Rotate right by one, then add the byte.
        c = static_cast<uint16_t>((c >> 1) | ((c & 1) << 15));
        c = static_cast<uint16_t>(c + static_cast<unsigned char>(ch));
    }
    return c;
}

std::string encodePuz(const PuzPuzzle& p) {
    std::string header(HeaderSize, '\0');
    header.replace(0x02, Magic.size(), Magic);
    header.replace(0x18, Version.size(), Version);
    header[0x2C] = static_cast<char>(p.width);
    header[0x2D] = static_cast<char>(p.height);
    putShort(header, 0x2E, static_cast<uint16_t>(p.clues.size()));
    putShort(header, 0x30, 0x0001); // a plain puzzle
    const Checksums k = checksums(p, header);
    putShort(header, 0x00, k.file);
    putShort(header, 0x0E, k.cib);
    header.replace(0x10, 8, k.masked);

    std::string out = header + p.solution + p.state;
    for (const std::string* s : {&p.title, &p.author, &p.copyright}) {
        out += *s;
        out += '\0';
    }
    for (const std::string& clue : p.clues) {
        out += clue;
        out += '\0';
    }
    out += p.notes;
    out += '\0';
    return out;
}

PuzWriteResult writePuz(const GridModel& grid) {
    PuzWriteResult result;
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;
    PuzPuzzle p;
    p.width = C;
    p.height = R;
    int empty = 0;
    int firstEmptyR = 0;
    int firstEmptyC = 0;
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            const char ch = grid.cell(r, c);
            if (grid.isBlack(r, c)) {
                p.solution += '.';
                p.state += '.';
                continue;
            }
            if (!cellLetter(ch)) {
                if (empty++ == 0) {
                    firstEmptyR = r;
                    firstEmptyC = c;
                }
            } else if (!fitsPuz(ch)) {
                result.error = "The .puz format cannot hold the character in " + cellName(r, c) +
                               ": it takes the letters A to Z, the digits and the Latin-1 "
                               "capitals only.";
                return result;
            }
            p.solution += ch;
            p.state += '-';
        }
    }
    if (empty > 0) {
        result.error = "The .puz format needs every answer letter, and " + std::to_string(empty) +
                       (empty == 1 ? " white cell is" : " white cells are") +
                       " still empty (the first in " + cellName(firstEmptyR, firstEmptyC) +
                       "). Fill the grid, then export it again.";
        return result;
    }
    const GridEntries entries = gridEntries(grid);
    if (entries.across.empty() && entries.down.empty()) {
        result.error = "The grid has no words, and a .puz file cannot be made without clues.";
        return result;
    }
    p.clues.resize(puzClueOrder(entries).size());
    result.bytes = encodePuz(p);
    return result;
}

std::vector<PuzClue> puzClueOrder(const GridEntries& entries) {
    std::vector<PuzClue> order;
    std::size_t a = 0;
    std::size_t d = 0;
    // Numbers rise through both lists; an across clue comes before the down
    // clue of its number.
    while (a < entries.across.size() || d < entries.down.size()) {
        if (d == entries.down.size() ||
            (a < entries.across.size() && entries.across[a].number <= entries.down[d].number)) {
            order.push_back({entries.across[a++].number, true});
        } else {
            order.push_back({entries.down[d++].number, false});
        }
    }
    return order;
}

PuzReadResult readPuz(std::string_view bytes) {
    PuzReadResult result;
    if (bytes.size() < HeaderSize) {
        result.error = "The file is shorter than a .puz header.";
        return result;
    }
    if (bytes.substr(0x02, Magic.size()) != Magic) {
        result.error = "The file is not a .puz file (no ACROSS&DOWN mark).";
        return result;
    }
    PuzPuzzle p;
    p.width = static_cast<unsigned char>(bytes[0x2C]);
    p.height = static_cast<unsigned char>(bytes[0x2D]);
    const uint16_t clueCount = getShort(bytes, 0x2E);
    if (p.width == 0 || p.height == 0) {
        result.error = "The .puz board has a side of 0.";
        return result;
    }
    if (getShort(bytes, 0x32) != 0) {
        result.error = "The .puz solution is scrambled.";
        return result;
    }
    const std::size_t cells = static_cast<std::size_t>(p.width) * p.height;
    if (bytes.size() < HeaderSize + 2 * cells) {
        result.error = "The .puz file ends inside its boards.";
        return result;
    }
    p.solution = std::string(bytes.substr(HeaderSize, cells));
    p.state = std::string(bytes.substr(HeaderSize + cells, cells));
    std::size_t pos = HeaderSize + 2 * cells;
    bool ok = true;
    const auto next = [&](std::string& s) {
        const std::size_t nul = bytes.find('\0', pos);
        if (nul == std::string_view::npos) {
            ok = false;
            return;
        }
        s = std::string(bytes.substr(pos, nul - pos));
        pos = nul + 1;
    };
    next(p.title);
    next(p.author);
    next(p.copyright);
    // Each clue needs at least its NUL, so a count beyond the bytes left
    // fails before anything is reserved for it.
    for (uint16_t i = 0; ok && i < clueCount; ++i) {
        p.clues.emplace_back();
        next(p.clues.back());
    }
    if (ok) {
        next(p.notes);
    }
    if (!ok) {
        result.error = "The .puz file ends inside its strings.";
        return result;
    }
    const Checksums k = checksums(p, bytes.substr(0, HeaderSize));
    if (getShort(bytes, 0x0E) != k.cib) {
        result.error = "The .puz header checksum does not match.";
    } else if (getShort(bytes, 0x00) != k.file) {
        result.error = "The .puz file checksum does not match.";
    } else if (bytes.substr(0x10, 8) != k.masked) {
        result.error = "The .puz masked checksums do not match.";
    }
    if (result.error.empty()) {
        result.puzzle = std::move(p);
    }
    return result;
}

std::optional<GridModel> gridFromPuz(const PuzPuzzle& p, std::string& error) {
    if (p.height < MinRows || p.height > MaxRows || p.width < MinColumns || p.width > MaxColumns) {
        error = "The .puz board of " + std::to_string(p.height) + " rows and " +
                std::to_string(p.width) + " columns does not fit a grid.";
        return std::nullopt;
    }
    GridModel grid = GridModel::make(static_cast<int16_t>(p.height), static_cast<int16_t>(p.width));
    for (int r = 0; r < p.height; ++r) {
        for (int c = 0; c < p.width; ++c) {
            const char ch = p.solution[static_cast<std::size_t>(r * p.width + c)];
            grid.setCell(r, c, ch == '.' ? BLACK : ch);
        }
    }
    return grid;
}

} // namespace korvel
