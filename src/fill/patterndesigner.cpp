// SPDX-License-Identifier: GPL-3.0-or-later
#include "patterndesigner.h"

#include "fillengine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <set>

namespace korvel {

namespace {

std::string at(int r, int c) {
    return "R" + std::to_string(r + 1) + " C" + std::to_string(c + 1);
}

bool isLetter(char ch) {
    return ch >= 'A' && ch <= 'Z';
}

} // namespace

PatternRules defaultPatternRules(int16_t rows, int16_t columns, PatternStyle style) {
    PatternRules r;
    r.rows = rows;
    r.columns = columns;
    r.symmetry = Symmetry::Rotate180;
    r.style = style;
    const double cells = static_cast<double>(rows) * static_cast<double>(columns);
    if (style == PatternStyle::American) {
        // 78 words on 225 cells is the published limit for a 15x15.
        r.minLength = 3;
        // A small grid keeps at least the words of an open square.
        r.maxWords = std::max(rows + columns, static_cast<int>(std::lround(cells * 78.0 / 225.0)));
        r.minWords = r.maxWords - static_cast<int>(std::lround(r.maxWords / 8.0));
    } else {
        // Two-letter words and a few unchecked cells: more, shorter words.
        r.minLength = 2;
        r.maxWords = std::max(2, static_cast<int>(std::lround(cells * 0.40)));
        r.minWords = std::max(1, static_cast<int>(std::lround(cells * 0.32)));
    }
    r.maxLength = 0;
    return r;
}

std::string rulesProblem(const PatternRules& rules) {
    if (rules.rows < MinRows || rules.rows > MaxRows || rules.columns < MinColumns ||
        rules.columns > MaxColumns) {
        return "the grid must have 2 to 25 rows and 2 to 35 columns";
    }
    const int side = std::max(rules.rows, rules.columns);
    const int shortest = rules.style == PatternStyle::American ? 3 : 2;
    if (rules.minLength < shortest) {
        return rules.style == PatternStyle::American
                   ? "entries of the American style are 3 letters long or more"
                   : "entries are 2 letters long or more";
    }
    if (rules.minLength > side) {
        return "no entry of " + std::to_string(rules.minLength) + " letters fits the grid";
    }
    if (rules.maxLength != 0 && (rules.maxLength < rules.minLength || rules.maxLength < 2)) {
        return "the longest entry is shorter than the shortest";
    }
    if (rules.minWords < 0 || rules.maxWords < 1 || rules.minWords > rules.maxWords) {
        return "the word counts make no range (at least 1 word, the fewest no more than the most)";
    }
    return {};
}

std::vector<TypedEntry> typedEntries(const GridModel& keep, int minLength) {
    const int shortest = std::max(3, minLength);
    std::vector<TypedEntry> out;
    for (int d = 0; d < 2; ++d) {
        const bool down = d == 1;
        const int outer = down ? keep.ColumnCount : keep.RowCount;
        const int inner = down ? keep.RowCount : keep.ColumnCount;
        for (int a = 0; a < outer; ++a) {
            int start = -1;
            for (int b = 0; b <= inner; ++b) {
                const bool letter = b < inner && isLetter(down ? keep.cell(b, a) : keep.cell(a, b));
                if (letter && start < 0) {
                    start = b;
                } else if (!letter && start >= 0) {
                    if (b - start >= shortest) {
                        out.push_back({static_cast<int16_t>(down ? start : a),
                                       static_cast<int16_t>(down ? a : start),
                                       down ? Direction::Down : Direction::Across,
                                       static_cast<int16_t>(b - start)});
                    }
                    start = -1;
                }
            }
        }
    }
    return out;
}

// The check reads the grid afresh, sharing nothing with the generator: the
// runs of white cells along each row and column, their lengths per cell,
// and a flood of the white cells.
std::vector<std::string> checkPattern(const GridModel& pattern, const PatternRules& rules,
                                      const PatternKeep* keep) {
    std::vector<std::string> faults;
    const int R = pattern.RowCount;
    const int C = pattern.ColumnCount;
    if (R != rules.rows || C != rules.columns) {
        faults.push_back("the grid is " + std::to_string(R) + " x " + std::to_string(C) + ", not " +
                         std::to_string(rules.rows) + " x " + std::to_string(rules.columns));
        return faults;
    }
    const auto black = [&](int r, int c) { return pattern.isBlack(r, c); };

    // Symmetry: each black cell's partner is black.
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            const auto [pr, pc] = symmetricPartner(pattern, static_cast<int16_t>(r),
                                                   static_cast<int16_t>(c), rules.symmetry);
            if (black(r, c) && !black(pr, pc)) {
                faults.push_back("not symmetric: " + at(r, c) + " is black, " + at(pr, pc) +
                                 " is not");
            }
        }
    }

    // Run lengths through every white cell, across (0) and down (1).
    std::vector<int> len[2];
    len[0].assign(static_cast<std::size_t>(R * C), 0);
    len[1].assign(static_cast<std::size_t>(R * C), 0);
    int words = 0;
    int whites = 0;
    for (int d = 0; d < 2; ++d) {
        const int outer = d == 0 ? R : C;
        const int inner = d == 0 ? C : R;
        for (int a = 0; a < outer; ++a) {
            int b = 0;
            while (b < inner) {
                const int r0 = d == 0 ? a : b;
                const int c0 = d == 0 ? b : a;
                if (black(r0, c0)) {
                    ++b;
                    continue;
                }
                int e = b;
                while (e < inner && !black(d == 0 ? a : e, d == 0 ? e : a)) {
                    ++e;
                }
                const int n = e - b;
                for (int k = b; k < e; ++k) {
                    const int r = d == 0 ? a : k;
                    const int c = d == 0 ? k : a;
                    len[d][static_cast<std::size_t>(r * C + c)] = n;
                }
                if (n >= 2) {
                    ++words;
                    const std::string where =
                        "the entry at " + at(r0, c0) + (d == 0 ? " across" : " down");
                    if (n < rules.minLength) {
                        faults.push_back(where + " has " + std::to_string(n) +
                                         " letters, fewer than " + std::to_string(rules.minLength));
                    }
                    if (rules.maxLength > 0 && n > rules.maxLength) {
                        faults.push_back(where + " has " + std::to_string(n) +
                                         " letters, more than " + std::to_string(rules.maxLength));
                    }
                }
                b = e;
            }
        }
    }

    // Unchecked cells: white, in an entry one way only.
    int unchecked = 0;
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < C; ++c) {
            if (black(r, c)) {
                continue;
            }
            ++whites;
            const auto i = static_cast<std::size_t>(r * C + c);
            const bool across = len[0][i] >= 2;
            const bool down = len[1][i] >= 2;
            if (!across && !down) {
                faults.push_back("the white cell " + at(r, c) + " is in no entry");
            } else if (across != down) {
                ++unchecked;
                if (rules.style == PatternStyle::American) {
                    faults.push_back("the cell " + at(r, c) + " is checked one way only");
                }
            }
        }
    }
    if (rules.style == PatternStyle::Italian && unchecked * ItalianUncheckedShare > whites) {
        faults.push_back(std::to_string(unchecked) +
                         " cells are checked one way only, more than one in " +
                         std::to_string(ItalianUncheckedShare) + " of the " +
                         std::to_string(whites) + " white cells");
    }

    if (words < rules.minWords || words > rules.maxWords) {
        faults.push_back(std::to_string(words) + " words, not " + std::to_string(rules.minWords) +
                         " to " + std::to_string(rules.maxWords));
    }

    // Connected: a flood from the first white cell reaches every white cell.
    if (whites > 0) {
        std::vector<char> seen(static_cast<std::size_t>(R * C), 0);
        std::vector<int> stack;
        for (int i = 0; i < R * C && stack.empty(); ++i) {
            if (!black(i / C, i % C)) {
                stack.push_back(i);
                seen[static_cast<std::size_t>(i)] = 1;
            }
        }
        int reached = 0;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            ++reached;
            const int r = i / C;
            const int c = i % C;
            const int near[4][2] = {{r - 1, c}, {r + 1, c}, {r, c - 1}, {r, c + 1}};
            for (const auto& [nr, nc] : near) {
                if (nr >= 0 && nr < R && nc >= 0 && nc < C && !black(nr, nc) &&
                    !seen[static_cast<std::size_t>(nr * C + nc)]) {
                    seen[static_cast<std::size_t>(nr * C + nc)] = 1;
                    stack.push_back(nr * C + nc);
                }
            }
        }
        if (reached != whites) {
            for (int i = 0; i < R * C; ++i) {
                if (!black(i / C, i % C) && !seen[static_cast<std::size_t>(i)]) {
                    faults.push_back("the white cells are not connected: " + at(i / C, i % C) +
                                     " is cut off");
                    break;
                }
            }
        }
    }

    if (keep != nullptr) {
        const GridModel& k = keep->grid;
        for (int r = 0; r < std::min<int>(R, k.RowCount); ++r) {
            for (int c = 0; c < std::min<int>(C, k.ColumnCount); ++c) {
                if (isLetter(k.cell(r, c)) && pattern.cell(r, c) != k.cell(r, c)) {
                    faults.push_back("the letter " + std::string(1, k.cell(r, c)) + " at " +
                                     at(r, c) + " is not kept");
                }
            }
        }
        if (keep->wholeEntries) {
            for (const TypedEntry& e : typedEntries(k, rules.minLength)) {
                const bool down = e.direction == Direction::Down;
                const int br = down ? e.row - 1 : e.row;
                const int bc = down ? e.column : e.column - 1;
                const int ar = down ? e.row + e.length : e.row;
                const int ac = down ? e.column : e.column + e.length;
                const bool closedBefore = !pattern.contains(br, bc) || black(br, bc);
                const bool closedAfter = !pattern.contains(ar, ac) || black(ar, ac);
                if (!closedBefore || !closedAfter) {
                    faults.push_back("the typed entry at " + at(e.row, e.column) +
                                     (down ? " down" : " across") + " is not an entry of its own");
                }
            }
        }
    }
    return faults;
}

