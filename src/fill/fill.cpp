// SPDX-License-Identifier: GPL-3.0-or-later
#include "fill.h"

#include "fillengine.h"
#include "gridstats.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <map>
#include <random>

namespace korvel {

using namespace fillengine;

namespace {

bool single(LetterMask m) {
    return m != 0 && (m & (m - 1)) == 0;
}

// The search: slots are the variables (a slot all of whose empty cells are to
// be filled takes a word), cells left over take a letter. Variable choice by
// fewest words weighted by the failures seen around the slot (dom/wdeg);
// words first that leave their crossings the most words (and, with scores,
// the better words); restarts with a growing failure limit, keeping the
// weights, until a run ends by itself.
//
// A restart keeps what the run it ends has proved: every word tried and
// refuted under the decisions above it is a nogood (those decisions together
// with that word have no fill), and later runs skip the word whenever the
// same decisions hold again. So the run that ends by itself, the one that
// proves there is no fill, does not search again what earlier runs searched.
class Search {
public:
    Search(const Layout& layout, const WordIndex& index, Engine& engine, Pacer& pacer,
           const std::vector<bool>& assignable, const std::vector<int>& cellVariables,
           uint64_t seed, bool scoreOrder)
        : layout_(layout), index_(index), engine_(engine), pacer_(pacer), assignable_(assignable),
          cellVariables_(cellVariables), rng_(seed), weight_(layout.slots.size(), 1.0),
          scoreWeight_(index.hasScores() && scoreOrder ? ScoreWeight : 0),
          decided_(layout.slots.size() + layout.kind.size(), -1), nogoods_(layout.slots.size()) {}

    enum class Outcome { Solved, Exhausted, Stopped };

    Outcome run(FillStats& stats) {
        double limit = 32;
        const std::size_t root = engine_.mark();
        for (;;) {
            failuresLeft_ = static_cast<uint64_t>(limit);
            cut_ = false;
            const bool solved = dfs(stats);
            if (solved) {
                return Outcome::Solved;
            }
            engine_.undo(root);
            if (pacer_.stopped()) {
                return Outcome::Stopped;
            }
            if (!cut_) {
                return Outcome::Exhausted;
            }
            ++stats.restarts;
            limit *= 1.5;
        }
    }

private:
    bool slotDone(int s) const {
        for (int cell : layout_.slotCells[static_cast<std::size_t>(s)]) {
            if (!single(engine_.domain(cell))) {
                return false;
            }
        }
        return true;
    }

    double wdeg(int s) const {
        double w = weight_[static_cast<std::size_t>(s)];
        const int len = layout_.slots[static_cast<std::size_t>(s)].length;
        for (int p = 0; p < len; ++p) {
            const int y = layout_.crossing(s, p);
            if (y >= 0) {
                w += 0.5 * weight_[static_cast<std::size_t>(y)];
            }
        }
        return w;
    }

    void failed(FillStats& stats) {
        ++stats.failures;
        const int s = engine_.failedSlot;
        if (s >= 0) {
            weight_[static_cast<std::size_t>(s)] += 1;
        }
        if (failuresLeft_ > 0) {
            --failuresLeft_;
        }
        if (failuresLeft_ == 0) {
            cut_ = true;
        }
    }

    bool assignCells(const std::vector<std::pair<int, LetterMask>>& cells, FillStats& stats) {
        engine_.newLevel();
        for (const auto& [cell, m] : cells) {
            engine_.setDomain(cell, m);
        }
        ++stats.nodes;
        return engine_.propagate([this] { return pacer_.tick(); });
    }

    bool dfs(FillStats& stats) {
        if (pacer_.stopped() || cut_) {
            return false;
        }
        // Variable choice.
        int best = -1;
        double bestScore = 0;
        std::uniform_real_distribution<double> jitter(1.0, 1.05);
        for (std::size_t s = 0; s < layout_.slots.size(); ++s) {
            if (!assignable_[s] || slotDone(static_cast<int>(s))) {
                continue;
            }
            const double score =
                engine_.count(static_cast<int>(s)) / wdeg(static_cast<int>(s)) * jitter(rng_);
            if (best < 0 || score < bestScore) {
                best = static_cast<int>(s);
                bestScore = score;
            }
        }
        if (best >= 0) {
            return trySlot(best, stats);
        }
        int bestCell = -1;
        for (int cell : cellVariables_) {
            const LetterMask m = engine_.domain(cell);
            if (!single(m) &&
                (bestCell < 0 || std::popcount(m) < std::popcount(engine_.domain(bestCell)))) {
                bestCell = cell;
            }
        }
        if (bestCell >= 0) {
            return tryCell(bestCell, stats);
        }
        return true;
    }

