// SPDX-License-Identifier: GPL-3.0-or-later
// The puzzle files with clues, details and circles: round trips of random
// documents, .puz files walked by the tests' own reader of the format,
// hand-made variants of real .puz files, .ipuz files in the shapes other
// programs write (ipuz_cases/: each NAME.ipuz read as NAME.want says), and
// the load and save wrappers on real files.
#include "documentfile.h"
#include "filesizelimit.h"
#include "ipuzfile.h"
#include "jsonvalue.h"
#include "puzfile.h"
#include "puzwalker.h"
#include "puzzlefile.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvel;
using namespace korvel::testing;

namespace korvel {
void PrintTo(const Clue& c, std::ostream* os) {
    *os << c.key.row << "," << c.key.column << (c.key.direction == Direction::Down ? "D" : "A")
        << " " << c.length << " \"" << c.text << "\" \"" << c.enumeration << "\" \"" << c.label
        << "\"";
}
} // namespace korvel

namespace {

// --- random documents

// Clue texts that need care, the first ones within ISO-8859-1; the last is
// 1,000 characters long.
const std::vector<std::string> Pieces = {"Bob's <Grid> & Co",
                                         "\"quoted\"",
                                         "a < b > c &amp; d &#233; <br/> <i>not markup</i>",
                                         "caf\xC3\xA9 na\xC3\xAFve \xC3\x86r\xC3\xB8",
                                         "two\nlines",
                                         "tab\there",
                                         "",
                                         "\xE2\x80\x98single\xE2\x80\x99 \xE2\x80\x9C"
                                         "double\xE2\x80\x9D",
                                         "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80",
                                         [] {
                                             std::string s;
                                             for (int i = 0; i < 250; ++i) {
                                                 s += "\xC3\xA9&<'";
                                             }
                                             return s;
                                         }()};
constexpr std::size_t Latin1Pieces = 7;

std::string randomText(std::mt19937& rng, bool latin1) {
    std::uniform_int_distribution<std::size_t> pick(0, Pieces.size() - 1);
    std::string text;
    for (int n = std::uniform_int_distribution<int>(0, 3)(rng); n > 0; --n) {
        const std::size_t k = pick(rng);
        text += latin1 && k >= Latin1Pieces && k + 1 < Pieces.size() ? "" : Pieces[k];
    }
    return text;
}

bool placed(const Slots& slots, const Clue& c) {
    const int s = slots.startingAt(c.key.row, c.key.column, c.key.direction);
    return s >= 0 && slots[static_cast<std::size_t>(s)].length == c.length;
}

// A puzzle with clues on most words; with extras also enumerations, labels,
// unplaced clues (below the grids, and on a word's first cell with the wrong
// length) and contact details.
Puzzle randomPuzzle(std::mt19937& rng, bool filled, bool latin1, bool extras) {
    std::uniform_int_distribution<int> rows(MinRows, MaxRows), cols(MinColumns, MaxColumns);
    std::uniform_real_distribution<double> u(0, 1);
    Puzzle p;
    p.grid = GridModel::make(static_cast<int16_t>(rows(rng)), static_cast<int16_t>(cols(rng)));
    const double density = u(rng) * 0.4;
    for (int i = 0; i < p.grid.RowCount * p.grid.ColumnCount; ++i) {
        const bool black = u(rng) < density;
        const char letter = static_cast<char>('A' + rng() % 26);
        p.grid.setCell(i / p.grid.ColumnCount, i % p.grid.ColumnCount,
                       black                     ? BLACK
                       : !filled && u(rng) < 0.3 ? EmptyCell
                                                 : letter);
        if (!black && u(rng) < 0.1) {
            p.circles.push_back(i);
        }
    }
    const Slots slots = Slots::of(p.grid);
    bool wrongLength = false;
    for (const Slot& s : slots.all()) {
        const ClueKey key{s.row, s.column, s.direction};
        if (u(rng) < 0.3) {
            if (extras && !wrongLength) {
                p.clues.push_back({key, int16_t(s.length + 1), randomText(rng, false), "", "old"});
                wrongLength = true;
            }
            continue;
        }
        Clue c{key, s.length, randomText(rng, latin1), "", ""};
        if (extras && u(rng) < 0.2) {
            c.enumeration = u(rng) < 0.5 ? "3,4" : "2-2 (x)";
        }
        if (extras && u(rng) < 0.2) {
            c.label =
                u(rng) < 0.5 ? std::to_string(s.number) + "-" + std::to_string(s.number + 1) : "A";
        }
        p.clues.push_back(std::move(c));
    }
    if (extras && u(rng) < 0.5) {
        p.clues.push_back({{MaxRows, 3, Direction::Down}, 6, randomText(rng, false), "6", "9"});
    }
    std::sort(p.clues.begin(), p.clues.end(),
              [](const Clue& a, const Clue& b) { return a.key < b.key; });
    PuzzleDetails& d = p.details;
    for (std::string* field : {&d.title, &d.author, &d.copyright, &d.notes}) {
        *field = u(rng) < 0.5 ? randomText(rng, latin1) : "";
    }
    if (extras && u(rng) < 0.5) {
        d.contactName = "Ann & Bob";
        d.contactAddress = randomText(rng, false);
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

// What a .puz keeps of a puzzle: the placed clues that have text, without
// enumeration or label, and no contact details.
Puzzle puzPart(Puzzle p) {
    const Slots slots = Slots::of(p.grid);
    std::erase_if(p.clues, [&](const Clue& c) { return !placed(slots, c) || c.text.empty(); });
    for (Clue& c : p.clues) {
        c.enumeration.clear();
        c.label.clear();
    }
    p.details.contactName = p.details.contactEmail = p.details.contactAddress = "";
    return p;
}

// The tests' own reading of the HTML the writer escapes.
std::string unescaped(std::string text) {
    for (const auto& [from, to] : {std::pair{"<br/>", "\n"}, {"&lt;", "<"}, {"&gt;", ">"}}) {
        for (std::size_t at; (at = text.find(from)) != std::string::npos;) {
            text.replace(at, std::string_view(from).size(), to);
        }
    }
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        out += text[at];
        at += text.compare(at, 5, "&amp;") == 0 ? 4 : 0;
    }
    return out;
}

// A read puzzle as text: the rows ("#" black, "." empty), the circles, each
// clue (key, length, text, enumeration, label), the details and the counts
// that are not zero; or the error.
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
    out += p.circles.empty() ? "" : "\ncircles";
    for (int c : p.circles) {
        out += " " + std::to_string(c);
    }
    for (const Clue& c : p.clues) {
        out += "\n" + std::to_string(c.key.row) + "," + std::to_string(c.key.column) +
               (c.key.direction == Direction::Across ? "A " : "D ") + std::to_string(c.length) +
               " \"" + c.text + "\"" + (c.enumeration.empty() ? "" : " enum " + c.enumeration) +
               (c.label.empty() ? "" : " label " + c.label) +
               (c.answer.empty() ? "" : " answer " + c.answer);
        for (const auto& [name, value] : c.otherFields) {
            out += " other " + name + "=" + value;
        }
    }
    const PuzzleDetails& d = p.details;
    for (const auto& [name, text] : {std::pair{"title", &d.title},
                                     {"author", &d.author},
                                     {"copyright", &d.copyright},
                                     {"notes", &d.notes},
                                     {"contact", &d.contactName},
                                     {"email", &d.contactEmail},
                                     {"address", &d.contactAddress},
                                     {"intro", &d.intro},
                                     {"publisher", &d.publisher},
                                     {"difficulty", &d.difficulty},
                                     {"explanation", &d.explanation},
                                     {"lang", &d.language}}) {
        out += text->empty() ? "" : "\n" + std::string(name) + " \"" + *text + "\"";
    }
    for (const auto& [name, value] : d.kept.ipuz) {
        out += "\nkept " + name + "=" + value;
    }
    if (!d.kept.cellMarks.empty()) {
        out += "\nmarks";
        for (const std::string& m : d.kept.cellMarks) {
            out += " " + (m.empty() ? std::string(".") : m);
        }
    }
    if (!d.kept.holes.empty()) {
        out += "\nholes";
        for (int h : d.kept.holes) {
            out += " " + std::to_string(h);
        }
    }
    const PuzzleReadCounts& k = r.counts;
    for (const auto& [name, n] : {std::pair{"cut", k.cellsCut},
                                  {"rebus", k.rebusCut},
                                  {"markup", k.markupDropped},
                                  {"unplaced", k.unplacedClues},
                                  {"skipped", k.cluesSkipped},
                                  {"over cap", k.cluesOverCap},
                                  {"sections", k.sectionsSkipped},
                                  {"scrambled", int(k.scrambled)},
                                  {"checksums", int(k.checksumsWrong)},
                                  {"styles", k.stylesDropped}}) {
        out += n == 0 ? "" : "\n" + std::string(name) + " " + std::to_string(n);
    }
    for (const DroppedField f : k.dropped) {
        out += "\ndropped " + std::to_string(static_cast<int>(f));
    }
    return out;
}

// A puzzle read from a file writes to .ipuz and reads back as it is.
void expectIpuzKeeps(const Puzzle& p) {
    const std::string once = writeIpuz(p, "");
    const PuzzleReadResult back = puzzleFromIpuz(once);
    ASSERT_TRUE(back.puzzle) << back.error;
    expectSamePuzzle(*back.puzzle, p);
    EXPECT_EQ(writeIpuz(*back.puzzle, ""), once);
}

} // namespace

