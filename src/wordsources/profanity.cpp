// SPDX-License-Identifier: GPL-3.0-or-later
#include "profanity.h"

#include "wordfold.h"

#include <algorithm>
#include <optional>

namespace korvel {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

template <typename F> void forEachLine(std::string_view text, F f) {
    for (std::size_t n = 1; !text.empty(); ++n) {
        const std::size_t end = text.find('\n');
        f(text.substr(0, end), n);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
}

// The word with blanks and hyphens dropped, folded.
std::optional<std::string> foldJoined(std::string_view s) {
    std::string joined;
    for (char c : s) {
        if (c != ' ' && c != '-') {
            joined += c;
        }
    }
    return foldWord(joined);
}

} // namespace

std::vector<ProfaneWord> readCussList(std::string_view js) {
    std::map<std::string, int> best;
    forEachLine(js, [&](std::string_view raw, std::size_t) {
        std::string_view line = trim(raw);
        const std::size_t colon = line.rfind(':');
        if (colon == std::string_view::npos) {
            return;
        }
        std::string_view name = trim(line.substr(0, colon));
        std::string_view value = trim(line.substr(colon + 1));
        if (value.ends_with(',')) {
            value.remove_suffix(1);
        }
        if (value.size() != 1 || value[0] < '0' || value[0] > '2') {
            return;
        }
        if (name.size() >= 2 && (name.front() == '\'' || name.front() == '"') &&
            name.back() == name.front()) {
            name = name.substr(1, name.size() - 2);
        }
        if (auto w = foldJoined(name)) {
            int& s = best.try_emplace(std::move(*w), 0).first->second;
            s = std::max(s, value[0] - '0');
        }
    });
    std::vector<ProfaneWord> out;
    for (const auto& [word, sureness] : best) {
        out.push_back({word, sureness});
    }
    return out;
}

BanDecisions readBanDecisions(std::string_view text) {
    BanDecisions out;
    forEachLine(text, [&](std::string_view raw, std::size_t n) {
        std::string_view line = raw.substr(0, raw.find('#'));
        line = trim(line);
        if (line.empty()) {
            return;
        }
        const std::size_t gap = line.find_first_of(" \t");
        const std::string_view word = line.substr(0, gap);
        const std::string_view what =
            gap == std::string_view::npos ? std::string_view{} : trim(line.substr(gap));
        const std::optional<std::string> folded = foldJoined(word);
        const BanDecision d = what == "keep"  ? BanDecision::Keep
                              : what == "ban" ? BanDecision::Ban
                                              : BanDecision::Low;
        if (!folded || (what != "keep" && what != "ban" && what != "low")) {
            out.errors.push_back("line " + std::to_string(n) +
                                 ": not \"WORD keep|ban|low\": " + std::string(line));
            return;
        }
        out.words[*folded] = d;
    });
    return out;
}

} // namespace korvel
