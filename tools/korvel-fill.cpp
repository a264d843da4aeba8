// SPDX-License-Identifier: GPL-3.0-or-later
// korvel-fill: fills a crossword file from the word lists of a dictionaries
// folder loaded exactly as the program loads it, or tells which cells can
// still be filled.
//
//   korvel-fill [options] IN.kvl OUT.kvl
//   korvel-fill --check [options] IN.kvl
//   korvel-fill --write-index [--dir DIR]
//
// Exit status: 0 filled (or check done), 3 no fill exists, 4 stopped at the
// time limit, 1 the dictionaries cannot be loaded, 2 usage error or a
// crossword file that cannot be read or written (the reason on standard
// error).

#include "banlist.h"
#include "companioncall.h"
#include "conflictset.h"
#include "datafolders.h"
#include "enabledset.h"
#include "fallback.h"
#include "fill.h"
#include "fillindexfile.h"
#include "kvlfile.h"
#include "loader.h"
#include "memoryhost.h"
#include "plural.h"
#include "printable.h"
#include "regularfile.h"
#include "replacefile.h"
#include "toolcommon.h"
#include "wordscores.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace korvel;

namespace {

constexpr int ExitFilled = 0;
constexpr int ExitLoad = 1;
constexpr int ExitUsage = 2;
constexpr int ExitNoFill = 3;
constexpr int ExitStopped = 4;

const char* const Usage =
    "usage: korvel-fill [options] IN.kvl OUT.kvl\n"
    "       korvel-fill --check [options] IN.kvl\n"
    "       korvel-fill --write-index [--dir DIR]\n"
    "options:\n"
    "  --dir DIR              dictionaries folder (default: the current directory\n"
    "                         when it holds base.diz, else the per-user folder\n"
    "                         $XDG_DATA_HOME/korvel/dictionaries when it does,\n"
    "                         else its subfolder it/ or en/ for the chosen\n"
    "                         language, else the installed set of that language)\n"
    "  --disable N[,N]        switch dictionaries 2 to 6 off\n"
    "  --seed N               another seed gives another fill (default 1)\n"
    "  --time-limit SECONDS   give up after this long (default: no limit)\n"
    "  --allow-repeats        let one word fill two slots\n"
    "  --min-score N          never place a word scoring under N (0 to 100) in\n"
    "                         the folder's score lists (*.scores; a word they do\n"
    "                         not name scores 50; without lists every word\n"
    "                         passes); default 50, lowered step by step where\n"
    "                         no fill exists (see --fallback)\n"
    "  --fallback             where no fill exists at the minimum, fill at the\n"
    "                         highest of 40, 30, 20 and 1 that fills (1 first,\n"
    "                         then from the top), naming each step passed over\n"
    "                         (the default without --min-score)\n"
    "  --no-fallback          fill at the minimum only\n"
    "  --ban FILE             never place the words of FILE (one a line)\n"
    "  --no-shipped-bans      place the words of the folder's base.bans too\n"
    "  --theme-entries        keep a complete slot even when it is no word\n"
    "  --region R1,C1,R2,C2   fill only the cells of this rectangle (rows and\n"
    "                         columns counted from 1, corners included)\n"
    "  --no-index             build the word index from the lists even when\n"
    "                         the folder's base.fillindex is up to date\n"
    "  --write-index          write the folder's base.fillindex and exit\n"
    "  --verbose              say where the words come from\n"
    "  --explain-limit SECONDS  when no fill exists, look this long for a small\n"
    "                         set of slots that have no fill together (default\n"
    "                         10; 0: do not look)\n"
    "  --help, --version\n"
    "Exit status: 0 filled (or check done), 3 no fill exists, 4 stopped at the\n"
    "time limit, 1 dictionaries cannot be loaded, 2 usage or file error.\n";

struct Options {
    std::string dir;
    bool check = false;
    bool writeIndex = false;
    bool noIndex = false;
    bool verbose = false;
    bool shippedBans = true;
    // Unset: on unless --min-score was given.
    std::optional<bool> fallback;
    bool minScoreGiven = false;
    bool help = false;
    bool version = false;
    FillOptions fill;
    double explainLimit = 10;
    std::string banFile;
    DisabledList disabled{};
    std::vector<std::string> files;
};

bool usageError(const std::string& why) {
    std::cerr << "korvel-fill: " << printable(why) << "\n";
    return false;
}

template <typename T> bool parseNumber(const std::string& s, T& out) {
    const char* end = s.data() + s.size();
    const auto [p, ec] = std::from_chars(s.data(), end, out);
    return ec == std::errc() && p == end && !s.empty();
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
        } else if (a == "--write-index") {
            o.writeIndex = true;
        } else if (a == "--no-index") {
            o.noIndex = true;
        } else if (a == "--verbose") {
            o.verbose = true;
        } else if (a == "--fallback") {
            o.fallback = true;
        } else if (a == "--no-fallback") {
            o.fallback = false;
        } else if (a == "--no-shipped-bans") {
            o.shippedBans = false;
        } else if (a == "--allow-repeats") {
            o.fill.allowRepeats = true;
        } else if (a == "--theme-entries") {
            o.fill.keepThemeEntries = true;
        } else if (a == "--min-score" && hasValue) {
            if (!parseNumber(argv[++i], o.fill.minScore) || o.fill.minScore < LowestScore ||
                o.fill.minScore > HighestScore) {
                return usageError("--min-score takes a whole number from 0 to 100");
            }
            o.minScoreGiven = true;
        } else if (a == "--ban" && hasValue) {
            o.banFile = argv[++i];
        } else if (a == "--dir" && hasValue) {
            o.dir = argv[++i];
        } else if (a == "--seed" && hasValue) {
            if (!parseNumber(argv[++i], o.fill.seed)) {
                return usageError("--seed takes a whole number from 0 up");
            }
        } else if (a == "--time-limit" && hasValue) {
            if (!parseSeconds(argv[++i], o.fill.timeLimit, false)) {
                return usageError("--time-limit takes a number of seconds above 0");
            }
        } else if (a == "--explain-limit" && hasValue) {
            if (!parseSeconds(argv[++i], o.explainLimit, true)) {
                return usageError("--explain-limit takes a number of seconds, 0 or more");
            }
        } else if (a == "--disable" && hasValue) {
            if (!parseDisabledList(argv[++i], o.disabled)) {
                return usageError("--disable takes dictionaries 2 to 6");
            }
        } else if (a == "--region" && hasValue) {
            const std::vector<std::string> v = splitCommas(argv[++i]);
            std::array<int, 4> n{};
            bool ok = v.size() == 4;
            for (std::size_t k = 0; ok && k < 4; ++k) {
                ok = parseNumber(v[k], n[k]) && n[k] >= 1 && n[k] <= MaxColumns;
            }
            if (!ok || n[0] > n[2] || n[1] > n[3]) {
                return usageError("--region takes R1,C1,R2,C2 with R1 <= R2 and C1 <= C2, from 1");
            }
            o.fill.region =
                FillRegion{static_cast<int16_t>(n[0] - 1), static_cast<int16_t>(n[1] - 1),
                           static_cast<int16_t>(n[2] - 1), static_cast<int16_t>(n[3] - 1)};
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return usageError("unknown option or missing value: " + a);
        } else {
            o.files.push_back(a);
        }
    }
    if (o.help || o.version) {
        return true;
    }
    if (o.writeIndex) {
        return o.files.empty() && !o.check
                   ? true
                   : usageError("--write-index takes no crossword file and no --check");
    }
    if (o.files.size() != (o.check ? 1u : 2u)) {
        return usageError(o.check ? "--check takes one crossword file"
                                  : "give the crossword file to fill and the file to write");
    }
    return true;
}

