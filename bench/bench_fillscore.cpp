// SPDX-License-Identifier: GPL-3.0-or-later
// The fill with word scores, side by side with today's order, in one run: for
// each grid of bench/make-fill-grids, the fill on an index without scores
// (today's candidate order, every word allowed: what the program does at
// minimum 0) and then on the same words with scores, at each minimum score
// asked for, better words first. Times (wall clock and processor), outcomes,
// the mean score of the entries of each fill and the share under 30.
//
//   bench_fillscore DIR GRIDDIR [--scores FILE] [--dicts all|base|NAME[,NAME]]
//                   [--min-scores N[,N...]] [--limit S] [--only PREFIX[,PREFIX]]
//                   [--show N] [--show-min N] [--baseline no] [--clock wall|cpu]
//                   [--seeds N[,N...]] [--bans FILE] [--steps M] [--step-nodes N]
//                   [--climb-nodes N]
//
// DIR is loaded as the program loads it; --dicts chooses its dictionaries:
// every one (all), base.diz alone (base) or those named. FILE holds
// "WORD SCORE" lines (bench/make-scowl-words, bench/make-italian-scores);
// words it does not list score 0. Without --scores the score lists of DIR
// are read as the program reads them (base.scores and any other *.scores;
// a word no list scores has the default, 50). --show prints the first N
// fills at the minimum --show-min (default the highest) with every entry and
// its score. Grids are grouped into classes by their file name less the
// trailing "-k.kvl". --baseline no leaves today's order out. --clock cpu
// holds each fill to --limit seconds of processor time instead of wall time,
// for figures that other work on the machine does not move. --seeds fills
// every grid once per seed (each a run of its own). --bans FILE keeps the
// words of a ban list (one a line, as korvel-fill --ban reads) out of the
// scored index, as the fill's default keeps a folder's base.bans out.
// --steps M adds a configuration that fills as the program's default does:
// from minimum M, lowered step by step where that leaves no fill
// (fillStepByStep, the first step held to --step-nodes words tried, by
// default FallbackStepNodes, and each step above the last once the last has
// filled to --climb-nodes, by default FallbackClimbNodes); its rows say how many runs filled at a
// lowered minimum.

#include "banlist.h"
#include "benchsupport.h"
#include "fallback.h"
#include "fill.h"
#include "kvlfile.h"
#include "memoryhost.h"
#include "wordindex.h"
#include "wordscores.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

using namespace korvel;
using namespace korvel::bench;
namespace fs = std::filesystem;

