// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The pattern designer: black squares laid out by rule, for a size, a
// symmetry, a range of word counts and a shortest entry, around the letters
// the constructor wants to keep; the patterns are ranked by how easily the
// word lists fill them.

#include "fill.h"
#include "gridmodel.h"
#include "searchhost.h"
#include "slots.h"
#include "symmetry.h"
#include "wordindex.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvel {

// American style: every white cell is in an entry across and one down
// (checked both ways), entries of 3 letters or more. Italian style: entries
// of 2 letters or more, and a few cells may be in one entry only (checked
// one way), at most one white cell in ItalianUncheckedShare.
enum class PatternStyle { American, Italian };
inline constexpr int ItalianUncheckedShare = 6;

// What every pattern must meet.
struct PatternRules {
    int16_t rows = 15;
    int16_t columns = 15;
    // Blacks sit in pairs: a black cell's partner (symmetricPartner) is black.
    Symmetry symmetry = Symmetry::Rotate180;
    PatternStyle style = PatternStyle::American;
    // The shortest entry: 3 or more in American style, 2 or more in Italian.
    int minLength = 3;
    // The longest entry; 0 for none but the grid's side.
    int maxLength = 0;
    // Entries across and down (runs of 2 cells or more), both ends included.
    int minWords = 0;
    int maxWords = 0;
};

// The usual rules of a style for a size: half-turn symmetry, entries of 3
// (American) or 2 (Italian) letters or more, and a range of word counts
// that grows with the grid (68 to 78 for an American 15x15, the published
// limit; more and shorter words in the Italian style).
PatternRules defaultPatternRules(int16_t rows, int16_t columns, PatternStyle style);

// Why rules cannot be met by any grid (a size out of range, an entry
// shorter than the style allows, an empty word range ...); empty when they
// can be tried.
std::string rulesProblem(const PatternRules& rules);

// The letters to keep: every cell of keep holding a letter "A" to "Z" stays
// white and keeps its letter. With wholeEntries, each run of letters across
// or down at least max(3, minLength) long is a typed entry and stays whole:
// the cells right before and after it are black (or the border), so it is
// an entry of its own, exactly as typed. keep must have the rules' size.
struct PatternKeep {
    GridModel grid;
    bool wholeEntries = true;
};

// A typed entry of keep: its first cell, direction and length.
struct TypedEntry {
    int16_t row = 0;
    int16_t column = 0;
    Direction direction = Direction::Across;
    int16_t length = 0;
};
std::vector<TypedEntry> typedEntries(const GridModel& keep, int minLength);

// The independent check of a pattern against the rules: symmetry, white
// cells connected, entry lengths, word count, unchecked cells (none in
// American style, at most one white cell in six in Italian style; no white
// cell outside every entry in either), and, given keep, its letters in
// place and its typed entries whole. One line per fault, empty when the
// pattern meets every rule. A cell is black when it holds BLACK or "@".
std::vector<std::string> checkPattern(const GridModel& pattern, const PatternRules& rules,
                                      const PatternKeep* keep = nullptr);

// A pattern's figures, counted from the grid.
struct PatternFigures {
    int words = 0;
    int blacks = 0;
    int uncheckedCells = 0;
    int longest = 0;
};
PatternFigures patternFigures(const GridModel& pattern);

// Makes patterns that meet the rules one after another, each different
// from those before. Random but repeatable: the same rules, keep and seed
// give the same patterns.
class PatternGenerator {
public:
    PatternGenerator(const PatternRules& rules, const std::optional<PatternKeep>& keep,
                     uint64_t seed);
    ~PatternGenerator();
    PatternGenerator(const PatternGenerator&) = delete;
    PatternGenerator& operator=(const PatternGenerator&) = delete;

    // Why no pattern can be made (the rules, or kept letters that the
    // symmetry or the entries' ends contradict); empty when it can try.
    const std::string& problem() const;

    // The next pattern: blacks as BLACK, the kept letters, "?" elsewhere.
    // Nothing when tick() returned false (it is called now and then: the
    // host's yield and the clock), or when maxFailures tries in a row in
    // vain ended it (then exhausted() is true). longestRun, when above 0,
    // also keeps every entry at most that long, for a word list without
    // longer words; it is no rule.
    std::optional<GridModel> next(const std::function<bool()>& tick, int maxFailures = 4000);
    bool exhausted() const;
    void setLongestRun(int longest);

private:
    struct State;
    State* state_;
};

// What the designer is asked for.
struct PatternRequest {
    PatternRules rules;
    std::optional<PatternKeep> keep;
    // Patterns to offer, and how many different ones to make and rank for
    // them (0: twice as many).
    int count = 5;
    int candidates = 0;
    uint64_t seed = 1;
    // The quick fill that ranks them: seconds per pattern (0: no ranking,
    // the patterns in the order made), with these options (the minimum
    // score, the ban list, repeats; its time limit and region are not used,
    // and theme entries are always kept: the typed entries are the
    // constructor's).
    double quickFill = 1.0;
    FillOptions fill;
    // Seconds for the whole design, 0 for no limit.
    double timeLimit = 0;
};

// One offered pattern.
struct DesignedPattern {
    GridModel grid;
    PatternFigures figures;
    // The quick fill: Filled (its grid in filled), NoFill (proved: the lists
    // cannot fill it) or Stopped (its time was up; not ranked by it).
    bool ranked = false;
    FillStatus quickFill = FillStatus::Stopped;
    double quickFillSeconds = 0;
    std::optional<GridModel> filled;
    // For a pattern the quick fill did not fill: the mean over its slots of
    // the natural logarithm of the words left to each once the cells are
    // narrowed (higher is easier); 0 for a filled one.
    double looseness = 0;
};

struct PatternDesign {
    // Best first: filled by the quick fill (the faster first), then those
    // it could not settle, then those it proved unfillable (each group the
    // loosest first); unranked ones in the order made.
    std::vector<DesignedPattern> patterns;
    // Why nothing could be made: the rules, the kept letters, or no pattern
    // found in maxFailures tries.
    std::string problem;
    int made = 0;         // different patterns made and ranked
    bool stopped = false; // the time limit or the abort request cut it short
    bool aborted = false; // the abort request did
    double seconds = 0;
    double firstPatternSeconds = -1; // when the first pattern was made
};

// Makes request.candidates patterns (fewer when stopped), ranks them by a
// quick fill on index (none without one, or with quickFill 0) and offers
// the best request.count. Takes the host's yield and the abort request as
// the fill does.
PatternDesign designPatterns(const PatternRequest& request, const WordIndex* index,
                             SearchHost& host, const SearchFlags& flags);

} // namespace korvel
