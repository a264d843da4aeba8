// SPDX-License-Identifier: GPL-3.0-or-later
#include "ipuzfile.h"

#include "celltext.h"
#include "clueset.h"
#include "puzzleread.h"
#include "puzzletext.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
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
// The cells whose letters a fill placed, [row, column] each, for Clear Fill.
constexpr std::string_view FillField = "org.korvel:fill";
// In a clue entry: the answer the clue was written for, when the grid no
// longer holds it.
constexpr std::string_view AnswerField = "org.korvel:answer";
// The language of the puzzle, a code such as "it" or "en".
constexpr std::string_view LanguageField = "lang";
constexpr std::string_view KorvelOrigin = "Korvel";

// The top-level fields Korvel reads into the puzzle (or writes itself).
constexpr std::array<std::string_view, 20> ReadFields = {
    "version",    "kind",        "dimensions", "puzzle",      "solution",   "clues",  "block",
    "empty",      "title",       "author",     "copyright",   "notes",      "intro",  "publisher",
    "difficulty", "explanation", "styles",     UnplacedField, ContactField, FillField};

// The top-level texts Korvel reads as details, when they are strings.
constexpr std::array<std::string_view, 8> TextFields = {
    "title", "author", "copyright", "notes", "intro", "publisher", "difficulty", "explanation"};

// The members of a clue entry Korvel reads.
constexpr std::array<std::string_view, 6> ClueMembers = {"number",      "numbers", "clue",
                                                         "enumeration", "label",   AnswerField};

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

// ", \"name\": value" for each field kept from another program's file.
std::string otherMembers(const OtherFields& fields) {
    std::string out;
    for (const auto& [name, value] : fields)
        out += ", " + encoded(validUtf8(name)) + ": " + value;
    return out;
}

// The letters of the cells of a slot as the file's answer record holds them.
std::string answerRecord(const Clue& clue, std::string_view current) {
    if (clue.answer.empty() || clue.answer == current)
        return {};
    return ", \"" + std::string(AnswerField) + "\": " + encoded(validUtf8(clue.answer));
}

// How the "puzzle" board and the clue numbers are written: Korvel's
// numbers, or the file's own marks while the blacks are as the file had
// them (then also its cells without a cell, null).
struct BoardMarks {
    // The file's marks are on the board.
    bool apply = false;
    // Its holes are (the blacks are as the file had them).
    bool holes = false;
    const KeptFields* kept = nullptr;
};

BoardMarks boardMarks(const Puzzle& puzzle) {
    BoardMarks b;
    b.kept = &puzzle.details.kept;
    b.holes = fileShapeHolds(puzzle.details, puzzle.grid);
    b.apply =
        b.holes && b.kept->cellMarks.size() ==
                       static_cast<std::size_t>(puzzle.grid.RowCount * puzzle.grid.ColumnCount);
    return b;
}

