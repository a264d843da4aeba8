// The puzzle files with clues, details and circles: round trips of random
// documents, .puz files walked by the tests' own reader of the format,
// hand-made variants of real .puz files, .ipuz files in each shape other
// programs write, and the load and save wrappers on real files.
#include "exportformat.h"
#include "filesizelimit.h"
#include "ipuzfile.h"
#include "jsonvalue.h"
#include "kvlfile.h"
#include "puzfile.h"
#include "puzwalker.h"
#include "puzzlefile.h"
#include "slots.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvel;
using korvel::testing::Json;
using korvel::testing::JsonParser;
using korvel::testing::PuzWalk;

namespace korvel {
void PrintTo(const Clue& c, std::ostream* os) {
    *os << "{" << c.key.row << "," << c.key.column
        << (c.key.direction == Direction::Down ? "D" : "A") << " len " << c.length << " \""
        << c.text << "\" enum \"" << c.enumeration << "\" label \"" << c.label << "\"}";
}
} // namespace korvel

namespace {

// --- random documents

// A piece of clue text as UTF-8, and as ISO-8859-1 when it has a form there
// that reads back as the same text.
struct Piece {
    std::string utf8;
    std::optional<std::string> latin1;
};

const std::vector<Piece>& pieces() {
    static const std::vector<Piece> list = [] {
        std::vector<Piece> p = {
            {"Bob's <Grid> & Co", "Bob's <Grid> & Co"},
            {"\"quoted\"", "\"quoted\""},
            {"a < b > c &amp; d &#233; <br/> <i>not markup</i>",
             "a < b > c &amp; d &#233; <br/> <i>not markup</i>"},
            {"caf\xC3\xA9 na\xC3\xAFve \xC3\x86r\xC3\xB8", "caf\xE9 na\xEFve \xC6r\xF8"},
            {"two\nlines", "two\nlines"},
            {"tab\there", "tab\there"},
            {"", ""},
            {"\xE2\x80\x98single\xE2\x80\x99 \xE2\x80\x9C"
             "double\xE2\x80\x9D",
             std::nullopt},
            {"\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80", std::nullopt},
        };
        // A clue of 1,000 characters, each of them one that needs care.
        std::string longUtf8, longLatin1;
        for (int i = 0; i < 250; ++i) {
            longUtf8 += "\xC3\xA9&<'";
            longLatin1 += "\xE9&<'";
        }
        p.push_back({longUtf8, longLatin1});
        return p;
    }();
    return list;
}

// Text of up to three pieces; with latin1 set, only pieces that have an
// ISO-8859-1 form, and that form in latin1.
std::string randomText(std::mt19937& rng, std::string* latin1 = nullptr) {
    std::uniform_int_distribution<int> count(0, 3);
    std::uniform_int_distribution<std::size_t> pick(0, pieces().size() - 1);
    std::string text;
    for (int n = count(rng); n > 0; --n) {
        const Piece& piece = pieces()[pick(rng)];
        if (latin1 != nullptr && !piece.latin1) {
            continue;
        }
        text += piece.utf8;
        if (latin1 != nullptr) {
            *latin1 += *piece.latin1;
        }
    }
    return text;
}

struct Options {
    bool filled = false;
    bool latin1 = false; // texts ISO-8859-1 can hold
    bool extras = true;  // enumerations, labels, unplaced clues, contact details
};

Puzzle randomPuzzle(std::mt19937& rng, Options o) {
    std::uniform_int_distribution<int> rows(MinRows, MaxRows), cols(MinColumns, MaxColumns);
    std::uniform_int_distribution<int> letter('A', 'Z');
    std::uniform_real_distribution<double> u(0, 1);
    Puzzle p;
    p.grid = GridModel::make(static_cast<int16_t>(rows(rng)), static_cast<int16_t>(cols(rng)));
    const double density = u(rng) * 0.4;
    for (int r = 0; r < p.grid.RowCount; ++r) {
        for (int c = 0; c < p.grid.ColumnCount; ++c) {
            const double x = u(rng);
            p.grid.setCell(r, c,
                           x < density                 ? BLACK
                           : !o.filled && u(rng) < 0.3 ? EmptyCell
                                                       : static_cast<char>(letter(rng)));
            if (x >= density && u(rng) < 0.1) {
                p.circles.push_back(r * p.grid.ColumnCount + c);
            }
        }
    }
    std::string ignored;
    std::string* latin1 = o.latin1 ? &ignored : nullptr;
    const Slots slots = Slots::of(p.grid);
    for (const Slot& s : slots.all()) {
        if (u(rng) < 0.35) {
            continue;
        }
        Clue clue{{s.row, s.column, s.direction}, s.length, randomText(rng, latin1), {}, {}};
        if (o.extras && u(rng) < 0.2) {
            clue.enumeration = u(rng) < 0.5 ? "3,4" : "2-2 (x)";
        }
        if (o.extras && u(rng) < 0.2) {
            clue.label =
                u(rng) < 0.5 ? std::to_string(s.number) + "-" + std::to_string(s.number + 1) : "A";
        }
        p.clues.push_back(std::move(clue));
    }
    if (o.extras) {
        // Unplaced clues: one below every grid, one on a slot's first cell
        // with the wrong length where that key is free.
        if (u(rng) < 0.5) {
            p.clues.push_back({{MaxRows, 3, Direction::Down}, 6, randomText(rng), "6", "9"});
        }
        for (const Slot& s : slots.all()) {
            const ClueKey key{s.row, s.column, s.direction};
            if (std::none_of(p.clues.begin(), p.clues.end(),
                             [&](const Clue& c) { return c.key == key; })) {
                p.clues.push_back(
                    {key, static_cast<int16_t>(s.length + 1), randomText(rng), "", "old"});
                break;
            }
        }
    }
    std::sort(p.clues.begin(), p.clues.end(),
              [](const Clue& a, const Clue& b) { return a.key < b.key; });
    PuzzleDetails& d = p.details;
    for (std::string* field : {&d.title, &d.author, &d.copyright, &d.notes}) {
        if (u(rng) < 0.5) {
            *field = randomText(rng, latin1);
        }
    }
    if (o.extras && u(rng) < 0.5) {
        d.contactName = "Ann & Bob";
        d.contactEmail = "ann@example.org";
        d.contactAddress = randomText(rng);
    }
    return p;
}

std::vector<std::string> rowsOf(const GridModel& g) {
    return {g.GridRows.begin(), g.GridRows.begin() + g.RowCount};
}

void expectSamePuzzle(const Puzzle& got, const Puzzle& want) {
    EXPECT_EQ(rowsOf(got.grid), rowsOf(want.grid));
    EXPECT_EQ(got.clues, want.clues);
    EXPECT_EQ(got.details, want.details);
    EXPECT_EQ(got.circles, want.circles);
}

// What of a puzzle a .puz file keeps: placed clues with text, without
// enumeration or label; no contact details.
Puzzle puzPart(const Puzzle& p) {
    Puzzle out = p;
    const Slots slots = Slots::of(p.grid);
    out.clues.clear();
    for (const Clue& c : p.clues) {
        const int s = slots.startingAt(c.key.row, c.key.column, c.key.direction);
        if (s >= 0 && slots[static_cast<std::size_t>(s)].length == c.length && !c.text.empty()) {
            out.clues.push_back({c.key, c.length, c.text, {}, {}});
        }
    }
    out.details.contactName.clear();
    out.details.contactEmail.clear();
    out.details.contactAddress.clear();
    return out;
}

// The tests' own reading of the HTML the writer escapes.
std::string unescaped(std::string_view html) {
    std::string out;
    for (std::size_t i = 0; i < html.size();) {
        bool replaced = false;
        for (const auto& [from, to] : {std::pair{"&amp;", "&"}, std::pair{"&lt;", "<"},
                                       std::pair{"&gt;", ">"}, std::pair{"<br/>", "\n"}}) {
            if (html.substr(i, std::string_view(from).size()) == from) {
                out += to;
                i += std::string_view(from).size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += html[i++];
        }
    }
    return out;
}

int placedCount(const Puzzle& p) {
    const Slots slots = Slots::of(p.grid);
    int n = 0;
    for (const Clue& c : p.clues) {
        const int s = slots.startingAt(c.key.row, c.key.column, c.key.direction);
        n += s >= 0 && slots[static_cast<std::size_t>(s)].length == c.length;
    }
    return n;
}

} // namespace

// --- .ipuz round trips

TEST(PuzzleIpuz, RandomDocumentsWriteReadWriteTheSame) {
    std::mt19937 rng(2024);
    for (int i = 0; i < 150; ++i) {
        const Puzzle p = randomPuzzle(rng, {i % 2 == 0, false, true});
        const std::string once = writeIpuz(p, "");
        const PuzzleReadResult r = puzzleFromIpuz(once);
        ASSERT_TRUE(r.puzzle) << r.error;
        expectSamePuzzle(*r.puzzle, p);
        EXPECT_EQ(writeIpuz(*r.puzzle, ""), once);
        EXPECT_EQ(r.counts, (PuzzleReadCounts{.unplacedClues = static_cast<int>(p.clues.size()) -
                                                               placedCount(p)}));

        // The tests' own JSON reader sees each placed clue in its list, its
        // text HTML-escaped, its enumeration the length unless it has one.
        const std::optional<Json> d = JsonParser(once).parse();
        ASSERT_TRUE(d);
        const Slots slots = Slots::of(p.grid);
        std::size_t seen = 0;
        for (const Clue& c : p.clues) {
            const int s = slots.startingAt(c.key.row, c.key.column, c.key.direction);
            if (s < 0 || slots[static_cast<std::size_t>(s)].length != c.length) {
                continue;
            }
            const bool down = c.key.direction == Direction::Down;
            const std::size_t at = static_cast<std::size_t>(s) - (down ? slots.across().size() : 0);
            const Json& e = (*d)["clues"][down ? "Down" : "Across"][at];
            ASSERT_EQ(e.kind, Json::Object);
            EXPECT_EQ(unescaped(e["clue"].text), c.text);
            EXPECT_EQ(e["enumeration"].text,
                      c.enumeration.empty() ? std::to_string(c.length) : c.enumeration);
            ++seen;
        }
        const std::size_t unplaced = p.clues.size() - seen;
        EXPECT_EQ(d->fields.count("org.korvel:unplaced"), unplaced > 0 ? 1u : 0u);
        if (unplaced > 0) {
            EXPECT_EQ((*d)["org.korvel:unplaced"].items.size(), unplaced);
        }
        EXPECT_EQ(unescaped((*d)["title"].text), p.details.title);
    }
}

TEST(PuzzleIpuz, TheWrittenLayout) {
    // 2 x 3: CAT over A#E; 1 across, 1 and 2 down.
    Puzzle p;
    p.grid = GridModel::make(2, 3);
    p.grid.GridRows = {"CAT", std::string("A") + BLACK + "E", "???"};
    p.clues = {{{0, 0, Direction::Across}, 3, "Bob's <Grid> & Co", "", ""},
               {{0, 2, Direction::Down}, 2, "Two\nlines", "1,1", "2-3"},
               {{MaxRows, 0, Direction::Across}, 0, "Kept", "", ""}};
    p.details.title = "T&C";
    p.details.author = "\xC3\x89mile";
    p.details.contactEmail = "e@x.org";
    p.circles = {0, 5};
    EXPECT_EQ(writeIpuz(p, "ignored"),
              R"({
  "version": "http://ipuz.org/v2",
  "kind": ["http://ipuz.org/crossword#1"],
  "origin": "Korvel",
  "title": "T&amp;C",
  "author": "Émile",
  "dimensions": {"width": 3, "height": 2},
  "block": "#",
  "empty": 0,
  "puzzle": [
    [{"cell": 1, "style": {"shapebg": "circle"}}, 0, 2],
    [0, "#", {"cell": 0, "style": {"shapebg": "circle"}}]
  ],
  "solution": [
    ["C", "A", "T"],
    ["A", "#", "E"]
  ],
  "clues": {
    "Across": [
      {"number": 1, "clue": "Bob's &lt;Grid&gt; &amp; Co", "enumeration": "3"}
    ],
    "Down": [
      [1, ""],
      {"number": "2-3", "clue": "Two<br/>lines", "enumeration": "1,1"}
    ]
  },
  "org.korvel:unplaced": [
    {"row": 25, "column": 0, "direction": "Across", "length": 0, "clue": "Kept", "enumeration": "", "label": ""}
  ],
  "org.korvel:contact": {"name": "", "email": "e@x.org", "address": ""}
}
)");
}