PatternFigures patternFigures(const GridModel& pattern) {
    PatternFigures f;
    const Slots slots = Slots::of(pattern);
    f.words = static_cast<int>(slots.size());
    for (const Slot& s : slots.all()) {
        f.longest = std::max<int>(f.longest, s.length);
    }
    for (int r = 0; r < pattern.RowCount; ++r) {
        for (int c = 0; c < pattern.ColumnCount; ++c) {
            if (pattern.isBlack(r, c)) {
                ++f.blacks;
            } else if ((slots.slotAt(r, c, Direction::Across) >= 0) !=
                       (slots.slotAt(r, c, Direction::Down) >= 0)) {
                ++f.uncheckedCells;
            }
        }
    }
    return f;
}

// ---------------------------------------------------------------- generator

// The generator adds blacks, a symmetric pair at a time, to a grid that
// starts white but for the blacks the kept entries need. Every addition
// must keep the rules that more blacks can never mend (entry lengths,
// unchecked cells, connection); cells in long runs are chosen first, so
// that the longest entries are cut. A try ends when the word count reaches
// a target drawn from the range, and fails when it overshoots or no black
// can be added.
struct PatternGenerator::State {
    PatternRules rules;
    int R = 0;
    int C = 0;
    int n = 0;
    std::string problem;
    bool exhausted = false;
    int longestRun = 0; // the effective longest entry
    std::vector<int> partner;
    std::vector<char> forcedWhite;
    std::vector<char> base; // 1 for black
    std::vector<char> letters;
    std::mt19937_64 rng;
    std::set<std::vector<char>> seen;
    int repeats = 0; // tries that ended in a pattern already made

