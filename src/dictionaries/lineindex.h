// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// The lines of one dictionary text as the scans walk them: the first line
// starts at offset 0; after a line ending at the separator found at k, the
// next starts at k + 2, as long as any byte is left there. A line is the bytes
// up to the next CR LF (or to the end of the text), never trimmed.
//
// The start-up index and order check stop earlier, while the next start
// (1-based) is no longer below the text length minus 3, which leaves a short
// last line unchecked (checkedLineCount()). The searches read every line: a
// dictionary's last word must be found even when it is short.
//
// Besides the line table it keeps, for each length up to MaxIndexedLength, the
// lines of that length in scan order with their bytes packed side by side, so a
// search can compare fixed-width records instead of walking the whole text.
// It also keeps the places where the text stops being sorted, so a search can
// find where an early end would stop a linear walk without walking it.
// Character-code order of two byte strings (bytes compare as unsigned, a
// proper prefix first): <0, 0 or >0.
int compareBytes(std::string_view a, std::string_view b);

class LineIndex {
public:
    static constexpr std::size_t MaxIndexedLength = 64;

    struct LengthGroup {
        std::vector<uint32_t> lines; // line numbers, ascending
        std::string bytes;           // lines.size() records of the group's length
    };

    LineIndex() = default;
    // Builds the index of text; the text must outlive nothing here (the index
    // keeps offsets and copies of short lines only).
    static LineIndex build(std::string_view text);

    std::size_t lineCount() const { return starts_.size(); }
    // The leading lines that the start-up index and order check walk.
    std::size_t checkedLineCount() const { return checkedLines_; }
    // 0-based offset of line i's first byte.
    uint32_t start(std::size_t i) const { return starts_[i]; }
    uint32_t length(std::size_t i) const { return lengths_[i]; }
    std::string_view line(std::string_view text, std::size_t i) const {
        return text.substr(starts_[i], lengths_[i]);
    }
    // Line number of the line starting at the 0-based offset, or of the first
    // line starting after it; lineCount() when none does.
    std::size_t lineAtOrAfter(uint32_t offset) const;

    // Lines of length len (1..MaxIndexedLength) in scan order; an empty group
    // for other lengths.
    const LengthGroup& group(std::size_t len) const;

    // Line numbers i > 0 at which line i sorts before line i - 1 (byte order of
    // the untrimmed lines). Between two of them the lines are non-decreasing.
    const std::vector<uint32_t>& sortBreaks() const { return sortBreaks_; }

    // Where a walk from line `from` that stops at the first line whose first
    // prefix.size() bytes sort after prefix would stop: that line's number,
    // or lineCount() when no line does. An empty prefix never stops a walk.
    // Between two sort breaks the lines, and so their prefixes, never go down,
    // so a binary search in each sorted run finds the same line as the walk.
    std::size_t firstSortingAfter(std::string_view text, std::size_t from,
                                  std::string_view prefix) const;

private:
    std::vector<uint32_t> starts_;
    std::vector<uint32_t> lengths_;
    std::vector<LengthGroup> groups_; // index = length
    std::vector<uint32_t> sortBreaks_;
    std::size_t checkedLines_ = 0;
};

} // namespace korvel