bool allDigits(std::string_view s) {
    return !s.empty() && s.size() < 9 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A mark as JSON: a number when it is one, else a string.
std::string markValue(std::string_view mark) {
    return allDigits(mark) ? std::to_string(std::stoi(std::string(mark))) : encoded(mark);
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

std::string clueEntry(const Slot& slot, const Clue* clue, const GridModel& grid,
                      const BoardMarks& marks) {
    if (clue == nullptr) {
        return "[" + std::to_string(slot.number) + ", \"\"]";
    }
    const std::string label = validUtf8(clue->label);
    std::string out = "{\"number\": ";
    // While the file's own marks are on the board, a clue is numbered by the
    // marks its label names.
    const bool labelAsNumber =
        !label.empty() && (marks.apply || leadingNumber(label) == slot.number);
    out += !labelAsNumber ? std::to_string(slot.number)
           : marks.apply  ? markValue(label)
                          : encoded(label);
    out += ", \"clue\": " + htmlField(clue->text);
    out +=
        ", \"enumeration\": " + encoded(clue->enumeration.empty() ? std::to_string(slot.length)
                                                                  : validUtf8(clue->enumeration));
    if (!label.empty() && !labelAsNumber) {
        out += ", \"label\": " + encoded(label);
    }
    out += answerRecord(*clue, Slots::pattern(grid, slot));
    out += otherMembers(clue->otherFields);
    return out + "}";
}

void writeClueList(std::string& out, Direction d, const Slots& slots, const ClueLayout& layout,
                   const GridModel& grid, const BoardMarks& marks, bool last) {
    const std::span<const Slot> list = d == Direction::Across ? slots.across() : slots.down();
    const std::size_t base = d == Direction::Across ? 0 : slots.across().size();
    out += "    \"";
    out += directionName(d);
    out += "\": [";
    for (std::size_t i = 0; i < list.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        out += "      " + clueEntry(list[i], layout.ofSlot[base + i], grid, marks);
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
           ", \"label\": " + encoded(validUtf8(clue.label)) +
           (clue.answer.empty() ? "" : ", \"answer\": " + encoded(validUtf8(clue.answer))) +
           otherMembers(clue.otherFields) + "}";
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

// What a cell's style holds: a circle, and anything else (colours, bars,
// other shapes), which Korvel has no place for.
struct CellStyle {
    bool circle = false;
    bool more = false;
};

CellStyle cellStyle(const json& style, const json& doc) {
    const json* definition = &style;
    if (style.is_string()) {
        const json* styles = member(doc, "styles");
        definition =
            styles ? member(*styles, style.get_ref<const std::string&>().c_str()) : nullptr;
    }
    CellStyle out;
    if (definition == nullptr || !definition->is_object()) {
        out.more = definition != nullptr && !definition->is_null();
        return out;
    }
    for (const auto& [name, value] : definition->items()) {
        if (name == "shapebg" && value.is_string() && value == "circle")
            out.circle = true;
        else
            out.more = true;
    }
    return out;
}

// The text of a mark on the "puzzle" board: a number in decimal, a string
// as it is.
std::string markText(const json& v) {
    if (v.is_string())
        return validUtf8(v.get<std::string>());
    return scalarText(v).value_or("");
}

// Blacks, circles, the file's own marks and its holes from the "puzzle"
// board.
void readBoard(const json& doc, const Board& b, Puzzle& p, PuzzleReadCounts& counts) {
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
    const json* emptyValue = member(doc, "empty");
    const std::string empty = emptyValue ? scalarText(*emptyValue).value_or("0") : std::string("0");
    std::vector<std::string> marks(static_cast<std::size_t>(b.rows * b.columns));
    std::vector<int> holes;
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
            CellStyle style;
            if (cell.is_object()) {
                if (const json* s = member(cell, "style")) {
                    style = cellStyle(*s, doc);
                }
                value = member(cell, "cell");
            }
            counts.stylesDropped += style.more ? 1 : 0;
            const std::optional<std::string> text =
                value ? scalarText(*value) : std::optional<std::string>();
            const bool hole = value != nullptr && value->is_null();
            const bool black = hole || (text && text == block);
            const int at = r * b.columns + c;
            if (black) {
                p.grid.setCell(r, c, BLACK);
                if (hole) {
                    holes.push_back(at);
                }
                continue;
            }
            if (style.circle) {
                p.circles.push_back(at);
            }
            // 0 marks no cell whatever the file calls empty.
            if (value != nullptr && text != empty && text != "0") {
                marks[static_cast<std::size_t>(at)] = markText(*value);
            }
        }
    }
    // Marks that are Korvel's own numbers need no keeping, and a board that
    // marks no cell is numbered by Korvel.
    const Slots slots = Slots::of(p.grid);
    const std::vector<int>& numbers = slots.numbers();
    bool any = false;
    bool same = true;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        any = any || !marks[i].empty();
        const std::string korvel = numbers[i] > 0 ? std::to_string(numbers[i]) : std::string();
        same = same && (marks[i] == korvel || p.grid.isBlack(static_cast<int>(i) / b.columns,
                                                             static_cast<int>(i) % b.columns));
    }
    KeptFields& kept = p.details.kept;
    if (any && !same) {
        kept.cellMarks = std::move(marks);
    }
    kept.holes = std::move(holes);
    if (!kept.cellMarks.empty() || !kept.holes.empty()) {
        for (int r = 0; r < b.rows; ++r)
            for (int c = 0; c < b.columns; ++c)
                kept.shape += p.grid.isBlack(r, c) ? '#' : '.';
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

// Notes a kind of field left out, once.
void noteDropped(PuzzleReadCounts& counts, DroppedField field) {
    if (std::find(counts.dropped.begin(), counts.dropped.end(), field) == counts.dropped.end()) {
        counts.dropped.push_back(field);
        std::sort(counts.dropped.begin(), counts.dropped.end());
    }
}

// A JSON value as the text that is written back.
std::string jsonText(const json& v) {
    return v.dump(-1, ' ', false, json::error_handler_t::replace);
}

void readClue(const json& entry, Direction d, ClueGatherer& clues, PuzzleReadCounts& counts) {
    const json* number = nullptr;
    const json* text = nullptr;
    Clue clue;
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
            clue.enumeration =
                e->is_string() ? validUtf8(e->get<std::string>()) : scalarText(*e).value_or("");
        }
        if (const json* l = member(entry, "label"); l != nullptr && l->is_string()) {
            clue.label = validUtf8(l->get<std::string>());
        }
        if (const json* a = member(entry, std::string(AnswerField).c_str());
            a != nullptr && a->is_string()) {
            clue.answer = validUtf8(a->get<std::string>());
        }
        for (const auto& [name, value] : entry.items()) {
            if (std::find(ClueMembers.begin(), ClueMembers.end(), name) != ClueMembers.end()) {
                continue;
            }
            if (name == "answer") {
                noteDropped(counts, DroppedField::Answers);
            } else if (name == "cells") {
                noteDropped(counts, DroppedField::ClueCells);
            } else {
                clue.otherFields.emplace_back(validUtf8(name), jsonText(value));
            }
        }
    }
    if ((text != nullptr && !text->is_string()) || (text == nullptr && !object)) {
        ++counts.cluesSkipped;
        return;
    }
    clue.text = text ? htmlToText(text->get_ref<const std::string&>(), counts.markupDropped) : "";
    // Korvel writes [number, ""] for a word without a clue.
    if (!object && clue.text.empty()) {
        return;
    }
    const std::string written = number != nullptr ? markText(*number) : std::string();
    if (clues.addAtMark(written, d, clue)) {
        return;
    }
    int n = -1;
    if (number != nullptr && number->is_string()) {
        n = leadingNumber(written);
        if (clue.label.empty()) {
            clue.label = written;
        }
    } else if (number != nullptr) {
        n = clueNumber(*number);
    }
    if (n >= 0) {
        clues.add(n, d, std::move(clue));
    } else {
        clues.addUnnumbered(d, std::move(clue));
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
        if (const json* a = member(entry, "answer"); a != nullptr && a->is_string()) {
            clue.answer = validUtf8(a->get<std::string>());
        }
        for (const auto& [name, value] : entry.items()) {
            if (name != "row" && name != "column" && name != "direction" && name != "length" &&
                name != "clue" && name != "enumeration" && name != "label" && name != "answer") {
                clue.otherFields.emplace_back(validUtf8(name), jsonText(value));
            }
        }
        clues.addKept(std::move(clue));
    }
}

void readClues(const json& doc, Puzzle& p, PuzzleReadCounts& counts) {
    ClueGatherer clues(p.grid);
    const std::vector<std::string>& marks = p.details.kept.cellMarks;
    if (!marks.empty()) {
        std::map<std::string, int> cells;
        for (std::size_t i = 0; i < marks.size(); ++i) {
            if (!marks[i].empty()) {
                cells.emplace(marks[i], static_cast<int>(i));
            }
        }
        clues.useMarks(std::move(cells));
    }
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

// A language code as files give it: letters, digits, "-" and "_", short.
bool languageCode(const json& v) {
    if (!v.is_string()) {
        return false;
    }
    const std::string& code = v.get_ref<const std::string&>();
    return !code.empty() && code.size() <= 35 && std::all_of(code.begin(), code.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    });
}

// Korvel's own marks of the fill's letters: entries that are not a cell of
// the board holding a letter are passed over (the marks are a help only).
void readFillCells(const json& doc, Puzzle& p) {
    const json* cells = member(doc, std::string(FillField).c_str());
    if (cells == nullptr || !cells->is_array())
        return;
    const GridModel& g = p.grid;
    for (const json& entry : *cells) {
        if (!entry.is_array() || entry.size() != 2 || !entry[0].is_number_integer() ||
            !entry[1].is_number_integer())
            continue;
        const long long r = entry[0].get<long long>();
        const long long c = entry[1].get<long long>();
        if (r < 0 || c < 0 || r >= g.RowCount || c >= g.ColumnCount ||
            !isLetterCell(g.cell(static_cast<int>(r), static_cast<int>(c))))
            continue;
        p.fillCells.push_back(static_cast<int>(r * g.ColumnCount + c));
    }
    std::sort(p.fillCells.begin(), p.fillCells.end());
    p.fillCells.erase(std::unique(p.fillCells.begin(), p.fillCells.end()), p.fillCells.end());
}

void readDetails(const json& doc, PuzzleDetails& d, PuzzleReadCounts& counts) {
    int& tags = counts.markupDropped;
    d.title = textField(doc, "title", tags);
    d.author = textField(doc, "author", tags);
    d.copyright = textField(doc, "copyright", tags);
    d.notes = textField(doc, "notes", tags);
    d.intro = textField(doc, "intro", tags);
    d.publisher = textField(doc, "publisher", tags);
    d.difficulty = textField(doc, "difficulty", tags);
    d.explanation = textField(doc, "explanation", tags);
    if (const json* contact = member(doc, std::string(ContactField).c_str());
        contact != nullptr && contact->is_object()) {
        d.contactName = textField(*contact, "name", tags);
        d.contactEmail = textField(*contact, "email", tags);
        d.contactAddress = textField(*contact, "address", tags);
    }
    // Everything else: what would be wrong after an edit is left out and
    // told; the rest is kept and written back (a text field of another type
    // than the format's is kept as it is too).
    for (const auto& [name, value] : doc.items()) {
        if (name == LanguageField && languageCode(value)) {
            d.language = value.get<std::string>();
            continue;
        }
        if (name == "origin" && value.is_string() && value == KorvelOrigin) {
            continue;
        }
        const bool text = std::find(TextFields.begin(), TextFields.end(), name) != TextFields.end();
        const bool read = std::find(ReadFields.begin(), ReadFields.end(), name) != ReadFields.end();
        if (text ? value.is_string() : read) {
            continue;
        }
        if (name == "checksum") {
            noteDropped(counts, DroppedField::Checksum);
        } else if (name == "saved") {
            noteDropped(counts, DroppedField::Saved);
        } else if (name == "answer" || name == "answers") {
            noteDropped(counts, DroppedField::Answers);
        } else if (name == "zones") {
            noteDropped(counts, DroppedField::Zones);
        } else if (name == "misses") {
            noteDropped(counts, DroppedField::Misses);
        } else {
            d.kept.ipuz.emplace_back(validUtf8(name), jsonText(value));
        }
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
    const BoardMarks marks = boardMarks(puzzle);
    const int R = grid.RowCount;
    const int C = grid.ColumnCount;
    const std::set<int> circles(puzzle.circles.begin(), puzzle.circles.end());
    const std::set<int> holes =
        marks.holes ? std::set<int>(details.kept.holes.begin(), details.kept.holes.end())
                    : std::set<int>();

    // Another program's origin stays the file's.
    std::string origin = jsonString(KorvelOrigin);
    for (const auto& [name, value] : details.kept.ipuz)
        if (name == "origin")
            origin = value;

    std::string out = "{\n";
    out += "  \"version\": \"http://ipuz.org/v2\",\n";
    out += "  \"kind\": [\"http://ipuz.org/crossword#1\"],\n";
    out += "  \"origin\": " + origin + ",\n";
    out += "  \"title\": " +
           (details.title.empty() ? jsonString(validUtf8(title)) : htmlField(details.title)) +
           ",\n";
    for (const auto& [name, text] :
         {std::pair{"author", &details.author}, std::pair{"copyright", &details.copyright},
          std::pair{"notes", &details.notes}, std::pair{"intro", &details.intro},
          std::pair{"publisher", &details.publisher}, std::pair{"difficulty", &details.difficulty},
          std::pair{"explanation", &details.explanation}}) {
        if (!text->empty()) {
            out += "  \"" + std::string(name) + "\": " + htmlField(*text) + ",\n";
        }
    }
    if (!details.language.empty()) {
        out += "  \"" + std::string(LanguageField) + "\": " + encoded(validUtf8(details.language)) +
               ",\n";
    }
    out += "  \"dimensions\": {\"width\": " + std::to_string(C) +
           ", \"height\": " + std::to_string(R) + "},\n";
    out += "  \"block\": \"#\",\n";
    out += "  \"empty\": 0,\n";

    // A cell's mark on the "puzzle" board: Korvel's number, or the file's own.
    const auto mark = [&](int at) {
        if (!marks.apply)
            return std::to_string(numbers[static_cast<std::size_t>(at)]);
        const std::string& m = marks.kept->cellMarks[static_cast<std::size_t>(at)];
        return m.empty() ? std::string("0") : markValue(validUtf8(m));
    };
    out += "  \"puzzle\": [\n";
    for (int r = 0; r < R; ++r) {
        out += "    [";
        for (int c = 0; c < C; ++c) {
            if (c > 0) {
                out += ", ";
            }
            const int at = r * C + c;
            if (holes.count(at) != 0) {
                out += "null";
            } else if (grid.isBlack(r, c)) {
                out += "\"#\"";
            } else if (circles.count(at) != 0) {
                out += "{\"cell\": " + mark(at) + ", \"style\": {\"shapebg\": \"circle\"}}";
            } else {
                out += mark(at);
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
            if (holes.count(r * C + c) != 0) {
                out += "null";
            } else if (grid.isBlack(r, c)) {
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
    writeClueList(out, Direction::Across, slots, clues, grid, marks, false);
    writeClueList(out, Direction::Down, slots, clues, grid, marks, true);
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
    if (!puzzle.fillCells.empty() && C > 0) {
        out += ",\n  \"" + std::string(FillField) + "\": [";
        for (std::size_t i = 0; i < puzzle.fillCells.size(); ++i) {
            const int at = puzzle.fillCells[i];
            out += (i == 0 ? "[" : ", [") + std::to_string(at / C) + ", " + std::to_string(at % C) +
                   "]";
        }
        out += "]";
    }
    for (const auto& [name, value] : details.kept.ipuz) {
        if (name != "origin") {
            out += ",\n  " + encoded(validUtf8(name)) + ": " + value;
        }
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
        readBoard(doc, b, p, counts);
        readSolution(doc, b, p, counts);
        readClues(doc, p, counts);
        readDetails(doc, p.details, counts);
        readFillCells(doc, p);
        result.puzzle = std::move(p);
        result.counts = counts;
        result.warnings = readWarnings(counts);
    } catch (const Refusal& refusal) {
        result.error = refusal.reason;
    }
    return result;
}

} // namespace korvel
