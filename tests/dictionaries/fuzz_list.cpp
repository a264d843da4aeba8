// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the plain-list path of the loader: normalizeList, the line
// index and the letter index with the order check, checked against a naive
// split on CR LF. Built as a libFuzzer program under clang (fuzz_list
// CORPUS_DIR) and everywhere as a replay of the corpus in CTest.
#include "crlflines.h"
#include "dictionarystore.h"
#include "lineindex.h"
#include "loader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace korvel;
using korvel::testing::crlfLines;

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_list: %s\n", what);
        std::abort();
    }
}

struct Quiet : LoadObserver {
    void outOfSequence(const std::string&) override {}
    void warning(const std::string&) override {}
    void fatal(const std::string&, const std::string&) override {}
};

void checkIndex(std::string_view text) {
    const LineIndex ix = LineIndex::build(text);
    const std::vector<std::string_view> lines = crlfLines(text);
    check(ix.lineCount() == lines.size(), "line count");
    std::size_t checked = 0;
    std::vector<std::vector<uint32_t>> byLength(LineIndex::MaxIndexedLength + 1);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        check(ix.line(text, n) == lines[n], "line text");
        const auto start = static_cast<long long>(lines[n].data() - text.data());
        check(ix.start(n) == start, "line start");
        if (n == 0 || start + 1 < static_cast<long long>(text.size()) - 3) {
            checked = n + 1;
        }
        if (!lines[n].empty() && lines[n].size() <= LineIndex::MaxIndexedLength) {
            byLength[lines[n].size()].push_back(static_cast<uint32_t>(n));
        }
        const bool isBreak = n > 0 && compareBytes(lines[n], lines[n - 1]) < 0;
        const auto& breaks = ix.sortBreaks();
        check(isBreak == std::binary_search(breaks.begin(), breaks.end(), uint32_t(n)),
              "sort break");
    }
    check(ix.checkedLineCount() == checked, "checked lines");
    for (std::size_t len = 1; len <= LineIndex::MaxIndexedLength; ++len) {
        check(ix.group(len).lines == byLength[len], "length group");
    }
    // The early end of a walk, against the walk itself.
    const std::string_view prefix = text.substr(0, std::min<std::size_t>(2, text.size()));
    for (std::size_t from : {std::size_t{0}, lines.size() / 2}) {
        std::size_t walk = lines.size();
        for (std::size_t n = from; n < lines.size() && !prefix.empty(); ++n) {
            const std::string_view l = lines[n].substr(0, std::min(prefix.size(), lines[n].size()));
            if (compareBytes(l, prefix) > 0) {
                walk = n;
                break;
            }
        }
        check(ix.firstSortingAfter(text, from, prefix) == walk, "early end");
    }
}

bool isCleanCrLf(std::string_view text) {
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '\0' || (c == '\r' && (k + 1 >= text.size() || text[k + 1] != '\n')) ||
            (c == '\n' && (k == 0 || text[k - 1] != '\r'))) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), size);
    checkIndex(raw);

    std::string text = raw;
    const ListCheck result = normalizeList(text);
    if (isCleanCrLf(raw)) {
        check(text == raw && !result.lfOnly && result.leftOut == 0, "a CR LF list stays as read");
    }
    check(isCleanCrLf(text), "no stray CR, LF or NUL is left");
    check((result.leftOut > 0) == !result.cause.empty(), "a cause for every left-out line");
    checkIndex(text);

    DictionaryStore store;
    store.count = 1;
    store.DictFileName[1] = "fuzz.dic";
    store.setText(1, text);
    Quiet quiet;
    indexDictionary(store, 1, {}, quiet);
    for (const int32_t pos : store.LetterStart[1]) {
        check(pos == 0 ||
                  store.Lines[1].lineAtOrAfter(uint32_t(pos - 1)) < store.Lines[1].lineCount(),
              "letter start inside the text");
        check(pos == 0 || pos == 1 || text.compare(std::size_t(pos) - 3, 2, "\r\n") == 0,
              "letter start at a line start");
    }
    return 0;
}