// --- .ipuz

TEST(PuzzleIpuz, RandomDocumentsWriteReadWriteTheSame) {
    std::mt19937 rng(2024);
    for (int i = 0; i < 150; ++i) {
        const Puzzle p = randomPuzzle(rng, i % 2 == 0, false, true);
        const std::string once = writeIpuz(p, "");
        const PuzzleReadResult r = puzzleFromIpuz(once);
        ASSERT_TRUE(r.puzzle) << r.error;
        expectSamePuzzle(*r.puzzle, p);
        EXPECT_EQ(writeIpuz(*r.puzzle, ""), once);

        // The tests' own JSON reader finds each placed clue in its list with
        // its text escaped, and the others in Korvel's own list.
        const std::optional<Json> d = JsonParser(once).parse();
        ASSERT_TRUE(d);
        const Slots slots = Slots::of(p.grid);
        int unplaced = 0;
        for (const Clue& c : p.clues) {
            if (!placed(slots, c)) {
                ++unplaced;
                continue;
            }
            const bool down = c.key.direction == Direction::Down;
            const int s = slots.startingAt(c.key.row, c.key.column, c.key.direction);
            const Json& e = (*d)["clues"][down ? "Down" : "Across"][static_cast<std::size_t>(
                s - (down ? static_cast<int>(slots.across().size()) : 0))];
            EXPECT_EQ(unescaped(e["clue"].text), c.text);
            EXPECT_EQ(e["enumeration"].text,
                      c.enumeration.empty() ? std::to_string(c.length) : c.enumeration);
        }
        EXPECT_EQ(r.counts, PuzzleReadCounts{.unplacedClues = unplaced});
        EXPECT_EQ(unplaced > 0 ? (*d)["org.korvel:unplaced"].items.size() : 0u,
                  static_cast<std::size_t>(unplaced));
        EXPECT_EQ(unescaped((*d)["title"].text), p.details.title);
    }
}

