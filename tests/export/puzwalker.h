// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tests' own walk of a .puz file, from the published description of the
// format and apart from the reader: the header, the boards, the strings and
// the sections after them, with every checksum computed afresh.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace korvel::testing {

inline uint16_t cksum(const std::string& bytes, std::size_t from, std::size_t len, uint16_t sum) {
    for (std::size_t i = from; i < from + len; ++i) {
        const bool low = sum & 1;
        sum >>= 1;
        if (low) {
            sum += 0x8000;
        }
        sum = static_cast<uint16_t>(sum + static_cast<unsigned char>(bytes[i]));
    }
    return sum;
}

inline uint16_t le16(const std::string& b, std::size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) +
                                 256 * static_cast<unsigned char>(b[at + 1]));
}

struct PuzWalk {
    int width = 0;
    int height = 0;
    std::string version;
    std::string solution;
    std::string state;
    // Title, author, copyright, the clues, the notes: as in the file.
    std::vector<std::string> strings;
    // Each section's data by name.
    std::map<std::string, std::string> sections;
    // The checksum fields as the description computes them.
    uint16_t cib = 0;
    uint16_t whole = 0;
    std::string masked; // 8 bytes
};

// Walks the file (its header at offset 0) into walk. The notes count in the
// checksums from version 1.3 on; the clues without their NUL, the other
// strings with it and only when not empty.
inline void walkPuz(const std::string& f, PuzWalk& walk) {
    ASSERT_GE(f.size(), 0x34u);
    walk.width = static_cast<unsigned char>(f[0x2C]);
    walk.height = static_cast<unsigned char>(f[0x2D]);
    walk.version = f.substr(0x18, 3);
    const bool notesCount = walk.version >= "1.3";
    const int nclues = le16(f, 0x2E);
    const std::size_t cells = static_cast<std::size_t>(walk.width * walk.height);
    const std::size_t sol = 0x34, grid = sol + cells;
    ASSERT_GE(f.size(), grid + cells);
    walk.solution = f.substr(sol, cells);
    walk.state = f.substr(grid, cells);
    std::size_t p = grid + cells;
    std::vector<std::pair<std::size_t, std::size_t>> strings; // offset, length without NUL
    walk.strings.clear();
    for (int i = 0; i < 3 + nclues + 1; ++i) {
        const std::size_t nul = f.find('\0', p);
        ASSERT_NE(nul, std::string::npos);
        strings.emplace_back(p, nul - p);
        walk.strings.push_back(f.substr(p, nul - p));
        p = nul + 1;
    }
    const auto text = [&](uint16_t sum) {
        for (int i = 0; i < static_cast<int>(strings.size()); ++i) {
            const auto [at, len] = strings[static_cast<std::size_t>(i)];
            const bool clue = i >= 3 && i < 3 + nclues;
            const bool notes = i == 3 + nclues;
            if (clue) {
                sum = cksum(f, at, len, sum);
            } else if (len > 0 && (!notes || notesCount)) {
                sum = cksum(f, at, len + 1, sum);
            }
        }
        return sum;
    };
    walk.cib = cksum(f, 0x2C, 8, 0);
    uint16_t whole = cksum(f, sol, cells, walk.cib);
    whole = cksum(f, grid, cells, whole);
    walk.whole = text(whole);
    const uint16_t parts[4] = {walk.cib, cksum(f, sol, cells, 0), cksum(f, grid, cells, 0),
                               text(0)};
    const char* magic = "ICHEATED";
    walk.masked.assign(8, '\0');
    for (int i = 0; i < 4; ++i) {
        walk.masked[static_cast<std::size_t>(i)] = static_cast<char>(magic[i] ^ (parts[i] & 0xFF));
        walk.masked[static_cast<std::size_t>(4 + i)] =
            static_cast<char>(magic[4 + i] ^ (parts[i] >> 8));
    }
    // Sections: a name, the data's length and checksum, the data, a NUL.
    walk.sections.clear();
    while (p + 8 <= f.size()) {
        const std::string name = f.substr(p, 4);
        const std::size_t len = le16(f, p + 4);
        ASSERT_LE(p + 8 + len + 1, f.size()) << name;
        EXPECT_EQ(le16(f, p + 6), cksum(f, p + 8, len, 0)) << name;
        EXPECT_EQ(f[p + 8 + len], '\0') << name;
        walk.sections[name] = f.substr(p + 8, len);
        p += 8 + len + 1;
    }
    EXPECT_EQ(p, f.size());
}

// Walks the file and checks every checksum field against a fresh
// computation.
inline void expectPuzChecksums(const std::string& f, PuzWalk* out = nullptr) {
    PuzWalk walk;
    walkPuz(f, walk);
    if (::testing::Test::HasFatalFailure()) {
        return;
    }
    EXPECT_EQ(le16(f, 0x0E), walk.cib);
    EXPECT_EQ(le16(f, 0x00), walk.whole);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(static_cast<unsigned char>(f[0x10 + static_cast<std::size_t>(i)]),
                  static_cast<unsigned char>(walk.masked[static_cast<std::size_t>(i)]));
    }
    if (out != nullptr) {
        *out = std::move(walk);
    }
}

// Writes the checksum fields of a hand-made file as the description
// computes them.
inline void refreshPuzChecksums(std::string& f) {
    PuzWalk walk;
    walkPuz(f, walk);
    f[0x0E] = static_cast<char>(walk.cib & 0xFF);
    f[0x0F] = static_cast<char>(walk.cib >> 8);
    f[0x00] = static_cast<char>(walk.whole & 0xFF);
    f[0x01] = static_cast<char>(walk.whole >> 8);
    f.replace(0x10, 8, walk.masked);
}

// A section as the description lays it out, to append to a file.
inline std::string puzSection(const std::string& name, const std::string& data) {
    const uint16_t sum = cksum(data, 0, data.size(), 0);
    std::string s = name;
    s += static_cast<char>(data.size() & 0xFF);
    s += static_cast<char>(data.size() >> 8);
    s += static_cast<char>(sum & 0xFF);
    s += static_cast<char>(sum >> 8);
    return s + data + '\0';
}

} // namespace korvel::testing
