// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern designer and the conflicting set of a grid without a fill,
// each side by side with a baseline in one run.
//
//   bench_design EN_DIR IT_DIR [--seeds N] [--min-scores N,N] [--limit S]
//                [--why N] [--why-limit S] [--only design|why]
//
// EN_DIR and IT_DIR are loaded as the program loads them, with their score
// lists (build/dictionaries/en and build/dictionaries). Cases: American
// 13x13 and 15x15 on the English set, Italian 13x13 on the Italian one,
// with the default rules of each (defaultPatternRules).
//
// Designer, per case and seed: the time the generator takes to its first
// pattern and to its fifth; the time designPatterns takes to offer five
// (ten made, each ranked by a quick fill of 1 s); and how many of the five
// offered, against the first five made without ranking (the baseline),
// the lists then fill within --limit seconds of processor time (default
// 10), at each minimum score of --min-scores (default 0,50).
//
// Why no fill, per case: --why grids (default 8) made impossible by a
// typed entry: a pattern the lists fill, with a random word of the lists
// written into one of its slots of 5 to 9 cells and kept as a theme entry,
// until the fill (at minimum 0, --limit) proves no fill. Then the set that
// findConflictSet finds within --why-limit seconds (default 30), its size,
// whether it was shown minimal, its time and its tries, against a plain
// removal of one slot at a time in grid order over the whole grid (the
// baseline, same limit).

#include "benchsupport.h"
#include "conflictset.h"
#include "enabledset.h"
#include "fill.h"
#include "memoryhost.h"
#include "patterndesigner.h"
#include "wordindex.h"
#include "wordscores.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace korvel;
using namespace korvel::bench;