// The check as text: the grid, each empty cell as its count of possible
// letters ("." none, the letter itself when only one is left, "+" for 10 or
// more), "#" for a black cell, letters as they stand; then the dead slots.
void printCheck(const GridModel& grid, const FillCheck& check) {
    for (int r = 0; r < grid.RowCount; ++r) {
        std::string line;
        for (int c = 0; c < grid.ColumnCount; ++c) {
            const auto i = static_cast<std::size_t>(r * grid.ColumnCount + c);
            if (grid.isBlack(r, c)) {
                line += '#';
            } else if (!check.empty[i]) {
                line += grid.cell(r, c);
            } else {
                const int n = std::popcount(check.letters[i]);
                line += n == 0    ? '.'
                        : n == 1  ? static_cast<char>('a' + std::countr_zero(check.letters[i]))
                        : n >= 10 ? '+'
                                  : static_cast<char>('0' + n);
            }
        }
        std::cout << printableLatin1(line) << "\n";
    }
    std::cout << "dead cells: " << check.deadCells.size()
              << ", forced cells: " << check.forcedCells.size()
              << ", slots without a word: " << check.deadSlots.size() << "\n";
    for (const Slot& s : check.deadSlots) {
        std::cout << "no word: " << printableLatin1(describeSlot(s)) << "\n";
    }
}

