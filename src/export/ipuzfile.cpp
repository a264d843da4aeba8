// SPDX-License-Identifier: GPL-3.0-or-later
#include "ipuzfile.h"

#include "celltext.h"
#include "puzzleread.h"
#include "puzzletext.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <map>
#include <set>

namespace korvel {

using nlohmann::json;

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

constexpr std::string_view UnplacedField = "org.korvel:unplaced";
constexpr std::string_view ContactField = "org.korvel:contact";

// --- writing

// A JSON string for text that is already valid UTF-8.
std::string encoded(std::string_view utf8) {
    return json(std::string(utf8)).dump();
}

// A text field as the format reads it: HTML, then JSON.
std::string htmlField(std::string_view plain) {
    return encoded(htmlEscape(plain));
}

std::string_view directionName(Direction d) {
    return d == Direction::Across ? "Across" : "Down";
}

// The number a label starts with, or -1 ("2-3" gives 2, "A" gives -1).
int leadingNumber(std::string_view label) {
    int n = 0;
    std::size_t i = 0;
    while (i < label.size() && label[i] >= '0' && label[i] <= '9' && n < 100000) {
        n = n * 10 + (label[i] - '0');
        ++i;
    }
    return i == 0 ? -1 : n;
}

// The clues of a puzzle split as the file keeps them: the placed clue of
// each slot (by index into Slots::all()), and the rest in key order.
struct ClueLayout {
    std::vector<const Clue*> ofSlot;
    std::vector<const Clue*> unplaced;
};

ClueLayout layoutClues(const Puzzle& puzzle, const Slots& slots) {
    ClueLayout out;
    out.ofSlot.assign(slots.size(), nullptr);
    std::set<ClueKey> seen;
    for (const Clue& clue : puzzle.clues) {
        const int s = slots.startingAt(clue.key.row, clue.key.column, clue.key.direction);
        const bool first = seen.insert(clue.key).second;
        if (first && s >= 0 && slots[static_cast<std::size_t>(s)].length == clue.length) {
            out.ofSlot[static_cast<std::size_t>(s)] = &clue;
        } else {
            out.unplaced.push_back(&clue);
        }
    }
    return out;
}

std::string clueEntry(const Slot& slot, const Clue* clue) {
    if (clue == nullptr) {
        return "[" + std::to_string(slot.number) + ", \"\"]";
    }
    const std::string label = validUtf8(clue->label);
    std::string out = "{\"number\": ";
    const bool labelAsNumber = !label.empty() && leadingNumber(label) == slot.number;
    out += labelAsNumber ? encoded(label) : std::to_string(slot.number);
    out += ", \"clue\": " + htmlField(clue->text);
    out +=
        ", \"enumeration\": " + encoded(clue->enumeration.empty() ? std::to_string(slot.length)
                                                                  : validUtf8(clue->enumeration));
    if (!label.empty() && !labelAsNumber) {
        out += ", \"label\": " + encoded(label);
    }
    return out + "}";
}

void writeClueList(std::string& out, Direction d, const Slots& slots, const ClueLayout& layout,
                   bool last) {
    const std::span<const Slot> list = d == Direction::Across ? slots.across() : slots.down();
    const std::size_t base = d == Direction::Across ? 0 : slots.across().size();
    out += "    \"";
    out += directionName(d);
    out += "\": [";
    for (std::size_t i = 0; i < list.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        out += "      " + clueEntry(list[i], layout.ofSlot[base + i]);
    }
    out += list.empty() ? "]" : "\n    ]";
    out += last ? "\n" : ",\n";
}

std::string unplacedEntry(const Clue& clue) {
    return "{\"row\": " + std::to_string(clue.key.row) +
           ", \"column\": " + std::to_string(clue.key.column) + ", \"direction\": \"" +
           std::string(directionName(clue.key.direction)) +
           "\", \"length\": " + std::to_string(clue.length) +
           ", \"clue\": " + htmlField(clue.text) +
           ", \"enumeration\": " + encoded(validUtf8(clue.enumeration)) +
           ", \"label\": " + encoded(validUtf8(clue.label)) + "}";
}

// --- reading

// What makes a file no .ipuz crossword Korvel can open.
struct Refusal {
    std::string reason;
};

// A scalar cell value as text, for comparing with "block" and "empty": a
// string as it is, an integer in decimal; nothing for anything else.
std::optional<std::string> scalarText(const json& v) {
    if (v.is_string()) {
        return v.get<std::string>();
    }
    if (v.is_number_integer()) {
        return std::to_string(v.get<long long>());
    }
    if (v.is_number_unsigned()) {
        return std::to_string(v.get<unsigned long long>());
    }
    return std::nullopt;
}

// A clue number: an integer, or a float without a fraction; -1 otherwise.
int clueNumber(const json& v) {
    if (v.is_number_integer()) {
        const long long n = v.get<long long>();
        return n >= 0 && n <= 100000 ? static_cast<int>(n) : -1;
    }
    if (v.is_number_unsigned()) {
        const unsigned long long n = v.get<unsigned long long>();
        return n <= 100000 ? static_cast<int>(n) : -1;
    }
    if (v.is_number_float()) {
        const double d = v.get<double>();
        return d >= 0 && d <= 100000 && d == static_cast<int>(d) ? static_cast<int>(d) : -1;
    }
    return -1;
}

std::string textField(const json& doc, const char* name, int& tagsDropped) {
    const auto it = doc.find(name);
    if (it == doc.end() || !it->is_string()) {
        return {};
    }
    return htmlToText(it->get_ref<const std::string&>(), tagsDropped);
}

const json* member(const json& object, const char* name) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto it = object.find(name);
    return it == object.end() ? nullptr : &*it;
}