    // A decision on the current path: a slot takes a word, or a cell (var
    // slots + cell) a letter.
    struct Decision {
        int var;
        uint32_t value;
    };
    // The premises (decisions, deepest first) under which the slot's word
    // value has no fill.
    struct Nogood {
        std::vector<Decision> premises;
        uint32_t value;
    };

    bool holds(const Nogood& n) const {
        return std::all_of(n.premises.begin(), n.premises.end(), [this](const Decision& d) {
            return decided_[static_cast<std::size_t>(d.var)] == static_cast<int64_t>(d.value);
        });
    }

    void decide(int var, uint32_t value) {
        path_.push_back({var, value});
        decided_[static_cast<std::size_t>(var)] = value;
    }
    void undecide() {
        decided_[static_cast<std::size_t>(path_.back().var)] = -1;
        path_.pop_back();
    }

    // The run is being cut short: the words refuted at slot s under the
    // decisions now on the path become nogoods.
    void learn(int s, const std::vector<uint32_t>& refuted) {
        for (uint32_t id : refuted) {
            if (nogoodCount_ >= MaxNogoods) {
                return;
            }
            nogoods_[static_cast<std::size_t>(s)].push_back(
                {std::vector<Decision>(path_.rbegin(), path_.rend()), id});
            ++nogoodCount_;
        }
    }

    bool trySlot(int s, FillStats& stats) {
        const auto& cells = layout_.slotCells[static_cast<std::size_t>(s)];
        const int len = static_cast<int>(cells.size());
        std::vector<uint32_t> ids;
        engine_.candidateIds(s, ids);
        std::vector<uint32_t> excluded;
        for (const Nogood& n : nogoods_[static_cast<std::size_t>(s)]) {
            if (holds(n)) {
                excluded.push_back(n.value);
            }
        }
        std::sort(excluded.begin(), excluded.end());
        // How many words each crossing keeps for each letter at the crossing.
        std::vector<std::array<double, 26>> gain(static_cast<std::size_t>(len));
        std::array<uint32_t, 26> counts{};
        for (int p = 0; p < len; ++p) {
            auto& g = gain[static_cast<std::size_t>(p)];
            g.fill(0);
            const int cell = cells[static_cast<std::size_t>(p)];
            const int y = layout_.crossing(s, p);
            if (single(engine_.domain(cell)) || y < 0 || !engine_.isActive(y)) {
                continue;
            }
            const int q =
                layout_.cellPositions[static_cast<std::size_t>(cell)]
                                     [layout_.slots[static_cast<std::size_t>(s)].down() ? 0 : 1];
            engine_.letterCounts(y, q, counts);
            for (int a = 0; a < 26; ++a) {
                g[static_cast<std::size_t>(a)] =
                    counts[static_cast<std::size_t>(a)] > 0
                        ? std::log(static_cast<double>(counts[static_cast<std::size_t>(a)]))
                        : -1e9;
            }
        }
        std::uniform_real_distribution<double> noise(0.0, 1.0);
        std::vector<std::pair<double, uint32_t>> order;
        order.reserve(ids.size());
        for (uint32_t id : ids) {
            const uint8_t* l = index_.letters(len, id);
            double score = 0;
            for (int p = 0; p < len; ++p) {
                score += gain[static_cast<std::size_t>(p)][l[p]];
            }
            score += noise(rng_);
            if (scoreWeight_ > 0) {
                score += scoreWeight_ * index_.score(len, id);
            }
            order.emplace_back(score, id);
        }
        std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
            return a.first > b.first || (a.first == b.first && a.second < b.second);
        });
        std::vector<std::pair<int, LetterMask>> assignment;
        std::vector<uint32_t> refuted;
        for (const auto& [score, id] : order) {
            if (std::binary_search(excluded.begin(), excluded.end(), id)) {
                continue;
            }
            const uint8_t* l = index_.letters(len, id);
            assignment.clear();
            for (int p = 0; p < len; ++p) {
                assignment.emplace_back(cells[static_cast<std::size_t>(p)], LetterMask{1} << l[p]);
            }
            const uint64_t before = stats.nodes;
            decide(s, id);
            const Trial t = attempt(assignment, stats);
            undecide();
            // A word that failed at once costs little to try again.
            if ((t == Trial::Next || t == Trial::RefutedThenStop) && stats.nodes - before > 1) {
                refuted.push_back(id);
            }
            if (t == Trial::Solved) {
                return true;
            }
            if (t != Trial::Next) {
                if (cut_ && !pacer_.stopped()) {
                    learn(s, refuted);
                }
                return false;
            }
        }
        return false;
    }

