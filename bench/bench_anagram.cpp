// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "benchsupport.h"
#include "memoryhost.h"

#include <algorithm>
#include <cctype>
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
    void yield() override { ++yields; }
};

// `an -l 1` with its output counted.
double anMs(const std::string& word, const std::string& list, int repeats, long& count) {
    return pipedCommandMs("/usr/games/an -l 1 -d '" + list + "' '" + word + "' 2>/dev/null | wc -l",
                          repeats, count);
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
    if (!loadFolder(dir, store)) {
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
