// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The lines of a dictionary's text by the plainest reading of the rule: a
// line runs up to the next CR LF, or to the end of the text; a separator at
// the very end starts no further line. The tests hold the line index, the
// searches and the viewer to this walk, so it stays a literal one and never
// asks the core.

#include <cstddef>
#include <string_view>
#include <vector>

namespace korvel::testing {

// Walks the lines of text from the 1-based position from on, calling
// visit(line, start, end) with the line's 1-based start and the 1-based
// position of the CR after it (one past the text for a last line without
// one). The walk ends after the last line, or when visit returns false.
template <class Visit> void walkCrlfLines(std::string_view text, long long from, Visit&& visit) {
    const long long DL = static_cast<long long>(text.size());
    long long p = from;
    do {
        const std::size_t k0 = text.find("\r\n", static_cast<std::size_t>(p - 1));
        const long long k = k0 == std::string_view::npos ? DL + 1 : static_cast<long long>(k0) + 1;
        if (!visit(text.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(k - p)), p,
                   k)) {
            return;
        }
        p = k + 2;
    } while (p <= DL);
}

// Every line of text, in order.
inline std::vector<std::string_view> crlfLines(std::string_view text) {
    std::vector<std::string_view> lines;
    walkCrlfLines(text, 1, [&](std::string_view line, long long, long long) {
        lines.push_back(line);
        return true;
    });
    return lines;
}

} // namespace korvel::testing