    bool tryCell(int cell, FillStats& stats) {
        std::vector<int> letters;
        for (LetterMask m = engine_.domain(cell); m != 0; m &= m - 1) {
            letters.push_back(std::countr_zero(m));
        }
        std::shuffle(letters.begin(), letters.end(), rng_);
        for (int a : letters) {
            decide(static_cast<int>(layout_.slots.size()) + cell, static_cast<uint32_t>(a));
            const Trial t = attempt({{cell, LetterMask{1} << a}}, stats);
            undecide();
            if (t != Trial::Next) {
                return t == Trial::Solved;
            }
        }
        return false;
    }

    // One candidate: its letters go into the cells and the search goes on
    // below. Solved when that filled the grid; otherwise the cells are taken
    // back, and Stop ends the search (stopped, or the restart's limit
    // reached below) while Next tries the next candidate. RefutedThenStop:
    // everything below the candidate was searched and held no fill, and then
    // its failure reached the restart's limit.
    enum class Trial { Solved, Stop, Next, RefutedThenStop };
    Trial attempt(const std::vector<std::pair<int, LetterMask>>& assignment, FillStats& stats) {
        const std::size_t m = engine_.mark();
        if (assignCells(assignment, stats) && dfs(stats)) {
            return Trial::Solved;
        }
        engine_.undo(m);
        if (pacer_.stopped() || cut_) {
            return Trial::Stop;
        }
        failed(stats);
        return cut_ ? Trial::RefutedThenStop : Trial::Next;
    }

    const Layout& layout_;
    const WordIndex& index_;
    Engine& engine_;
    Pacer& pacer_;
    const std::vector<bool>& assignable_;
    const std::vector<int>& cellVariables_;
    std::mt19937_64 rng_;
    std::vector<double> weight_;
    // What one point of a word's score weighs against the crossings' counts
    // (natural logarithms) in the order words are tried.
    static constexpr double ScoreWeight = 0.1;
    double scoreWeight_;
    // Per variable (slots, then cells) the value decided on the path, or -1.
    std::vector<int64_t> decided_;
    std::vector<Decision> path_;
    // Per slot, the nogoods that exclude one of its words.
    std::vector<std::vector<Nogood>> nogoods_;
    std::size_t nogoodCount_ = 0;
    static constexpr std::size_t MaxNogoods = 200000;
    uint64_t failuresLeft_ = 0;
    bool cut_ = false;
};

FillResult noFill(const GridModel& grid, std::string reason) {
    FillResult r;
    r.status = FillStatus::NoFill;
    r.grid = grid;
    r.reason = std::move(reason);
    return r;
}

} // namespace

