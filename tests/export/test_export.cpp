// SPDX-License-Identifier: GPL-3.0-or-later
// The export formats against independent oracles: a numbering written from
// the word runs, a JSON reader of its own, the .puz checksums computed from
// the published description, and golden files of one small grid.
#include "exportformat.h"
#include "celltext.h"
#include "ipuzfile.h"
#include "jsonvalue.h"
#include "kvlfile.h"
#include "puzfile.h"
#include "puzwalker.h"
#include "svggrid.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <tuple>

using namespace korvel;
using korvel::testing::expectPuzChecksums;
using korvel::testing::Json;
using korvel::testing::JsonParser;
using korvel::testing::le16;

namespace {

// --- oracles

// Words found from the runs: every maximal run of two or more non-black cells
// in a row or column is a word. Cells are then numbered in reading order
// where at least one word starts.
struct Word {
    int row, column, length;
    bool across;
};

std::vector<Word> runsOf(const GridModel& g) {
    std::vector<Word> words;
    for (int across = 1; across >= 0; --across) {
        const int lines = across ? g.RowCount : g.ColumnCount;
        const int cells = across ? g.ColumnCount : g.RowCount;
        for (int l = 0; l < lines; ++l) {
            int start = -1;
            for (int k = 0; k <= cells; ++k) {
                const bool open = k < cells && !(across ? g.isBlack(l, k) : g.isBlack(k, l));
                if (open && start < 0) {
                    start = k;
                } else if (!open && start >= 0) {
                    if (k - start >= 2) {
                        words.push_back(across ? Word{l, start, k - start, true}
                                               : Word{start, l, k - start, false});
                    }
                    start = -1;
                }
            }
        }
    }
    return words;
}

struct Oracle {
    std::vector<int> numbers;
    std::vector<std::tuple<int, int, int, int>> across, down; // number, row, column, length
    std::vector<std::pair<int, bool>> puzOrder;
};

Oracle oracle(const GridModel& g) {
    Oracle o;
    const std::vector<Word> words = runsOf(g);
    std::vector<char> starts(static_cast<std::size_t>(g.RowCount * g.ColumnCount), 0);
    for (const Word& w : words) {
        starts[static_cast<std::size_t>(w.row * g.ColumnCount + w.column)] = 1;
    }
    o.numbers.assign(starts.size(), 0);
    int n = 0;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        if (starts[i]) {
            o.numbers[i] = ++n;
        }
    }
    for (const Word& w : words) {
        const int num = o.numbers[static_cast<std::size_t>(w.row * g.ColumnCount + w.column)];
        (w.across ? o.across : o.down).emplace_back(num, w.row, w.column, w.length);
        o.puzOrder.emplace_back(num, w.across);
    }
    std::sort(o.across.begin(), o.across.end());
    std::sort(o.down.begin(), o.down.end());
    // By number; across (true) before down (false) for the same number.
    std::sort(o.puzOrder.begin(), o.puzOrder.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second > b.second;
    });
    return o;
}

GridModel maskGrid(int rows, int cols, unsigned mask, char fill = EmptyCell) {
    GridModel g = GridModel::make(static_cast<int16_t>(rows), static_cast<int16_t>(cols));
    for (int i = 0; i < rows * cols; ++i) {
        // A mask has 32 bits; the cells past them are never black.
        g.setCell(i / cols, i % cols, i < 32 && ((mask >> i) & 1) ? BLACK : fill);
    }
    return g;
}

GridModel randomGrid(std::mt19937& rng, bool filled) {
    std::uniform_int_distribution<int> rows(MinRows, MaxRows), cols(MinColumns, MaxColumns);
    std::uniform_int_distribution<int> letter('A', 'Z');
    std::uniform_real_distribution<double> u(0, 1);
    GridModel g = GridModel::make(static_cast<int16_t>(rows(rng)), static_cast<int16_t>(cols(rng)));
    const double density = u(rng) * 0.6;
    for (int r = 0; r < g.RowCount; ++r) {
        for (int c = 0; c < g.ColumnCount; ++c) {
            const double x = u(rng);
            g.setCell(r, c,
                      x < density               ? (x < density / 8 ? AtBlack : BLACK)
                      : !filled && u(rng) < 0.3 ? EmptyCell
                                                : static_cast<char>(letter(rng)));
        }
    }
    return g;
}