bool isCrosswordKind(const json& kind) {
    if (!kind.is_string()) {
        return false;
    }
    const std::string& k = kind.get_ref<const std::string&>();
    for (std::string_view prefix : {"http://ipuz.org/crossword", "https://ipuz.org/crossword"}) {
        if (k.compare(0, prefix.size(), prefix) == 0) {
            return true;
        }
    }
    return false;
}

// The bare JSON inside the bytes: a byte order mark and the JSONP wrapper
// "ipuz(...)" taken away.
std::string_view unwrapped(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!bytes.empty() && blank(bytes.front())) {
        bytes.remove_prefix(1);
    }
    while (!bytes.empty() && blank(bytes.back())) {
        bytes.remove_suffix(1);
    }
    if (bytes.substr(0, 5) == "ipuz(") {
        bytes.remove_prefix(5);
        if (!bytes.empty() && bytes.back() == ';') {
            bytes.remove_suffix(1);
        }
        while (!bytes.empty() && blank(bytes.back())) {
            bytes.remove_suffix(1);
        }
        if (!bytes.empty() && bytes.back() == ')') {
            bytes.remove_suffix(1);
        }
    }
    return bytes;
}

// A crossword's JSON nests a handful of levels (the document, its clue
// lists, a clue, its numbers). Each level costs the parser some tens of
// bytes of memory, so a file of nothing but "[" would take forty times its
// size: a file nested deeper than this is refused before it is parsed.
constexpr int MaxJsonDepth = 100;