    // Scratch of one evaluation.
    std::vector<int> len[2];
    std::vector<int> stack;
    std::vector<char> mark;

    struct Eval {
        bool ok = false;
        int words = 0;
        int longest = 0;
    };

    // The rules that adding blacks cannot mend, on black: every white cell
    // in entries of allowed length (American: both ways; Italian: at least
    // one way, and the unchecked ones at most one white cell in six), the
    // white cells connected. Counts the words and the longest entry too.
    Eval evaluate(const std::vector<char>& black) {
        Eval e;
        for (int d = 0; d < 2; ++d) {
            len[d].assign(static_cast<std::size_t>(n), 0);
            const int outer = d == 0 ? R : C;
            const int inner = d == 0 ? C : R;
            const int step = d == 0 ? 1 : C;
            for (int a = 0; a < outer; ++a) {
                const int first = d == 0 ? a * C : a;
                int b = 0;
                while (b < inner) {
                    if (black[static_cast<std::size_t>(first + b * step)]) {
                        ++b;
                        continue;
                    }
                    int end = b;
                    while (end < inner && !black[static_cast<std::size_t>(first + end * step)]) {
                        ++end;
                    }
                    const int runLength = end - b;
                    if (runLength >= 2) {
                        if (runLength < rules.minLength) {
                            return e;
                        }
                        ++e.words;
                        e.longest = std::max(e.longest, runLength);
                    }
                    for (int k = b; k < end; ++k) {
                        len[d][static_cast<std::size_t>(first + k * step)] = runLength;
                    }
                    b = end;
                }
            }
        }
        int whites = 0;
        int unchecked = 0;
        int firstWhite = -1;
        for (int i = 0; i < n; ++i) {
            if (black[static_cast<std::size_t>(i)]) {
                continue;
            }
            ++whites;
            if (firstWhite < 0) {
                firstWhite = i;
            }
            const bool across = len[0][static_cast<std::size_t>(i)] >= 2;
            const bool down = len[1][static_cast<std::size_t>(i)] >= 2;
            if (!across && !down) {
                return e;
            }
            if (across != down) {
                if (rules.style == PatternStyle::American) {
                    return e;
                }
                ++unchecked;
            }
        }
        if (unchecked * ItalianUncheckedShare > whites || whites == 0) {
            return e;
        }
        mark.assign(static_cast<std::size_t>(n), 0);
        stack.assign(1, firstWhite);
        mark[static_cast<std::size_t>(firstWhite)] = 1;
        int reached = 0;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            ++reached;
            const int r = i / C;
            const int c = i % C;
            const auto visit = [&](int j) {
                if (!black[static_cast<std::size_t>(j)] && !mark[static_cast<std::size_t>(j)]) {
                    mark[static_cast<std::size_t>(j)] = 1;
                    stack.push_back(j);
                }
            };
            if (r > 0) {
                visit(i - C);
            }
            if (r + 1 < R) {
                visit(i + C);
            }
            if (c > 0) {
                visit(i - 1);
            }
            if (c + 1 < C) {
                visit(i + 1);
            }
        }
        e.ok = reached == whites;
        return e;
    }

    void setUp(const std::optional<PatternKeep>& keep) {
        R = rules.rows;
        C = rules.columns;
        n = R * C;
        partner.resize(static_cast<std::size_t>(n));
        GridModel shape = GridModel::make(static_cast<int16_t>(R), static_cast<int16_t>(C));
        for (int i = 0; i < n; ++i) {
            const auto [pr, pc] = symmetricPartner(shape, static_cast<int16_t>(i / C),
                                                   static_cast<int16_t>(i % C), rules.symmetry);
            partner[static_cast<std::size_t>(i)] = pr * C + pc;
        }
        forcedWhite.assign(static_cast<std::size_t>(n), 0);
        base.assign(static_cast<std::size_t>(n), 0);
        letters.assign(static_cast<std::size_t>(n), 0);
        longestRun = rules.maxLength > 0 ? rules.maxLength : std::max(R, C);
        if (!keep) {
            checkBase();
            return;
        }
        const GridModel& k = keep->grid;
        if (k.RowCount != R || k.ColumnCount != C) {
            problem = "the grid to keep is not " + std::to_string(R) + " x " + std::to_string(C);
            return;
        }
        for (int i = 0; i < n; ++i) {
            const char ch = k.cell(i / C, i % C);
            if (isLetter(ch)) {
                letters[static_cast<std::size_t>(i)] = ch;
                forcedWhite[static_cast<std::size_t>(i)] = 1;
                forcedWhite[static_cast<std::size_t>(partner[static_cast<std::size_t>(i)])] = 1;
            }
        }
        if (keep->wholeEntries) {
            for (const TypedEntry& e : typedEntries(k, rules.minLength)) {
                if (rules.maxLength > 0 && e.length > rules.maxLength) {
                    problem = "the typed entry at " + at(e.row, e.column) + " has " +
                              std::to_string(e.length) + " letters, more than " +
                              std::to_string(rules.maxLength);
                    return;
                }
                const bool down = e.direction == Direction::Down;
                const int ends[2][2] = {
                    {down ? e.row - 1 : e.row, down ? e.column : e.column - 1},
                    {down ? e.row + e.length : e.row, down ? e.column : e.column + e.length}};
                for (const auto& [r, c] : ends) {
                    if (r >= 0 && r < R && c >= 0 && c < C) {
                        if (!blacken(r * C + c)) {
                            return;
                        }
                    }
                }
            }
        }
        // Cells that can never be white: in American style a cell whose run,
        // however few blacks are added, stays shorter than an entry; in
        // either style a cell shut in both ways.
        for (bool changed = true; changed && problem.empty();) {
            changed = false;
            for (int i = 0; i < n && problem.empty(); ++i) {
                if (base[static_cast<std::size_t>(i)]) {
                    continue;
                }
                // The longest run through i along each way if no other
                // cell turned black.
                const int r = i / C;
                const int c = i % C;
                int most[2];
                for (int d = 0; d < 2; ++d) {
                    const int dr = d == 0 ? 0 : 1;
                    const int dc = d == 0 ? 1 : 0;
                    int count = 1;
                    for (int sign : {-1, 1}) {
                        int rr = r + sign * dr;
                        int cc = c + sign * dc;
                        while (rr >= 0 && rr < R && cc >= 0 && cc < C &&
                               !base[static_cast<std::size_t>(rr * C + cc)]) {
                            ++count;
                            rr += sign * dr;
                            cc += sign * dc;
                        }
                    }
                    most[d] = count;
                }
                const bool shut = rules.style == PatternStyle::American
                                      ? most[0] < rules.minLength || most[1] < rules.minLength
                                      : most[0] < 2 && most[1] < 2;
                if (shut) {
                    blacken(i);
                    changed = true;
                }
            }
        }
        if (problem.empty()) {
            checkBase();
        }
    }

    // Makes cell i and its partner black for good; false (with the problem
    // set) when a kept letter is there.
    bool blacken(int i) {
        for (int j : {i, partner[static_cast<std::size_t>(i)]}) {
            if (forcedWhite[static_cast<std::size_t>(j)]) {
                problem = "the cell " + at(j / C, j % C) +
                          " must stay white for a kept letter, but the typed entries and the "
                          "symmetry need it black";
                return false;
            }
            base[static_cast<std::size_t>(j)] = 1;
        }
        return true;
    }

    void checkBase() {
        const Eval e = evaluate(base);
        if (!e.ok) {
            problem = "the kept letters leave no pattern that meets the rules: the blacks their "
                      "entries need break the rules already";
        } else if (e.words > rules.maxWords) {
            problem = "the kept letters need " + std::to_string(e.words) +
                      " words or more, above the " + std::to_string(rules.maxWords) + " allowed";
        }
    }

    // Whether a black at i would leave a word on both sides of it along
    // way d (0 across, 1 down).
    int splits(int i, int d) const {
        const int r = i / C;
        const int c = i % C;
        const int dr = d == 0 ? 0 : 1;
        const int dc = d == 0 ? 1 : 0;
        int sides = 0;
        for (int sign : {-1, 1}) {
            int count = 0;
            int rr = r + sign * dr;
            int cc = c + sign * dc;
            while (rr >= 0 && rr < R && cc >= 0 && cc < C && count < 2 &&
                   len[d][static_cast<std::size_t>(rr * C + cc)] > 0) {
                ++count;
                rr += sign * dr;
                cc += sign * dc;
            }
            sides += count >= 2 ? 1 : 0;
        }
        return sides == 2 ? 1 : 0;
    }

    // One try: a pattern, or nothing. A try that has reached its target
    // may go on adding blacks, within the word range, the likelier the more
    // tries have ended in a pattern already made: a small grid has few
    // patterns at its first targets.
    std::optional<std::vector<char>> attempt(const std::function<bool()>& tick) {
        std::vector<char> black = base;
        Eval e = evaluate(black);
        const int target = std::uniform_int_distribution<int>(rules.minWords, rules.maxWords)(rng);
        std::bernoulli_distribution goOn(static_cast<double>(repeats) /
                                         static_cast<double>(repeats + 4));
        std::vector<int> pool;
        std::vector<double> weights;
        std::vector<char> trial;
        for (;;) {
            if (!tick()) {
                return std::nullopt;
            }
            if (e.words > rules.maxWords) {
                return std::nullopt;
            }
            const bool done = e.words >= target && e.longest <= longestRun;
            if (done && !goOn(rng)) {
                return black;
            }
            // The cells that may turn black, one of each pair, weighted by
            // the runs through them: the longer, the likelier.
            pool.clear();
            weights.clear();
            for (int i = 0; i < n; ++i) {
                const int p = partner[static_cast<std::size_t>(i)];
                if (p < i || black[static_cast<std::size_t>(i)] ||
                    forcedWhite[static_cast<std::size_t>(i)]) {
                    continue;
                }
                const double a = len[0][static_cast<std::size_t>(i)];
                const double d = len[1][static_cast<std::size_t>(i)];
                // A black that cuts a run in two adds a word; one at the end
                // of a run only shortens it. Cuts give more words for as
                // many blacks.
                const int cuts = splits(i, 0) + splits(i, 1);
                double w = (a * a + d * d) * (1 + 2 * cuts);
                if (a > longestRun || d > longestRun) {
                    w *= 50;
                }
                pool.push_back(i);
                weights.push_back(w);
            }
            bool added = false;
            while (!pool.empty()) {
                std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
                const std::size_t k = pick(rng);
                const int i = pool[k];
                trial = black;
                trial[static_cast<std::size_t>(i)] = 1;
                trial[static_cast<std::size_t>(partner[static_cast<std::size_t>(i)])] = 1;
                const Eval t = evaluate(trial);
                // Past the target, a black must keep the pattern whole.
                if (t.ok && (!done || (t.words <= rules.maxWords && t.words >= rules.minWords &&
                                       t.longest <= longestRun))) {
                    black.swap(trial);
                    e = t;
                    added = true;
                    break;
                }
                pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(k));
                weights.erase(weights.begin() + static_cast<std::ptrdiff_t>(k));
            }
            if (!added) {
                if (done) {
                    return black;
                }
                return std::nullopt;
            }
            // evaluate() left the run lengths of the grid as it now is.
        }
    }
};