std::vector<std::tuple<int, int, int, int>> asTuples(std::span<const Slot> list) {
    std::vector<std::tuple<int, int, int, int>> t;
    for (const Slot& e : list) {
        t.emplace_back(e.number, e.row, e.column, e.length);
    }
    return t;
}

void expectMatchesOracle(const GridModel& g) {
    const Oracle o = oracle(g);
    const Slots e = Slots::of(g);
    ASSERT_EQ(e.numbers(), o.numbers);
    ASSERT_EQ(asTuples(e.across()), o.across);
    ASSERT_EQ(asTuples(e.down()), o.down);
    std::vector<std::pair<int, bool>> order;
    for (const PuzClue& c : puzClueOrder(e)) {
        order.emplace_back(c.number, c.across);
    }
    ASSERT_EQ(order, o.puzOrder);
}

Json parseIpuz(const std::string& bytes) {
    const std::optional<Json> doc = JsonParser(bytes).parse();
    EXPECT_TRUE(doc.has_value()) << bytes;
    return doc.value_or(Json{});
}

// Checks an .ipuz document against the grid cell by cell.
void expectIpuzMatches(const Json& d, const GridModel& g) {
    const Oracle o = oracle(g);
    EXPECT_EQ(d["version"].text, "http://ipuz.org/v2");
    ASSERT_EQ(d["kind"].items.size(), 1u);
    EXPECT_EQ(d["kind"][0].text, "http://ipuz.org/crossword#1");
    EXPECT_EQ(d["dimensions"]["width"].number, g.ColumnCount);
    EXPECT_EQ(d["dimensions"]["height"].number, g.RowCount);
    ASSERT_EQ(d["puzzle"].items.size(), static_cast<std::size_t>(g.RowCount));
    ASSERT_EQ(d["solution"].items.size(), static_cast<std::size_t>(g.RowCount));
    for (int r = 0; r < g.RowCount; ++r) {
        ASSERT_EQ(d["puzzle"][r].items.size(), static_cast<std::size_t>(g.ColumnCount));
        for (int c = 0; c < g.ColumnCount; ++c) {
            const Json& p = d["puzzle"][r][c];
            const Json& s = d["solution"][r][c];
            const char ch = g.cell(r, c);
            if (isBlackCell(ch)) {
                EXPECT_EQ(p.kind, Json::String);
                EXPECT_EQ(p.text, "#");
                EXPECT_EQ(s.text, "#");
                continue;
            }
            EXPECT_EQ(p.kind, Json::Number);
            EXPECT_EQ(p.number, o.numbers[static_cast<std::size_t>(r * g.ColumnCount + c)]);
            if (ch == EmptyCell) {
                EXPECT_EQ(s.kind, Json::Null);
            } else {
                EXPECT_EQ(s.text, std::string(1, ch));
            }
        }
    }
    for (const auto& [name, list] : {std::pair{"Across", &o.across}, std::pair{"Down", &o.down}}) {
        const Json& clues = d["clues"][name];
        ASSERT_EQ(clues.items.size(), list->size());
        for (std::size_t i = 0; i < list->size(); ++i) {
            ASSERT_EQ(clues[i].items.size(), 2u);
            EXPECT_EQ(clues[i][0].number, std::get<0>((*list)[i]));
            EXPECT_EQ(clues[i][1].kind, Json::String);
            EXPECT_EQ(clues[i][1].text, "");
        }
    }
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) {
        ++n;
    }
    return n;
}

const std::string Golden = KORVEL_EXPORT_GOLDEN;

GridModel goldenGrid() {
    const KvlReadResult r = readKvl(korvel::testing::readFile(Golden + "/small.kvl"));
    EXPECT_TRUE(r.grid.has_value()) << r.error;
    return r.grid.value_or(GridModel{});
}

} // namespace

// --- numbering and clue order

