// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdlib.h>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace korvel;

namespace {

struct Silent : LoadObserver {
    long reports = 0;
    void outOfSequence(const std::string&) override { ++reports; }
    void warning(const std::string& m) override { std::cerr << "warning: " << m << "\n"; }
    void fatal(const std::string& t, const std::string& m) override {
        std::cerr << t << " " << m << "\n";
    }
};

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct Timing {
    double wall = 0;
    double cpu = 0;
    double decode = 0;
    double read = 0;
    double lineIndex = 0;
    double check = 0;
};

// Runs work in a child process and returns the Timing it filled in.
template <typename Work> bool inChild(Work work, Timing& result) {
    int fds[2];
    if (pipe(fds) != 0) {
        return false;
    }
    std::fflush(stdout); // or the child would print the parent's pending output again
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        Timing t;
        const bool ok = work(t);
        if (ok) {
            (void)!write(fds[1], &t, sizeof t);
        }
        _exit(ok ? 0 : 1);
    }
    close(fds[1]);
    const bool got = pid > 0 && read(fds[0], &result, sizeof result) == sizeof result;
    close(fds[0]);
    int status = 0;
    if (pid > 0) {
        waitpid(pid, &status, 0);
    }
    return got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool timeOneLoad(const std::string& folder, const CompanionCall& call, int index, bool describe,
                 Timing& t) {
    DictionaryStore store;
    Silent observer;
    long lines = 0;
    const auto t0 = std::chrono::steady_clock::now();
    const std::clock_t c0 = std::clock();
    const LoadResult result = loadDictionaries(
        store, folder, call, [&lines] { ++lines; }, observer);
    t.cpu = double(std::clock() - c0) / CLOCKS_PER_SEC;
    t.wall = seconds(std::chrono::steady_clock::now() - t0);
    if (describe && result == LoadResult::Ok) {
        std::printf("%s: %lld bytes, %zu lines, %ld yields, %ld out of sequence\n",
                    store.DictFileName[index].c_str(),
                    static_cast<long long>(store.DictLength[index]), store.Lines[index].lineCount(),
                    lines, observer.reports);
        std::fflush(stdout);
    }
    return result == LoadResult::Ok;
}

bool timeParts(const std::string& file, bool isDiz, const std::string& scratch, Timing& t) {
    std::string plain;
    auto t0 = std::chrono::steady_clock::now();
    if (isDiz) {
        std::ifstream in(file, std::ios::binary);
        const std::string raw{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        t0 = std::chrono::steady_clock::now();
        std::string error;
        if (!diz::decode(raw, plain, error)) {
            return false;
        }
        t.decode = seconds(std::chrono::steady_clock::now() - t0);
        // The plain list as the library leaves it, in the page cache.
        std::ofstream(scratch + "/plain", std::ios::binary) << plain;
        plain = std::string();
    }
    const std::string plainFile = isDiz ? scratch + "/plain" : file;
    t0 = std::chrono::steady_clock::now();
    {
        std::ifstream in(plainFile, std::ios::binary | std::ios::ate);
        const std::streamoff size = in.tellg();
        plain.resize(static_cast<std::size_t>(size));
        in.seekg(0);
        in.read(plain.data(), size);
    }
    t.read = seconds(std::chrono::steady_clock::now() - t0);
    if (isDiz) {
        fs::remove(plainFile);
    }
    DictionaryStore store;
    store.DictFileName[1] = "bench";
    t0 = std::chrono::steady_clock::now();
    store.setText(1, std::move(plain));
    t.lineIndex = seconds(std::chrono::steady_clock::now() - t0);
    Silent observer;
    t0 = std::chrono::steady_clock::now();
    indexDictionary(
        store, 1, [] {}, observer);
    t.check = seconds(std::chrono::steady_clock::now() - t0);
    return true;
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

        // Every load runs in a fresh child process: the program loads once,
        // into memory it has never touched, and in this setting the first
        // touch of a page costs as much as the work done on it. Loads
        // repeated in one process would reuse the freed heap and look faster.
        std::vector<Timing> timings;
        for (int r = 0; r < runs; ++r) {
            Timing t;
            if (!inChild(
                    [&](Timing& out) { return timeOneLoad(scratch, call, index, r == 0, out); },
                    t)) {
                status = 1;
                break;
            }
            timings.push_back(t);
        }
        if (timings.empty() || status != 0) {
            continue;
        }
        std::vector<double> wall;
        std::vector<double> cpu;
        for (const Timing& t : timings) {
            wall.push_back(t.wall);
            cpu.push_back(t.cpu);
        }
        std::sort(wall.begin(), wall.end());
        std::sort(cpu.begin(), cpu.end());
        std::printf("  load: min %.3f s, median %.3f s over %d runs (processor time: min %.3f s, "
                    "median %.3f s)\n",
                    wall.front(), wall[wall.size() / 2], runs, cpu.front(), cpu[cpu.size() / 2]);

        Timing parts;
        if (inChild([&](Timing& out) { return timeParts(file, isDiz, scratch, out); }, parts)) {
            std::printf("  parts, in a fresh process: decode to memory %.3f s, whole read of "
                        "the plain list %.3f s, line index %.3f s, letter index and order check "
                        "%.3f s\n",
                        parts.decode, parts.read, parts.lineIndex, parts.check);
        }
    }
    fs::remove_all(scratch);
    return status;
}
