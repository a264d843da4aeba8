// SPDX-License-Identifier: GPL-3.0-or-later
#include "puzfile.h"

#include "celltext.h"
#include "plural.h"
#include "puzzleread.h"
#include "puzzletext.h"

#include <algorithm>
#include <map>

namespace korvel {

namespace {

constexpr std::size_t HeaderSize = 0x34;
constexpr std::string_view Magic("ACROSS&DOWN\0", 12);
constexpr std::size_t MagicAt = 0x02;
constexpr std::size_t VersionAt = 0x18;
constexpr std::size_t ScrambledAt = 0x32;
// The GEXT flag of a circled cell.
constexpr unsigned CircleFlag = 0x80;
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

// The notes count in the checksums from version 1.3 on. A version that is
// not "digit.digit" is taken as a recent one.
bool notesCounted(std::string_view version) {
    const auto digit = [&](std::size_t i) {
        return i < version.size() && version[i] >= '0' && version[i] <= '9';
    };
    if (!digit(0) || version.size() < 3 || version[1] != '.' || !digit(2)) {
        return true;
    }
    return version[0] > '1' || (version[0] == '1' && version[2] >= '3');
}

// The text is UTF-8 from version 2.0 on.
bool utf8Text(std::string_view version) {
    return !version.empty() && version[0] >= '2' && version[0] <= '9';
}

// A string counts with its NUL, and only when it is not empty; the clues
// count without theirs.
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
    if (notesCounted(p.version)) {
        withNul(p.notes);
    }
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
    header.replace(MagicAt, Magic.size(), Magic);
    header.replace(VersionAt, std::min<std::size_t>(p.version.size(), 4), p.version, 0, 4);
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
    for (const auto& [name, data] :
         {std::pair{"GRBS", &p.rebusGrid}, std::pair{"RTBL", &p.rebusTable},
          std::pair{"GEXT", &p.markup}}) {
        if (data->empty()) {
            continue;
        }
        std::string head(8, '\0');
        head.replace(0, 4, name);
        putShort(head, 4, static_cast<uint16_t>(data->size()));
        putShort(head, 6, puzChecksum(*data, 0));
        out += head;
        out += *data;
        out += '\0';
    }
    return out;
}

PuzWriteResult writePuz(const GridModel& grid) {
    Puzzle puzzle;
    puzzle.grid = grid;
    return writePuz(puzzle);
}

PuzWriteResult writePuz(const Puzzle& puzzle) {
    PuzWriteResult result;
    const GridModel& grid = puzzle.grid;
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
    const Slots slots = Slots::of(grid);
    if (slots.size() == 0) {
        result.error = "The grid has no words, and a .puz file cannot be made without clues.";
        return result;
    }

    // Every text in ISO-8859-1, or the first character that cannot be.
    const auto latin1 = [&result](const std::string& text, const std::string& where,
                                  std::string& out) {
        Latin1Text t = utf8ToLatin1(text);
        if (t.refused) {
            result.error = "The .puz format cannot hold the character " +
                           describeCharacter(*t.refused) + " in " + where +
                           ": its text is ISO-8859-1. Change it, or export as .ipuz.";
            return false;
        }
        out = std::move(t.bytes);
        return true;
    };
    const PuzzleDetails& d = puzzle.details;
    if (!latin1(d.title, "the title", p.title) || !latin1(d.author, "the author", p.author) ||
        !latin1(d.copyright, "the copyright", p.copyright) ||
        !latin1(d.notes, "the notes", p.notes)) {
        return result;
    }
    std::map<ClueKey, const Clue*> byKey;
    for (const Clue& clue : puzzle.clues) {
        byKey.emplace(clue.key, &clue);
    }
    for (const PuzClue& entry : puzClueOrder(slots)) {
        const Direction dir = entry.across ? Direction::Across : Direction::Down;
        p.clues.emplace_back();
        const int s = slots.numbered(entry.number, dir);
        if (s < 0) {
            continue;
        }
        const Slot& slot = slots[static_cast<std::size_t>(s)];
        const auto it = byKey.find(ClueKey{slot.row, slot.column, dir});
        if (it == byKey.end() || it->second->length != slot.length) {
            continue;
        }
        const std::string where =
            "the clue of " + std::to_string(entry.number) + (entry.across ? " across" : " down");
        if (!latin1(it->second->text, where, p.clues.back())) {
            return result;
        }
    }
    bool circled = false;
    std::string markup(static_cast<std::size_t>(R * C), '\0');
    for (int at : puzzle.circles) {
        if (at >= 0 && at < R * C && !grid.isBlack(at / C, at % C)) {
            markup[static_cast<std::size_t>(at)] = static_cast<char>(CircleFlag);
            circled = true;
        }
    }
    if (circled) {
        p.markup = std::move(markup);
    }
    result.bytes = encodePuz(p);
    return result;
}

std::vector<PuzClue> puzClueOrder(const Slots& gridSlots) {
    const std::span<const Slot> across = gridSlots.across();
    const std::span<const Slot> down = gridSlots.down();
    std::vector<PuzClue> order;
    std::size_t a = 0;
    std::size_t d = 0;
    // Numbers rise through both lists; an across clue comes before the down
    // clue of its number.
    while (a < across.size() || d < down.size()) {
        if (d == down.size() || (a < across.size() && across[a].number <= down[d].number)) {
            order.push_back({across[a++].number, true});
        } else {
            order.push_back({down[d++].number, false});
        }
    }
    return order;
}

namespace {

// A .puz file's layout as read, before any check of its meaning.
struct PuzScan {
    PuzPuzzle puzzle;
    uint16_t scrambledTag = 0;
    // The first checksum that does not match, as a sentence; empty when all do.
    std::string checksumError;
    int sectionsSkipped = 0;
    // The name of a section Korvel does not read that the file ends inside.
    std::string unreadSectionCut;
};

// The sections after the notes, from pos. A section is a 4-byte name, its
// length and checksum (2 bytes each), its data and a NUL. Reading stops at
// bytes that are no section name or at a section cut short.
void readSections(std::string_view file, std::size_t pos, PuzScan& scan) {
    PuzPuzzle& p = scan.puzzle;
    const std::size_t cells = static_cast<std::size_t>(p.width) * p.height;
    while (pos + 8 <= file.size()) {
        const std::string_view name = file.substr(pos, 4);
        if (!std::all_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
            break;
        }
        const std::size_t length = getShort(file, pos + 4);
        const uint16_t sum = getShort(file, pos + 6);
        std::string* into = name == "GRBS"   ? &p.rebusGrid
                            : name == "RTBL" ? &p.rebusTable
                            : name == "GEXT" ? &p.markup
                                             : nullptr;
        if (file.size() - pos - 8 < length) {
            if (into != nullptr) {
                ++scan.sectionsSkipped;
            } else {
                scan.unreadSectionCut = std::string(name);
            }
            break;
        }
        const std::string_view data = file.substr(pos + 8, length);
        pos += 8 + length;
        if (pos < file.size() && file[pos] == '\0') {
            ++pos;
        }
        if (into == nullptr) {
            continue; // a timer, the solver's own rebus entries ...
        }
        const bool perCell = into != &p.rebusTable;
        if (puzChecksum(data, 0) != sum || (perCell && data.size() != cells)) {
            ++scan.sectionsSkipped;
            continue;
        }
        *into = std::string(data);
    }
}

// Reads the layout; returns the reason when it cannot be read.
std::string scanPuz(std::string_view bytes, PuzScan& scan) {
    std::size_t magic = bytes.find(Magic, MagicAt);
    if (magic == std::string_view::npos) {
        return "The file is not a .puz file (no ACROSS&DOWN mark).";
    }
    // The header starts two bytes before its mark; whatever comes before it
    // (a mail header, a web page's bytes) is not part of the puzzle.
    const std::string_view file = bytes.substr(magic - MagicAt);
    if (file.size() < HeaderSize) {
        return "The file is shorter than a .puz header.";
    }
    PuzPuzzle& p = scan.puzzle;
    p.width = static_cast<unsigned char>(file[0x2C]);
    p.height = static_cast<unsigned char>(file[0x2D]);
    const uint16_t clueCount = getShort(file, 0x2E);
    scan.scrambledTag = getShort(file, ScrambledAt);
    const std::string_view version = file.substr(VersionAt, 4);
    p.version = std::string(version.substr(0, version.find('\0')));
    if (p.width == 0 || p.height == 0) {
        return "The .puz board has a side of 0.";
    }
    const std::size_t cells = static_cast<std::size_t>(p.width) * p.height;
    if (file.size() < HeaderSize + 2 * cells) {
        return "The .puz file ends inside its boards.";
    }
    p.solution = std::string(file.substr(HeaderSize, cells));
    p.state = std::string(file.substr(HeaderSize + cells, cells));
    std::size_t pos = HeaderSize + 2 * cells;
    bool ok = true;
    const auto next = [&](std::string& s) {
        const std::size_t nul = file.find('\0', pos);
        if (nul == std::string_view::npos) {
            ok = false;
            return;
        }
        s = std::string(file.substr(pos, nul - pos));
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
        return "The .puz file ends inside its strings.";
    }
    const Checksums k = checksums(p, file.substr(0, HeaderSize));
    if (getShort(file, 0x0E) != k.cib) {
        scan.checksumError = "The .puz header checksum does not match.";
    } else if (getShort(file, 0x00) != k.file) {
        scan.checksumError = "The .puz file checksum does not match.";
    } else if (file.substr(0x10, 8) != k.masked) {
        scan.checksumError = "The .puz masked checksums do not match.";
    }
    readSections(file, pos, scan);
    return {};
}

} // namespace

PuzReadResult readPuz(std::string_view bytes) {
    PuzReadResult result;
    PuzScan scan;
    result.error = scanPuz(bytes, scan);
    if (result.error.empty() && scan.scrambledTag != 0) {
        result.error = "The .puz solution is scrambled.";
    }
    if (result.error.empty()) {
        result.error = scan.checksumError;
    }
    if (result.error.empty()) {
        result.puzzle = std::move(scan.puzzle);
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

PuzzleReadResult puzzleFromPuz(std::string_view bytes) {
    PuzzleReadResult result;
    PuzScan scan;
    result.error = scanPuz(bytes, scan);
    if (!result.error.empty()) {
        return result;
    }
    const PuzPuzzle& f = scan.puzzle;
    if (const auto refusal = boardSizeRefusal(f.height, f.width)) {
        result.error = *refusal;
        return result;
    }
    PuzzleReadCounts& counts = result.counts;
    counts.scrambled = scan.scrambledTag != 0;
    counts.checksumsWrong = !scan.checksumError.empty();
    counts.sectionsSkipped = scan.sectionsSkipped;
    const bool utf8 = utf8Text(f.version);
    const auto text = [utf8](std::string_view bytes) {
        return utf8 ? validUtf8(bytes) : latin1ToUtf8(bytes);
    };
    // Files made on Windows end the lines of their notes in CR LF, and a few
    // in CR alone: either is one line break.
    const auto lines = [&text](std::string_view bytes) {
        std::string out;
        const std::string t = text(bytes);
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (t[i] == '\r') {
                out += '\n';
                i += i + 1 < t.size() && t[i + 1] == '\n' ? 1 : 0;
            } else {
                out += t[i];
            }
        }
        return out;
    };

    // The rebus table: " 1:ABC; 2:XY;" gives key 1 "ABC", key 2 "XY".
    std::map<int, std::string> rebus;
    std::string_view table = f.rebusTable;
    while (!table.empty()) {
        const std::size_t semi = std::min(table.find(';'), table.size());
        const std::string_view entry = table.substr(0, semi);
        table.remove_prefix(std::min(semi + 1, table.size()));
        const std::size_t colon = entry.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        int key = 0;
        bool digits = false;
        for (char ch : entry.substr(0, colon)) {
            if (ch >= '0' && ch <= '9' && key < 1000) {
                key = key * 10 + (ch - '0');
                digits = true;
            }
        }
        if (digits) {
            rebus.emplace(key, text(entry.substr(colon + 1)));
        }
    }

    Puzzle p;
    p.grid = GridModel::make(static_cast<int16_t>(f.height), static_cast<int16_t>(f.width));
    for (int r = 0; r < f.height; ++r) {
        for (int c = 0; c < f.width; ++c) {
            const auto at = static_cast<std::size_t>(r * f.width + c);
            const char ch = f.solution[at];
            if (ch == '.' || ch == ':') {
                p.grid.setCell(r, c, BLACK);
                continue;
            }
            if (!f.markup.empty() && (static_cast<unsigned char>(f.markup[at]) & CircleFlag)) {
                p.circles.push_back(static_cast<int>(at));
            }
            if (counts.scrambled) {
                continue;
            }
            const int key = f.rebusGrid.empty() ? 0 : static_cast<unsigned char>(f.rebusGrid[at]);
            const auto word = key > 0 ? rebus.find(key - 1) : rebus.end();
            if (word != rebus.end() && !word->second.empty()) {
                // A rebus that starts with a letter keeps it; one that starts
                // with anything else (a digit, a symbol, a letter beyond A to
                // Z) leaves the cell empty and is counted with the cells that
                // held what Korvel cannot, as such a cell is.
                int notLetter = 0;
                const char first = cellFromLetters(word->second.substr(0, 1), notLetter);
                p.grid.setCell(r, c, first);
                if (notLetter > 0) {
                    ++counts.cellsCut;
                } else {
                    counts.rebusCut += word->second.size() > 1;
                }
                continue;
            }
            p.grid.setCell(r, c, cellFromLetters(text(std::string_view(&ch, 1)), counts.cellsCut));
        }
    }

    // The clues go to the words in the format's order.
    ClueGatherer clues(p.grid);
    const Slots& slots = clues.wordSlots();
    std::vector<const Slot*> order;
    const std::span<const Slot> across = slots.across();
    const std::span<const Slot> down = slots.down();
    for (std::size_t a = 0, d = 0; a < across.size() || d < down.size();) {
        const bool takeAcross =
            d == down.size() || (a < across.size() && across[a].number <= down[d].number);
        order.push_back(takeAcross ? &across[a++] : &down[d++]);
    }
    for (std::size_t i = 0; i < f.clues.size(); ++i) {
        std::string clue = text(f.clues[i]);
        if (clue.empty()) {
            continue;
        }
        if (i < order.size()) {
            clues.add(order[i]->number, order[i]->direction, std::move(clue), {}, {});
        } else {
            clues.addUnnumbered(Direction::Across, std::move(clue), {}, {});
        }
    }
    p.clues = clues.take(counts);
    p.details.title = text(f.title);
    p.details.author = text(f.author);
    p.details.copyright = text(f.copyright);
    p.details.notes = lines(f.notes);

    result.warnings = readWarnings(counts);
    if (!scan.unreadSectionCut.empty()) {
        result.warnings.push_back("The file ends inside its " + scan.unreadSectionCut +
                                  " section, which Korvel does not read: the file may be cut "
                                  "short, but nothing of the puzzle was left out.");
    }
    if (f.clues.size() != order.size()) {
        const auto clues = static_cast<long long>(f.clues.size());
        const auto words = static_cast<long long>(order.size());
        result.warnings.push_back("The file has " + counted(clues, "clue", "clues") +
                                  " for the grid's " + counted(words, "word", "words") + "; " +
                                  std::string(forCount(clues, "it was", "they were")) +
                                  " given to the words in order.");
    }
    result.puzzle = std::move(p);
    return result;
}

} // namespace korvel
