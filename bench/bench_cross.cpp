// SPDX-License-Identifier: GPL-3.0-or-later
// Times the cross prompt on a dictionaries folder: worst cases (the two
// words begin with "?", all 26 letters, Free Cue on) and a few ordinary ones,
// with the yield counted as the window's throttled yield would be.
//
//   bench_cross DIR [REPEATS]
//
// DIR is loaded as the program loads it (its base.diz is dictionary 1).

#include "benchsupport.h"
#include "crossprompt.h"
#include "memoryhost.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

using namespace korvel;
using namespace korvel::bench;

namespace {

class BenchHost : public MemoryHost {
public:
    long yields = 0;
    Clock::time_point lastPass = Clock::now();

    // As the window does it: look at the clock only now and then.
    void yield() override {
        if ((++yields & 255) == 0) {
            const auto now = Clock::now();
            if (now - lastPass > std::chrono::milliseconds(5)) {
                lastPass = now;
            }
        }
    }
};

struct Case {
    const char* name;
    const char* across;
    const char* down;
    bool freeCue;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: bench_cross DIR [REPEATS]\n";
        return 2;
    }
    const std::string dir = argv[1];
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;

    DictionaryStore store;
    if (!loadFolder(dir, store)) {
        return 1;
    }
    std::printf("%s: %d dictionaries, base %lld bytes, %zu lines\n", dir.c_str(), store.count,
                static_cast<long long>(store.DictLength[1]), store.Lines[1].lineCount());

    // Worst cases: both words open with "?", every letter is tried, and the
    // one fixed letter sits early so that Free Cue tries many lengths.
    const std::vector<Case> cases = {
        {"worst ?#Z???????? / ?#W????????", "?#Z????????", "?#W????????", true},
        {"worst ?#K?????????? / ?#???????J", "?#K??????????", "?#???????J", true},
        {"worst ?#??????E / ?#??????O", "?#??????E", "?#??????O", true},
        {"worst ?Z#?????? / ?#Q???????", "?Z#??????", "?#Q???????", true},
        {"worst ?#A???????? / ?#E????????", "?#A????????", "?#E????????", true},
        {"no Free Cue ?#??????E / ?#?????O", "?#??????E", "?#?????O", false},
        {"ordinary CA#A / #ASO", "CA#A", "#ASO", true},
        {"ordinary PA#??? / ?#R?", "PA#???", "?#R?", true},
    };
    std::printf("%-40s %6s %10s %10s %12s\n", "case", "lines", "median ms", "max ms", "yields");
    for (const Case& c : cases) {
        EditorState editor;
        SearchFlags flags;
        flags.Accorcia = c.freeCue;
        BenchHost host;
        EnabledSet enabled;
        for (int n = 1; n <= EnabledSet::Count; ++n)
            enabled.setChecked(n, true);
        CrossContext ctx{store, enabled, editor, flags, host};
        std::vector<double> times;
        long yields = 0;
        const std::string across = c.across;
        const std::string down = c.down;
        for (int r = 0; r < repeats; ++r) {
            host.yields = 0;
            const auto t0 = Clock::now();
            runCrossPrompt(across, static_cast<int>(across.find('#')), down,
                           static_cast<int>(down.find('#')), false, ctx);
            times.push_back(msSince(t0));
            yields = host.yields;
        }
        std::sort(times.begin(), times.end());
        std::printf("%-40s %6zu %10.3f %10.3f %12ld\n", c.name, host.list.size(),
                    times[times.size() / 2], times.back(), yields);
    }
    return 0;
}