// Whether the JSON text nests arrays and objects deeper than max, in one
// pass; strings (and the escapes in them) are skipped. Text that is no JSON
// is left to the parser to refuse.
bool nestedDeeperThan(std::string_view text, int max) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > max) {
                return true;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

void checkVersionAndKind(const json& doc) {
    if (const json* version = member(doc, "version")) {
        const std::string v = version->is_string() ? version->get<std::string>() : "";
        if (v != "http://ipuz.org/v1" && v != "http://ipuz.org/v2" && v != "https://ipuz.org/v1" &&
            v != "https://ipuz.org/v2") {
            throw Refusal{"The .ipuz file is of version " + (v.empty() ? "?" : validUtf8(v)) +
                          "; Korvel reads versions 1 and 2 of the format."};
        }
    }
    const json* kind = member(doc, "kind");
    if (kind == nullptr || !kind->is_array() || kind->empty()) {
        throw Refusal{"The file is no .ipuz puzzle: it names no kind of puzzle."};
    }
    if (std::none_of(kind->begin(), kind->end(), isCrosswordKind)) {
        const json& first = kind->front();
        throw Refusal{"The .ipuz file holds a puzzle of the kind " +
                      (first.is_string() ? validUtf8(first.get<std::string>()) : "?") +
                      ", not a crossword; Korvel opens crosswords only."};
    }
}

struct Board {
    int rows = 0;
    int columns = 0;
};

Board dimensionsOf(const json& doc) {
    const json* dims = member(doc, "dimensions");
    const json* width = dims ? member(*dims, "width") : nullptr;
    const json* height = dims ? member(*dims, "height") : nullptr;
    if (width == nullptr || height == nullptr || clueNumber(*width) < 0 ||
        clueNumber(*height) < 0) {
        throw Refusal{"The .ipuz file gives no dimensions of its board."};
    }
    Board b{clueNumber(*height), clueNumber(*width)};
    if (const auto refusal = boardSizeRefusal(b.rows, b.columns)) {
        throw Refusal{*refusal};
    }
    return b;
}

bool styleHasCircle(const json& style, const json& doc) {
    const json* definition = &style;
    if (style.is_string()) {
        const json* styles = member(doc, "styles");
        definition =
            styles ? member(*styles, style.get_ref<const std::string&>().c_str()) : nullptr;
    }
    const json* shape = definition ? member(*definition, "shapebg") : nullptr;
    return shape != nullptr && shape->is_string() && *shape == "circle";
}

// Blacks and circles from the "puzzle" board.
void readBoard(const json& doc, const Board& b, Puzzle& p) {
    const json* board = member(doc, "puzzle");
    if (board == nullptr || !board->is_array()) {
        throw Refusal{"The .ipuz file has no \"puzzle\" board."};
    }
    if (board->size() != static_cast<std::size_t>(b.rows)) {
        throw Refusal{"The .ipuz \"puzzle\" board does not have the " + std::to_string(b.rows) +
                      " rows of its dimensions."};
    }
    const json* blockValue = member(doc, "block");
    const std::optional<std::string> block =
        blockValue ? scalarText(*blockValue) : std::optional<std::string>("#");
    for (int r = 0; r < b.rows; ++r) {
        const json& row = (*board)[static_cast<std::size_t>(r)];
        if (!row.is_array() || row.size() != static_cast<std::size_t>(b.columns)) {
            throw Refusal{"Row " + std::to_string(r + 1) +
                          " of the .ipuz \"puzzle\" board does not have the " +
                          std::to_string(b.columns) + " cells of its dimensions."};
        }
        for (int c = 0; c < b.columns; ++c) {
            const json& cell = row[static_cast<std::size_t>(c)];
            const json* value = &cell;
            bool circle = false;
            if (cell.is_object()) {
                const json* style = member(cell, "style");
                circle = style != nullptr && styleHasCircle(*style, doc);
                value = member(cell, "cell");
            }
            const std::optional<std::string> text =
                value ? scalarText(*value) : std::optional<std::string>();
            const bool black = (value != nullptr && value->is_null()) || (text && text == block);
            if (black) {
                p.grid.setCell(r, c, BLACK);
            } else if (circle) {
                p.circles.push_back(r * b.columns + c);
            }
        }
    }
}

void readSolution(const json& doc, const Board& b, Puzzle& p, PuzzleReadCounts& counts) {
    const json* board = member(doc, "solution");
    if (board == nullptr || !board->is_array()) {
        return;
    }
    const json* blockValue = member(doc, "block");
    const std::optional<std::string> block =
        blockValue ? scalarText(*blockValue) : std::optional<std::string>("#");
    const std::size_t rows = std::min<std::size_t>(board->size(), static_cast<std::size_t>(b.rows));
    for (std::size_t r = 0; r < rows; ++r) {
        const json& row = (*board)[r];
        if (!row.is_array()) {
            continue;
        }
        const std::size_t cols =
            std::min<std::size_t>(row.size(), static_cast<std::size_t>(b.columns));
        for (std::size_t c = 0; c < cols; ++c) {
            const int ri = static_cast<int>(r);
            const int ci = static_cast<int>(c);
            if (p.grid.isBlack(ri, ci)) {
                continue;
            }
            const json* value = &row[c];
            if (value->is_object()) {
                value = member(*value, "value");
            }
            if (value == nullptr || !value->is_string() || (block && *value == *block)) {
                continue;
            }
            p.grid.setCell(ri, ci,
                           cellFromLetters(value->get_ref<const std::string&>(), counts.cellsCut));
        }
    }
}

std::optional<Direction> listDirection(std::string_view name) {
    const std::size_t colon = name.find(':');
    name = name.substr(0, colon);
    const auto same = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(),
                          [](char x, char y) { return (x | 0x20) == (y | 0x20); });
    };
    if (same(name, "across")) {
        return Direction::Across;
    }
    if (same(name, "down")) {
        return Direction::Down;
    }
    return std::nullopt;
}