PatternGenerator::PatternGenerator(const PatternRules& rules,
                                   const std::optional<PatternKeep>& keep, uint64_t seed)
    : state_(new State) {
    state_->rules = rules;
    state_->rng.seed(seed);
    state_->problem = rulesProblem(rules);
    if (state_->problem.empty()) {
        state_->setUp(keep);
    }
}

PatternGenerator::~PatternGenerator() {
    delete state_;
}

const std::string& PatternGenerator::problem() const {
    return state_->problem;
}

bool PatternGenerator::exhausted() const {
    return state_->exhausted;
}

void PatternGenerator::setLongestRun(int longest) {
    State& s = *state_;
    const int rule = s.rules.maxLength > 0 ? s.rules.maxLength : std::max(s.R, s.C);
    s.longestRun = longest > 0 ? std::min(rule, std::max(longest, s.rules.minLength)) : rule;
}

std::optional<GridModel> PatternGenerator::next(const std::function<bool()>& tick,
                                                int maxFailures) {
    State& s = *state_;
    if (!s.problem.empty() || s.exhausted) {
        return std::nullopt;
    }
    for (int failures = 0; failures < maxFailures;) {
        if (!tick()) {
            return std::nullopt;
        }
        std::optional<std::vector<char>> black = s.attempt(tick);
        if (!black) {
            ++failures;
            continue;
        }
        if (!s.seen.insert(*black).second) {
            ++failures;
            ++s.repeats;
            continue;
        }
        GridModel g = GridModel::make(static_cast<int16_t>(s.R), static_cast<int16_t>(s.C));
        for (int i = 0; i < s.n; ++i) {
            const auto k = static_cast<std::size_t>(i);
            g.setCell(i / s.C, i % s.C,
                      (*black)[k]         ? BLACK
                      : s.letters[k] != 0 ? s.letters[k]
                                          : EmptyCell);
        }
        return g;
    }
    s.exhausted = true;
    return std::nullopt;
}

