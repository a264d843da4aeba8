// SPDX-License-Identifier: GPL-3.0-or-later
#include "lineindex.h"

#include "hugepages.h"

#include <algorithm>
#include <cstring>

namespace korvel {

namespace {
const LineIndex::LengthGroup emptyGroup{};
} // namespace

int compareBytes(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    if (n > 0) {
        if (int c = std::memcmp(a.data(), b.data(), n); c != 0) {
            return c;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

LineIndex LineIndex::build(std::string_view text) {
    LineIndex ix;
    const std::size_t total = text.size();
    const char* const base = text.data();
    ix.groups_.resize(MaxIndexedLength + 1);

    // First pass: the line table, the sort breaks and the size of each length
    // group, so the groups can be filled without growing afterwards.
    ix.starts_.reserve(total / 10 + 1);
    ix.lengths_.reserve(total / 10 + 1);
    adviseHugePages(ix.starts_.data(), ix.starts_.capacity() * sizeof(uint32_t));
    adviseHugePages(ix.lengths_.data(), ix.lengths_.capacity() * sizeof(uint32_t));
    std::vector<uint32_t> perLength(MaxIndexedLength + 1, 0);
    std::size_t p = 0; // 0-based start of the current line
    std::string_view prev;
    for (;;) {
        // The next CR LF at or after p; a lone CR stays part of the line.
        std::size_t k = std::string_view::npos;
        for (std::size_t q = p; q < total;) {
            const void* cr = std::memchr(base + q, '\r', total - q);
            if (cr == nullptr) {
                break;
            }
            q = static_cast<std::size_t>(static_cast<const char*>(cr) - base);
            if (q + 1 < total && base[q + 1] == '\n') {
                k = q;
                break;
            }
            ++q;
        }
        const std::size_t end = (k == std::string_view::npos) ? total : k;
        const auto len = static_cast<uint32_t>(end - p);
        const auto lineNo = static_cast<uint32_t>(ix.starts_.size());
        // The start-up check covers the first line and every line whose
        // 1-based start lies below the length minus 3.
        if (lineNo == 0 || static_cast<long long>(p) + 1 < static_cast<long long>(total) - 3) {
            ix.checkedLines_ = lineNo + 1;
        }
        ix.starts_.push_back(static_cast<uint32_t>(p));
        ix.lengths_.push_back(len);

        const std::string_view cur(base + p, len);
        if (lineNo > 0 && compareBytes(cur, prev) < 0) {
            ix.sortBreaks_.push_back(lineNo);
        }
        prev = cur;
        if (len >= 1 && len <= MaxIndexedLength) {
            ++perLength[len];
        }

        if (k == std::string_view::npos) {
            break;
        }
        const std::size_t next = k + 2;
        if (next >= total) {
            break;
        }
        p = next;
    }

    // Second pass: the packed records of each length, in scan order.
    for (std::size_t len = 1; len <= MaxIndexedLength; ++len) {
        LengthGroup& g = ix.groups_[len];
        g.lines.reserve(perLength[len]);
        g.bytes.reserve(static_cast<std::size_t>(perLength[len]) * len);
        adviseHugePages(g.lines.data(), g.lines.capacity() * sizeof(uint32_t));
        adviseHugePages(g.bytes.data(), g.bytes.capacity());
    }
    const std::size_t count = ix.starts_.size();
    for (std::size_t i = 0; i < count; ++i) {
        const uint32_t len = ix.lengths_[i];
        if (len >= 1 && len <= MaxIndexedLength) {
            LengthGroup& g = ix.groups_[len];
            g.lines.push_back(static_cast<uint32_t>(i));
            g.bytes.append(base + ix.starts_[i], len);
        }
    }
    return ix;
}

std::size_t LineIndex::lineAtOrAfter(uint32_t offset) const {
    return static_cast<std::size_t>(std::lower_bound(starts_.begin(), starts_.end(), offset) -
                                    starts_.begin());
}

std::size_t LineIndex::firstSortingAfter(std::string_view text, std::size_t from,
                                         std::string_view prefix) const {
    const std::size_t count = lineCount();
    if (prefix.empty() || from >= count) {
        return count;
    }
    const std::size_t n = prefix.size();
    auto sortsAfter = [&](std::size_t i) {
        const std::string_view l = line(text, i);
        return compareBytes(l.substr(0, std::min(n, l.size())), prefix) > 0;
    };
    auto next =
        std::upper_bound(sortBreaks_.begin(), sortBreaks_.end(), static_cast<uint32_t>(from));
    std::size_t segStart = from;
    for (;;) {
        const std::size_t segEnd = next == sortBreaks_.end() ? count : *next;
        std::size_t lo = segStart;
        std::size_t hi = segEnd;
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (sortsAfter(mid)) {
                hi = mid;
            } else {
                lo = mid + 1;
            }
        }
        if (lo < segEnd) {
            return lo;
        }
        if (next == sortBreaks_.end()) {
            return count;
        }
        segStart = segEnd;
        ++next;
    }
}

const LineIndex::LengthGroup& LineIndex::group(std::size_t len) const {
    if (len == 0 || len >= groups_.size()) {
        return emptyGroup;
    }
    return groups_[len];
}

} // namespace korvel