void readClue(const json& entry, Direction d, ClueGatherer& clues, PuzzleReadCounts& counts) {
    const json* number = nullptr;
    const json* text = nullptr;
    std::string enumeration;
    std::string label;
    bool object = false;
    if (entry.is_array() && entry.size() >= 2) {
        number = &entry[0];
        text = &entry[1];
    } else if (entry.is_string()) {
        text = &entry;
    } else if (entry.is_object()) {
        object = true;
        number = member(entry, "number");
        if (number == nullptr) {
            const json* numbers = member(entry, "numbers");
            if (numbers != nullptr && numbers->is_array() && !numbers->empty()) {
                number = &numbers->front();
            }
        }
        text = member(entry, "clue");
        if (const json* e = member(entry, "enumeration")) {
            enumeration =
                e->is_string() ? validUtf8(e->get<std::string>()) : scalarText(*e).value_or("");
        }
        if (const json* l = member(entry, "label"); l != nullptr && l->is_string()) {
            label = validUtf8(l->get<std::string>());
        }
    }
    if ((text != nullptr && !text->is_string()) || (text == nullptr && !object)) {
        ++counts.cluesSkipped;
        return;
    }
    std::string plain =
        text ? htmlToText(text->get_ref<const std::string&>(), counts.markupDropped) : "";
    // Korvel writes [number, ""] for a word without a clue.
    if (!object && plain.empty()) {
        return;
    }
    int n = -1;
    if (number != nullptr && number->is_string()) {
        const std::string written = validUtf8(number->get<std::string>());
        n = leadingNumber(written);
        if (label.empty()) {
            label = written;
        }
    } else if (number != nullptr) {
        n = clueNumber(*number);
    }
    if (n >= 0) {
        clues.add(n, d, std::move(plain), std::move(enumeration), std::move(label));
    } else {
        clues.addUnnumbered(d, std::move(plain), std::move(enumeration), std::move(label));
    }
}

// An integer of the file, or nothing for any other value. An unsigned value
// past what a signed one holds gives the largest signed value, never a
// wrapped negative one.
std::optional<long long> wholeNumber(const json* v) {
    if (v == nullptr) {
        return std::nullopt;
    }
    if (v->is_number_unsigned()) {
        const unsigned long long n = v->get<unsigned long long>();
        return n > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MAX
                                                              : static_cast<long long>(n);
    }
    if (v->is_number_integer()) {
        return v->get<long long>();
    }
    return std::nullopt;
}

