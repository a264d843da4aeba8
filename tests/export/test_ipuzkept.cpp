// SPDX-License-Identifier: GPL-3.0-or-later
// What other programs write into an .ipuz and Korvel has no place for: kept
// and written back, or left out with a note when an edit would make it
// wrong; the file's own cell marks; the language; the answer a clue was
// written for; line breaks of .puz notes. The files are ipuz_cases/, written
// for these tests from the format's description.
#include "ipuzfile.h"
#include "puzfile.h"
#include "puzzleread.h"
#include "testfiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <set>

using namespace korvel;
using namespace korvel::testing;
using nlohmann::json;

namespace {

std::string caseFile(const std::string& name) {
    return readFile(std::string(KORVEL_EXPORT_IPUZ_CASES) + "/" + name);
}

// Fields Korvel writes in its own way: the same puzzle, said differently
// (its version of the format, the board's marks for empty and black cells,
// clue lists as objects), or read into the puzzle and compared as such.
const std::set<std::string> Rewritten = {"version", "kind",     "block", "empty",
                                         "puzzle",  "solution", "clues"};

// Writes the puzzle, reads it back and writes again: the same puzzle, the
// same bytes. Returns the first writing.
std::string writtenTwice(const Puzzle& p) {
    const std::string once = writeIpuz(p, "");
    const PuzzleReadResult back = puzzleFromIpuz(once);
    EXPECT_TRUE(back.puzzle) << back.error;
    if (!back.puzzle)
        return once;
    EXPECT_EQ(back.puzzle->clues, p.clues);
    EXPECT_EQ(back.puzzle->details, p.details);
    EXPECT_EQ(back.puzzle->circles, p.circles);
    EXPECT_TRUE(back.warnings.empty());
    EXPECT_EQ(writeIpuz(*back.puzzle, ""), once);
    return once;
}

const Clue* clueAt(const Puzzle& p, ClueKey key) {
    for (const Clue& c : p.clues)
        if (c.key == key)
            return &c;
    return nullptr;
}

} // namespace

TEST(IpuzKept, TheFormatsDocumentedFieldsSurviveASave) {
    const std::string original = caseFile("example-fields.ipuz");
    const PuzzleReadResult r = puzzleFromIpuz(original);
    ASSERT_TRUE(r.puzzle) << r.error;
    const Puzzle& p = *r.puzzle;
    // What would be wrong after an edit is left out, and the box says so.
    EXPECT_EQ(r.warnings, std::vector<std::string>{
                              "Left out of the file, as they would be wrong once the puzzle is "
                              "edited: its checksum and a solver's saved progress."});
    EXPECT_EQ(p.details.intro, "Start with 1 Across.");
    EXPECT_EQ(p.details.publisher, "Nobody's Press");
    EXPECT_EQ(p.details.difficulty, "Easy");
    EXPECT_EQ(p.details.explanation, "Every answer is a word of three letters.");
    EXPECT_EQ(p.clues.size(), 6u);
    const Clue* twoDown = clueAt(p, {0, 1, Direction::Down});
    ASSERT_NE(twoDown, nullptr);
    EXPECT_EQ(twoDown->otherFields.size(), 2u);

    const std::string written = writtenTwice(p);
    const json before = json::parse(original);
    const json after = json::parse(written);
    for (const auto& [name, value] : before.items()) {
        if (Rewritten.count(name) != 0)
            continue;
        if (name == "saved" || name == "checksum") {
            EXPECT_FALSE(after.contains(name)) << name;
            continue;
        }
        ASSERT_TRUE(after.contains(name)) << name;
        EXPECT_EQ(after[name], value) << name;
    }
    // A clue's own fields stay in its entry.
    const json& entry = after["clues"]["Down"][1];
    EXPECT_EQ(entry["explanation"], "Same as 4 Across");
    EXPECT_EQ(entry["hints"], json::array({"Not is"}));
    // The grid and the clue texts as the file has them.
    const PuzzleReadResult again = puzzleFromIpuz(written);
    ASSERT_TRUE(again.puzzle);
    EXPECT_EQ(again.puzzle->grid.GridRows, p.grid.GridRows);
    for (const auto& [direction, list] : before["clues"].items())
        for (std::size_t i = 0; i < list.size(); ++i) {
            const json& c = list[i];
            const std::string text =
                c.is_array() ? c[1].get<std::string>() : c["clue"].get<std::string>();
            EXPECT_EQ(after["clues"][direction][i]["clue"], text);
        }
}