TEST(Golden, PuzzleWithCluesByteForByte) {
    // CAT over A#E: 1 across, 1 and 2 down.
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
    const std::string golden = KORVEL_EXPORT_GOLDEN;
    EXPECT_EQ(writeIpuz(p, "ignored"), readFile(golden + "/clues.ipuz"));
    EXPECT_EQ(writePuz(p).bytes, readFile(golden + "/clues.puz"));
    expectPuzChecksums(readFile(golden + "/clues.puz"));
}

TEST(PuzzleIpuz, FilesOfOtherPrograms) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KORVEL_EXPORT_IPUZ_CASES)) {
        std::filesystem::path path = entry.path();
        if (path.extension() != ".ipuz") {
            continue;
        }
        ++files;
        const PuzzleReadResult r = puzzleFromIpuz(readFile(path));
        std::string want = readFile(path.replace_extension(".want"));
        EXPECT_EQ(describe(r) + "\n", want) << path;
        EXPECT_EQ(r.warnings, readWarnings(r.counts)) << path;
        if (r.puzzle) {
            expectIpuzKeeps(*r.puzzle);
        }
    }
    EXPECT_GE(files, 13);
}

// Clues without a word past the first MaxUnplacedClues are left out and said
// so, apart from the entries that could not be read, for one and for many.
TEST(PuzzleIpuz, CluesPastTheCapAreToldApart) {
    for (const int extra : {1, 500}) {
        std::string clues;
        for (int i = 0; i < MaxUnplacedClues + extra; ++i) {
            clues += (i == 0 ? "\"c" : ", \"c") + std::to_string(i) + "\"";
        }
        const std::string file = "{\"version\": \"http://ipuz.org/v2\", \"kind\": "
                                 "[\"http://ipuz.org/crossword#1\"], \"dimensions\": "
                                 "{\"width\": 2, \"height\": 2}, \"puzzle\": [[1, 2], [3, 0]], "
                                 "\"clues\": {\"Across\": [" +
                                 clues + ", 7], \"Sideways\": [\"x\"]}}";
        const PuzzleReadResult r = puzzleFromIpuz(file);
        ASSERT_TRUE(r.puzzle) << r.error;
        EXPECT_EQ(r.puzzle->clues.size(), std::size_t(MaxUnplacedClues));
        EXPECT_EQ(r.counts.cluesOverCap, extra);
        EXPECT_EQ(r.counts.cluesSkipped, 2);
        EXPECT_EQ(r.counts.unplacedClues, MaxUnplacedClues);
        const std::string said =
            extra == 1 ? "1 more clue without a word was left out: Korvel keeps at most 1000 of "
                         "them."
                       : "500 more clues without a word were left out: Korvel keeps at most 1000 "
                         "of them.";
        EXPECT_NE(std::find(r.warnings.begin(), r.warnings.end(), said), r.warnings.end());
        EXPECT_NE(std::find(r.warnings.begin(), r.warnings.end(),
                            "2 clue entries could not be read and were left out."),
                  r.warnings.end());
    }
}