void readKeptClues(const json& doc, ClueGatherer& clues, PuzzleReadCounts& counts) {
    const json* list = member(doc, std::string(UnplacedField).c_str());
    if (list == nullptr || !list->is_array()) {
        return;
    }
    for (const json& entry : *list) {
        const std::optional<long long> row = wholeNumber(member(entry, "row"));
        const std::optional<long long> column = wholeNumber(member(entry, "column"));
        const json* direction = member(entry, "direction");
        const std::optional<long long> length = wholeNumber(member(entry, "length"));
        const json* text = member(entry, "clue");
        const std::optional<Direction> d = direction && direction->is_string()
                                               ? listDirection(direction->get<std::string>())
                                               : std::nullopt;
        if (!row || !column || !length || !d || text == nullptr || !text->is_string()) {
            ++counts.cluesSkipped;
            continue;
        }
        Clue clue;
        // A key no grid has (a negative row, a column past the grids) goes
        // below the grids, where the gatherer finds it a free place, and a
        // length no clue has becomes 0, as for a clue without enumeration:
        // the text is kept, and the file written back holds values that can
        // be read again.
        clue.key.direction = d.value();
        if (ClueGatherer::isKeptKey(*row, *column)) {
            clue.key.row = static_cast<int16_t>(*row);
            clue.key.column = static_cast<int16_t>(*column);
        } else {
            clue.key.row = MaxRows;
        }
        clue.length = *length >= 0 && *length <= MaxClueLength ? static_cast<int16_t>(*length) : 0;
        clue.text = htmlToText(text->get_ref<const std::string&>(), counts.markupDropped);
        if (const json* e = member(entry, "enumeration"); e != nullptr && e->is_string()) {
            clue.enumeration = validUtf8(e->get<std::string>());
        }
        if (const json* l = member(entry, "label"); l != nullptr && l->is_string()) {
            clue.label = validUtf8(l->get<std::string>());
        }
        clues.addKept(std::move(clue));
    }
}

void readClues(const json& doc, Puzzle& p, PuzzleReadCounts& counts) {
    ClueGatherer clues(p.grid);
    if (const json* lists = member(doc, "clues"); lists != nullptr && lists->is_object()) {
        for (const auto& [name, list] : lists->items()) {
            const std::optional<Direction> d = listDirection(name);
            if (!list.is_array()) {
                ++counts.cluesSkipped;
                continue;
            }
            for (const json& entry : list) {
                if (d) {
                    readClue(entry, *d, clues, counts);
                } else {
                    ++counts.cluesSkipped;
                }
            }
        }
    }
    readKeptClues(doc, clues, counts);
    p.clues = clues.take(counts);
}

void readDetails(const json& doc, PuzzleDetails& d, PuzzleReadCounts& counts) {
    int& tags = counts.markupDropped;
    d.title = textField(doc, "title", tags);
    d.author = textField(doc, "author", tags);
    d.copyright = textField(doc, "copyright", tags);
    d.notes = textField(doc, "notes", tags);
    if (const json* contact = member(doc, std::string(ContactField).c_str());
        contact != nullptr && contact->is_object()) {
        d.contactName = textField(*contact, "name", tags);
        d.contactEmail = textField(*contact, "email", tags);
        d.contactAddress = textField(*contact, "address", tags);
    }
}

} // namespace

std::string writeIpuz(const GridModel& grid, std::string_view title) {
    Puzzle puzzle;
    puzzle.grid = grid;
    return writeIpuz(puzzle, title);
}