TEST(Numbering, EveryBlackPatternOfSmallGrids) {
    // Every placement of blacks on grids up to 4 x 4 and 3 x 5: the words,
    // their numbers and the .puz clue order all agree with the oracle.
    for (auto [rows, cols] : {std::pair{2, 2},
                              {2, 3},
                              {3, 2},
                              {3, 3},
                              {2, 5},
                              {3, 4},
                              {4, 3},
                              {4, 4},
                              {3, 5},
                              {5, 3},
                              {2, 8}}) {
        for (unsigned mask = 0; mask < (1u << (rows * cols)); ++mask) {
            expectMatchesOracle(maskGrid(rows, cols, mask));
        }
    }
}

TEST(Numbering, RandomGridsUpToTheLargest) {
    std::mt19937 rng(15);
    for (int i = 0; i < 500; ++i) {
        expectMatchesOracle(randomGrid(rng, false));
    }
}

TEST(Numbering, TheDisplayedExamples) {
    // The window's own examples: a 3 x 3 without blacks numbers its top row
    // and left column 1 to 5; a 2 x 2 with (0,1) black has a down word at 1
    // and an across word at 2.
    const Slots open = Slots::of(maskGrid(3, 3, 0));
    EXPECT_EQ(asTuples(open.across()), (std::vector<std::tuple<int, int, int, int>>{
                                           {1, 0, 0, 3}, {4, 1, 0, 3}, {5, 2, 0, 3}}));
    EXPECT_EQ(asTuples(open.down()), (std::vector<std::tuple<int, int, int, int>>{
                                         {1, 0, 0, 3}, {2, 0, 1, 3}, {3, 0, 2, 3}}));
    const Slots corner = Slots::of(maskGrid(2, 2, 0b0010));
    EXPECT_EQ(asTuples(corner.down()), (std::vector<std::tuple<int, int, int, int>>{{1, 0, 0, 2}}));
    EXPECT_EQ(asTuples(corner.across()),
              (std::vector<std::tuple<int, int, int, int>>{{2, 1, 0, 2}}));
}

// --- .ipuz

TEST(Ipuz, ParsesBackToTheGridOnRandomGrids) {
    std::mt19937 rng(150);
    for (int i = 0; i < 200; ++i) {
        const GridModel g = randomGrid(rng, i % 2 == 0);
        const Json d = parseIpuz(writeIpuz(g, "Random"));
        expectIpuzMatches(d, g);
        EXPECT_EQ(d["title"].text, "Random");
    }
}

TEST(Ipuz, EveryBlackPatternOfA3x3) {
    for (unsigned mask = 0; mask < 512; ++mask) {
        const GridModel g = maskGrid(3, 3, mask, 'E');
        expectIpuzMatches(parseIpuz(writeIpuz(g, "")), g);
    }
}

TEST(Ipuz, TitleAndLettersBecomeValidUtf8) {
    GridModel g = maskGrid(2, 3, 0, 'A');
    g.setCell(0, 1, '\xC9'); // É in Latin-1, the window's reading of the byte
    g.setCell(0, 2, '\x01'); // a control byte: no letter
    g.setCell(1, 0, ' ');
    const std::string title = "Say \"hi\" \\ tab\t caf\xC3\xA9 bad\xFF end";
    const Json d = parseIpuz(writeIpuz(g, title));
    EXPECT_EQ(d["title"].text, "Say \"hi\" \\ tab\t caf\xC3\xA9 bad\xEF\xBF\xBD end");
    EXPECT_EQ(d["solution"][0][1].text, "\xC3\x89");
    EXPECT_EQ(d["solution"][0][2].kind, Json::Null);
    EXPECT_EQ(d["solution"][1][0].kind, Json::Null);
}

TEST(Ipuz, ValidUtf8KeepsGoodSequencesAndReplacesTheRest) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"plain", "plain"},
        {"\xC3\xA9", "\xC3\xA9"},
        {"\xE2\x82\xAC", "\xE2\x82\xAC"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                 // overlong
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}, // surrogate
        {"\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD"},                 // cut short
        {"a\x80z", "a\xEF\xBF\xBDz"},
    };
    for (const auto& [in, want] : cases) {
        EXPECT_EQ(validUtf8(in), want) << in;
    }
}

