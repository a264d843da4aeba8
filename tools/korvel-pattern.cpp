// SPDX-License-Identifier: GPL-3.0-or-later
// korvel-pattern: lays out the black squares of a grid by rule (size,
// symmetry, word count, shortest entry, style), keeping the letters of a
// crossword file, ranked by how easily the word lists of a dictionaries
// folder fill each pattern; or checks a grid's blacks against the rules.
//
//   korvel-pattern [options] OUT.kvl
//   korvel-pattern --check [options] IN.kvl
//
// Exit status: 0 written (or the grid meets the rules), 3 no pattern meets
// the rules (or the grid breaks one), 4 stopped at the time limit before a
// pattern was made, 1 the dictionaries cannot be loaded, 2 usage error or a
// file that cannot be read or written.

#include "banlist.h"
#include "companioncall.h"
#include "datafolders.h"
#include "enabledset.h"
#include "kvlfile.h"
#include "loader.h"
#include "memoryhost.h"
#include "patterndesigner.h"
#include "plural.h"
#include "printable.h"
#include "regularfile.h"
#include "replacefile.h"
#include "toolcommon.h"
#include "wordscores.h"

#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace korvel;

namespace {

constexpr int ExitDone = 0;
constexpr int ExitLoad = 1;
constexpr int ExitUsage = 2;
constexpr int ExitNoPattern = 3;
constexpr int ExitStopped = 4;

const char* const Usage =
    "usage: korvel-pattern [options] OUT.kvl\n"
    "       korvel-pattern --check [options] IN.kvl\n"
    "rules:\n"
    "  --size ROWSxCOLUMNS    grid size (default 15x15, or the size of --keep)\n"
    "  --style american|italian\n"
    "                         american (default): every cell checked both ways,\n"
    "                         entries of 3 letters or more; italian: entries of 2\n"
    "                         or more, at most one white cell in 6 checked one\n"
    "                         way only\n"
    "  --symmetry half-turn|left-right|top-bottom|none   (default half-turn)\n"
    "  --words MIN-MAX        entries across and down (default by size and style;\n"
    "                         68-78 for an American 15x15)\n"
    "  --min-length N         shortest entry (default 3 american, 2 italian)\n"
    "  --max-length N         longest entry (default: the grid's side)\n"
    "  --keep IN.kvl          keep the letters of IN white, and each run of 3\n"
    "                         letters or more a whole entry, ended by blacks\n"
    "  --letters-only         with --keep: keep the letters, not the entries' ends\n"
    "design:\n"
    "  --count N              patterns offered (default 5)\n"
    "  --candidates N         patterns made and ranked for them (default 2 x count)\n"
    "  --seed N               another seed gives other patterns (default 1)\n"
    "  --quick-fill SECONDS   rank by a fill of each pattern held to this long\n"
    "                         (default 1; 0: no ranking, no word lists read)\n"
    "  --time-limit SECONDS   give up after this long (default: no limit)\n"
    "  --all                  write every pattern offered, the k-th to OUT-k.kvl\n"
    "word lists of the ranking, as for korvel-fill:\n"
    "  --dir DIR, --disable N[,N], --min-score N, --ban FILE\n"
    "  --check                check IN.kvl against the rules instead\n"
    "  --help, --version\n"
    "Exit status: 0 written (or the grid meets the rules), 3 no pattern meets\n"
    "the rules (or the grid breaks one), 4 stopped at the time limit first,\n"
    "1 dictionaries cannot be loaded, 2 usage or file error.\n";

struct Options {
    bool help = false;
    bool version = false;
    bool check = false;
    bool all = false;
    std::optional<std::pair<int, int>> size;
    PatternStyle style = PatternStyle::American;
    std::optional<Symmetry> symmetry;
    std::optional<std::pair<int, int>> words;
    std::optional<int> minLength;
    std::optional<int> maxLength;
    std::string keepFile;
    bool lettersOnly = false;
    PatternRequest request;
    std::string dir;
    std::string banFile;
    DisabledList disabled{};
    std::vector<std::string> files;
};

bool usageError(const std::string& why) {
    std::cerr << "korvel-pattern: " << printable(why) << "\n";
    return false;
}

template <typename T> bool parseNumber(const std::string& s, T& out) {
    const char* end = s.data() + s.size();
    const auto [p, ec] = std::from_chars(s.data(), end, out);
    return ec == std::errc() && p == end && !s.empty();
}

// "A<sep>B" with two whole numbers.
bool parsePair(const std::string& v, char sep, std::pair<int, int>& out) {
    const std::size_t at = v.find(sep);
    return at != std::string::npos && parseNumber(v.substr(0, at), out.first) &&
           parseNumber(v.substr(at + 1), out.second);
}

bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--help") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--check") {
            o.check = true;
        } else if (a == "--all") {
            o.all = true;
        } else if (a == "--letters-only") {
            o.lettersOnly = true;
        } else if (a == "--size" && hasValue) {
            std::pair<int, int> v;
            if (!parsePair(argv[++i], 'x', v) || v.first < MinRows || v.first > MaxRows ||
                v.second < MinColumns || v.second > MaxColumns) {
                return usageError("--size takes ROWSxCOLUMNS, 2 to 25 rows and 2 to 35 columns");
            }
            o.size = v;
        } else if (a == "--style" && hasValue) {
            const std::string v = argv[++i];
            if (v == "american") {
                o.style = PatternStyle::American;
            } else if (v == "italian") {
                o.style = PatternStyle::Italian;
            } else {
                return usageError("--style takes american or italian");
            }
        } else if (a == "--symmetry" && hasValue) {
            const std::string v = argv[++i];
            if (v == "half-turn") {
                o.symmetry = Symmetry::Rotate180;
            } else if (v == "left-right") {
                o.symmetry = Symmetry::LeftRight;
            } else if (v == "top-bottom") {
                o.symmetry = Symmetry::TopBottom;
            } else if (v == "none") {
                o.symmetry = Symmetry::None;
            } else {
                return usageError("--symmetry takes half-turn, left-right, top-bottom or none");
            }
        } else if (a == "--words" && hasValue) {
            std::pair<int, int> v;
            if (!parsePair(argv[++i], '-', v) || v.first < 0 || v.second < v.first ||
                v.second < 1) {
                return usageError("--words takes MIN-MAX, whole numbers with MIN <= MAX");
            }
            o.words = v;
        } else if ((a == "--min-length" || a == "--max-length") && hasValue) {
            int v = 0;
            if (!parseNumber(argv[++i], v) || v < 2 || v > MaxColumns) {
                return usageError(a + " takes a whole number from 2 to 35");
            }
            (a == "--min-length" ? o.minLength : o.maxLength) = v;
        } else if (a == "--keep" && hasValue) {
            o.keepFile = argv[++i];
        } else if (a == "--count" && hasValue) {
            if (!parseNumber(argv[++i], o.request.count) || o.request.count < 1 ||
                o.request.count > 100) {
                return usageError("--count takes a whole number from 1 to 100");
            }
        } else if (a == "--candidates" && hasValue) {
            if (!parseNumber(argv[++i], o.request.candidates) || o.request.candidates < 1 ||
                o.request.candidates > 1000) {
                return usageError("--candidates takes a whole number from 1 to 1000");
            }
        } else if (a == "--seed" && hasValue) {
            if (!parseNumber(argv[++i], o.request.seed)) {
                return usageError("--seed takes a whole number from 0 up");
            }
        } else if (a == "--quick-fill" && hasValue) {
            if (!parseSeconds(argv[++i], o.request.quickFill, true)) {
                return usageError("--quick-fill takes a number of seconds, 0 or more");
            }
        } else if (a == "--time-limit" && hasValue) {
            if (!parseSeconds(argv[++i], o.request.timeLimit, false)) {
                return usageError("--time-limit takes a number of seconds above 0");
            }
        } else if (a == "--min-score" && hasValue) {
            int& m = o.request.fill.minScore;
            if (!parseNumber(argv[++i], m) || m < LowestScore || m > HighestScore) {
                return usageError("--min-score takes a whole number from 0 to 100");
            }
        } else if (a == "--ban" && hasValue) {
            o.banFile = argv[++i];
        } else if (a == "--dir" && hasValue) {
            o.dir = argv[++i];
        } else if (a == "--disable" && hasValue) {
            if (!parseDisabledList(argv[++i], o.disabled)) {
                return usageError("--disable takes dictionaries 2 to 6");
            }
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return usageError("unknown option or missing value: " + a);
        } else {
            o.files.push_back(a);
        }
    }
    if (o.help || o.version) {
        return true;
    }
    if (o.files.size() != 1) {
        return usageError(o.check ? "--check takes one crossword file"
                                  : "give the crossword file to write");
    }
    if (o.lettersOnly && o.keepFile.empty()) {
        return usageError("--letters-only goes with --keep");
    }
    return true;
}