FillResult fillGrid(const GridModel& grid, const Slots& slots, const WordIndex& index,
                    const FillOptions& options, SearchHost& host, const SearchFlags& flags) {
    Pacer pacer(host, flags, options.timeLimit);
    const Layout layout = Layout::of(grid, slots);
    const std::size_t cellCount = layout.kind.size();
    const FillRegion region = options.region.value_or(FillRegion{
        0, 0, static_cast<int16_t>(grid.RowCount - 1), static_cast<int16_t>(grid.ColumnCount - 1)});
    std::vector<bool> toFill(cellCount, false);
    for (std::size_t i = 0; i < cellCount; ++i) {
        const int r = static_cast<int>(i) / layout.columns;
        const int c = static_cast<int>(i) % layout.columns;
        toFill[i] = layout.kind[i] == CellKind::Empty && region.contains(r, c);
    }
    // The slots that take part: those reaching into the region. One whose
    // empty cells are all to be filled takes a word; the others only have to
    // keep a fitting word.
    std::vector<bool> active(layout.slots.size(), false);
    std::vector<bool> assignable(layout.slots.size(), false);
    for (std::size_t s = 0; s < layout.slots.size(); ++s) {
        bool inside = false;
        bool allMine = true;
        for (int cell : layout.slotCells[s]) {
            const auto i = static_cast<std::size_t>(cell);
            inside |= region.contains(cell / layout.columns, cell % layout.columns);
            allMine &= layout.kind[i] != CellKind::Empty || toFill[i];
        }
        active[s] = inside && options.takesPart(s);
        assignable[s] = active[s] && allMine;
    }

    // With a minimum score or bans the search runs on the words it may place
    // alone. Complete slots then leave it, whatever their score: their
    // letters stay in the cells and their words are reserved.
    const bool filtering = index.filters(options.minScore);
    const std::shared_ptr<const WordIndex> placeable =
        filtering ? index.placeable(options.minScore) : nullptr;
    const WordIndex& words = filtering ? *placeable : index;

    // What can be told at once: a complete slot that is no word (unless theme
    // entries are kept: then it only leaves the search), a word given twice,
    // a slot whose pattern no word fits. With theme entries kept, the complete
    // slots outside the region count for the repeats too.
    std::map<std::string, std::size_t> given;
    std::vector<std::pair<int, uint32_t>> reserved; // complete slots left out
    const std::vector<bool> inside = active;
    for (std::size_t s = 0; s < layout.slots.size(); ++s) {
        if (!options.takesPart(s)) {
            continue;
        }
        const bool outside = !inside[s];
        if (outside && !options.keepThemeEntries) {
            continue;
        }
        const std::string pattern = layout.pattern(grid, static_cast<int>(s));
        if (pattern.find(EmptyCell) != std::string::npos) {
            continue;
        }
        const int64_t id = index.find(pattern);
        if (id < 0) {
            if (!options.keepThemeEntries) {
                return noFill(grid, describeSlot(layout.slots[s]) +
                                        " is complete and is no word: " + pattern);
            }
            active[s] = false;
            assignable[s] = false;
        } else if (outside || filtering) {
            active[s] = false;
            assignable[s] = false;
            const int64_t placed = filtering ? words.find(pattern) : id;
            if (placed >= 0 && !options.allowRepeats) {
                reserved.emplace_back(static_cast<int>(s), static_cast<uint32_t>(placed));
            }
        }
        if (!options.allowRepeats) {
            const auto [it, fresh] = given.emplace(pattern, s);
            if (!fresh && (inside[s] || inside[it->second])) {
                return noFill(grid, "the word " + pattern + " is in " +
                                        describeSlot(layout.slots[it->second]) + " and in " +
                                        describeSlot(layout.slots[s]));
            }
        }
    }
    Engine engine(layout, words, active, false, options.allowRepeats);
    const int empty = engine.initialise();
    if (empty >= 0) {
        return noFill(grid, "no word fits " +
                                describeSlot(layout.slots[static_cast<std::size_t>(empty)]) + ": " +
                                layout.pattern(grid, empty) +
                                (filtering && patternFits(index, layout.pattern(grid, empty))
                                     ? " (no word the fill may place, at score " +
                                           std::to_string(options.minScore) + " or more)"
                                     : ""));
    }
    for (const auto& [s, id] : reserved) {
        engine.reserve(s, id);
    }

    // Cells to fill that no word-taking slot covers take a letter each.
    std::vector<int> cellVariables;
    for (std::size_t i = 0; i < cellCount; ++i) {
        if (!toFill[i]) {
            continue;
        }
        bool covered = false;
        for (int d = 0; d < 2; ++d) {
            const int s = layout.cellSlots[i][static_cast<std::size_t>(d)];
            covered |= s >= 0 && assignable[static_cast<std::size_t>(s)];
        }
        if (!covered) {
            cellVariables.push_back(static_cast<int>(i));
        }
    }

    FillResult result;
    result.grid = grid;
    const bool consistent = engine.propagate([&] { return pacer.tick(); });
    Search::Outcome outcome;
    if (pacer.stopped()) {
        outcome = Search::Outcome::Stopped;
    } else if (!consistent) {
        outcome = Search::Outcome::Exhausted;
    } else {
        Search search(layout, words, engine, pacer, assignable, cellVariables, options.seed,
                      options.scoreOrder);
        outcome = search.run(result.stats);
    }
    result.stats.seconds = pacer.seconds();
    if (!consistent && outcome == Search::Outcome::Exhausted && engine.failedSlot >= 0) {
        result.status = FillStatus::NoFill;
        result.reason = "no fill exists: no word fits " +
                        describeSlot(layout.slots[static_cast<std::size_t>(engine.failedSlot)]) +
                        " with the letters its crossings allow";
        return result;
    }
    switch (outcome) {
    case Search::Outcome::Stopped:
        result.status = FillStatus::Stopped;
        result.aborted = pacer.aborted();
        return result;
    case Search::Outcome::Exhausted:
        result.status = FillStatus::NoFill;
        result.reason = "no fill exists";
        return result;
    case Search::Outcome::Solved:
        break;
    }
    result.status = FillStatus::Filled;
    for (std::size_t i = 0; i < cellCount; ++i) {
        if (!toFill[i]) {
            continue;
        }
        const int r = static_cast<int>(i) / layout.columns;
        const int c = static_cast<int>(i) % layout.columns;
        const char after =
            static_cast<char>('A' + std::countr_zero(engine.domain(static_cast<int>(i))));
        result.changes.push_back(
            {static_cast<int16_t>(r), static_cast<int16_t>(c), grid.cell(r, c), after});
        result.grid.setCell(r, c, after);
    }
    return result;
}

