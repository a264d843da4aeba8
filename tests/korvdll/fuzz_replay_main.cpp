// SPDX-License-Identifier: GPL-3.0-or-later
// Runs LLVMFuzzerTestOneInput over every file named on the command line, or
// every file in a folder named there, so the fuzz corpus is replayed by CTest
// with any compiler.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int k = 1; k < argc; ++k) {
        if (fs::is_directory(argv[k])) {
            for (const auto& e : fs::directory_iterator(argv[k])) {
                if (e.is_regular_file()) {
                    files.push_back(e.path());
                }
            }
        } else {
            files.emplace_back(argv[k]);
        }
    }
    if (files.empty()) {
        std::cerr << "no inputs\n";
        return 1;
    }
    for (const fs::path& f : files) {
        std::ifstream in(f, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::cout << files.size() << " inputs replayed\n";
    return 0;
}