TEST(PuzzleIpuz, AGridAloneWritesAsBefore) {
    const std::string golden =
        korvel::testing::readFile(std::string(KORVEL_EXPORT_GOLDEN) + "/small.ipuz");
    const KvlReadResult kvl =
        readKvl(korvel::testing::readFile(std::string(KORVEL_EXPORT_GOLDEN) + "/small.kvl"));
    ASSERT_TRUE(kvl.grid);
    Puzzle p;
    p.grid = *kvl.grid;
    EXPECT_EQ(writeIpuz(p, "small"), golden);
    // Read back, its title is a detail now, and it writes the same bytes.
    const PuzzleReadResult r = puzzleFromIpuz(golden);
    ASSERT_TRUE(r.puzzle) << r.error;
    EXPECT_EQ(rowsOf(r.puzzle->grid), rowsOf(p.grid));
    EXPECT_TRUE(r.puzzle->clues.empty());
    EXPECT_TRUE(r.warnings.empty());
    EXPECT_EQ(r.puzzle->details.title, "small");
    EXPECT_EQ(writeIpuz(*r.puzzle, "other"), golden);
    EXPECT_EQ(writePuz(p).bytes,
              korvel::testing::readFile(std::string(KORVEL_EXPORT_GOLDEN) + "/small.puz"));
}