namespace {

struct Run {
    FillStatus status = FillStatus::Stopped;
    double seconds = 0;
    double cpu = 0; // processor time, less disturbed by other work than the wall clock
    uint64_t nodes = 0;
    int filledAt = -1;       // the minimum of the step that filled (--steps)
    std::vector<int> scores; // of every entry, when filled
    bool valid = true;
};

std::vector<std::string> splitList(const std::string& s) {
    std::vector<std::string> out;
    std::stringstream in(s);
    std::string item;
    while (std::getline(in, item, ',')) {
        out.push_back(item);
    }
    return out;
}

std::string slotText(const GridModel& g, const Slot& s) {
    std::string w;
    for (int p = 0; p < s.length; ++p) {
        w += g.cell(s.rowAt(p), s.columnAt(p));
    }
    return w;
}

// Independent of the engine: every entry is a word of the list, and every
// entry the fill wrote a letter into scores at least the minimum.
bool checkFilled(const GridModel& before, const GridModel& after,
                 const std::function<int(const std::string&)>& scoreOfWord, const WordIndex& index,
                 int minScore) {
    // Kept in a variable: all() refers into it.
    const Slots afterSlots = Slots::of(after);
    for (const Slot& s : afterSlots.all()) {
        const std::string w = slotText(after, s);
        if (index.find(w) < 0) {
            return false;
        }
        const bool written = slotText(before, s).find(EmptyCell) != std::string::npos;
        if (written && scoreOfWord(w) < minScore) {
            return false;
        }
    }
    return true;
}

double processorSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// With --clock cpu the limit is processor time: what a fill would get in
// that many seconds on a quiet machine, whatever else runs meanwhile. The
// fill is stopped through the abort request, as the window stops it.
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

std::string seconds(double s) {
    char buf[32];
    if (s < 0.01) {
        std::snprintf(buf, sizeof buf, "%.1f ms", s * 1000);
    } else {
        std::snprintf(buf, sizeof buf, "%.2f s", s);
    }
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: bench_fillscore DIR GRIDDIR [--scores FILE] [--dicts all|base|NAME]"
                     " [--min-scores N,N] [--limit S] [--only PREFIX] [--show N] [--show-min N]\n";
        return 2;
    }
    const std::string dir = argv[1];
    const std::string gridDir = argv[2];
    std::string dicts = "all";
    std::string scoreFile;
    std::vector<int> minScores{0, 50};
    double limit = 10;
    std::vector<std::string> only;
    int show = 0;
    int showMin = -1;
    bool baseline = true;
    bool processorClock = false;
    std::vector<uint64_t> seeds{1};
    std::string banFile;
    int stepsFrom = -1;
    uint64_t stepNodes = FallbackStepNodes;
    uint64_t climbNodes = FallbackClimbNodes;
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        const std::string v = argv[i + 1];
        if (a == "--dicts") {
            dicts = v;
        } else if (a == "--scores") {
            scoreFile = v;
        } else if (a == "--min-scores") {
            minScores.clear();
            for (const std::string& n : splitList(v)) {
                minScores.push_back(std::atoi(n.c_str()));
            }
        } else if (a == "--limit") {
            limit = std::atof(v.c_str());
        } else if (a == "--only") {
            only = splitList(v);
        } else if (a == "--show") {
            show = std::atoi(v.c_str());
        } else if (a == "--clock") {
            processorClock = v == "cpu";
        } else if (a == "--baseline") {
            baseline = v != "no";
        } else if (a == "--show-min") {
            showMin = std::atoi(v.c_str());
        } else if (a == "--seeds") {
            seeds.clear();
            for (const std::string& n : splitList(v)) {
                seeds.push_back(std::strtoull(n.c_str(), nullptr, 10));
            }
        } else if (a == "--bans") {
            banFile = v;
        } else if (a == "--steps") {
            stepsFrom = std::atoi(v.c_str());
        } else if (a == "--step-nodes") {
            stepNodes = std::strtoull(v.c_str(), nullptr, 10);
        } else if (a == "--climb-nodes") {
            climbNodes = std::strtoull(v.c_str(), nullptr, 10);
        }
    }
    if (minScores.empty()) {
        std::cerr << "bench_fillscore: at least one minimum is needed\n";
        return 2;
    }
    if (showMin < 0) {
        showMin = minScores.back();
    }
    std::unordered_map<std::string, int> scores;
    WordScores folderScores;
    std::function<int(const std::string&)> scoreOfWord;
    std::size_t scoresRead = 0;
    if (!scoreFile.empty()) {
        std::ifstream in(scoreFile);
        std::string w;
        int n = 0;
        while (in >> w >> n) {
            scores[w] = n;
        }
        scoresRead = scores.size();
        scoreOfWord = [&scores](const std::string& w) {
            const auto it = scores.find(w);
            return it == scores.end() ? 0 : it->second;
        };
    } else {
        const auto t0 = Clock::now();
        std::vector<std::string> warnings;
        folderScores = loadWordScores(dir, nullptr, &warnings);
        for (const std::string& w : warnings) {
            std::cerr << w << "\n";
        }
        scoresRead = folderScores.size();
        std::printf("score lists of %s read in %.0f ms\n", dir.c_str(), msSince(t0));
        scoreOfWord = [&folderScores](const std::string& w) { return folderScores.scoreOr(w); };
    }

    DictionaryStore store;
    if (!loadFolder(dir, store)) {
        return 1;
    }
    const std::vector<std::string> names = splitList(dicts);
    std::array<bool, 8> take{};
    for (int d = 1; d <= std::min(store.count, SearchedDictionaries); ++d) {
        const auto di = static_cast<std::size_t>(d);
        take[di] = dicts == "all" || (dicts == "base" && d == 1) ||
                   std::find(names.begin(), names.end(), store.DictFileName[di]) != names.end();
    }
    const WordIndex plain = WordIndex::build(store, take);
    std::vector<std::string> banned;
    if (!banFile.empty()) {
        std::ifstream in(banFile, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        banned = BanList::parse(bytes).words();
    }
    const WordBanFn isBanned = banned.empty() ? WordBanFn{} : [&banned](std::string_view w) {
        return std::binary_search(banned.begin(), banned.end(), w, std::less<>());
    };
    auto t0 = Clock::now();
    const WordIndex scored = WordIndex::build(
        store, take, [&](std::string_view w) { return scoreOfWord(std::string(w)); }, isBanned);
    std::printf("words: %s, %zu words, %zu scores read (scored index built in %.0f ms)\n",
                dicts.c_str(), scored.totalWords(), scoresRead, msSince(t0));
    for (int m : minScores) {
        t0 = Clock::now();
        const std::size_t n = scored.placeable(m)->totalWords();
        std::printf("  at score %d or more: %zu words (%.0f ms)\n", m, n, msSince(t0));
    }

    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(gridDir)) {
        const std::string name = e.path().filename().string();
        const bool wanted =
            only.empty() || std::any_of(only.begin(), only.end(), [&](const std::string& p) {
                return name.rfind(p, 0) == 0;
            });
        if (e.path().extension() == ".kvl" && wanted) {
            files.push_back(name);
        }
    }
    std::sort(files.begin(), files.end());

    // Configuration 0 is today's order; 1.. the scored index at each minimum;
    // with --steps, last, the steps down from its minimum.
    const std::size_t stepsConfig = stepsFrom >= 0 ? minScores.size() + 1 : 0;
    const std::size_t configs = minScores.size() + 1 + (stepsFrom >= 0 ? 1 : 0);
    auto configName = [&](std::size_t c) {
        return c == 0             ? std::string("today's order")
               : c == stepsConfig ? "steps from " + std::to_string(stepsFrom)
                                  : "scores, min " + std::to_string(minScores[c - 1]);
    };
    std::map<std::string, std::vector<std::vector<Run>>> classes;
    int shown = 0;
    for (const std::string& name : files) {
        std::ifstream in(fs::path(gridDir) / name, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        KvlReadResult read = readKvl(bytes);
        if (!read.grid) {
            std::cerr << name << ": " << read.error << "\n";
            continue;
        }
        GridModel grid = *read.grid;
        grid.normalizeBlacks();
        const Slots gridSlots = Slots::of(grid);
        for (const uint64_t seed : seeds) {
            std::vector<Run> runs(configs);
            std::printf("%-22s",
                        (seeds.size() > 1 ? name + " " + std::to_string(seed) : name).c_str());
            for (std::size_t c = baseline ? 0 : 1; c < configs; ++c) {
                SearchFlags flags;
                ProcessorLimitHost host(processorClock ? limit : 1e9, flags);
                FillOptions o;
                o.seed = seed;
                o.timeLimit = processorClock ? 0 : limit;
                o.minScore = c == 0 ? 0 : c == stepsConfig ? stepsFrom : minScores[c - 1];
                const double cpu0 = processorSeconds();
                FillResult res;
                Run& r = runs[c];
                if (c == stepsConfig) {
                    SteppedFill stepped =
                        fillStepByStep(grid, gridSlots, scored, o, fallbackMinimums(stepsFrom),
                                       stepNodes, climbNodes, host, flags);
                    for (const FillStep& step : stepped.steps) {
                        r.nodes += step.tried;
                    }
                    if (stepped.filled()) {
                        r.filledAt = stepped.steps.back().minScore;
                        o.minScore = r.filledAt;
                    }
                    res = std::move(stepped.result);
                } else {
                    res = fillGrid(grid, c == 0 ? plain : scored, o, host, flags);
                    r.nodes = res.stats.nodes;
                }
                r.cpu = processorSeconds() - cpu0;
                r.status = res.status;
                r.seconds = res.stats.seconds;
                if (res.status == FillStatus::Filled) {
                    r.valid = checkFilled(grid, res.grid, scoreOfWord, scored, o.minScore);
                    const Slots filledSlots = Slots::of(res.grid);
                    for (const Slot& s : filledSlots.all()) {
                        r.scores.push_back(scoreOfWord(slotText(res.grid, s)));
                    }
                    if (c > 0 && c != stepsConfig && minScores[c - 1] == showMin && shown < show) {
                        ++shown;
                        std::printf("\n");
                        for (int row = 0; row < res.grid.RowCount; ++row) {
                            std::string line = res.grid.GridRows[static_cast<std::size_t>(row)];
                            std::replace(line.begin(), line.end(), '\x10', '#');
                            std::printf("    %s\n", line.c_str());
                        }
                        std::string entries;
                        for (const Slot& s : filledSlots.all()) {
                            const std::string w = slotText(res.grid, s);
                            entries += " " + w + " " + std::to_string(scoreOfWord(w));
                        }
                        std::printf("    entries:%s\n%-22s", entries.c_str(), "");
                    }
                }
                const char* what = r.status == FillStatus::Filled   ? "filled"
                                   : r.status == FillStatus::NoFill ? "no fill"
                                                                    : "stopped";
                double mean = 0;
                for (int v : r.scores) {
                    mean += v;
                }
                mean = r.scores.empty() ? 0 : mean / static_cast<double>(r.scores.size());
                std::printf("  %s: %-7s %9s (cpu %s) %7llu nodes",
                            c == 0 ? "old"
                            : c == stepsConfig
                                ? ("steps" + (r.filledAt >= 0 ? ">" + std::to_string(r.filledAt)
                                                              : std::string()))
                                      .c_str()
                                : std::to_string(o.minScore).c_str(),
                            what, seconds(r.seconds).c_str(), seconds(r.cpu).c_str(),
                            static_cast<unsigned long long>(r.nodes));
                if (!r.scores.empty()) {
                    std::printf(" (mean %.1f)", mean);
                }
                if (!r.valid) {
                    std::printf(" INVALID");
                }
            }
            std::printf("\n");
            std::fflush(stdout);
            classes[name.substr(0, name.rfind('-'))].push_back(runs);
        }
    }

    std::printf(
        "\n| Class | Order | Runs | Filled | Of those lowered | Proved no fill | Stopped | Median "
        "time "
        "(all, stopped = limit) | Median processor time (all) | Median time (filled) | Median "
        "processor time (filled) | Mean score | Entries under 30 |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const auto& [cls, grids] : classes) {
        for (std::size_t c = baseline ? 0 : 1; c < configs; ++c) {
            int filled = 0;
            int lowered = 0;
            int proved = 0;
            int stopped = 0;
            std::vector<double> all;
            std::vector<double> allCpu;
            std::vector<double> filledTimes;
            std::vector<double> filledCpu;
            double sum = 0;
            std::size_t entries = 0;
            std::size_t weak = 0;
            bool valid = true;
            for (const auto& runs : grids) {
                const Run& r = runs[c];
                valid &= r.valid;
                all.push_back(r.status == FillStatus::Stopped ? limit : r.seconds);
                allCpu.push_back(r.status == FillStatus::Stopped && processorClock ? limit : r.cpu);
                switch (r.status) {
                case FillStatus::Filled:
                    ++filled;
                    lowered += r.filledAt >= 0 && r.filledAt < stepsFrom ? 1 : 0;
                    filledTimes.push_back(r.seconds);
                    filledCpu.push_back(r.cpu);
                    for (int v : r.scores) {
                        sum += v;
                        weak += v < 30 ? 1 : 0;
                    }
                    entries += r.scores.size();
                    break;
                case FillStatus::NoFill:
                    ++proved;
                    break;
                case FillStatus::Stopped:
                    ++stopped;
                    break;
                }
            }
            char mean[32] = "-";
            char under[32] = "-";
            if (entries > 0) {
                std::snprintf(mean, sizeof mean, "%.1f", sum / static_cast<double>(entries));
                std::snprintf(under, sizeof under, "%.1f %%",
                              100.0 * static_cast<double>(weak) / static_cast<double>(entries));
            }
            std::printf("| %s | %s | %zu | %d | %s | %d | %d | %s | %s | %s | %s | %s | %s |%s\n",
                        cls.c_str(), configName(c).c_str(), grids.size(), filled,
                        c == stepsConfig ? std::to_string(lowered).c_str() : "-", proved, stopped,
                        seconds(median(all)).c_str(), seconds(median(allCpu)).c_str(),
                        filledTimes.empty() ? "-" : seconds(median(filledTimes)).c_str(),
                        filledCpu.empty() ? "-" : seconds(median(filledCpu)).c_str(), mean, under,
                        valid ? "" : " INVALID");
        }
    }
    return 0;
}