// --- .puz

TEST(Puz, ChecksumsAgreeWithTheFormatsDescription) {
    std::mt19937 rng(1515);
    int written = 0;
    for (int i = 0; i < 300; ++i) {
        const GridModel g = randomGrid(rng, true);
        const PuzWriteResult w = writePuz(g);
        if (!w.error.empty()) {
            continue; // a grid without words
        }
        ++written;
        expectPuzChecksums(w.bytes);
    }
    EXPECT_GT(written, 250);
}

TEST(Puz, ChecksumsCoverTitlesCluesAndNotes) {
    PuzPuzzle p;
    p.width = 3;
    p.height = 2;
    p.solution = "CAT.A.";
    p.state = "---.-.";
    p.title = "Title";
    p.copyright = "(c) nobody";
    p.clues = {"Feline", "", "Cat, in short"};
    p.notes = "A note";
    const std::string bytes = encodePuz(p);
    expectPuzChecksums(bytes);
    const PuzReadResult back = readPuz(bytes);
    ASSERT_TRUE(back.puzzle) << back.error;
    EXPECT_EQ(back.puzzle->clues, p.clues);
    EXPECT_EQ(back.puzzle->notes, p.notes);
    EXPECT_EQ(back.puzzle->author, "");
    EXPECT_EQ(encodePuz(*back.puzzle), bytes);
}

TEST(Puz, RoundTripThroughTheReader) {
    std::mt19937 rng(51);
    for (int i = 0; i < 200; ++i) {
        GridModel g = randomGrid(rng, true);
        const PuzWriteResult w = writePuz(g);
        if (!w.error.empty()) {
            continue;
        }
        const PuzReadResult r = readPuz(w.bytes);
        ASSERT_TRUE(r.puzzle) << r.error;
        const PuzPuzzle& p = *r.puzzle;
        EXPECT_EQ(p.clues.size(), puzClueOrder(Slots::of(g)).size());
        EXPECT_TRUE(p.title.empty() && p.author.empty() && p.copyright.empty() && p.notes.empty());
        for (std::size_t k = 0; k < p.state.size(); ++k) {
            EXPECT_EQ(p.state[k], p.solution[k] == '.' ? '.' : '-');
        }
        std::string error;
        const std::optional<GridModel> back = gridFromPuz(p, error);
        ASSERT_TRUE(back) << error;
        g.normalizeBlacks();
        EXPECT_EQ(std::vector<std::string>(back->GridRows.begin(), back->GridRows.end() - 1),
                  std::vector<std::string>(g.GridRows.begin(), g.GridRows.end() - 1));
        EXPECT_EQ(writePuz(*back).bytes, w.bytes);
    }
}

TEST(Puz, EveryChangedByteOfTheBoardsOrCountsIsCaught) {
    const std::string bytes = writePuz(goldenGrid()).bytes;
    const std::size_t boards = 0x34 + 2 * 12;
    for (std::size_t at = 0x2C; at < boards; ++at) {
        std::string bad = bytes;
        bad[at] = static_cast<char>(bad[at] ^ 0x20);
        EXPECT_FALSE(readPuz(bad).puzzle) << "byte " << at;
    }
    for (std::size_t at : {0x00, 0x01, 0x0E, 0x0F, 0x10, 0x13, 0x14, 0x17}) {
        std::string bad = bytes;
        bad[at] = static_cast<char>(bad[at] ^ 0x01);
        EXPECT_NE(readPuz(bad).error, "") << "byte " << at;
    }
}