// --- .ipuz files as other programs write them

namespace {

// A puzzle read as text to compare: the rows ("#" black, "." empty), the
// circles, each clue, the details and the counts that are not zero.
std::string describe(const PuzzleReadResult& r) {
    if (!r.puzzle) {
        return "error: " + r.error;
    }
    const Puzzle& p = *r.puzzle;
    std::string out = "rows";
    for (const std::string& row : rowsOf(p.grid)) {
        out += " ";
        for (char ch : row) {
            out += ch == BLACK ? '#' : ch == EmptyCell ? '.' : ch;
        }
    }
    if (!p.circles.empty()) {
        out += "\ncircles";
        for (int c : p.circles) {
            out += " " + std::to_string(c);
        }
    }
    for (const Clue& c : p.clues) {
        out += "\n" + std::to_string(c.key.row) + "," + std::to_string(c.key.column) +
               (c.key.direction == Direction::Across ? "A " : "D ") + std::to_string(c.length) +
               " \"" + c.text + "\"";
        if (!c.enumeration.empty()) {
            out += " enum " + c.enumeration;
        }
        if (!c.label.empty()) {
            out += " label " + c.label;
        }
    }
    const PuzzleDetails& d = p.details;
    for (const auto& [name, text] : {std::pair{"title", &d.title},
                                     {"author", &d.author},
                                     {"copyright", &d.copyright},
                                     {"notes", &d.notes},
                                     {"contact", &d.contactName},
                                     {"email", &d.contactEmail},
                                     {"address", &d.contactAddress}}) {
        if (!text->empty()) {
            out += "\n" + std::string(name) + " \"" + *text + "\"";
        }
    }
    const PuzzleReadCounts& k = r.counts;
    for (const auto& [name, n] : {std::pair{"cut", k.cellsCut},
                                  {"rebus", k.rebusCut},
                                  {"markup", k.markupDropped},
                                  {"unplaced", k.unplacedClues},
                                  {"skipped", k.cluesSkipped},
                                  {"sections", k.sectionsSkipped},
                                  {"scrambled", int(k.scrambled)},
                                  {"checksums", int(k.checksumsWrong)}}) {
        if (n != 0) {
            out += "\n" + std::string(name) + " " + std::to_string(n);
        }
    }
    return out;
}

// The 2 x 3 grid CAT over A#E as an .ipuz, with fields added or replaced.
std::string ipuz(const std::string& fields,
                 const std::string& puzzle = R"([[1, 0, 2], [0, "#", 0]])",
                 const std::string& solution = R"([["C", "A", "T"], ["A", "#", "E"]])",
                 const std::string& head = R"("version": "http://ipuz.org/v2",
                   "kind": ["http://ipuz.org/crossword#1"],
                   "dimensions": {"width": 3, "height": 2})") {
    return "{" + head + ", \"puzzle\": " + puzzle + ", \"solution\": " + solution +
           (fields.empty() ? "" : ", " + fields) + "}";
}

