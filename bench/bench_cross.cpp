// Times the cross prompt on a dictionaries folder: worst cases (the two
// words begin with "?", all 26 letters, Free Cue on) and a few ordinary ones,
// with the yield counted as the window's throttled yield would be.
//
//   bench_cross DIR [REPEATS]
//
// DIR is loaded as the program loads it (its base.diz is dictionary 1).

#include "companionlibrary.h"
#include "crossprompt.h"
#include "loader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

using namespace korvel;
using Clock = std::chrono::steady_clock;

namespace {

class BenchHost : public SearchHost {
public:
    std::vector<std::string> list;
    long yields = 0;
    Clock::time_point lastPass = Clock::now();

    void setPanelText(int, std::string_view) override {}
    void setPanelHint(int, std::string_view) override {}
    bool isPanelEnabled(int panel) const override { return panel >= 11 && panel <= 16; }
    void clearList() override { list.clear(); }
    void addListLine(std::string l) override { list.push_back(std::move(l)); }
    std::size_t listCount() const override { return list.size(); }
    void setListHint(std::string_view) override {}
    void setPointers(Pointers) override {}
    void beep() override {}
    // As the window does it: look at the clock only now and then.
    void yield() override {
        if ((++yields & 255) == 0) {
            const auto now = Clock::now();
            if (now - lastPass > std::chrono::milliseconds(5)) {
                lastPass = now;
            }
        }
    }
    void setPatternLabel(std::string_view) override {}
    void setTestText(std::string_view) override {}
    void repaint() override {}
    void drawSelection() override {}
    void drawGreenBox() override {}
    void setHeadTailButtonsEnabled(bool) override {}
};

class QuietObserver : public LoadObserver {
public:
    void outOfSequence(const std::string&) override {}
    void warning(const std::string&) override {}
    void fatal(const std::string&, const std::string& m) override { std::cerr << m << "\n"; }
};

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

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
    CompanionLibrary library;
    CompanionCall call{library.tempFolder(),
                       [&](const std::string& f, const std::vector<std::string>& n) {
                           return library.setup(f, n, library.tempFolder());
                       },
                       [&](int16_t i) { return library.MYFUNC(i); }};
    QuietObserver observer;
    if (loadDictionaries(
            store, dir, call, [] {}, observer) != LoadResult::Ok) {
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
        PatternState ps;
        Selection sel;
        SearchFlags flags;
        flags.Accorcia = c.freeCue;
        BenchHost host;
        CrossContext ctx{store, ps, sel, flags, host};
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
