// SPDX-License-Identifier: GPL-3.0-or-later
// Times the fill and the fill check on the grids of bench/make-fill-grids,
// side by side with the plain backtracker with forward checking over the same
// word index, in one run.
//
//   bench_fill DIR GRIDDIR [--dicts all|base|NAME] [--limit S] [--long S]
//              [--plain-limit S] [--check-runs N] [--only PREFIX]
//
// DIR is loaded as the program loads it. --dicts chooses the words: every
// dictionary (all), base.diz alone (base), or the one dictionary named NAME
// (for example english.dic). A grid counts as filled within --limit seconds
// (default 10); the fill runs on up to --long seconds (default: the limit) so
// that "fills within 60 s" can be told from the same run. Grids are grouped
// into classes by their file name less the trailing "-k.kvl".

#include "benchsupport.h"
#include "fill.h"
#include "kvlfile.h"
#include "memoryhost.h"
#include "plainfill.h"
#include "wordindex.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

using namespace korvel;
using namespace korvel::bench;
namespace fs = std::filesystem;

namespace {

struct Run {
    FillStatus status = FillStatus::Stopped;
    double seconds = 0;
};

struct GridFigures {
    std::string name;
    Run fill;
    Run plain;
    double checkMs = 0;
    double partialCheckMs = -1; // the check on the filled grid less a third of its letters
    bool valid = true;
};

// Independent of the engine: every complete run of the grid is a word of the
// index.
bool everySlotAWord(const GridModel& g, const WordIndex& index) {
    // Kept in a variable: all() refers into it.
    const Slots gridSlots = Slots::of(g);
    for (const Slot& s : gridSlots.all()) {
        std::string w;
        for (int p = 0; p < s.length; ++p) {
            w += g.cell(s.rowAt(p), s.columnAt(p));
        }
        if (index.find(w) < 0) {
            return false;
        }
    }
    return true;
}

std::string seconds(double s) {
    char buf[32];
    if (s < 0.01) {
        std::snprintf(buf, sizeof buf, "%.1f ms", s * 1000);
    } else {
        std::snprintf(buf, sizeof buf, "%.2f s", s);
    }
    return buf;
}

std::string share(int n, int of) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d/%d", n, of);
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: bench_fill DIR GRIDDIR [--dicts all|base|NAME] [--limit S] [--long S]"
                     " [--plain-limit S] [--check-runs N] [--only PREFIX]\n";
        return 2;
    }
    const std::string dir = argv[1];
    const std::string gridDir = argv[2];
    std::string dicts = "all";
    double limit = 10;
    double longLimit = 0;
    double plainLimit = 10;
    int checkRuns = 5;
    std::string only;
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--dicts") {
            dicts = argv[i + 1];
        } else if (a == "--limit") {
            limit = std::atof(argv[i + 1]);
        } else if (a == "--long") {
            longLimit = std::atof(argv[i + 1]);
        } else if (a == "--plain-limit") {
            plainLimit = std::atof(argv[i + 1]);
        } else if (a == "--check-runs") {
            checkRuns = std::max(1, std::atoi(argv[i + 1]));
        } else if (a == "--only") {
            only = argv[i + 1];
        }
    }
    longLimit = std::max(longLimit, limit);

    DictionaryStore store;
    if (!loadFolder(dir, store)) {
        return 1;
    }
    std::array<bool, 8> take{};
    for (int d = 1; d <= std::min(store.count, SearchedDictionaries); ++d) {
        const auto di = static_cast<std::size_t>(d);
        take[di] = dicts == "all" || (dicts == "base" && d == 1) || store.DictFileName[di] == dicts;
    }
    auto t0 = Clock::now();
    const WordIndex index = WordIndex::build(store, take);
    const double buildMs = msSince(t0);
    std::printf("words: %s, %zu words (index built in %.0f ms)\n", dicts.c_str(),
                index.totalWords(), buildMs);

    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(gridDir)) {
        const std::string name = e.path().filename().string();
        if (e.path().extension() == ".kvl" && name.rfind(only, 0) == 0) {
            files.push_back(name);
        }
    }
    std::sort(files.begin(), files.end());

    std::map<std::string, std::vector<GridFigures>> classes;
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
        GridFigures f;
        f.name = name;
        MemoryHost host;
        SearchFlags flags;

        std::vector<double> checks;
        for (int r = 0; r < checkRuns; ++r) {
            t0 = Clock::now();
            const FillCheck c = checkFill(grid, index, host, flags);
            checks.push_back(msSince(t0));
        }
        f.checkMs = median(checks);

        FillOptions o;
        o.timeLimit = longLimit;
        const FillResult res = fillGrid(grid, index, o, host, flags);
        f.fill = {res.status, res.stats.seconds};
        if (res.status == FillStatus::Filled) {
            f.valid = everySlotAWord(res.grid, index);
            // The check as the window runs it after an edit: on the filled
            // grid with every third letter taken out again.
            GridModel partial = res.grid;
            int k = 0;
            for (const CellChange& ch : res.changes) {
                if (k++ % 3 == 0) {
                    partial.setCell(ch.row, ch.column, EmptyCell);
                }
            }
            std::vector<double> times;
            for (int r = 0; r < checkRuns; ++r) {
                t0 = Clock::now();
                const FillCheck c = checkFill(partial, index, host, flags);
                times.push_back(msSince(t0));
            }
            f.partialCheckMs = median(times);
        }
        FillOptions po;
        po.timeLimit = plainLimit;
        const FillResult plain = fillGridPlain(grid, index, po, host, flags);
        f.plain = {plain.status, plain.stats.seconds};
        if (plain.status == FillStatus::Filled) {
            f.valid = f.valid && everySlotAWord(plain.grid, index);
        }
        auto tell = [](const Run& r) {
            return r.status == FillStatus::Filled   ? "filled"
                   : r.status == FillStatus::NoFill ? "no fill"
                                                    : "stopped";
        };
        std::printf("%-24s fill %-8s %9s (%llu restarts, %llu nodes)  plain %-8s %9s  check %.2f ms"
                    "  partial check %.2f ms%s\n",
                    name.c_str(), tell(f.fill), seconds(f.fill.seconds).c_str(),
                    static_cast<unsigned long long>(res.stats.restarts),
                    static_cast<unsigned long long>(res.stats.nodes), tell(f.plain),
                    seconds(f.plain.seconds).c_str(), f.checkMs, f.partialCheckMs,
                    f.valid ? "" : "  INVALID");
        std::fflush(stdout);
        std::string cls = name.substr(0, name.rfind('-'));
        classes[cls].push_back(f);
    }

    std::printf(
        "\n| Class | Grids | Filled in %.0f s | Median | Worst | Impossible | Filled in %.0f s "
        "| Of those in 5 s | Plain filled | Plain median | Plain worst | Plain impossible | "
        "Median ratio | Check median |\n",
        limit, longLimit);
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const auto& [cls, grids] : classes) {
        std::vector<double> times;
        std::vector<double> plainTimes;
        std::vector<double> ratios;
        std::vector<double> checks;
        int inLimit = 0;
        int inLong = 0;
        int inFive = 0;
        int impossible = 0;
        int plainFilled = 0;
        int plainImpossible = 0;
        for (const auto& g : grids) {
            checks.push_back(g.checkMs);
            if (g.fill.status == FillStatus::Filled) {
                ++inLong;
                inFive += g.fill.seconds <= 5 ? 1 : 0;
                if (g.fill.seconds <= limit) {
                    ++inLimit;
                    times.push_back(g.fill.seconds);
                }
            }
            impossible += g.fill.status == FillStatus::NoFill ? 1 : 0;
            if (g.plain.status == FillStatus::Filled) {
                ++plainFilled;
                plainTimes.push_back(g.plain.seconds);
                if (g.fill.status == FillStatus::Filled) {
                    ratios.push_back(g.plain.seconds / std::max(g.fill.seconds, 1e-6));
                }
            }
            plainImpossible += g.plain.status == FillStatus::NoFill ? 1 : 0;
        }
        const int n = static_cast<int>(grids.size());
        char ratio[32] = "-";
        if (!ratios.empty()) {
            std::snprintf(ratio, sizeof ratio, "%.0f×", median(ratios));
        }
        std::printf(
            "| %s | %d | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %.2f ms |\n",
            cls.c_str(), n, share(inLimit, n).c_str(),
            times.empty() ? "-" : seconds(median(times)).c_str(),
            times.empty() ? "-" : seconds(*std::max_element(times.begin(), times.end())).c_str(),
            share(impossible, n).c_str(), share(inLong, n).c_str(), share(inFive, inLong).c_str(),
            share(plainFilled, n).c_str(),
            plainTimes.empty() ? "-" : seconds(median(plainTimes)).c_str(),
            plainTimes.empty()
                ? "-"
                : seconds(*std::max_element(plainTimes.begin(), plainTimes.end())).c_str(),
            share(plainImpossible, n).c_str(), ratio, median(checks));
    }
    return 0;
}