namespace {

// Where a dead slot goes wrong: its empty cells whose letters (as the slot
// crossing them left them) are the only obstacle, that is, the slot would
// have a word if that one cell were free. When no single cell is to blame
// (the pattern itself has no word, or it fails in several places), every
// empty cell of the slot is dead.
std::vector<bool> deadCellsOf(const Layout& layout, const WordIndex& index, const Engine& engine) {
    std::vector<bool> dead(layout.kind.size(), false);
    std::vector<uint64_t> fits;
    std::vector<uint64_t> prefix;
    std::vector<uint64_t> suffix;
    for (std::size_t s = 0; s < layout.slots.size(); ++s) {
        if (!engine.isDead(static_cast<int>(s))) {
            continue;
        }
        const auto& cells = layout.slotCells[s];
        const int len = static_cast<int>(cells.size());
        const std::size_t blocks = index.blocks(len);
        std::vector<int> blamed;
        if (blocks > 0) {
            // fits[p]: the words whose letter at p the cell allows.
            fits.assign(static_cast<std::size_t>(len) * blocks, 0);
            for (int p = 0; p < len; ++p) {
                uint64_t* f = fits.data() + static_cast<std::size_t>(p) * blocks;
                for (LetterMask m = engine.domain(cells[static_cast<std::size_t>(p)]); m != 0;
                     m &= m - 1) {
                    const uint64_t* b = index.bits(len, p, std::countr_zero(m));
                    for (std::size_t k = 0; k < blocks; ++k) {
                        f[k] |= b[k];
                    }
                }
            }
            // prefix[p]: fits of 0..p-1; suffix[p]: fits of p+1..len-1.
            prefix.assign(static_cast<std::size_t>(len + 1) * blocks, ~uint64_t{0});
            suffix.assign(static_cast<std::size_t>(len + 1) * blocks, ~uint64_t{0});
            for (int p = 0; p < len; ++p) {
                for (std::size_t k = 0; k < blocks; ++k) {
                    prefix[static_cast<std::size_t>(p + 1) * blocks + k] =
                        prefix[static_cast<std::size_t>(p) * blocks + k] &
                        fits[static_cast<std::size_t>(p) * blocks + k];
                }
            }
            for (int p = len - 1; p >= 0; --p) {
                for (std::size_t k = 0; k < blocks; ++k) {
                    suffix[static_cast<std::size_t>(p) * blocks + k] =
                        suffix[static_cast<std::size_t>(p + 1) * blocks + k] &
                        fits[static_cast<std::size_t>(p) * blocks + k];
                }
            }
            for (int p = 0; p < len; ++p) {
                const auto cell = static_cast<std::size_t>(cells[static_cast<std::size_t>(p)]);
                if (layout.kind[cell] != CellKind::Empty) {
                    continue;
                }
                // The slot's own words cover the blocks: the tail of the
                // last block is zero in every bitset.
                for (std::size_t k = 0; k < blocks; ++k) {
                    if ((prefix[static_cast<std::size_t>(p) * blocks + k] &
                         suffix[static_cast<std::size_t>(p + 1) * blocks + k]) != 0) {
                        blamed.push_back(static_cast<int>(cell));
                        break;
                    }
                }
            }
        }
        if (blamed.empty()) {
            for (int cell : cells) {
                if (layout.kind[static_cast<std::size_t>(cell)] == CellKind::Empty) {
                    dead[static_cast<std::size_t>(cell)] = true;
                }
            }
        }
        for (int cell : blamed) {
            dead[static_cast<std::size_t>(cell)] = true;
        }
    }
    return dead;
}

} // namespace