bool readGrid(const std::string& path, GridModel& grid) {
    std::string bytes;
    const FileReadResult input = readRegularFile(AT_FDCWD, path, MaxKvlBytes, bytes);
    if (!input.ok()) {
        std::cerr << "korvel-pattern: cannot read " << printable(path) << ": "
                  << printable(input.cause) << "\n";
        return false;
    }
    KvlReadResult read = readKvl(bytes);
    if (!read.grid) {
        std::cerr << "korvel-pattern: " << printable(path)
                  << " is no crossword file: " << printableLatin1(read.error) << "\n";
        return false;
    }
    grid = std::move(*read.grid);
    grid.normalizeBlacks();
    return true;
}

// The grid as text: "#" for a black cell, "." for an empty one, the rest as
// it stands.
void printGrid(const GridModel& grid) {
    for (int r = 0; r < grid.RowCount; ++r) {
        std::string line;
        for (int c = 0; c < grid.ColumnCount; ++c) {
            line += grid.isBlack(r, c)                    ? '#'
                    : grid.patternChar(r, c) == EmptyCell ? '.'
                                                          : grid.cell(r, c);
        }
        std::cout << printableLatin1(line) << "\n";
    }
}

std::string seconds(double s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f s", s);
    return buf;
}

std::string quickFillText(const DesignedPattern& p) {
    if (!p.ranked) {
        return "not ranked";
    }
    switch (p.quickFill) {
    case FillStatus::Filled:
        return "quick fill: filled in " + seconds(p.quickFillSeconds);
    case FillStatus::NoFill:
        return "quick fill: no fill exists";
    case FillStatus::Stopped:
        break;
    }
    return "quick fill: not filled in " + seconds(p.quickFillSeconds);
}