struct IpuzCase {
    const char* name;
    std::string bytes;
    std::string want;
};

} // namespace

TEST(PuzzleIpuz, FilesOfOtherPrograms) {
    const std::vector<IpuzCase> cases = {
        {"plain lists", ipuz(R"("clues": {"Across": [[1, "Feline"]],
                                          "Down": [[1, "Taxi"], [2, "Tea"]]})"),
         "rows CAT A#E\n0,0A 3 \"Feline\"\n0,0D 2 \"Taxi\"\n0,2D 2 \"Tea\""},
        {"JSONP, version 1, its own block and empty",
         "ipuz(" +
             ipuz("", R"([["1", "-", "2"], ["-", "X", "-"]])",
                  R"([["c", "a", "t"], ["a", "X", "e"]])",
                  R"("version": "http://ipuz.org/v1", "kind": ["http://ipuz.org/crossword"],
                     "block": "X", "empty": "-", "dimensions": {"width": 3, "height": 2})") +
             ");\n",
         "rows CAT A#E"},
        {"null cells, cell objects, named styles",
         ipuz(R"("styles": {"ring": {"shapebg": "circle"}})",
              R"([[{"cell": 1, "style": {"shapebg": "circle"}}, 0, {"cell": 2, "style": "ring"}],
                  [0, null, {"cell": 0, "style": {"shapebg": "square"}}]])",
              R"([[{"value": "C"}, null, "T"], ["A", null, "E"]])"),
         "rows C.T A#E\ncircles 0 2"},
        {"cells Korvel cannot hold",
         ipuz("", R"([[1, 0, 2], [0, "#", 0]])", R"([["STAR", "7", "É"], ["a", "#", ""]])"),
         "rows S.. A#.\ncut 3"},
        {"clue shapes", ipuz(R"("clues": {
                   "Across": [{"number": 1, "clue": "Cat", "enumeration": "3"}],
                   "Down:Going down": [["1", "Ca"],
                                       {"number": "2-3", "clue": "T", "enumeration": "1,1"},
                                       {"numbers": [2, 3], "clue": "Also 2"},
                                       "No number", 5, [2, 7]],
                   "Diagonal": [[1, "x"]]})"),
         "rows CAT A#E\n0,0A 3 \"Cat\"\n0,0D 2 \"Ca\" label 1\n0,2D 2 \"T\" enum 1,1 label "
         "2-3\n25,0D 0 \"Also 2\"\n25,1D 0 \"No number\"\nunplaced 2\nskipped 3"},
        {"numbers without words", ipuz(R"("clues": {"Across": [[2, "No across at 2"], [9, "No 9"]],
                           "Down": [[1, "One"], [1, "One again"]]})"),
         "rows CAT A#E\n0,0D 2 \"One\"\n0,2A 0 \"No across at 2\"\n25,0A 0 \"No 9\"\n25,1D 0 "
         "\"One again\"\nunplaced 3"},
        {"markup and references", ipuz(R"("title": "<b>Bob</b>&#39;s &lt;Grid&gt; &amp; Co",
                 "author": "&Eacute;mile &#x263A;", "copyright": "&copy; 2024 &bogus; a < b",
                 "notes": "One<br>two<BR />three",
                 "clues": {"Across": [[1, "Caf&eacute; <i>au</i> lait"]]})"),
         "rows CAT A#E\n0,0A 3 \"Café au lait\"\ntitle \"Bob's <Grid> & Co\"\nauthor \"Émile "
         "☺\"\ncopyright \"© 2024 &bogus; a < b\"\nnotes \"One\ntwo\nthree\"\nmarkup 4"},
        {"Korvel's own fields", ipuz(R"("org.korvel:unplaced": [
                   {"row": 0, "column": 2, "direction": "Down", "length": 2, "clue": "Fits",
                    "enumeration": "2", "label": ""},
                   {"row": 1, "column": 0, "direction": "Across", "length": 4, "clue": "A&amp;B",
                    "enumeration": "4", "label": "x"},
                   {"row": "1", "column": 0, "direction": "Across", "length": 4, "clue": "bad"}],
                 "org.korvel:contact": {"name": "Ann", "email": "a@b.c",
                                        "address": "1 Road<br/>Town"})"),
         "rows CAT A#E\n0,2D 2 \"Fits\"\n1,0A 4 \"A&B\" enum 4 label x\ncontact \"Ann\"\nemail "
         "\"a@b.c\"\naddress \"1 Road\nTown\"\nunplaced 1\nskipped 1"},
        {"another kind",
         ipuz("", "[[0]]", "[[1]]",
              R"("version": "http://ipuz.org/v2", "kind": ["http://ipuz.org/sudoku#1"],
                 "dimensions": {"width": 1, "height": 1})"),
         "error: The .ipuz file holds a puzzle of the kind http://ipuz.org/sudoku#1, not a "
         "crossword; Korvel opens crosswords only."},
        {"no kind", ipuz("", "[]", "[]", R"("version": "http://ipuz.org/v2", "dimensions": {})"),
         "error: The file is no .ipuz puzzle: it names no kind of puzzle."},
        {"version 3", ipuz("", "[]", "[]", R"("version": "http://ipuz.org/v3",
                                  "kind": ["http://ipuz.org/crossword#1"])"),
         "error: The .ipuz file is of version http://ipuz.org/v3; Korvel reads versions 1 and 2 "
         "of the format."},
        {"not JSON", "{\"version\": ",
         "error: The file is no .ipuz puzzle: it is not valid JSON "
         "(near byte 12)."},
        {"not an object", "[1, 2]", "error: The file is no .ipuz puzzle: it holds no JSON object."},
        {"larger than Korvel holds", ipuz("", "[]", "[]", R"("version": "http://ipuz.org/v2",
                                  "kind": ["http://ipuz.org/crossword#1"],
                                  "dimensions": {"width": 40, "height": 30})"),
         "error: The puzzle has 30 rows and 40 columns; Korvel holds 2 to 25 rows and 2 to 35 "
         "columns."},
        {"a board short of a row", ipuz("", R"([[1, 0, 2]])"),
         "error: The .ipuz \"puzzle\" board does not have the 2 rows of its dimensions."},
        {"a row short of a cell", ipuz("", R"([[1, 0, 2], [0, "#"]])"),
         "error: Row 2 of the .ipuz \"puzzle\" board does not have the 3 cells of its "
         "dimensions."},
        {"no dimensions",
         ipuz("", "[]", "[]", R"("kind": ["http://ipuz.org/crossword#1"], "dimensions": 3)"),
         "error: The .ipuz file gives no dimensions of its board."},
    };
    for (const IpuzCase& c : cases) {
        const PuzzleReadResult r = puzzleFromIpuz(c.bytes);
        EXPECT_EQ(describe(r), c.want) << c.name;
        EXPECT_EQ(r.warnings, readWarnings(r.counts)) << c.name;
        if (r.puzzle) {
            // Whatever was read writes and reads back as it is.
            const std::string again = writeIpuz(*r.puzzle, "");
            const PuzzleReadResult back = puzzleFromIpuz(again);
            ASSERT_TRUE(back.puzzle) << c.name;
            expectSamePuzzle(*back.puzzle, *r.puzzle);
            EXPECT_EQ(writeIpuz(*back.puzzle, ""), again) << c.name;
        }
    }
}

// --- .puz with clues

namespace {

// The format's clue order from its description: cells in reading order,
// at each the across word starting there, then the down word.
std::vector<ClueKey> puzOrderOf(const GridModel& g) {
    std::vector<ClueKey> order;
    const auto white = [&](int r, int c) { return g.contains(r, c) && !g.isBlack(r, c); };
    for (int r = 0; r < g.RowCount; ++r) {
        for (int c = 0; c < g.ColumnCount; ++c) {
            if (!white(r, c)) {
                continue;
            }
            if (!white(r, c - 1) && white(r, c + 1)) {
                order.push_back(
                    {static_cast<int16_t>(r), static_cast<int16_t>(c), Direction::Across});
            }
            if (!white(r - 1, c) && white(r + 1, c)) {
                order.push_back(
                    {static_cast<int16_t>(r), static_cast<int16_t>(c), Direction::Down});
            }
        }
    }
    return order;
}

// ISO-8859-1 bytes of UTF-8 text whose characters all lie below U+0100.
std::string latin1Of(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else {
            out += static_cast<char>(((b & 0x03) << 6) |
                                     (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        }
    }
    return out;
}

} // namespace

TEST(PuzzlePuz, CluesDetailsAndCirclesWalkBack) {
    std::mt19937 rng(77);
    int written = 0;
    for (int i = 0; i < 150; ++i) {
        const Puzzle p = randomPuzzle(rng, {true, true, i % 3 == 0});
        const PuzWriteResult w = writePuz(p);
        if (!w.error.empty()) {
            EXPECT_NE(w.error.find("no words"), std::string::npos) << w.error;
            continue;
        }
        ++written;
        PuzWalk walk;
        korvel::testing::expectPuzChecksums(w.bytes, &walk);
        const Puzzle want = puzPart(p);
        const std::vector<ClueKey> order = puzOrderOf(p.grid);
        ASSERT_EQ(walk.strings.size(), 3 + order.size() + 1);
        EXPECT_EQ(walk.strings[0], latin1Of(p.details.title));
        EXPECT_EQ(walk.strings[1], latin1Of(p.details.author));
        EXPECT_EQ(walk.strings[2], latin1Of(p.details.copyright));
        EXPECT_EQ(walk.strings.back(), latin1Of(p.details.notes));
        for (std::size_t k = 0; k < order.size(); ++k) {
            const auto clue = std::find_if(want.clues.begin(), want.clues.end(),
                                           [&](const Clue& c) { return c.key == order[k]; });
            EXPECT_EQ(walk.strings[3 + k], clue == want.clues.end() ? "" : latin1Of(clue->text));
        }
        std::string circles;
        for (int at : p.circles) {
            circles.resize(p.grid.RowCount * p.grid.ColumnCount, '\0');
            circles[static_cast<std::size_t>(at)] = '\x80';
        }
        EXPECT_EQ(walk.sections.count("GEXT") ? walk.sections["GEXT"] : "", circles);

        // Read back, and through .ipuz again: nothing is lost.
        const PuzzleReadResult r = puzzleFromPuz(w.bytes);
        ASSERT_TRUE(r.puzzle) << r.error;
        EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();
        expectSamePuzzle(*r.puzzle, want);
        const PuzzleReadResult viaIpuz = puzzleFromIpuz(writeIpuz(*r.puzzle, ""));
        ASSERT_TRUE(viaIpuz.puzzle) << viaIpuz.error;
        expectSamePuzzle(*viaIpuz.puzzle, want);
        EXPECT_EQ(writePuz(*viaIpuz.puzzle).bytes, w.bytes);
    }
    EXPECT_GT(written, 120);
}

TEST(PuzzlePuz, TextInIso88591OrRefused) {
    // 2 x 2 without blacks: 1 across, 1 down, 2 down, 3 across.
    struct Case {
        const char* name;
        Direction direction;
        std::string text;
        std::string written; // the clue's bytes, or the refusal
    };
    const std::vector<Case> cases = {
        {"typographic marks", Direction::Across,
         "It\xE2\x80\x99s \xE2\x80\x9C"
         "big\xE2\x80\x9D \xE2\x80\x94 "
         "4\xE2\x88\x92"
         "2\xE2\x80\xA6",
         "It's \"big\" - 4-2..."},
        {"Latin-1 letters", Direction::Across, "Caf\xC3\xA9 \xC3\x86r\xC3\xB8 \xC2\xA0\xC3\xBF",
         "Caf\xE9 \xC6r\xF8 \xA0\xFF"},
        {"euro sign", Direction::Across, "5 \xE2\x82\xAC",
         "The .puz format cannot hold the character \"\xE2\x82\xAC\" (U+20AC) in the clue of 1 "
         "across: its text is ISO-8859-1. Change it, or export as .ipuz."},
        {"CJK in a down clue", Direction::Down, "\xE6\x97\xA5",
         "The .puz format cannot hold the character \"\xE6\x97\xA5\" (U+65E5) in the clue of 1 "
         "down: its text is ISO-8859-1. Change it, or export as .ipuz."},
        {"a C1 control", Direction::Down, "x\xC2\x85",
         "The .puz format cannot hold the character U+0085 in the clue of 1 down: its text is "
         "ISO-8859-1. Change it, or export as .ipuz."},
    };
    for (const Case& c : cases) {
        Puzzle p;
        p.grid = GridModel::make(2, 2);
        p.grid.GridRows = {"AB", "CD", "??"};
        p.clues = {{{0, 0, c.direction}, 2, c.text, "", ""}};
        const PuzWriteResult w = writePuz(p);
        if (w.error.empty()) {
            PuzWalk walk;
            korvel::testing::expectPuzChecksums(w.bytes, &walk);
            ASSERT_EQ(walk.strings.size(), 8u);
            EXPECT_EQ(walk.strings[c.direction == Direction::Across ? 3 : 4], c.written) << c.name;
        } else {
            EXPECT_EQ(w.error, c.written) << c.name;
            EXPECT_TRUE(w.bytes.empty());
        }
    }
    Puzzle p;
    p.grid = GridModel::make(2, 2);
    p.grid.GridRows = {"AB", "CD", "??"};
    p.details.copyright = "\xE2\x84\x97";
    EXPECT_EQ(writePuz(p).error, "The .puz format cannot hold the character \"\xE2\x84\x97\" "
                                 "(U+2117) in the copyright: its text is ISO-8859-1. Change "
                                 "it, or export as .ipuz.");
}

// --- .puz files as they are found

namespace {

// CATS / A#ON / BOXY: clues 1A 1D 2D 3D 4A 5A.
PuzPuzzle basePuz() {
    PuzPuzzle p;
    p.width = 4;
    p.height = 3;
    p.solution = "CATSA.ONBOXY";
    p.state = "-----.------";
    p.title = "Base";
    p.author = "Me";
    p.clues = {"Pets", "Taxi", "Toy", "Sun", "Upon", "Kid"};
    p.notes = "Notes here";
    return p;
}

std::string baseFile() {
    std::string f = encodePuz(basePuz());
    korvel::testing::refreshPuzChecksums(f);
    return f;
}

const std::string BaseRead = "rows CATS A#ON BOXY\n0,0A 4 \"Pets\"\n0,0D 3 \"Taxi\"\n0,2D 3 "
                             "\"Toy\"\n0,3D 3 \"Sun\"\n1,2A 2 \"Upon\"\n2,0A 4 \"Kid\"\ntitle "
                             "\"Base\"\nauthor \"Me\"\nnotes \"Notes here\"";

// The file with its header's version, type or scramble tag changed and the
// checksums made right again.
std::string withHeader(std::string f, std::size_t at, std::string_view bytes) {
    f.replace(at, bytes.size(), bytes);
    korvel::testing::refreshPuzChecksums(f);
    return f;
}

std::string withBoard(std::string f, const std::string& solution) {
    f.replace(0x34, solution.size(), solution);
    korvel::testing::refreshPuzChecksums(f);
    return f;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

struct PuzCase {
    const char* name;
    std::string bytes;
    std::string want;
    // What the strict reader says: "" when it reads the file.
    std::string strict;
};

} // namespace

TEST(PuzzlePuz, FilesAsTheyAreFound) {
    const std::string base = baseFile();
    PuzPuzzle v2 = basePuz();
    v2.version = "2.0";
    v2.clues[0] = "Caf\xC3\xA9 \xE2\x80\x9C"
                  "au lait\xE2\x80\x9D \xE6\x97\xA5";
    PuzPuzzle large = basePuz();
    large.width = 40;
    large.height = 30;
    large.solution = std::string(1200, 'A');
    large.state = std::string(1200, '-');
    PuzPuzzle fewer = basePuz();
    fewer.clues.pop_back();
    std::string badSum = base;
    badSum[0] = static_cast<char>(badSum[0] ^ 1);
    std::string scrambled = withBoard(base, "TACSA.NOYBXO");
    scrambled = withHeader(scrambled, 0x32, std::string("\x04\x00", 2));
    std::string gextBadSum = base + korvel::testing::puzSection("GEXT", std::string(12, '\x80'));
    gextBadSum[gextBadSum.size() - 14] ^= 1;

    const std::vector<PuzCase> cases = {
        {"as written", base, BaseRead, ""},
        {"data before the header", "From: a mailer\r\n\r\n" + base, BaseRead, ""},
        {"version 1.2 with notes", withHeader(base, 0x18, "1.2"), BaseRead, ""},
        {"version 2.0 in UTF-8", encodePuz(v2),
         replaced(BaseRead, "Pets",
                  "Caf\xC3\xA9 \xE2\x80\x9C"
                  "au lait\xE2\x80\x9D \xE6\x97\xA5"),
         ""},
        {"version 1.3 in ISO-8859-1 and the Windows marks", encodePuz([] {
             PuzPuzzle p = basePuz();
             p.clues[0] = "Caf\xE9 \x93"
                          "au lait\x94 \x80";
             return p;
         }()),
         replaced(BaseRead, "Pets",
                  "Caf\xC3\xA9 \xE2\x80\x9C"
                  "au lait\xE2\x80\x9D \xE2\x82\xAC"),
         ""},
        {"scrambled", scrambled,
         replaced(BaseRead, "rows CATS A#ON BOXY", "rows .... .#.. ....") + "\nscrambled 1",
         "The .puz solution is scrambled."},
        {"diagramless", withHeader(withBoard(base, "CATSA:ONBOXY"), 0x30, "\x01\x04"), BaseRead,
         ""},
        {"rebus squares",
         base +
             korvel::testing::puzSection("GRBS", std::string("\x01\0\0\0\0\0\0\0\0\x02\0\0", 12)) +
             korvel::testing::puzSection("RTBL", " 0:STAR; 1:O;"),
         replaced(BaseRead, "rows CATS", "rows SATS") + "\nrebus 1", ""},
        {"circles, a timer and other flags",
         base + korvel::testing::puzSection("LTIM", "42,0") +
             korvel::testing::puzSection("GEXT",
                                         std::string("\x80\0\0\x20\0\0\x80\0\0\0\0\xC0", 12)),
         replaced(BaseRead, "\n0,0A", "\ncircles 0 6 11\n0,0A"), ""},
        {"a circle section failing its checksum", gextBadSum, BaseRead + "\nsections 1", ""},
        {"a section cut short", base + std::string("GEXT\x0C\x00\x00\x00\x80", 9),
         BaseRead + "\nsections 1", ""},
        {"a wrong checksum", badSum, BaseRead + "\nchecksums 1",
         "The .puz file checksum does not match."},
        {"cells Korvel cannot hold", withBoard(base, "C7TSA.ONBOX\xC9"),
         replaced(BaseRead, "CATS A#ON BOXY", "C.TS A#ON BOX.") + "\ncut 2", ""},
        {"fewer clues than words", encodePuz(fewer), replaced(BaseRead, "\n2,0A 4 \"Kid\"", ""),
         ""},
        {"larger than Korvel holds", encodePuz(large),
         "error: The puzzle has 30 rows and 40 columns; Korvel holds 2 to 25 rows and 2 to 35 "
         "columns.",
         ""},
        {"not a .puz", "<html><body>ACROSS and DOWN</body></html>",
         "error: The file is not a .puz file (no ACROSS&DOWN mark).",
         "The file is not a .puz file (no ACROSS&DOWN mark)."},
        {"a header cut short", base.substr(0, 40), "error: The file is shorter than a .puz header.",
         "The file is shorter than a .puz header."},
    };
    for (const PuzCase& c : cases) {
        const PuzzleReadResult r = puzzleFromPuz(c.bytes);
        EXPECT_EQ(describe(r), c.want) << c.name;
        const PuzReadResult strict = readPuz(c.bytes);
        EXPECT_EQ(strict.error, c.strict) << c.name;
        if (r.puzzle) {
            std::vector<std::string> want = readWarnings(r.counts);
            if (std::string_view(c.name) == "fewer clues than words") {
                want.push_back("The file has 5 clues for the grid's 6 words; they were given to "
                               "the words in order.");
            }
            EXPECT_EQ(r.warnings, want) << c.name;
            // Through .ipuz, nothing more is lost.
            const PuzzleReadResult back = puzzleFromIpuz(writeIpuz(*r.puzzle, ""));
            ASSERT_TRUE(back.puzzle) << c.name;
            expectSamePuzzle(*back.puzzle, *r.puzzle);
        }
    }
}

TEST(PuzzlePuz, EveryTruncationIsRefusedOrKeepsTheStrings) {
    const std::string base = baseFile();
    const PuzzleReadResult whole = puzzleFromPuz(base);
    ASSERT_TRUE(whole.puzzle);
    const std::string file = base + korvel::testing::puzSection("GEXT", std::string(12, '\x80'));
    for (std::size_t len = 0; len < file.size(); ++len) {
        const PuzzleReadResult r = puzzleFromPuz(file.substr(0, len));
        if (len < base.size()) {
            EXPECT_FALSE(r.puzzle) << len;
            EXPECT_FALSE(r.error.empty()) << len;
            continue;
        }
        ASSERT_TRUE(r.puzzle) << len << r.error;
        EXPECT_EQ(rowsOf(r.puzzle->grid), rowsOf(whole.puzzle->grid));
        EXPECT_EQ(r.puzzle->clues, whole.puzzle->clues);
        EXPECT_EQ(r.puzzle->details, whole.puzzle->details);
        // The section counts once its data is whole; its closing NUL may go.
        const bool dataWhole = len + 1 >= file.size();
        EXPECT_EQ(r.puzzle->circles.size(), dataWhole ? 11u : 0u) << len;
        EXPECT_EQ(r.counts.sectionsSkipped, !dataWhole && len >= base.size() + 8 ? 1 : 0) << len;
    }
}

// --- files

TEST(PuzzleFiles, SaveAndLoadByExtension) {
    korvel::testing::TempDir dir;
    std::mt19937 rng(5);
    Puzzle p = randomPuzzle(rng, {true, true, false});
    p.details.title = "Spring";
    const std::string ipuzPath = dir.file("Spring.IPUZ");
    std::string error;
    ASSERT_TRUE(savePuzzleFile(ipuzPath, p, error)) << error;
    EXPECT_EQ(korvel::testing::readFile(ipuzPath), writeIpuz(p, ""));
    PuzzleReadResult r = loadPuzzleFile(ipuzPath);
    ASSERT_TRUE(r.puzzle) << r.error;
    expectSamePuzzle(*r.puzzle, p);

    // Without a title of its own, the file's name gives it.
    Puzzle untitled = p;
    untitled.details.title.clear();
    ASSERT_TRUE(savePuzzleFile(dir.file("Autumn.ipuz"), untitled, error)) << error;
    r = loadPuzzleFile(dir.file("Autumn.ipuz"));
    ASSERT_TRUE(r.puzzle) << r.error;
    EXPECT_EQ(r.puzzle->details.title, "Autumn");

    const std::string puzPath = dir.file("Spring.puz");
    if (savePuzzleFile(puzPath, p, error)) {
        r = loadPuzzleFile(puzPath);
        ASSERT_TRUE(r.puzzle) << r.error;
        expectSamePuzzle(*r.puzzle, puzPart(p));
    }

    ASSERT_TRUE(savePuzzleFile(dir.file("grid.kvl"), p, error)) << error;
    r = loadPuzzleFile(dir.file("grid.kvl"));
    ASSERT_TRUE(r.puzzle) << r.error;
    EXPECT_EQ(rowsOf(r.puzzle->grid), rowsOf(p.grid));
    EXPECT_FALSE(r.puzzle->hasMoreThanGrid());

    EXPECT_FALSE(savePuzzleFile(dir.file("grid.txt"), p, error));
    EXPECT_EQ(error,
              dir.file("grid.txt") + " names no puzzle file Korvel saves (.kvl, .puz or .ipuz).");
}

TEST(PuzzleFiles, RefusalsNameTheFileAndTheCause) {
    korvel::testing::TempDir dir;
    const auto load = [](const std::string& path) { return loadPuzzleFile(path).error; };
    EXPECT_EQ(load(dir.file("a.txt")),
              dir.file("a.txt") + " is not a puzzle file Korvel opens (.kvl, .puz or .ipuz).");
    EXPECT_EQ(load(dir.file("none.puz")),
              dir.file("none.puz") + " cannot be opened: No such file or directory");
    ASSERT_EQ(mkfifo(dir.file("pipe.ipuz").c_str(), 0600), 0);
    EXPECT_EQ(load(dir.file("pipe.ipuz")), dir.file("pipe.ipuz") + " is a FIFO");
    // The position counts in the file, the JSONP wrapper included.
    korvel::testing::writeFile(dir.file("bad.ipuz"), "ipuz({\"a\": x})");
    EXPECT_EQ(load(dir.file("bad.ipuz")), dir.file("bad.ipuz") +
                                              ": The file is no .ipuz puzzle: it is not valid "
                                              "JSON (near byte 12).");
    for (const PuzzleFileType& type : PuzzleFileTypes) {
        // One byte over the limit, as a sparse file.
        const std::string path = dir.file("big" + std::string(type.extension));
        korvel::testing::writeFile(path, "");
        ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(type.maxBytes + 1)), 0);
        EXPECT_NE(load(path).find("is larger than " + std::to_string(type.maxBytes) + " bytes"),
                  std::string::npos)
            << path;
    }
}

TEST(PuzzleFiles, AFailedSaveLeavesTheOldFile) {
    korvel::testing::TempDir dir;
    std::mt19937 rng(9);
    const Puzzle p = randomPuzzle(rng, {true, false, true});
    const std::string path = dir.file("kept.ipuz");
    korvel::testing::writeFile(path, "old bytes");
    std::string error;
    {
        const korvel::testing::FileSizeLimit limit(64);
        EXPECT_FALSE(savePuzzleFile(path, p, error));
    }
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_EQ(korvel::testing::readFile(path), "old bytes");

    // A .puz the format refuses writes nothing.
    Puzzle euro = p;
    euro.details.title = "\xE2\x82\xAC";
    korvel::testing::writeFile(dir.file("kept.puz"), "old");
    EXPECT_FALSE(savePuzzleFile(dir.file("kept.puz"), euro, error));
    EXPECT_NE(error.find("U+20AC"), std::string::npos) << error;
    EXPECT_EQ(korvel::testing::readFile(dir.file("kept.puz")), "old");
}
