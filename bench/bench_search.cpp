// SPDX-License-Identifier: GPL-3.0-or-later
// Times the pattern search on a dictionaries folder against GNU grep -E on
// the same plain list, and the share of a scan spent in the per-line yield.
//
//   bench_search DIR PLAIN_LIST [REPEATS]
//
// DIR is loaded as the program loads it; PLAIN_LIST is the CR LF word list of
// its base dictionary for grep. Prints one row per pattern.

#include "benchsupport.h"
#include "memoryhost.h"
#include "patternsearch.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

using namespace korvel;
using namespace korvel::bench;

namespace {

// Counts the lines instead of keeping them: an extended search on the stress
// dictionary lists many.
class BenchHost : public MemoryHost {
public:
    std::size_t lines = 0;
    long yields = 0;
    Clock::time_point lastPass = Clock::now();

    void clearList() override { lines = 0; }
    void addListLine(std::string) override { ++lines; }
    std::size_t listCount() const override { return lines; }
    // As the window does it: read the clock, and run the event loop when
    // some milliseconds have passed since the last pass.
    void yield() override {
        ++yields;
        const auto now = Clock::now();
        if (now - lastPass > std::chrono::milliseconds(10)) {
            lastPass = now;
        }
    }
};

// grep -E with its output piped, so it reads the whole list.
double grepMs(const std::string& regex, const std::string& file, int repeats, long& count) {
    return pipedCommandMs("grep -E '" + regex + "' '" + file + "' | wc -l", repeats, count);
}

struct Case {
    std::string name;
    std::string pattern;
    std::string slot;
    std::string freedHead;
    std::string regex;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: bench_search DIR PLAIN_LIST [REPEATS]\n";
        return 2;
    }
    const std::string dir = argv[1];
    const std::string plain = argv[2];
    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 21;

    DictionaryStore store;
    const auto t0 = Clock::now();
    if (!loadFolder(dir, store)) {
        return 1;
    }
    std::printf("loaded %s: %lld bytes, %zu lines in %.1f ms\n", dir.c_str(),
                static_cast<long long>(store.DictLength[1]), store.Lines[1].lineCount(),
                msSince(t0));

    const std::vector<Case> cases = {
        {"anchored C?S?", "C?S?", "C?S?", "", "^C.S.\r$"},
        {"full scan ?A?E?O", "?A?E?O", "?A?E?O", "", "^.A.E.O\r$"},
        {"free end CAS* (8 cells)", "CAS*", "CAS?????", "", "^CAS.{1,5}\r$"},
        {"free start *ARE (9 cells)", "*ARE", "??????ARE", "??????", "^.{1,6}ARE\r$"},
    };

    // What starting grep and the pipe costs on its own, so the ratio can also
    // be given for the scan alone.
    long none = 0;
    const double startup = grepMs("^$", "/dev/null", 5, none);
    std::printf("grep start-up with an empty input: %.1f ms\n", startup);
    std::printf("%-28s %8s %10s %9s %9s %9s %9s %8s\n", "pattern", "hits", "korvel ms", "grep hits",
                "grep ms", "ratio", "net ratio", "yield %");
    for (const Case& c : cases) {
        EditorState editor;
        editor.setTool(Tool::PromptAcross, "a1");
        PatternState& ps = editor.pattern;
        SearchFlags flags;
        flags.Estesa = true;
        flags.Accorcia = false;
        BenchHost host;
        EnabledSet enabled; // the base dictionary alone
        enabled.setChecked(1, true);
        SearchContext ctx{store, enabled, editor, flags, host};

        // The same search with the window's yield stride and with no yield
        // at all; the difference is what responsiveness costs.
        std::vector<double> times;
        std::vector<double> noYieldTimes;
        const int stride = host.yieldStride;
        for (int r = 0; r < repeats; ++r) {
            for (bool yielding : {true, false}) {
                ps.CurrentPattern = c.pattern;
                ps.SlotPattern = c.slot;
                ps.testom = c.slot;
                ps.freedHead = c.freedHead;
                host.yieldStride = yielding ? stride : INT_MAX;
                const auto s0 = Clock::now();
                searchPattern(ctx);
                (yielding ? times : noYieldTimes).push_back(msSince(s0));
            }
        }
        host.yieldStride = stride;
        const double withYield = median(times);
        const double ms = median(noYieldTimes);
        const double yieldMs = withYield - ms;

        long grepCount = 0;
        const double g = grepMs(c.regex, plain, std::min(repeats, 5), grepCount);
        std::printf("%-28s %8zu %10.3f %9ld %9.1f %8.0fx %8.0fx %7.1f%%\n", c.name.c_str(),
                    host.lines, withYield, grepCount, g, g / withYield, (g - startup) / withYield,
                    100.0 * std::max(0.0, yieldMs) / ms);
    }
    return 0;
}