TEST(IpuzKept, TheFirstCrosswordsMarksPlaceItsCluesAndStay) {
    const std::string original = caseFile("first-shape.ipuz");
    const PuzzleReadResult r = puzzleFromIpuz(original);
    ASSERT_TRUE(r.puzzle) << r.error;
    const Puzzle& p = *r.puzzle;
    EXPECT_TRUE(r.warnings.empty());
    EXPECT_EQ(r.counts.unplacedClues, 0);
    // "6-7" across runs from the cell marked 6, which Korvel numbers 5.
    const Clue* ads = clueAt(p, {3, 1, Direction::Across});
    ASSERT_NE(ads, nullptr);
    EXPECT_EQ(ads->text, "Commercials");
    EXPECT_EQ(ads->label, "6-7");
    EXPECT_EQ(ads->length, 3);
    const Clue* sands = clueAt(p, {0, 2, Direction::Down});
    ASSERT_NE(sands, nullptr);
    EXPECT_EQ(sands->label, "1-8");
    EXPECT_EQ(sands->length, 5);

    const std::string written = writtenTwice(p);
    const json before = json::parse(original);
    const json after = json::parse(written);
    // The board as the file drew it: its holes and its marks.
    json board = before["puzzle"];
    EXPECT_EQ(after["puzzle"], board);
    EXPECT_EQ(after["solution"], before["solution"]);
    for (const char* d : {"Across", "Down"})
        for (std::size_t i = 0; i < before["clues"][d].size(); ++i) {
            EXPECT_EQ(after["clues"][d][i]["number"], before["clues"][d][i][0]);
            EXPECT_EQ(after["clues"][d][i]["clue"], before["clues"][d][i][1]);
        }
    EXPECT_EQ(after["date"], before["date"]);

    // Once the blacks change, the marks no longer fit: Korvel's numbers,
    // black cells, and the labels kept as labels.
    Puzzle edited = p;
    edited.grid.setCell(2, 4, BLACK);
    const json changed = json::parse(writeIpuz(edited, ""));
    EXPECT_EQ(changed["puzzle"][0][0], "#");
    EXPECT_EQ(changed["puzzle"][1][1], 2);
    EXPECT_EQ(changed["puzzle"][3][1], 5);
    const json& adsEntry = changed["clues"]["Across"][2];
    EXPECT_EQ(adsEntry["number"], 5);
    EXPECT_EQ(adsEntry["label"], "6-7");
}

TEST(IpuzKept, TheLanguageIsAHint) {
    Puzzle p;
    p.grid = GridModel::make(2, 2);
    p.details.language = "it";
    const std::string written = writtenTwice(p);
    EXPECT_EQ(json::parse(written)["lang"], "it");
    // No language, no hint: the bytes of a bare grid as before.
    p.details.language.clear();
    EXPECT_EQ(writeIpuz(p, ""), writeIpuz(p.grid, ""));
    // A hint that is no language code is another program's field.
    const PuzzleReadResult odd = puzzleFromIpuz(
        R"({"version": "http://ipuz.org/v2", "kind": ["http://ipuz.org/crossword#1"],
            "dimensions": {"width": 2, "height": 2}, "puzzle": [[1, 2], [3, 0]],
            "lang": {"code": "it"}})");
    ASSERT_TRUE(odd.puzzle);
    EXPECT_EQ(odd.puzzle->details.language, "");
    EXPECT_EQ(odd.puzzle->details.kept.ipuz, (OtherFields{{"lang", R"({"code":"it"})"}}));
}