TEST(Puz, ReaderRefusesBrokenFiles) {
    const std::string good = writePuz(goldenGrid()).bytes;
    for (std::size_t len = 0; len < good.size(); ++len) {
        EXPECT_FALSE(readPuz(good.substr(0, len)).puzzle) << len;
    }
    std::string noMagic = good;
    noMagic[3] = 'X';
    EXPECT_NE(readPuz(noMagic).error.find("ACROSS&DOWN"), std::string::npos);
    std::string scrambled = good;
    scrambled[0x32] = 4;
    EXPECT_NE(readPuz(scrambled).error.find("scrambled"), std::string::npos);
    // A clue count far beyond the bytes fails on the strings, allocating
    // nothing for the count.
    std::string manyClues = good;
    manyClues[0x2E] = '\xFF';
    manyClues[0x2F] = '\xFF';
    EXPECT_NE(readPuz(manyClues).error.find("strings"), std::string::npos);
    // Sections after the notes are skipped.
    EXPECT_TRUE(readPuz(good + std::string("GEXT\x0C\x00", 6)).puzzle);
}

TEST(Puz, RefusesWhatTheFormatCannotHold) {
    GridModel g = goldenGrid();
    g.setCell(2, 1, EmptyCell);
    g.setCell(0, 3, ' ');
    PuzWriteResult w = writePuz(g);
    EXPECT_TRUE(w.bytes.empty());
    EXPECT_EQ(w.error, "The .puz format needs every answer letter, and 2 white cells are still "
                       "empty (the first in row 1, column 4). Fill the grid, then export it "
                       "again.");

    g = goldenGrid();
    g.setCell(1, 0, 'a');
    w = writePuz(g);
    EXPECT_TRUE(w.bytes.empty());
    EXPECT_NE(w.error.find("row 2, column 1"), std::string::npos) << w.error;

    w = writePuz(maskGrid(3, 3, 0b101010101, 'A')); // no run of two
    EXPECT_TRUE(w.bytes.empty());
    EXPECT_NE(w.error.find("no words"), std::string::npos);

    // Digits and Latin-1 capitals fit.
    g = goldenGrid();
    g.setCell(0, 0, '7');
    g.setCell(0, 1, '\xC9');
    EXPECT_EQ(writePuz(g).error, "");
}

TEST(Puz, LargestGridFits) {
    GridModel g = maskGrid(MaxRows, MaxColumns, 0, 'Q');
    const PuzWriteResult w = writePuz(g);
    ASSERT_EQ(w.error, "");
    EXPECT_EQ(static_cast<unsigned char>(w.bytes[0x2C]), MaxColumns);
    EXPECT_EQ(static_cast<unsigned char>(w.bytes[0x2D]), MaxRows);
    EXPECT_EQ(le16(w.bytes, 0x2E), MaxRows + MaxColumns);
    expectPuzChecksums(w.bytes);
}

// --- SVG

TEST(Svg, OneElementPerCellLineAndNumber) {
    std::mt19937 rng(5);
    for (int i = 0; i < 100; ++i) {
        const GridModel g = randomGrid(rng, i % 2 == 0);
        int blacks = 0, letters = 0;
        for (int r = 0; r < g.RowCount; ++r) {
            for (int c = 0; c < g.ColumnCount; ++c) {
                blacks += g.isBlack(r, c);
                letters += !g.isBlack(r, c) && g.cell(r, c) != EmptyCell;
            }
        }
        const std::vector<int> n = Slots::of(g).numbers();
        const auto numbered = static_cast<std::size_t>(
            std::count_if(n.begin(), n.end(), [](int v) { return v > 0; }));
        for (bool solution : {false, true}) {
            const std::string svg = writeSvg(g, "t", solution);
            EXPECT_EQ(count(svg, "<rect "), 1u + static_cast<std::size_t>(blacks));
            EXPECT_EQ(count(svg, "<line "),
                      static_cast<std::size_t>(g.RowCount + g.ColumnCount + 2));
            // One more for the title above the grid.
            EXPECT_EQ(count(svg, "<text "),
                      1 + numbered + (solution ? static_cast<std::size_t>(letters) : 0));
            EXPECT_EQ(count(svg, "<g "), count(svg, "</g>"));
            EXPECT_EQ(svg.rfind("</svg>\n"), svg.size() - 7);
        }
    }
}

