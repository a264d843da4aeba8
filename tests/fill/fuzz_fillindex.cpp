// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the reader of the fill's prebuilt index: whatever the
// bytes, the reader refuses them or gives words that are in order, of A to
// Z, scored 0 to 100, which the index made from them finds where they are,
// and which write back to a file that reads the same. The hash is not
// checked, so that mutated files reach the fields behind it. Built as a
// libFuzzer program under clang (fuzz_fillindex CORPUS_DIR) and everywhere
// as a replay of the corpus in CTest.
#include "fillindexfile.h"
#include "wordindex.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace korvel;

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_fillindex: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    FillIndexContents read;
    std::string why;
    // With the hash checked only undamaged files pass; either way no crash.
    const bool whole = parseFillIndex(bytes, read, why, true);
    if (!parseFillIndex(bytes, read, why, false)) {
        check(!whole, "a file that passes with its hash passes without");
        check(!why.empty(), "a refusal says why");
        return 0;
    }
    const WordIndex index = WordIndex::fromPacked(read.words, read.hasScores, {"CAT"});
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        check(index.count(len) == read.words[static_cast<std::size_t>(len)].count, "count");
        for (uint32_t id = 0; id < index.count(len); ++id) {
            const std::string w = index.word(len, id);
            check(index.find(w) == static_cast<int64_t>(id), "every word found where it is");
            check(index.score(len, id) >= LowestScore && index.score(len, id) <= HighestScore,
                  "score in range");
            for (int p = 0; p < len; ++p)
                check((index.support(len, p) >> (w[static_cast<std::size_t>(p)] - 'A') & 1) != 0,
                      "support holds every letter");
        }
    }
    const std::string again = fillIndexBytes(index, read.take, read.sources, read.messages);
    FillIndexContents reread;
    check(parseFillIndex(again, reread, why, true), "written back, it reads with its hash");
    check(reread.sources == read.sources && reread.messages == read.messages &&
              reread.take == read.take && reread.hasScores == read.hasScores,
          "written back, the same header");
    return 0;
}