TEST(IpuzKept, TheAnswerAClueWasWrittenForTravelsWithIt) {
    Puzzle p;
    p.grid = GridModel::make(2, 5);
    p.grid.GridRows = {"TESSA", "?????", "?????"};
    Clue c{{0, 0, Direction::Across}, 5, "Fever of West Africa", "", ""};
    c.answer = "LASSA";
    p.clues.push_back(c);
    p.clues.push_back({{1, 0, Direction::Across}, 5, "Not known", "", ""});
    const std::string written = writtenTwice(p);
    const json j = json::parse(written);
    EXPECT_EQ(j["clues"]["Across"][0]["org.korvel:answer"], "LASSA");
    EXPECT_FALSE(j["clues"]["Across"][1].contains("org.korvel:answer"));
    // A clue written for the letters its word holds says nothing: read back,
    // it is written for them again (the document takes it so on opening).
    p.clues[1].answer = "?????";
    EXPECT_FALSE(json::parse(writeIpuz(p, ""))["clues"]["Across"][1].contains("org.korvel:answer"));
}

TEST(IpuzKept, StylesBeyondCirclesAreLeftOutAndCounted) {
    const PuzzleReadResult r = puzzleFromIpuz(
        R"({"version": "http://ipuz.org/v2", "kind": ["http://ipuz.org/crossword#1"],
            "dimensions": {"width": 3, "height": 2},
            "styles": {"ring": {"shapebg": "circle"}, "red": {"color": "FF0000"}},
            "puzzle": [[{"cell": 1, "style": "ring"}, {"cell": 0, "style": "red"},
                        {"cell": 0, "style": {"shapebg": "circle", "barred": "R"}}],
                       [0, 0, {"cell": 0, "style": {}}]]})");
    ASSERT_TRUE(r.puzzle);
    EXPECT_EQ(r.puzzle->circles, (std::vector<int>{0, 2}));
    EXPECT_EQ(r.counts.stylesDropped, 2);
    EXPECT_EQ(r.warnings,
              std::vector<std::string>{"Left out of the file, as they would be wrong once the "
                                       "puzzle is edited: 2 cells' styles (colours, bars, shapes "
                                       "other than circles)."});
}

TEST(IpuzKept, TheNoteOnWhatWasLeftOutReadsForOneAndMany) {
    struct Case {
        std::vector<DroppedField> dropped;
        int styles;
        std::string want;
    };
    const std::string lead = "Left out of the file, as ";
    const std::vector<Case> cases = {
        {{DroppedField::Checksum},
         0,
         lead + "it would be wrong once the puzzle is edited: its checksum."},
        {{},
         1,
         lead + "it would be wrong once the puzzle is edited: 1 cell's style (colours, "
                "bars, shapes other than circles)."},
        {{DroppedField::Answers},
         0,
         lead + "they would be wrong once the puzzle is edited: its answers."},
        {{DroppedField::Checksum, DroppedField::Saved, DroppedField::Zones},
         3,
         lead + "they would be wrong once the puzzle is edited: its checksum, a solver's saved "
                "progress, its zones of cells and 3 cells' styles (colours, bars, shapes other "
                "than circles)."},
    };
    for (const Case& c : cases) {
        PuzzleReadCounts counts;
        counts.dropped = c.dropped;
        counts.stylesDropped = c.styles;
        EXPECT_EQ(readWarnings(counts), std::vector<std::string>{c.want});
    }
}

TEST(PuzNotes, CarriageReturnsAreLineBreaks) {
    Puzzle p;
    p.grid = GridModel::make(2, 2);
    p.grid.GridRows = {"AB", "CD", "??"};
    p.details.notes = "First row.\r\nSecond row.\rThird\n";
    const PuzWriteResult puz = writePuz(p);
    ASSERT_FALSE(puz.bytes.empty()) << puz.error;
    const PuzzleReadResult r = puzzleFromPuz(puz.bytes);
    ASSERT_TRUE(r.puzzle) << r.error;
    EXPECT_EQ(r.puzzle->details.notes, "First row.\nSecond row.\nThird\n");
    const std::string ipuz = writeIpuz(*r.puzzle, "");
    EXPECT_EQ(ipuz.find('\r'), std::string::npos);
    EXPECT_NE(ipuz.find("First row.<br/>Second row.<br/>Third"), std::string::npos);
}