std::string writeIpuz(const Puzzle& puzzle, std::string_view title) {
    const GridModel& grid = puzzle.grid;
    const Slots slots = Slots::of(grid);
    const std::vector<int>& numbers = slots.numbers();
    const ClueLayout clues = layoutClues(puzzle, slots);
    const PuzzleDetails& details = puzzle.details;
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;
    const std::set<int> circles(puzzle.circles.begin(), puzzle.circles.end());

    std::string out = "{\n";
    out += "  \"version\": \"http://ipuz.org/v2\",\n";
    out += "  \"kind\": [\"http://ipuz.org/crossword#1\"],\n";
    out += "  \"origin\": \"Korvel\",\n";
    out += "  \"title\": " +
           (details.title.empty() ? jsonString(validUtf8(title)) : htmlField(details.title)) +
           ",\n";
    for (const auto& [name, text] :
         {std::pair{"author", &details.author}, std::pair{"copyright", &details.copyright},
          std::pair{"notes", &details.notes}}) {
        if (!text->empty()) {
            out += "  \"" + std::string(name) + "\": " + htmlField(*text) + ",\n";
        }
    }
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
            const int at = r * C + c;
            if (grid.isBlack(r, c)) {
                out += "\"#\"";
            } else if (circles.count(at) != 0) {
                out += "{\"cell\": " + std::to_string(numbers[static_cast<std::size_t>(at)]) +
                       ", \"style\": {\"shapebg\": \"circle\"}}";
            } else {
                out += std::to_string(numbers[static_cast<std::size_t>(at)]);
            }
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
    writeClueList(out, Direction::Across, slots, clues, false);
    writeClueList(out, Direction::Down, slots, clues, true);
    out += "  }";

    if (!clues.unplaced.empty()) {
        out += ",\n  \"" + std::string(UnplacedField) + "\": [";
        for (std::size_t i = 0; i < clues.unplaced.size(); ++i) {
            out += i == 0 ? "\n" : ",\n";
            out += "    " + unplacedEntry(*clues.unplaced[i]);
        }
        out += "\n  ]";
    }
    if (!details.contactName.empty() || !details.contactEmail.empty() ||
        !details.contactAddress.empty()) {
        out += ",\n  \"" + std::string(ContactField) +
               "\": {\"name\": " + htmlField(details.contactName) +
               ", \"email\": " + htmlField(details.contactEmail) +
               ", \"address\": " + htmlField(details.contactAddress) + "}";
    }
    out += "\n}\n";
    return out;
}

PuzzleReadResult puzzleFromIpuz(std::string_view bytes) {
    PuzzleReadResult result;
    const std::string_view text = unwrapped(bytes);
    if (nestedDeeperThan(text, MaxJsonDepth)) {
        result.error = "The file is no .ipuz puzzle: it is nested more than " +
                       std::to_string(MaxJsonDepth) + " levels deep.";
        return result;
    }
    json doc;
    try {
        doc = json::parse(text.begin(), text.end());
    } catch (const json::parse_error& e) {
        // e.byte counts from 1 within the JSON; the message counts in the file.
        const std::size_t offset = static_cast<std::size_t>(text.data() - bytes.data());
        result.error = "The file is no .ipuz puzzle: it is not valid JSON (near byte " +
                       std::to_string(offset + e.byte) + ").";
        return result;
    } catch (const json::exception&) {
        // A number beyond what JSON values here can hold.
        result.error = "The file is no .ipuz puzzle: it holds a number too large to read.";
        return result;
    }
    if (!doc.is_object()) {
        result.error = "The file is no .ipuz puzzle: it holds no JSON object.";
        return result;
    }
    try {
        checkVersionAndKind(doc);
        const Board b = dimensionsOf(doc);
        Puzzle p;
        p.grid = GridModel::make(static_cast<int16_t>(b.rows), static_cast<int16_t>(b.columns));
        PuzzleReadCounts counts;
        readBoard(doc, b, p);
        readSolution(doc, b, p, counts);
        readClues(doc, p, counts);
        readDetails(doc, p.details, counts);
        result.puzzle = std::move(p);
        result.counts = counts;
        result.warnings = readWarnings(counts);
    } catch (const Refusal& refusal) {
        result.error = refusal.reason;
    }
    return result;
}

} // namespace korvel