// OUT-k.kvl for OUT.kvl (OUT-k when OUT has no extension).
std::string numbered(const std::string& out, int k) {
    const std::size_t slash = out.rfind('/');
    const std::size_t dot = out.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1);
    const std::string suffix = "-" + std::to_string(k);
    return hasExtension ? out.substr(0, dot) + suffix + out.substr(dot) : out + suffix;
}

} // namespace

int main(int argc, char** argv) {
    removeScratchFilesOnSignals();
    Options o;
    if (!parseOptions(argc, argv, o)) {
        std::cerr << Usage;
        return ExitUsage;
    }
    if (o.help) {
        std::cout << Usage;
        return 0;
    }
    if (o.version) {
        std::cout << "korvel-pattern " << KORVEL_VERSION << "\n";
        return 0;
    }

    std::optional<PatternKeep> keep;
    if (!o.keepFile.empty()) {
        PatternKeep k;
        if (!readGrid(o.keepFile, k.grid)) {
            return ExitUsage;
        }
        k.wholeEntries = !o.lettersOnly;
        keep = std::move(k);
    }
    GridModel checked;
    if (o.check && !readGrid(o.files[0], checked)) {
        return ExitUsage;
    }
    // The size: the grid checked, else the grid kept, else --size, which
    // must agree with them.
    std::pair<int, int> size = o.size.value_or(std::pair<int, int>{15, 15});
    for (const GridModel* g : {keep ? &keep->grid : nullptr, o.check ? &checked : nullptr}) {
        if (g == nullptr) {
            continue;
        }
        if (o.size && (o.size->first != g->RowCount || o.size->second != g->ColumnCount)) {
            std::cerr << "korvel-pattern: --size " << o.size->first << "x" << o.size->second
                      << " is not the size of the grid, " << g->RowCount << "x" << g->ColumnCount
                      << "\n";
            return ExitUsage;
        }
        size = {g->RowCount, g->ColumnCount};
    }
    PatternRules rules = defaultPatternRules(static_cast<int16_t>(size.first),
                                             static_cast<int16_t>(size.second), o.style);
    if (o.symmetry) {
        rules.symmetry = *o.symmetry;
    }
    if (o.words) {
        rules.minWords = o.words->first;
        rules.maxWords = o.words->second;
    }
    if (o.minLength) {
        rules.minLength = *o.minLength;
    }
    if (o.maxLength) {
        rules.maxLength = *o.maxLength;
    }
    if (const std::string problem = rulesProblem(rules); !problem.empty()) {
        std::cerr << "korvel-pattern: " << problem << "\n";
        return ExitUsage;
    }

    if (o.check) {
        const std::vector<std::string> faults =
            checkPattern(checked, rules, keep ? &*keep : nullptr);
        for (const std::string& f : faults) {
            std::cout << f << "\n";
        }
        const PatternFigures f = patternFigures(checked);
        std::cerr << "korvel-pattern: " << counted(f.words, "word", "words") << ", "
                  << counted(f.blacks, "black", "blacks") << ", longest entry " << f.longest << ", "
                  << counted(f.uncheckedCells, "unchecked cell", "unchecked cells") << "; "
                  << (faults.empty() ? "meets every rule" : "breaks the rules") << "\n";
        return faults.empty() ? ExitDone : ExitNoPattern;
    }

    // Every file to be written is checked now, so that a long design does
    // not end in a file that cannot be written.
    std::string error;
    const int files = o.all ? o.request.count : 1;
    for (int k = 1; k <= files; ++k) {
        const std::string out = o.all ? numbered(o.files[0], k) : o.files[0];
        if (!checkReplaceable(out, error)) {
            std::cerr << "korvel-pattern: cannot write " << printable(out) << ": "
                      << printable(error) << "\n";
            return ExitUsage;
        }
    }

    // The word lists, only for the ranking.
    DictionaryStore store;
    std::optional<WordIndex> index;
    if (o.request.quickFill > 0) {
        BanList bans;
        if (!o.banFile.empty()) {
            constexpr uint64_t MaxBanBytes = 64u << 20;
            std::string banBytes;
            const FileReadResult ban = readRegularFile(AT_FDCWD, o.banFile, MaxBanBytes, banBytes);
            if (!ban.ok()) {
                std::cerr << "korvel-pattern: cannot read " << printable(o.banFile) << ": "
                          << printable(ban.cause) << "\n";
                return ExitUsage;
            }
            bans = BanList::parse(banBytes);
        }
        const std::string folder = o.dir.empty() ? startupDictionaryFolder() : o.dir;
        std::unique_ptr<CompanionLibrary> library;
        const CompanionCall call = openCompanion(library);
        StderrObserver observer;
        if (loadDictionaries(
                store, folder, call, [] {}, observer) != LoadResult::Ok) {
            return ExitLoad;
        }
        const EnabledSet enabled = enabledWithout(store, o.disabled);
        std::vector<std::string> warnings;
        const WordScores scores = loadWordScores(store.DictFolder, nullptr, &warnings);
        for (const std::string& w : warnings) {
            std::cerr << "korvel-pattern: " << printable(w) << "\n";
        }
        const WordScoreFn scoreOf = scores.empty() ? WordScoreFn{} : [&scores](std::string_view w) {
            return scores.scoreOr(w);
        };
        const WordBanFn banned = bans.size() == 0 ? WordBanFn{} : [&bans](std::string_view w) {
            return bans.contains(w);
        };
        index = WordIndex::build(store, dictionarySelection(enabled), scoreOf, banned);
        o.request.fill.scoreOrder = o.request.fill.minScore > 0;
    }

    o.request.rules = rules;
    o.request.keep = keep;
    MemoryHost host;
    SearchFlags flags;
    const PatternDesign design = designPatterns(o.request, index ? &*index : nullptr, host, flags);
    if (design.patterns.empty()) {
        if (!design.problem.empty()) {
            std::cerr << "korvel-pattern: " << design.problem << "\n";
            return ExitNoPattern;
        }
        std::cerr << "korvel-pattern: stopped at the time limit after " << seconds(design.seconds)
                  << ", before a pattern was made\n";
        return ExitStopped;
    }
    for (std::size_t k = 0; k < design.patterns.size(); ++k) {
        const DesignedPattern& p = design.patterns[k];
        const int whites = rules.rows * rules.columns - p.figures.blacks;
        std::cout << "pattern " << k + 1 << ": " << counted(p.figures.words, "word", "words")
                  << ", " << counted(p.figures.blacks, "black", "blacks") << ", "
                  << counted(whites, "white cell", "white cells") << ", longest entry "
                  << p.figures.longest << ", "
                  << counted(p.figures.uncheckedCells, "unchecked cell", "unchecked cells") << "; "
                  << quickFillText(p) << "\n";
        printGrid(p.grid);
        std::cout << "\n";
    }
    for (int k = 1; k <= files && k <= static_cast<int>(design.patterns.size()); ++k) {
        const std::string out = o.all ? numbered(o.files[0], k) : o.files[0];
        if (!saveKvlFile(out, design.patterns[static_cast<std::size_t>(k - 1)].grid, error)) {
            std::cerr << "korvel-pattern: cannot write " << printable(out) << ": "
                      << printable(error) << "\n";
            return ExitUsage;
        }
    }
    std::cerr << "korvel-pattern: " << design.patterns.size() << " of " << design.made
              << " patterns made offered in " << seconds(design.seconds)
              << (design.stopped ? " (stopped at the time limit)" : "") << "\n";
    return ExitDone;
}