// --- .puz with clues

namespace {

// The format's clue order as its description gives it: cells in reading
// order, at each the across word that starts there, then the down word.
std::vector<ClueKey> puzOrderOf(const GridModel& g) {
    std::vector<ClueKey> order;
    const auto white = [&](int r, int c) { return g.contains(r, c) && !g.isBlack(r, c); };
    for (int16_t r = 0; r < g.RowCount; ++r) {
        for (int16_t c = 0; c < g.ColumnCount; ++c) {
            if (white(r, c) && !white(r, c - 1) && white(r, c + 1)) {
                order.push_back({r, c, Direction::Across});
            }
            if (white(r, c) && !white(r - 1, c) && white(r + 1, c)) {
                order.push_back({r, c, Direction::Down});
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
        out += b < 0x80 ? char(b) : char(((b & 0x03) << 6) | (utf8[++i] & 0x3F));
    }
    return out;
}

} // namespace

TEST(PuzzlePuz, CluesDetailsAndCirclesWalkBack) {
    std::mt19937 rng(77);
    int written = 0;
    for (int i = 0; i < 150; ++i) {
        const Puzzle p = randomPuzzle(rng, true, true, i % 3 == 0);
        const PuzWriteResult w = writePuz(p);
        if (!w.error.empty()) {
            EXPECT_NE(w.error.find("no words"), std::string::npos) << w.error;
            continue;
        }
        ++written;
        PuzWalk walk;
        expectPuzChecksums(w.bytes, &walk);
        const Puzzle want = puzPart(p);
        const std::vector<ClueKey> order = puzOrderOf(p.grid);
        ASSERT_EQ(walk.strings.size(), 3 + order.size() + 1);
        const PuzzleDetails& d = p.details;
        EXPECT_EQ(walk.strings[0] + "|" + walk.strings[1] + "|" + walk.strings[2] + "|" +
                      walk.strings.back(),
                  latin1Of(d.title + "|" + d.author + "|" + d.copyright + "|" + d.notes));
        for (std::size_t k = 0; k < order.size(); ++k) {
            const auto c = std::find_if(want.clues.begin(), want.clues.end(),
                                        [&](const Clue& c) { return c.key == order[k]; });
            EXPECT_EQ(walk.strings[3 + k], c == want.clues.end() ? "" : latin1Of(c->text));
        }
        std::string circles(p.circles.empty() ? 0 : w.bytes[0x2C] * w.bytes[0x2D], '\0');
        for (int at : p.circles) {
            circles[static_cast<std::size_t>(at)] = '\x80';
        }
        EXPECT_EQ(walk.sections["GEXT"], circles);

        // Read back, and through .ipuz: nothing more is lost.
        const PuzzleReadResult r = puzzleFromPuz(w.bytes);
        ASSERT_TRUE(r.puzzle) << r.error;
        EXPECT_EQ(r.warnings, std::vector<std::string>{});
        expectSamePuzzle(*r.puzzle, want);
        expectIpuzKeeps(*r.puzzle);
        EXPECT_EQ(writePuz(*r.puzzle).bytes, w.bytes);
    }
    EXPECT_GT(written, 120);
}

TEST(PuzzlePuz, TextInIso88591OrRefused) {
    // AB over CD: 1 across, 1 down, 2 down, 3 across.
    const std::string refusal = "The .puz format cannot hold the character ";
    const std::string tail = ": its text is ISO-8859-1. Change it, or export as .ipuz.";
    const struct {
        Direction direction;
        std::string text;
        std::string written; // the clue's bytes, or the refusal
    } cases[] = {
        {Direction::Across,
         "It\xE2\x80\x99s \xE2\x80\x9C"
         "big\xE2\x80\x9D \xE2\x80\x94 4\xE2\x88\x92"
         "2\xE2\x80\xA6",
         "It's \"big\" - 4-2..."},
        {Direction::Across, "Caf\xC3\xA9 \xC3\x86r\xC3\xB8 \xC2\xA0\xC3\xBF",
         "Caf\xE9 \xC6r\xF8 \xA0\xFF"},
        {Direction::Across, "5 \xE2\x82\xAC",
         refusal + "\"\xE2\x82\xAC\" (U+20AC) in the clue of 1 across" + tail},
        {Direction::Down, "\xE6\x97\xA5",
         refusal + "\"\xE6\x97\xA5\" (U+65E5) in the clue of 1 down" + tail},
        {Direction::Down, "x\xC2\x85", refusal + "U+0085 in the clue of 1 down" + tail},
    };
    Puzzle p;
    p.grid = GridModel::make(2, 2);
    p.grid.GridRows = {"AB", "CD", "??"};
    for (const auto& c : cases) {
        p.clues = {{{0, 0, c.direction}, 2, c.text, "", ""}};
        const PuzWriteResult w = writePuz(p);
        PuzWalk walk;
        if (w.error.empty()) {
            expectPuzChecksums(w.bytes, &walk);
        }
        EXPECT_EQ(w.error.empty() ? walk.strings.at(c.direction == Direction::Down ? 4 : 3)
                                  : w.error,
                  c.written);
    }
    p.clues.clear();
    p.details.copyright = "\xE2\x84\x97";
    EXPECT_EQ(writePuz(p).error, refusal + "\"\xE2\x84\x97\" (U+2117) in the copyright" + tail);
}

// --- .puz files as they are found

namespace {

// CATS over A#ON over BOXY: clues 1A 1D 2D 3D 4A 5A.
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

// The file's bytes from at replaced, and its checksums made right again by
// the tests' own walk.
std::string edited(std::string f, std::size_t at, std::string_view bytes) {
    f.replace(at, bytes.size(), bytes);
    refreshPuzChecksums(f);
    return f;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

} // namespace

TEST(PuzzlePuz, FilesAsTheyAreFound) {
    const std::string base = edited(encodePuz(basePuz()), 0, "");
    const std::string read = "rows CATS A#ON BOXY\n0,0A 4 \"Pets\"\n0,0D 3 \"Taxi\"\n0,2D 3 "
                             "\"Toy\"\n0,3D 3 \"Sun\"\n1,2A 2 \"Upon\"\n2,0A 4 \"Kid\"\ntitle "
                             "\"Base\"\nauthor \"Me\"\nnotes \"Notes here\"";
    const auto withPuz = [](auto change) {
        PuzPuzzle p = basePuz();
        change(p);
        return encodePuz(p);
    };
    std::string badSum = base;
    badSum[0] ^= 1;
    std::string badSection = base + puzSection("GEXT", std::string(12, '\x80'));
    badSection[badSection.size() - 14] ^= 1;
    const std::string cafe = "Caf\xC3\xA9 \xE2\x80\x9C"
                             "au lait\xE2\x80\x9D ";
    const struct {
        const char* name;
        std::string bytes;
        std::string want;
        std::string strict; // what readPuz says: "" when it reads the file
    } cases[] = {
        {"as written", base, read, ""},
        {"data before the header", "From: a mailer\r\n\r\n" + base, read, ""},
        {"version 1.2 with notes", edited(base, 0x18, "1.2"), read, ""},
        {"version 2.0 in UTF-8",
         withPuz([&](PuzPuzzle& p) { p.version = "2.0", p.clues[0] = cafe + "\xE6\x97\xA5"; }),
         replaced(read, "Pets", cafe + "\xE6\x97\xA5"), ""},
        {"version 1.3: ISO-8859-1 with the Windows marks", withPuz([](PuzPuzzle& p) {
             p.clues[0] = "Caf\xE9 \x93"
                          "au lait\x94 \x80";
         }),
         replaced(read, "Pets", cafe + "\xE2\x82\xAC"), ""},
        {"scrambled", edited(edited(base, 0x34, "TACSA.NOYBXO"), 0x32, std::string("\4\0", 2)),
         replaced(read, "CATS A#ON BOXY", ".... .#.. ....") + "\nscrambled 1",
         "The .puz solution is scrambled."},
        {"diagramless", edited(edited(base, 0x34, "CATSA:ONBOXY"), 0x30, "\x01\x04"), read, ""},
        {"rebus squares",
         base + puzSection("GRBS", std::string("\1\0\0\0\0\0\0\0\0\2\0\0", 12)) +
             puzSection("RTBL", " 0:STAR; 1:O;"),
         replaced(read, "CATS", "SATS") + "\nrebus 1", ""},
        {"circles, a timer and other flags",
         base + puzSection("LTIM", "42,0") +
             puzSection("GEXT", std::string("\x80\0\0\x20\0\0\x80\0\0\0\0\xC0", 12)),
         replaced(read, "\n0,0A", "\ncircles 0 6 11\n0,0A"), ""},
        {"a section failing its checksum", badSection, read + "\nsections 1", ""},
        {"a section cut short", base + std::string("GEXT\x0C\0\0\0\x80", 9), read + "\nsections 1",
         ""},
        // A timer Korvel does not read is no section of circles or rebus
        // squares; its own sentence says the file ends inside it.
        {"a timer cut short",
         base + std::string("LTIM\x08\0\0\0"
                            "42",
                            10),
         read, ""},
        // A rebus that starts with no letter A to Z leaves its cell empty and
        // counts with the cells Korvel cannot hold, not as a rebus kept.
        {"rebus squares starting with no letter",
         base + puzSection("GRBS", std::string("\1\2\3\0\0\0\0\0\0\0\0\0", 12)) +
             puzSection("RTBL", " 0:1B; 1:OX; 2:\xE9;"),
         replaced(read, "CATS", ".O.S") + "\ncut 2\nrebus 1", ""},
        {"a wrong checksum", badSum, read + "\nchecksums 1",
         "The .puz file checksum does not match."},
        {"cells Korvel cannot hold", edited(base, 0x34, "C7TSA.ONBOX\xC9"),
         replaced(read, "CATS A#ON BOXY", "C.TS A#ON BOX.") + "\ncut 2", ""},
        {"fewer clues than words", withPuz([](PuzPuzzle& p) { p.clues.pop_back(); }),
         replaced(read, "\n2,0A 4 \"Kid\"", ""), ""},
        {"larger than Korvel holds", withPuz([](PuzPuzzle& p) {
             p.width = 40, p.height = 30, p.solution = p.state = std::string(1200, 'A');
         }),
         "error: The puzzle has 30 rows and 40 columns; Korvel holds 2 to 25 rows and 2 to 35 "
         "columns.",
         ""},
        {"not a .puz", "<p>ACROSS and DOWN</p>",
         "error: The file is not a .puz file (no ACROSS&DOWN mark).",
         "The file is not a .puz file (no ACROSS&DOWN mark)."},
        {"a header cut short", base.substr(0, 40), "error: The file is shorter than a .puz header.",
         "The file is shorter than a .puz header."},
    };
    for (const auto& c : cases) {
        const PuzzleReadResult r = puzzleFromPuz(c.bytes);
        EXPECT_EQ(describe(r), c.want) << c.name;
        EXPECT_EQ(readPuz(c.bytes).error, c.strict) << c.name;
        if (r.puzzle) {
            std::vector<std::string> warnings = readWarnings(r.counts);
            if (std::string_view(c.name) == "fewer clues than words") {
                warnings.push_back("The file has 5 clues for the grid's 6 words; they were given "
                                   "to the words in order.");
            }
            if (std::string_view(c.name) == "a timer cut short") {
                warnings.push_back("The file ends inside its LTIM section, which Korvel does not "
                                   "read: the file may be cut short, but nothing of the puzzle "
                                   "was left out.");
            }
            EXPECT_EQ(r.warnings, warnings) << c.name;
            expectIpuzKeeps(*r.puzzle);
        }
    }
}

TEST(PuzzlePuz, EveryTruncationIsRefusedOrKeepsTheStrings) {
    const std::string base = edited(encodePuz(basePuz()), 0, "");
    const std::string file = base + puzSection("GEXT", std::string(12, '\x80'));
    const PuzzleReadResult whole = puzzleFromPuz(base);
    for (std::size_t len = 0; len < file.size(); ++len) {
        const PuzzleReadResult r = puzzleFromPuz(file.substr(0, len));
        ASSERT_EQ(r.puzzle.has_value(), len >= base.size()) << len << r.error;
        if (!r.puzzle) {
            continue;
        }
        // The section counts once its data is whole; its closing NUL may go.
        const bool dataWhole = len + 1 >= file.size();
        Puzzle want = *whole.puzzle;
        want.circles =
            dataWhole ? std::vector<int>{0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11} : std::vector<int>{};
        expectSamePuzzle(*r.puzzle, want);
        EXPECT_EQ(r.counts.sectionsSkipped, int(!dataWhole && len >= base.size() + 8)) << len;
    }
}

// --- files

TEST(PuzzleFiles, SaveAndLoadByExtension) {
    TempDir dir;
    std::mt19937 rng(5);
    Puzzle p = randomPuzzle(rng, true, true, false);
    p.details.title = "Spring";
    std::string error;
    for (const char* name : {"Spring.IPUZ", "Spring.puz", "Spring.kvl"}) {
        ASSERT_TRUE(savePuzzleFile(dir.file(name), p, error)) << error;
        const PuzzleReadResult r = loadPuzzleFile(dir.file(name));
        ASSERT_TRUE(r.puzzle) << r.error;
        const PuzzleFileFormat format = *puzzleFormatFromPath(name);
        Puzzle want = format == PuzzleFileFormat::Ipuz  ? p
                      : format == PuzzleFileFormat::Puz ? puzPart(p)
                                                        : Puzzle{p.grid, {}, {}, {}};
        expectSamePuzzle(*r.puzzle, want);
    }
    EXPECT_EQ(readFile(dir.file("Spring.IPUZ")), writeIpuz(p, ""));

    // Without a title of its own, the file's name gives it.
    p.details.title.clear();
    ASSERT_TRUE(savePuzzleFile(dir.file("Autumn.ipuz"), p, error)) << error;
    EXPECT_EQ(loadPuzzleFile(dir.file("Autumn.ipuz")).puzzle.value().details.title, "Autumn");

    EXPECT_FALSE(savePuzzleFile(dir.file("grid.txt"), p, error));
    EXPECT_EQ(error,
              dir.file("grid.txt") + " names no puzzle file Korvel saves (.kvl, .puz or .ipuz).");

    // A failed write leaves the old file: a full disk, and a .puz refused.
    writeFile(dir.file("kept.ipuz"), "old");
    {
        const FileSizeLimit limit(64);
        EXPECT_FALSE(savePuzzleFile(dir.file("kept.ipuz"), p, error));
    }
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    p.details.title = "\xE2\x82\xAC";
    writeFile(dir.file("kept.puz"), "old");
    EXPECT_FALSE(savePuzzleFile(dir.file("kept.puz"), p, error));
    EXPECT_NE(error.find("U+20AC"), std::string::npos) << error;
    EXPECT_EQ(readFile(dir.file("kept.ipuz")) + readFile(dir.file("kept.puz")), "oldold");
}

TEST(PuzzleFiles, RefusalsNameTheFileAndTheCause) {
    TempDir dir;
    const auto load = [&](const std::string& name) { return loadPuzzleFile(dir.file(name)).error; };
    EXPECT_EQ(load("a.txt"),
              dir.file("a.txt") + " is not a puzzle file Korvel opens (.kvl, .puz or .ipuz).");
    EXPECT_EQ(load("none.puz"),
              dir.file("none.puz") + " cannot be opened: No such file or directory");
    ASSERT_EQ(mkfifo(dir.file("pipe.ipuz").c_str(), 0600), 0);
    EXPECT_EQ(load("pipe.ipuz"), dir.file("pipe.ipuz") + " is a FIFO");
    writeFile(dir.file("bad.kvl"), "x");
    EXPECT_EQ(load("bad.kvl").rfind(dir.file("bad.kvl") + ": ", 0), 0u) << load("bad.kvl");
    // The position counts in the file, the JSONP wrapper included.
    writeFile(dir.file("bad.ipuz"), "ipuz({\"a\": x})");
    EXPECT_EQ(load("bad.ipuz"), dir.file("bad.ipuz") + ": The file is no .ipuz puzzle: it is not "
                                                       "valid JSON (near byte 12).");
    for (const PuzzleFileType& type : PuzzleFileTypes) {
        // One byte over the limit, as a sparse file.
        const std::string name = "big" + std::string(type.extension);
        writeFile(dir.file(name), "");
        ASSERT_EQ(truncate(dir.file(name).c_str(), static_cast<off_t>(type.maxBytes + 1)), 0);
        EXPECT_NE(load(name).find("is larger than " + std::to_string(type.maxBytes) + " bytes"),
                  std::string::npos)
            << name;
    }
}

// --- a document from a file and to one (the window's one path for every type)

namespace {

void laySaved(GridDocument& doc, const std::string& path) {
    doc.edit([&](DocumentEdit& e) { e.setFileName(path); });
}

} // namespace

// Save writes exactly writeKvl's bytes and clears the flag; open reads them
// back into an equal grid with an empty history and the new file name.
TEST(DocumentFile, SaveThenOpenRoundTrip) {
    TempDir tmp;
    GridDocument doc;
    doc.newGrid(4, 6);
    doc.edit([](DocumentEdit& e) {
        e.beginAction();
        e.aggior(1, 2, BLACK);
        e.beginAction();
        e.aggior(0, 0, '\xE8');
    });
    ASSERT_TRUE(doc.isModified());
    const std::string path = tmp.file("one.kvl");
    laySaved(doc, path);
    std::string error;
    ASSERT_TRUE(saveDocument(doc, PuzzleFileFormat::Kvl, error)) << error;
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(readFile(path), writeKvl(doc.grid()));

    GridDocument other;
    const PuzzleReadResult r = openDocument(other, path, PuzzleFileFormat::Kvl);
    ASSERT_TRUE(r.puzzle.has_value()) << r.error;
    EXPECT_EQ(rowsOf(other.grid()), rowsOf(doc.grid()));
    EXPECT_EQ(other.fileName(), path);
    EXPECT_FALSE(other.isModified());
    EXPECT_EQ(other.history().HistoryLength(), 0);
    EXPECT_FALSE(other.history().undoEnabled());
}

// A failed open or save changes nothing: not the grid, not the file name,
// not the flag, not the file on disk.
TEST(DocumentFile, FailuresChangeNothing) {
    TempDir tmp;
    GridDocument doc;
    doc.newGrid(3, 3);
    doc.edit([](DocumentEdit& e) {
        e.beginAction();
        e.aggior(0, 0, BLACK);
    });
    const std::string good = tmp.file("good.kvl");
    laySaved(doc, good);
    std::string error;
    ASSERT_TRUE(saveDocument(doc, PuzzleFileFormat::Kvl, error));
    doc.edit([](DocumentEdit& e) {
        e.beginAction();
        e.aggior(2, 2, BLACK);
    });
    const std::vector<std::string> grid = rowsOf(doc.grid());

    writeFile(tmp.file("bad.kvl"), "x,y\r\n");
    EXPECT_FALSE(openDocument(doc, tmp.file("bad.kvl"), PuzzleFileFormat::Kvl).puzzle);
    const PuzzleReadResult folder = openDocument(doc, tmp.path, PuzzleFileFormat::Kvl);
    EXPECT_FALSE(folder.puzzle);
    EXPECT_FALSE(folder.error.empty());
    EXPECT_EQ(rowsOf(doc.grid()), grid);
    EXPECT_EQ(doc.fileName(), good);
    EXPECT_TRUE(doc.isModified());

    const std::string onDisk = readFile(good);
    laySaved(doc, tmp.path + "/missing/x.kvl");
    EXPECT_FALSE(saveDocument(doc, PuzzleFileFormat::Kvl, error));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(readFile(good), onDisk);
}

// Every type goes the same way: an .ipuz keeps clues and details, and a file
// named otherwise is read and written as the type it is given.
TEST(DocumentFile, EveryTypeOnePath) {
    TempDir tmp;
    GridDocument doc;
    doc.newGrid(3, 4);
    const Slot first = doc.wordSlots().across()[0];
    doc.edit([&](DocumentEdit& e) { e.setClue(first, "Four"); });
    laySaved(doc, tmp.file("p.ipuz"));
    std::string error;
    ASSERT_TRUE(saveDocument(doc, PuzzleFileFormat::Ipuz, error)) << error;
    GridDocument back;
    ASSERT_TRUE(openDocument(back, tmp.file("p.ipuz"), PuzzleFileFormat::Ipuz).puzzle);
    ASSERT_NE(back.clues().placedOn(first), nullptr);
    EXPECT_EQ(back.clues().placedOn(first)->text, "Four");

    laySaved(doc, tmp.file("grid.txt"));
    ASSERT_TRUE(saveDocument(doc, PuzzleFileFormat::Kvl, error)) << error;
    EXPECT_EQ(readFile(tmp.file("grid.txt")), writeKvl(doc.grid()));
    ASSERT_TRUE(openDocument(back, tmp.file("grid.txt"), PuzzleFileFormat::Kvl).puzzle);
    EXPECT_TRUE(back.clues().empty());
    EXPECT_EQ(back.fileName(), tmp.file("grid.txt"));
}