namespace {

double processorSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The fill's limit as processor time, through the abort request as the
// window stops a fill: what the fill would get on a quiet machine.
class ProcessorLimitHost : public MemoryHost {
public:
    ProcessorLimitHost(double limit, SearchFlags& flags)
        : deadline_(processorSeconds() + limit), flags_(flags) {}
    void yield() override {
        if (processorSeconds() >= deadline_) {
            flags_.abortRequest = 1;
        }
    }

private:
    double deadline_;
    SearchFlags& flags_;
};

struct Lists {
    DictionaryStore store;
    WordScores scores;
    std::unique_ptr<WordIndex> index;
};

bool loadLists(const std::string& dir, Lists& lists) {
    if (!loadFolder(dir, lists.store)) {
        return false;
    }
    EnabledSet enabled;
    enabled.reset(lists.store);
    lists.scores = loadWordScores(lists.store.DictFolder, nullptr, nullptr);
    const WordScores& scores = lists.scores;
    const WordScoreFn scoreOf = scores.empty() ? WordScoreFn{} : [&scores](std::string_view w) {
        return scores.scoreOr(w);
    };
    lists.index = std::make_unique<WordIndex>(
        WordIndex::build(lists.store, dictionarySelection(enabled), scoreOf, {}));
    return true;
}

FillResult fillResultWithin(const GridModel& g, const WordIndex& index, int minScore, double limit,
                            double* cpu = nullptr) {
    SearchFlags flags;
    ProcessorLimitHost host(limit, flags);
    host.yieldStride = 256;
    FillOptions o;
    o.minScore = minScore;
    o.scoreOrder = minScore > 0;
    o.keepThemeEntries = true;
    const double t0 = processorSeconds();
    const FillResult r = fillGrid(g, index, o, host, flags);
    if (cpu != nullptr) {
        *cpu = processorSeconds() - t0;
    }
    return r;
}

FillStatus fillWithin(const GridModel& g, const WordIndex& index, int minScore, double limit) {
    return fillResultWithin(g, index, minScore, limit).status;
}

// How the fill told: a slot no word fits as it stands, the narrowing of
// the cells, or only the whole search.
std::string proofKind(const std::string& reason) {
    if (reason.rfind("no word fits", 0) == 0) {
        return "pattern";
    }
    if (reason.find("with the letters its crossings allow") != std::string::npos) {
        return "narrowing";
    }
    return reason == "no fill exists" ? "search" : "other";
}

std::string secs(double s) {
    char buf[32];
    if (s < 0) {
        return "-";
    }
    if (s < 0.01) {
        std::snprintf(buf, sizeof buf, "%.1f ms", s * 1000);
    } else {
        std::snprintf(buf, sizeof buf, "%.2f s", s);
    }
    return buf;
}

struct Case {
    std::string name;
    int rows;
    int columns;
    PatternStyle style;
    Lists* lists;
};

// The removal of the baseline: every slot once, in grid order, over the
// whole grid.
ConflictSet plainRemoval(const GridModel& g, const WordIndex& index, int minScore, double limit) {
    const Slots slots = Slots::of(g);
    ConflictSet out;
    const auto t0 = Clock::now();
    std::vector<bool> take(slots.size(), true);
    bool settled = true;
    MemoryHost host;
    SearchFlags flags;
    for (std::size_t s = 0; s < slots.size(); ++s) {
        const double left = limit - msSince(t0) / 1000;
        if (left <= 0) {
            settled = false;
            break;
        }
        take[s] = false;
        FillOptions o;
        o.keepThemeEntries = true;
        o.minScore = minScore;
        o.scoreOrder = minScore > 0;
        o.onlySlots = take;
        o.timeLimit = left;
        ++out.tries;
        const FillResult r = fillGrid(g, slots, index, o, host, flags);
        if (r.status != FillStatus::NoFill) {
            take[s] = true;
            settled = settled && r.status == FillStatus::Filled;
        }
    }
    for (std::size_t s = 0; s < slots.size(); ++s) {
        if (take[s]) {
            out.slots.push_back(slots[s]);
        }
    }
    out.outcome = ConflictSet::Outcome::Found;
    out.minimal = settled;
    out.seconds = msSince(t0) / 1000;
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: bench_design EN_DIR IT_DIR [--seeds N] [--min-scores N,N] [--limit S]"
                     " [--why N] [--why-limit S] [--only design|why]\n";
        return 2;
    }
    int seeds = 4;
    std::vector<int> minScores = {0, 50};
    double limit = 10;
    int whyCount = 8;
    double whyLimit = 30;
    std::string only;
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        const std::string v = argv[i + 1];
        if (a == "--seeds") {
            seeds = std::max(1, std::atoi(v.c_str()));
        } else if (a == "--limit") {
            limit = std::atof(v.c_str());
        } else if (a == "--why") {
            whyCount = std::atoi(v.c_str());
        } else if (a == "--why-limit") {
            whyLimit = std::atof(v.c_str());
        } else if (a == "--only") {
            only = v;
        } else if (a == "--min-scores") {
            minScores.clear();
            std::size_t at = 0;
            while (at <= v.size()) {
                const std::size_t comma = v.find(',', at);
                minScores.push_back(std::atoi(v.substr(at, comma - at).c_str()));
                if (comma == std::string::npos) {
                    break;
                }
                at = comma + 1;
            }
        }
    }

    Lists en;
    Lists it;
    if (!loadLists(argv[1], en) || !loadLists(argv[2], it)) {
        return 1;
    }
    std::printf("English: %zu words; Italian: %zu words\n", en.index->totalWords(),
                it.index->totalWords());
    const std::vector<Case> cases = {
        {"American 13x13 (English)", 13, 13, PatternStyle::American, &en},
        {"American 15x15 (English)", 15, 15, PatternStyle::American, &en},
        {"Italian 13x13 (Italian)", 13, 13, PatternStyle::Italian, &it},
    };
    const auto always = [] { return true; };

    if (only.empty() || only == "design") {
        std::printf(
            "\n| Case | Min score | First pattern (median) | Five patterns (median) | "
            "Five offered, ranked (median; processor) | Unranked filled in %.0f s | Offered filled "
            "in %.0f s |\n|---|---:|---:|---:|---:|---:|---:|\n",
            limit, limit);
        for (const Case& c : cases) {
            const PatternRules rules = defaultPatternRules(
                static_cast<int16_t>(c.rows), static_cast<int16_t>(c.columns), c.style);
            for (int minScore : minScores) {
                std::vector<double> first;
                std::vector<double> five;
                std::vector<double> design;
                std::vector<double> designCpu;
                int unrankedFilled = 0;
                int offeredFilled = 0;
                int unrankedCount = 0;
                int offeredCount = 0;
                for (int seed = 1; seed <= seeds; ++seed) {
                    PatternGenerator gen(rules, std::nullopt, static_cast<uint64_t>(seed));
                    std::vector<GridModel> made;
                    const auto t0 = Clock::now();
                    for (int k = 0; k < 5; ++k) {
                        std::optional<GridModel> g = gen.next(always);
                        if (!g) {
                            break;
                        }
                        if (k == 0) {
                            first.push_back(msSince(t0) / 1000);
                        }
                        made.push_back(std::move(*g));
                    }
                    five.push_back(msSince(t0) / 1000);

                    PatternRequest request;
                    request.rules = rules;
                    request.count = 5;
                    request.seed = static_cast<uint64_t>(seed);
                    request.quickFill = 1.0;
                    request.fill.minScore = minScore;
                    request.fill.scoreOrder = minScore > 0;
                    MemoryHost host;
                    SearchFlags flags;
                    const auto t1 = Clock::now();
                    const double cpu0 = processorSeconds();
                    const PatternDesign d =
                        designPatterns(request, c.lists->index.get(), host, flags);
                    design.push_back(msSince(t1) / 1000);
                    designCpu.push_back(processorSeconds() - cpu0);

                    std::string line;
                    for (const GridModel& g : made) {
                        const FillStatus s = fillWithin(g, *c.lists->index, minScore, limit);
                        unrankedFilled += s == FillStatus::Filled ? 1 : 0;
                        ++unrankedCount;
                        line += s == FillStatus::Filled ? 'F' : s == FillStatus::NoFill ? 'x' : '.';
                    }
                    line += " | ";
                    for (const DesignedPattern& p : d.patterns) {
                        if (!checkPattern(p.grid, rules).empty()) {
                            std::printf("INVALID PATTERN\n");
                        }
                        const FillStatus s = fillWithin(p.grid, *c.lists->index, minScore, limit);
                        offeredFilled += s == FillStatus::Filled ? 1 : 0;
                        ++offeredCount;
                        line += s == FillStatus::Filled ? 'F' : s == FillStatus::NoFill ? 'x' : '.';
                    }
                    std::fprintf(stderr, "%s min %d seed %d: %s (design %.2f s)\n", c.name.c_str(),
                                 minScore, seed, line.c_str(), design.back());
                }
                std::printf("| %s | %d | %s | %s | %s; %s | %d/%d | %d/%d |\n", c.name.c_str(),
                            minScore, secs(median(first)).c_str(), secs(median(five)).c_str(),
                            secs(median(design)).c_str(), secs(median(designCpu)).c_str(),
                            unrankedFilled, unrankedCount, offeredFilled, offeredCount);
                std::fflush(stdout);
            }
        }
    }

    if (only.empty() || only == "why") {
        std::printf("\n| Case | Min score | Typed entry | Fill proves it by | in | Set | Shown "
                    "minimal | Time (processor) | Tries | Plain removal: set | Shown minimal | "
                    "Time (processor) | Tries |\n"
                    "|---|---:|---|---|---:|---:|---|---:|---:|---:|---|---:|---:|\n");
        for (const Case& c : cases) {
            const PatternRules rules = defaultPatternRules(
                static_cast<int16_t>(c.rows), static_cast<int16_t>(c.columns), c.style);
            const WordIndex& index = *c.lists->index;
            for (int minScore : minScores) {
                std::mt19937_64 rng(2026);
                int found = 0;
                std::map<std::string, std::vector<double>> sizes;
                std::map<std::string, std::vector<double>> times;
                for (int attempt = 0; attempt < 400 && found < whyCount; ++attempt) {
                    PatternGenerator gen(rules, std::nullopt,
                                         1000 + static_cast<uint64_t>(attempt));
                    const std::optional<GridModel> pattern = gen.next(always);
                    if (!pattern ||
                        fillWithin(*pattern, index, minScore, limit) != FillStatus::Filled) {
                        continue;
                    }
                    const Slots slots = Slots::of(*pattern);
                    std::vector<int> fitting;
                    for (std::size_t s = 0; s < slots.size(); ++s) {
                        if (slots[s].length >= 5 && slots[s].length <= 9) {
                            fitting.push_back(static_cast<int>(s));
                        }
                    }
                    if (fitting.empty()) {
                        continue;
                    }
                    const Slot& slot =
                        slots[static_cast<std::size_t>(fitting[rng() % fitting.size()])];
                    const auto id = static_cast<uint32_t>(rng() % index.count(slot.length));
                    const std::string word = index.word(slot.length, id);
                    GridModel typed = *pattern;
                    for (int p = 0; p < slot.length; ++p) {
                        typed.setCell(slot.rowAt(p), slot.columnAt(p),
                                      word[static_cast<std::size_t>(p)]);
                    }
                    double proof = 0;
                    const FillResult r = fillResultWithin(typed, index, minScore, limit, &proof);
                    if (r.status != FillStatus::NoFill) {
                        continue;
                    }
                    ++found;
                    const std::string kind = proofKind(r.reason);
                    MemoryHost host;
                    SearchFlags flags;
                    FillOptions o;
                    o.keepThemeEntries = true;
                    o.minScore = minScore;
                    o.scoreOrder = minScore > 0;
                    double t0 = processorSeconds();
                    const ConflictSet set = findConflictSet(typed, index, o, whyLimit, host, flags);
                    const double setCpu = processorSeconds() - t0;
                    t0 = processorSeconds();
                    const ConflictSet plain = plainRemoval(typed, index, minScore, whyLimit);
                    const double plainCpu = processorSeconds() - t0;
                    const std::string where = word + " in " + describeSlot(slot);
                    std::printf("| %s | %d | %s | %s | %s | %zu of %zu | %s | %s (%s) | %d | %zu | "
                                "%s | %s (%s) | %d |\n",
                                c.name.c_str(), minScore, where.c_str(), kind.c_str(),
                                secs(proof).c_str(), set.slots.size(), slots.size(),
                                set.minimal ? "yes" : "no", secs(set.seconds).c_str(),
                                secs(setCpu).c_str(), set.tries, plain.slots.size(),
                                plain.minimal ? "yes" : "no", secs(plain.seconds).c_str(),
                                secs(plainCpu).c_str(), plain.tries);
                    for (const std::string& l : conflictLines(set)) {
                        std::fprintf(stderr, "    %s\n", l.c_str());
                    }
                    std::fflush(stdout);
                    sizes[kind].push_back(static_cast<double>(set.slots.size()));
                    times[kind].push_back(set.seconds);
                }
                for (const auto& [kind, v] : sizes) {
                    std::fprintf(stderr,
                                 "%s min %d, proved by %s: %zu grids, median set %.0f, "
                                 "median time %s\n",
                                 c.name.c_str(), minScore, kind.c_str(), v.size(), median(v),
                                 secs(median(times[kind])).c_str());
                }
            }
        }
    }
    return 0;
}