// What a load said, kept as the tools print it: printed when the load is
// the program's own, stored in the index when it makes one.
class CapturingObserver : public LoadObserver {
public:
    std::string text;
    void outOfSequence(const std::string& message) override { add(message); }
    void warning(const std::string& message) override { add(message); }
    void fatal(const std::string&, const std::string& message) override { add(message); }
    void fatalWithDetail(const std::string&, const std::string& message,
                         const std::string& detail) override {
        add(message);
        add(detail);
    }

private:
    void add(const std::string& message) { text += printableLines(message) + "\n"; }
};

// The dictionaries the window takes at start: 1 to 6 of those there are.
DictionarySelection defaultSelection(std::size_t dictionaries) {
    DictionarySelection take{};
    for (std::size_t n = 1; n <= std::min<std::size_t>(dictionaries, SearchedDictionaries); ++n) {
        take[n] = true;
    }
    return take;
}

// The words of folder as the fill takes them, loaded from the lists: the
// dictionaries of take (none disabled: the default ones) scored by the score
// lists and banned by banned. False when the dictionaries cannot be loaded.
// What the load and the score lists had to say goes to messages.
bool loadWords(const std::string& folder, const DisabledList& disabled,
               const std::vector<std::string>& banned, std::string& messages,
               DictionarySelection& take, std::unique_ptr<WordIndex>& index) {
    DictionaryStore store;
    std::unique_ptr<CompanionLibrary> library;
    const CompanionCall call = openCompanion(library);
    CapturingObserver observer;
    const LoadResult loaded = loadDictionaries(
        store, folder, call, [] {}, observer);
    messages = observer.text;
    if (loaded != LoadResult::Ok) {
        return false;
    }
    take = dictionarySelection(enabledWithout(store, disabled));
    // The score lists of the folder loaded, as the window reads them.
    std::vector<std::string> warnings;
    const WordScores scores = loadWordScores(store.DictFolder, nullptr, &warnings);
    for (const std::string& w : warnings) {
        messages += "korvel-fill: " + printable(w) + "\n";
    }
    const WordScoreFn scoreOf = scores.empty() ? WordScoreFn{} : [&scores](std::string_view w) {
        return scores.scoreOr(w);
    };
    // An empty ban list bans nothing, and leaves the index as without one.
    const WordBanFn isBanned = banned.empty() ? WordBanFn{} : [&banned](std::string_view w) {
        return std::binary_search(banned.begin(), banned.end(), w, std::less<>());
    };
    index = std::make_unique<WordIndex>(WordIndex::build(store, take, scoreOf, isBanned));
    return true;
}