TEST(Svg, EscapesTitleAndLetters) {
    GridModel g = maskGrid(2, 2, 0, '&');
    g.setCell(0, 0, '<');
    const std::string svg = writeSvg(g, "a<b & \x02", true);
    EXPECT_NE(svg.find("<title>a&lt;b &amp;  </title>"), std::string::npos);
    EXPECT_NE(svg.find(">&lt;</text>"), std::string::npos);
    EXPECT_NE(svg.find(">&amp;</text>"), std::string::npos);
}

// Every character of the text is one XML 1.0 allows (its Char production):
// tab, line feed, carriage return, U+0020 to U+D7FF, U+E000 to U+FFFD,
// U+10000 to U+10FFFF, each in well-formed UTF-8.
bool onlyXmlChars(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int len = b < 0x80         ? 1
                        : (b >> 5) == 6  ? 2
                        : (b >> 4) == 14 ? 3
                        : (b >> 3) == 30 ? 4
                                         : 0;
        if (len == 0 || i + static_cast<std::size_t>(len) > text.size()) {
            return false;
        }
        unsigned code = len == 1 ? b : b & (0x7F >> len);
        for (int k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (c & 0x3F);
        }
        const unsigned least[] = {0, 0, 0x80, 0x800, 0x10000};
        const bool allowed =
            code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
            (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
        if (code < least[len] || !allowed) {
            return false;
        }
        i += static_cast<std::size_t>(len);
    }
    return true;
}

// A title made of any bytes (a file named U+FFFE, a control, a broken
// sequence) gives a picture of XML characters only; the characters XML
// forbids become U+FFFD, and every allowed one stays.
TEST(Svg, TitleHoldsOnlyCharactersXmlAllows) {
    const GridModel g = maskGrid(2, 2, 0, 'A');
    const std::vector<std::pair<std::string, std::string>> titles = {
        {"\xEF\xBF\xBE", "\xEF\xBF\xBD"},
        {"a\xEF\xBF\xBF"
         "b",
         "a\xEF\xBF\xBD"
         "b"},
        {"\xEF\xBF\xBD\xEF\xBF\xBC", "\xEF\xBF\xBD\xEF\xBF\xBC"},
        {"\xF4\x8F\xBF\xBF\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF\xF0\x9F\x98\x80"},
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\x1b\x7f\xC2\x85", " \x7f\xC2\x85"},
    };
    for (const auto& [title, shown] : titles) {
        for (bool solution : {false, true}) {
            const std::string svg = writeSvg(g, title, solution);
            EXPECT_TRUE(onlyXmlChars(svg)) << title;
            EXPECT_NE(svg.find("<title>" + shown + "</title>"), std::string::npos) << title;
        }
    }
    // Every byte value in every position of a short title.
    for (int b = 0; b < 256; ++b) {
        for (const std::string& title : {std::string(1, static_cast<char>(b)),
                                         "\xEF\xBF" + std::string(1, static_cast<char>(b)),
                                         "\xEF" + std::string(1, static_cast<char>(b)) + "\xBE"}) {
            EXPECT_TRUE(onlyXmlChars(writeSvg(g, title, true))) << b;
        }
    }
}

