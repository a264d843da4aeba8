// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the benchmark programs share: timing helpers, a quiet load of a
// dictionaries folder, and the timing of an outside command whose output is
// piped and counted.

#include "companioncall.h"
#include "loader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace korvel::bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

class QuietObserver : public LoadObserver {
public:
    long warnings = 0;
    void outOfSequence(const std::string&) override { ++warnings; }
    void warning(const std::string&) override { ++warnings; }
    void fatal(const std::string&, const std::string& m) override { std::cerr << m << "\n"; }
};

// Loads dir as the program does, through the real companion library.
inline bool loadFolder(const std::string& dir, DictionaryStore& store) {
    std::unique_ptr<CompanionLibrary> library;
    const CompanionCall call = openCompanion(library);
    QuietObserver observer;
    return loadDictionaries(
               store, dir, call, [] {}, observer) == LoadResult::Ok;
}

// Runs a shell command whose output is one number (a `wc -l`), `repeats`
// times; returns the median wall time in ms, or -1 when it cannot run.
inline double pipedCommandMs(const std::string& command, int repeats, long& count) {
    std::vector<double> times;
    for (int r = 0; r < repeats; ++r) {
        const auto t0 = Clock::now();
        FILE* p = popen(command.c_str(), "r");
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

} // namespace korvel::bench
