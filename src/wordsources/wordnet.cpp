// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordnet.h"

#include <cctype>
#include <charconv>
#include <vector>

namespace korvel {

namespace {

// Calls f for each line of text, without its LF.
template <typename F> void forEachLine(std::string_view text, F f) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        f(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ') {
            ++i;
        }
        if (i > start) {
            out.push_back(line.substr(start, i - start));
        }
    }
    return out;
}

bool number(std::string_view s, int& n, int base = 10) {
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), n, base);
    return ec == std::errc() && p == s.data() + s.size();
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

} // namespace

void readWordNetIndex(std::string_view text, WordNet& wordnet) {
    forEachLine(text, [&](std::string_view line) {
        if (line.empty() || line.front() == ' ') {
            return;
        }
        const std::vector<std::string_view> f = fields(line);
        int synsets = 0;
        int pointers = 0;
        if (f.size() < 4 || !number(f[2], synsets) || !number(f[3], pointers)) {
            return;
        }
        const std::size_t senseAt = 4 + static_cast<std::size_t>(pointers);
        int senses = 0;
        int tagged = 0;
        if (pointers < 0 || f.size() < senseAt + 2 || !number(f[senseAt], senses) ||
            !number(f[senseAt + 1], tagged)) {
            return;
        }
        WordNetLemma& lemma = wordnet.lemmas[std::string(f[0])];
        lemma.senses += senses;
        lemma.tagged += tagged;
    });
}

void readWordNetData(std::string_view text, WordNet& wordnet) {
    forEachLine(text, [&](std::string_view line) {
        if (line.empty() || line.front() == ' ') {
            return;
        }
        const std::size_t bar = line.find('|');
        const std::vector<std::string_view> f = fields(line.substr(0, bar));
        int words = 0;
        if (f.size() < 4 || !number(f[3], words, 16)) {
            return;
        }
        for (int k = 0; k < words && 4 + 2 * static_cast<std::size_t>(k) < f.size(); ++k) {
            std::string_view written = f[4 + 2 * static_cast<std::size_t>(k)];
            // Adjectives may carry their position: "galore(ip)".
            if (const std::size_t paren = written.find('('); paren != std::string_view::npos) {
                written = written.substr(0, paren);
            }
            bool capital = false;
            for (char c : written) {
                capital |= c >= 'A' && c <= 'Z';
            }
            WordNetLemma& lemma = wordnet.lemmas[lower(written)];
            lemma.capitalized |= capital;
        }
        if (bar != std::string_view::npos) {
            wordnet.glosses.append(line.substr(bar + 1));
            wordnet.glosses += '\n';
        }
    });
}

} // namespace korvel
