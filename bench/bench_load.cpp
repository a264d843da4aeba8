// Times the loading of dictionaries as the program loads them: the library
// call (read and decode of a .diz, write of the plain list), the whole read,
// the removal of the list, the line index and the letter index with the
// order check.
//
//   bench_load [--runs N] FILE.diz|FILE.dic ...
//
// Each file is loaded alone from a scratch folder, as base.diz when it is a
// .diz (through libkorvdll.so beside this program) and as dictionary 2 beside
// a one-word base.diz when it is a .dic. With no file, the default base.diz
// of the build is timed.

#include "companionlibrary.h"
#include "dizformat.h"
#include "loader.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdlib.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace korvel;

namespace {

struct Silent : LoadObserver {
    long reports = 0;
    void outOfSequence(const std::string&) override { ++reports; }
    void warning(const std::string& m) override { std::cerr << "warning: " << m << "\n"; }
    void fatal(const std::string& t, const std::string& m) override { std::cerr << t << " " << m << "\n"; }
};

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    std::vector<std::string> files;
    for (int k = 1; k < argc; ++k) {
        const std::string a = argv[k];
        if (a == "--runs" && k + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++k]));
        } else {
            files.push_back(fs::absolute(a).string());
        }
    }
    if (files.empty()) {
        files.push_back(KORVEL_DEFAULT_BASE);
    }

    CompanionLibrary lib;
    if (!lib.isLoaded()) {
        std::cerr << "bench_load: " << lib.error() << "\n";
        return 1;
    }
    std::string tmpl = (fs::temp_directory_path() / "korvel-bench-XXXXXX").string();
    const std::string scratch = mkdtemp(tmpl.data());
    const CompanionCall call{lib.tempFolder(),
                             [&](const std::string& folder, const std::vector<std::string>& names) {
                                 return lib.setup(folder, names, "");
                             },
                             [&](int16_t i) { return lib.MYFUNC(i); }};

    int status = 0;
    for (const std::string& file : files) {
        fs::remove_all(scratch);
        fs::create_directory(scratch);
        const bool isDiz = file.ends_with(".diz");
        int index = 1;
        if (isDiz) {
            fs::create_symlink(file, scratch + "/base.diz");
        } else {
            std::string base;
            std::string error;
            diz::encode("A\r\n", base, error);
            std::ofstream(scratch + "/base.diz", std::ios::binary) << base;
            fs::create_symlink(file, scratch + "/bench.dic");
            index = 2;
        }

        std::vector<double> times;
        std::vector<double> cpuTimes;
        DictionaryStore store;
        Silent observer;
        for (int r = 0; r < runs; ++r) {
            long lines = 0;
            const auto t0 = std::chrono::steady_clock::now();
            const std::clock_t c0 = std::clock();
            const LoadResult result =
                loadDictionaries(store, scratch, call, [&lines] { ++lines; }, observer);
            cpuTimes.push_back(double(std::clock() - c0) / CLOCKS_PER_SEC);
            times.push_back(seconds(std::chrono::steady_clock::now() - t0));
            if (result != LoadResult::Ok) {
                status = 1;
                break;
            }
            if (r == 0) {
                std::printf("%s: %lld bytes, %zu lines, %ld yields, %ld out of sequence\n",
                            file.c_str(), static_cast<long long>(store.DictLength[index]),
                            store.Lines[index].lineCount(), lines, observer.reports);
            }
        }
        if (times.empty() || status != 0) {
            continue;
        }
        // The processor time shows the cost when other work shares the machine.
        std::sort(times.begin(), times.end());
        std::sort(cpuTimes.begin(), cpuTimes.end());
        std::printf("  load: min %.3f s, median %.3f s over %d runs (processor time: min %.3f s, "
                    "median %.3f s)\n",
                    times.front(), times[times.size() / 2], runs, cpuTimes.front(),
                    cpuTimes[cpuTimes.size() / 2]);

        // The parts of one load of this dictionary.
        const std::string& text = store.DictText[index];
        std::string raw;
        {
            std::ifstream in(file, std::ios::binary);
            raw.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        auto t0 = std::chrono::steady_clock::now();
        if (isDiz) {
            std::string plain;
            std::string error;
            diz::decode(raw, plain, error);
        }
        const double decode = seconds(std::chrono::steady_clock::now() - t0);
        t0 = std::chrono::steady_clock::now();
        const LineIndex lines = LineIndex::build(text);
        const double lineIndex = seconds(std::chrono::steady_clock::now() - t0);
        t0 = std::chrono::steady_clock::now();
        indexDictionary(store, index, [] {}, observer);
        const double check = seconds(std::chrono::steady_clock::now() - t0);
        std::printf("  parts: decode %.3f s, line index %.3f s (%zu lines), letter index and "
                    "order check %.3f s\n",
                    decode, lineIndex, lines.lineCount(), check);
    }
    fs::remove_all(scratch);
    return status;
}
