// Times the anagram search on a dictionaries folder against Debian's `an`
// (`an -l 1`: one-word anagrams) on the same word list.
//
//   bench_anagram DIR PLAIN_LIST|- [REPEATS]
//
// DIR is loaded as the program loads it (its base.diz is searched);
// PLAIN_LIST is the same words one per line (LF) for `an`, or "-" to time
// the search alone (a base.diz of stems has no plain list `an` could read). The `an` time is
// the whole process (it reads the list on every run), as a user would see it.

#include "anagrams.h"
#include "companionlibrary.h"
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
    void setPanelText(int, std::string_view) override {}
    void setPanelHint(int, std::string_view) override {}
    bool isPanelEnabled(int) const override { return true; }
    void clearList() override { list.clear(); }
    void addListLine(std::string l) override { list.push_back(std::move(l)); }
    std::size_t listCount() const override { return list.size(); }
    void setListHint(std::string_view) override {}
    void setPointers(Pointers) override {}
    void beep() override {}
    void yield() override { ++yields; }
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

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// `an -l 1` with its output counted.
double anMs(const std::string& word, const std::string& list, int repeats, long& count) {
    std::vector<double> times;
    for (int r = 0; r < repeats; ++r) {
        const std::string cmd =
            "/usr/games/an -l 1 -d '" + list + "' '" + word + "' 2>/dev/null | wc -l";
        const auto t0 = Clock::now();
        FILE* p = popen(cmd.c_str(), "r");
        if (p == nullptr) {
            return -1;
        }
        char buf[64] = {};
        if (std::fgets(buf, sizeof buf, p) != nullptr) {
            count = std::atol(buf);
        }
        pclose(p);
        times.push_back(msSince(t0));
    }
    return median(times);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: bench_anagram DIR PLAIN_LIST|- [REPEATS]\n";
        return 2;
    }
    const std::string dir = argv[1];
    const std::string plain = argv[2];
    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 21;

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
    std::printf("%s: base %lld bytes, %zu lines\n", dir.c_str(),
                static_cast<long long>(store.DictLength[1]), store.Lines[1].lineCount());

    const std::vector<std::string> words = {"ROMA",       "CARTONE", "ATTORE",
                                            "PRESIDENTE", "A  ORE",  "INTERNAZIONALE"};
    std::printf("%-16s %8s %10s %10s %10s %10s %8s\n", "TEST", "korvel", "median ms", "max ms",
                "an lines", "an ms", "ratio");
    for (const std::string& w : words) {
        BenchHost host;
        SearchFlags flags;
        std::vector<double> times;
        for (int r = 0; r < repeats; ++r) {
            const auto t0 = Clock::now();
            findAnagrams(w, store, host, flags);
            times.push_back(msSince(t0));
        }
        const double ms = median(times);
        long anCount = -1;
        double a = -1;
        if (plain != "-" && w.find(' ') == std::string::npos) {
            std::string lower = w;
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            a = anMs(lower, plain, std::min(repeats, 5), anCount);
        }
        const std::size_t lines =
            host.list.size() == 2 && host.list[1] == " no Anagrams " ? 0 : host.list.size();
        std::printf("%-16s %8zu %10.3f %10.3f %10ld %10.1f %7.0fx\n", w.c_str(), lines, ms,
                    *std::max_element(times.begin(), times.end()), anCount, a,
                    a > 0 ? a / ms : 0.0);
    }
    return 0;
}