TEST(Svg, TitleAboveTheGridIsNeverCut) {
    // The title's text element, its lines put back together, is the whole
    // title at every length, and no line is wider than the grid at the
    // generous width of a character the picture assumes.
    const std::regex text(
        "<text x=\"1\" y=\"([0-9.]+)\"[^>]* font-size=\"([0-9.]+)\"[^>]*>(.*?)</text>");
    std::string title;
    for (int words = 0; words < 40; ++words) {
        title += (words ? " w" : "Città") + std::string(static_cast<std::size_t>(words % 7), 'x');
        for (int columns : {2, 9, 35}) {
            const std::string svg = writeSvg(maskGrid(3, columns, 0), title, false);
            std::smatch m;
            ASSERT_TRUE(std::regex_search(svg, m, text)) << title;
            const double size = std::stod(m[2]);
            EXPECT_GE(size, 3);
            EXPECT_LE(size, 6);
            std::string lines = std::regex_replace(
                std::regex_replace(std::string(m[3]), std::regex("</tspan>"), ""),
                std::regex("<tspan[^>]*>"), "\n");
            std::size_t count = 1, longest = 0, length = 0;
            for (char ch : lines + "\n") {
                if (ch == '\n') {
                    longest = std::max(longest, length);
                    length = 0;
                    ++count;
                } else {
                    length += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
                }
            }
            EXPECT_LE(static_cast<double>(longest) * 0.7 * size, columns * 10 + 1e-9) << title;
            std::replace(lines.begin(), lines.end(), '\n', ' ');
            EXPECT_EQ(lines, title) << columns;
            // The grid starts under the last line.
            std::smatch grid;
            ASSERT_TRUE(
                std::regex_search(svg, grid, std::regex("<line x1=\"1\" y1=\"([0-9.]+)\"")));
            EXPECT_GT(std::stod(grid[1]),
                      std::stod(m[1]) + static_cast<double>(count - 2) * size * 1.25);
        }
    }
    // No title, no room for one: the picture of old.
    const std::string untitled = writeSvg(maskGrid(2, 2, 0), "", false);
    EXPECT_EQ(untitled.find("font-weight"), std::string::npos);
    EXPECT_NE(untitled.find("height=\"22mm\""), std::string::npos);
}

// --- names

TEST(ExportNames, FormatsExtensionsAndPaths) {
    for (ExportFormat f :
         {ExportFormat::Ipuz, ExportFormat::Puz, ExportFormat::Svg, ExportFormat::Pdf}) {
        EXPECT_EQ(formatFromName(formatName(f)), f);
        EXPECT_EQ(formatFromPath("x" + std::string(formatExtension(f))), f);
    }
    EXPECT_EQ(formatFromName("PDF"), std::nullopt);
    EXPECT_EQ(formatFromPath("GRID.PuZ"), ExportFormat::Puz);
    EXPECT_EQ(formatFromPath("grid.kvl"), std::nullopt);
    EXPECT_EQ(formatFromPath("ipuz"), std::nullopt);
    EXPECT_EQ(exportPath("a/grid", ExportFormat::Ipuz), "a/grid.ipuz");
    EXPECT_EQ(exportPath("a/grid.IPUZ", ExportFormat::Ipuz), "a/grid.IPUZ");
    EXPECT_EQ(exportPath("grid.puz", ExportFormat::Pdf), "grid.puz.pdf");
    EXPECT_EQ(solutionSvgPath("/t/grid.svg"), "/t/grid-solution.svg");
    EXPECT_EQ(solutionSvgPath("/t/grid.SVG"), "/t/grid-solution.svg");
    EXPECT_EQ(solutionSvgPath("/t/grid"), "/t/grid-solution.svg");
    EXPECT_EQ(titleFromPath("/a/b.c/Spring.kvl"), "Spring");
    EXPECT_EQ(titleFromPath("Spring.tar.kvl"), "Spring.tar");
    EXPECT_EQ(titleFromPath("/a/.kvl"), ".kvl");
    EXPECT_EQ(titleFromPath("noext"), "noext");
    for (const auto& [path, title] :
         std::vector<std::pair<std::string, std::string>>{{"", ""},
                                                          {".kvl", ""},
                                                          {"/a/.KVL", ""},
                                                          {"/a/.Kvl", ""},
                                                          {"/a/x.kvl", "x"},
                                                          {"/a/.kvl.kvl", ""},
                                                          {"/a/kvl", "kvl"}})
        EXPECT_EQ(exportTitle(path), title) << path;
}

// --- golden files

TEST(Golden, SmallGridByteForByte) {
    const GridModel g = goldenGrid();
    using korvel::testing::readFile;
    EXPECT_EQ(writeIpuz(g, "small"), readFile(Golden + "/small.ipuz"));
    EXPECT_EQ(writePuz(g).bytes, readFile(Golden + "/small.puz"));
    EXPECT_EQ(writeSvg(g, "small", false), readFile(Golden + "/small.svg"));
    EXPECT_EQ(writeSvg(g, "small", true), readFile(Golden + "/small-solution.svg"));
    expectPuzChecksums(readFile(Golden + "/small.puz"));
}