FillCheck checkFill(const GridModel& grid, const Slots& slots, const WordIndex& index,
                    SearchHost& host, const SearchFlags& flags, const FillOptions& options) {
    Pacer pacer(host, flags, 0);
    const Layout layout = Layout::of(grid, slots);
    // As in the fill: with a minimum score or bans the slots look for the
    // words the fill may place, and complete slots are judged by the whole
    // index (or kept as theme entries) apart from them.
    const bool filtering = index.filters(options.minScore);
    const std::shared_ptr<const WordIndex> placeable =
        filtering ? index.placeable(options.minScore) : nullptr;
    const WordIndex& words = filtering ? *placeable : index;
    std::vector<bool> active(layout.slots.size(), true);
    std::vector<bool> deadComplete(layout.slots.size(), false);
    if (filtering || options.keepThemeEntries) {
        for (std::size_t s = 0; s < layout.slots.size(); ++s) {
            const std::string pattern = layout.pattern(grid, static_cast<int>(s));
            if (pattern.find(EmptyCell) != std::string::npos) {
                continue;
            }
            const bool word = index.find(pattern) >= 0;
            active[s] = !filtering && (word || !options.keepThemeEntries);
            deadComplete[s] = filtering && !word && !options.keepThemeEntries;
        }
    }
    Engine engine(layout, words, active, true, true);
    engine.initialise();
    engine.propagate([&] { return pacer.tick(); });

    FillCheck check;
    check.stopped = pacer.stopped();
    const std::size_t cellCount = layout.kind.size();
    check.letters.assign(cellCount, 0);
    check.empty.assign(cellCount, false);
    check.slotCandidates.assign(layout.slots.size(), 0);
    for (std::size_t s = 0; s < layout.slots.size(); ++s) {
        if (engine.isDead(static_cast<int>(s)) || deadComplete[s]) {
            check.deadSlots.push_back(layout.slots[s]);
        } else {
            // A complete slot left out of the propagation is kept as it is.
            check.slotCandidates[s] = active[s] ? engine.count(static_cast<int>(s)) : 1;
        }
    }
    const std::vector<bool> dead = deadCellsOf(layout, words, engine);
    for (std::size_t i = 0; i < cellCount; ++i) {
        switch (layout.kind[i]) {
        case CellKind::Black:
        case CellKind::Foreign:
            break;
        case CellKind::Letter:
            check.letters[i] = LetterMask{1} << (layout.letter[i] - 'A');
            break;
        case CellKind::Empty: {
            check.empty[i] = true;
            const LetterMask m = dead[i] ? 0 : engine.domain(static_cast<int>(i));
            check.letters[i] = m;
            if (m == 0) {
                check.deadCells.push_back(static_cast<int>(i));
            } else if (single(m)) {
                check.forcedCells.push_back(static_cast<int>(i));
            }
            break;
        }
        }
    }
    return check;
}

} // namespace korvel