// ---------------------------------------------------------------- design

PatternDesign designPatterns(const PatternRequest& request, const WordIndex* index,
                             SearchHost& host, const SearchFlags& flags) {
    using fillengine::Pacer;
    PatternDesign design;
    Pacer pacer(host, flags, request.timeLimit);
    const auto tick = [&pacer] { return pacer.tick(); };
    const int offered = std::max(1, request.count);
    const int wanted = std::max(offered, request.candidates > 0 ? request.candidates : 2 * offered);

    PatternGenerator generator(request.rules, request.keep, request.seed);
    if (!generator.problem().empty()) {
        design.problem = generator.problem();
        return design;
    }
    const bool ranking = index != nullptr && request.quickFill > 0;
    if (ranking) {
        // No entry longer than the longest word of the lists.
        int longest = 0;
        for (int len = MinWordLength; len <= MaxWordLength; ++len) {
            if (index->count(len) > 0) {
                longest = len;
            }
        }
        generator.setLongestRun(longest);
    }

    std::vector<DesignedPattern> made;
    while (static_cast<int>(made.size()) < wanted) {
        std::optional<GridModel> g = generator.next(tick);
        if (!g) {
            break;
        }
        if (made.empty()) {
            design.firstPatternSeconds = pacer.seconds();
        }
        DesignedPattern p;
        p.figures = patternFigures(*g);
        p.grid = std::move(*g);
        made.push_back(std::move(p));
    }
    if (made.empty() && generator.exhausted()) {
        design.problem = "no pattern that meets the rules was found";
    }

    if (ranking) {
        FillOptions o = request.fill;
        o.region.reset();
        o.onlySlots.clear();
        o.keepThemeEntries = true;
        for (DesignedPattern& p : made) {
            if (pacer.stopped()) {
                break;
            }
            const Slots slots = Slots::of(p.grid);
            const FillCheck check = checkFill(p.grid, slots, *index, host, flags, o);
            if (check.stopped) {
                break;
            }
            double sum = 0;
            for (uint32_t words : check.slotCandidates) {
                sum += std::log1p(static_cast<double>(words));
            }
            p.looseness = check.slotCandidates.empty()
                              ? 0
                              : sum / static_cast<double>(check.slotCandidates.size());
            if (!check.deadSlots.empty()) {
                p.ranked = true;
                p.quickFill = FillStatus::NoFill;
                continue;
            }
            const double left =
                request.timeLimit > 0 ? request.timeLimit - pacer.seconds() : request.quickFill;
            if (left <= 0) {
                break;
            }
            o.timeLimit = std::min(request.quickFill, left);
            o.seed = request.seed;
            const FillResult r = fillGrid(p.grid, slots, *index, o, host, flags);
            if (r.status == FillStatus::Stopped && r.aborted) {
                design.aborted = true;
                break;
            }
            p.ranked = true;
            p.quickFill = r.status;
            p.quickFillSeconds = r.stats.seconds;
            if (r.status == FillStatus::Filled) {
                p.filled = r.grid;
            }
        }
        const auto group = [](const DesignedPattern& p) {
            if (!p.ranked) {
                return 3;
            }
            return p.quickFill == FillStatus::Filled    ? 0
                   : p.quickFill == FillStatus::Stopped ? 1
                                                        : 2;
        };
        std::stable_sort(made.begin(), made.end(),
                         [&](const DesignedPattern& a, const DesignedPattern& b) {
                             const int ga = group(a);
                             const int gb = group(b);
                             if (ga != gb) {
                                 return ga < gb;
                             }
                             if (ga == 0) {
                                 return a.quickFillSeconds < b.quickFillSeconds;
                             }
                             return ga < 3 && a.looseness > b.looseness;
                         });
    }
    design.made = static_cast<int>(made.size());
    if (static_cast<int>(made.size()) > offered) {
        made.resize(static_cast<std::size_t>(offered));
    }
    design.patterns = std::move(made);
    design.aborted = design.aborted || pacer.aborted();
    design.stopped = design.aborted || pacer.stopped() ||
                     (request.timeLimit > 0 && pacer.seconds() >= request.timeLimit);
    design.seconds = pacer.seconds();
    return design;
}

} // namespace korvel