// --write-index: the index of the folder's lists, written beside them.
int writeIndex(const std::string& folder) {
    std::string why;
    const std::optional<std::vector<IndexSource>> before = folderSources(folder, why);
    std::string messages;
    DictionarySelection take{};
    std::unique_ptr<WordIndex> index;
    const bool loaded = before && loadWords(folder, DisabledList{}, {}, messages, take, index);
    std::cerr << messages;
    if (!before) {
        std::cerr << "korvel-fill: cannot read the lists of " << printable(folder) << ": "
                  << printable(why) << "\n";
        return ExitLoad;
    }
    if (!loaded) {
        return ExitLoad;
    }
    // The lists the index names must be the ones it was made from.
    const std::optional<std::vector<IndexSource>> after = folderSources(folder, why);
    if (!after || *after != *before) {
        std::cerr << "korvel-fill: the lists of " << printable(folder)
                  << " changed while the index was made; nothing is written\n";
        return ExitLoad;
    }
    const std::string path = (folder.empty() || folder.back() == '/' ? folder : folder + "/") +
                             std::string(FillIndexName);
    std::string error;
    if (!replaceFile(path, fillIndexBytes(*index, take, *before, messages), error)) {
        std::cerr << "korvel-fill: cannot write " << printable(path) << ": " << printable(error)
                  << "\n";
        return ExitUsage;
    }
    std::cerr << "korvel-fill: wrote " << printable(path) << " (" << index->totalWords()
              << " words)\n";
    return ExitFilled;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Why there is no fill: the slots that have none together, each with its
// pattern, or why none were named.
void explainNoFill(const GridModel& grid, const WordIndex& index, const FillOptions& options,
                   double seconds, SearchHost& host, const SearchFlags& flags) {
    const ConflictSet set = findConflictSet(grid, index, options, seconds, host, flags);
    const std::vector<std::string> lines = conflictLines(set);
    if (lines.empty()) {
        std::cerr << "korvel-fill: no smaller set of slots without a fill was found within "
                  << seconds << " s\n";
        return;
    }
    std::cerr << "korvel-fill: " << printableLatin1(lines[0]) << "\n";
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::cerr << "korvel-fill:   " << printableLatin1(lines[i]) << "\n";
    }
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
        std::cout << "korvel-fill " << KORVEL_VERSION << "\n";
        return 0;
    }
    // Without --dir the folder is chosen as the window chooses it, so that an
    // installed korvel-fill works from any folder.
    const std::string folder = o.dir.empty() ? startupDictionaryFolder() : o.dir;
    if (o.writeIndex) {
        return writeIndex(folder);
    }

    std::string error;
    std::string bytes;
    const FileReadResult input = readRegularFile(AT_FDCWD, o.files[0], MaxKvlBytes, bytes);
    if (!input.ok()) {
        std::cerr << "korvel-fill: cannot read " << printable(o.files[0]) << ": "
                  << printable(input.cause) << "\n";
        return ExitUsage;
    }
    KvlReadResult read = readKvl(bytes);
    if (!read.grid) {
        std::cerr << "korvel-fill: " << printable(o.files[0])
                  << " is no crossword file: " << printableLatin1(read.error) << "\n";
        return ExitUsage;
    }
    GridModel grid = std::move(*read.grid);
    grid.normalizeBlacks();
    if (o.fill.region && (o.fill.region->lastRow >= grid.RowCount ||
                          o.fill.region->lastColumn >= grid.ColumnCount)) {
        std::cerr << "korvel-fill: --region reaches beyond the " << grid.RowCount << " x "
                  << grid.ColumnCount << " grid\n";
        return ExitUsage;
    }
    // OUT is checked now, so that a fill of minutes does not end in a file
    // that cannot be written. Nothing is written to it until the fill is done.
    if (!o.check && !checkReplaceable(o.files[1], error)) {
        std::cerr << "korvel-fill: cannot write " << printable(o.files[1]) << ": "
                  << printable(error) << "\n";
        return ExitUsage;
    }

    // A ban list is read whole, as a plain list; it holds words, so a few MiB
    // is plenty.
    std::vector<std::string> banned;
    if (!o.banFile.empty()) {
        std::string banBytes;
        const FileReadResult ban = readRegularFile(AT_FDCWD, o.banFile, MaxBanListBytes, banBytes);
        if (!ban.ok()) {
            std::cerr << "korvel-fill: cannot read " << printable(o.banFile) << ": "
                      << printable(ban.cause) << "\n";
            return ExitUsage;
        }
        banned = BanList::parse(banBytes).words();
    }
    // The folder's own ban list, unless left out: what a constructor would
    // not publish stays out of the fill, as in the window.
    if (o.shippedBans) {
        const ShippedBans shipped = loadShippedBans(folder);
        if (!shipped.problem.empty()) {
            std::cerr << "korvel-fill: " << printable(shipped.problem) << "; it is not read\n";
        }
        const std::vector<std::string> words = shipped.list.words();
        banned.insert(banned.end(), words.begin(), words.end());
        std::sort(banned.begin(), banned.end());
        banned.erase(std::unique(banned.begin(), banned.end()), banned.end());
    }

    // The folder's prebuilt index, when it is up to date, spares loading the
    // lists; it holds the same words and scores as they give.
    std::unique_ptr<WordIndex> index;
    const bool anyDisabled =
        std::find(o.disabled.begin(), o.disabled.end(), true) != o.disabled.end();
    if (!o.noIndex && !anyDisabled) {
        std::string why;
        if (std::optional<PrebuiltIndex> prebuilt = loadPrebuiltIndex(folder, banned, why)) {
            const auto dictionaries = static_cast<std::size_t>(std::count_if(
                prebuilt->sources.begin(), prebuilt->sources.end(),
                [](const IndexSource& s) { return s.kind == IndexSource::Kind::Dictionary; }));
            if (prebuilt->take == defaultSelection(dictionaries)) {
                std::cerr << prebuilt->messages;
                index = std::make_unique<WordIndex>(std::move(prebuilt->index));
            } else {
                why = std::string(FillIndexName) + " was made from other dictionaries";
            }
        }
        if (o.verbose) {
            std::cerr << "korvel-fill: "
                      << (index ? "the words of " + std::string(FillIndexName)
                                : printable(why) + "; the words of the lists")
                      << "\n";
        }
    }
    if (!index) {
        std::string messages;
        DictionarySelection take{};
        const bool loaded = loadWords(folder, o.disabled, banned, messages, take, index);
        std::cerr << messages;
        if (!loaded) {
            return ExitLoad;
        }
    }

    // Until --min-score says otherwise: the words a constructor would
    // publish, and where they give no fill, the best fill under them.
    if (!o.minScoreGiven) {
        o.fill.minScore = DefaultMinScore;
    }
    const bool fallback = o.fallback.value_or(!o.minScoreGiven);
    MemoryHost host;
    SearchFlags flags;

    if (o.check) {
        printCheck(grid, checkFill(grid, *index, host, flags, o.fill));
        return ExitFilled;
    }

    const auto start = std::chrono::steady_clock::now();
    // Without scores a minimum holds nothing back: one step.
    const std::vector<int> minimums = fallback && index->hasScores()
                                          ? fallbackMinimums(o.fill.minScore)
                                          : std::vector<int>{o.fill.minScore};
    const SteppedFill stepped = fillStepByStep(grid, Slots::of(grid), *index, o.fill, minimums,
                                               FallbackStepNodes, FallbackClimbNodes, host, flags);
    const FillResult& result = stepped.result;
    // Each step that did not fill is named when the fill went on below it.
    if (stepped.steps.size() > 1) {
        for (const FillStep& step : stepped.steps) {
            if (step.status != FillStatus::Filled) {
                std::cerr << "korvel-fill: " << printableLatin1(describeStep(step)) << "\n";
            }
        }
    }
    switch (result.status) {
    case FillStatus::NoFill:
        std::cerr << "korvel-fill: " << printableLatin1(result.reason) << "\n";
        if (o.explainLimit > 0) {
            // At the minimum of the last step: the one the reason is about.
            FillOptions last = o.fill;
            last.minScore = stepped.steps.back().minScore;
            explainNoFill(grid, *index, last, o.explainLimit, host, flags);
        }
        return ExitNoFill;
    case FillStatus::Stopped:
        std::cerr << "korvel-fill: stopped at the time limit after " << secondsSince(start)
                  << " s\n";
        return ExitStopped;
    case FillStatus::Filled:
        break;
    }
    if (!saveKvlFile(o.files[1], result.grid, error)) {
        std::cerr << "korvel-fill: cannot write " << printable(o.files[1]) << ": "
                  << printable(error) << "\n";
        return ExitUsage;
    }
    std::cerr << "korvel-fill: filled "
              << counted(static_cast<long long>(result.changes.size()), "cell", "cells") << " in "
              << secondsSince(start) << " s";
    if (stepped.steps.size() > 1) {
        std::cerr << " at minimum score " << stepped.steps.back().minScore << " (lowered from "
                  << stepped.steps.front().minScore << ")";
    }
    std::cerr << "\n";
    return ExitFilled;
}
