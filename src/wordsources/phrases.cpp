// SPDX-License-Identifier: GPL-3.0-or-later
#include "phrases.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <unordered_map>

namespace korvel {

namespace {

constexpr std::size_t MinWords = 2;
constexpr std::size_t MaxWords = 5;
constexpr std::size_t MinLetters = 3;
constexpr std::size_t MaxLetters = 25;

bool isLower(char c) {
    return c >= 'a' && c <= 'z';
}

// Splits at the separators given; false when a part is empty or holds
// anything but a to z.
bool splitWords(std::string_view s, std::string_view separators, std::vector<std::string>& out) {
    out.clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || separators.find(s[i]) != std::string_view::npos) {
            if (i == start) {
                return false;
            }
            out.emplace_back(s.substr(start, i - start));
            start = i + 1;
        } else if (!isLower(s[i])) {
            return false;
        }
    }
    return true;
}

std::string joined(const std::vector<std::string>& words) {
    std::string entry;
    for (const std::string& w : words) {
        for (char c : w) {
            entry += static_cast<char>(c - 'a' + 'A');
        }
    }
    return entry;
}

} // namespace

std::vector<PhraseCandidate> phraseCandidates(const WordNet& wordnet,
                                              const std::vector<std::string>& gcideHeadwords,
                                              const IsEnglishWord& isEnglishWord) {
    std::map<std::string, PhraseCandidate> found;
    std::vector<std::string> words;
    const auto take = [&](bool fromWordNet, const WordNetLemma* lemma) {
        if (words.size() < MinWords || words.size() > MaxWords) {
            return;
        }
        for (const std::string& w : words) {
            if (!isEnglishWord(w)) {
                return;
            }
        }
        std::string entry = joined(words);
        if (entry.size() < MinLetters || entry.size() > MaxLetters) {
            return;
        }
        PhraseCandidate& c = found[entry];
        if (c.entry.empty()) {
            c.entry = std::move(entry);
            c.words = words;
        }
        if (fromWordNet) {
            c.wordnet = true;
            c.tagged += lemma->tagged;
            c.senses += lemma->senses;
        } else {
            c.gcide = true;
        }
    };

    for (const auto& [name, lemma] : wordnet.lemmas) {
        if (lemma.capitalized || lemma.senses == 0 ||
            name.find_first_of("_-") == std::string::npos) {
            continue;
        }
        if (splitWords(name, "_-", words)) {
            take(true, &lemma);
        }
    }
    for (const std::string& head : gcideHeadwords) {
        if (head.find(' ') == std::string::npos) {
            continue;
        }
        std::string lowered = head;
        if (!lowered.empty() && lowered[0] >= 'A' && lowered[0] <= 'Z') {
            lowered[0] = static_cast<char>(lowered[0] - 'A' + 'a');
        }
        if (!splitWords(lowered, " -", words)) {
            continue;
        }
        if (words.size() >= 3 && words[0] == "to" && words[1] != "and" && words[1] != "or") {
            words.erase(words.begin());
        }
        take(false, nullptr);
    }
    std::vector<PhraseCandidate> out;
    out.reserve(found.size());
    for (auto& [entry, c] : found) {
        out.push_back(std::move(c));
    }
    return out;
}

void countPhrases(std::vector<PhraseCandidate>& phrases, std::string_view text) {
    // Words are numbered once, so that the walk over a text of millions of
    // words hashes each word once and builds no strings: a phrase is found
    // by the numbers of its words.
    std::unordered_map<std::string, uint32_t> ids;
    const auto idOf = [&](const std::string& w) {
        return ids.try_emplace(w, static_cast<uint32_t>(ids.size())).first->second;
    };
    std::unordered_map<uint64_t, std::vector<std::size_t>> byKey;
    std::vector<std::vector<uint32_t>> phraseIds(phrases.size());
    const auto keyOf = [](const uint32_t* first, std::size_t n) {
        uint64_t h = 1469598103934665603ull;
        for (std::size_t k = 0; k < n; ++k) {
            h = (h ^ first[k]) * 1099511628211ull;
        }
        return h;
    };
    for (std::size_t i = 0; i < phrases.size(); ++i) {
        for (const std::string& w : phrases[i].words) {
            phraseIds[i].push_back(idOf(w));
        }
    }
    // For each word, the word counts (bit n) of the phrases it starts.
    std::vector<uint32_t> starts(ids.size(), 0);
    for (std::size_t i = 0; i < phrases.size(); ++i) {
        const std::vector<uint32_t>& p = phraseIds[i];
        if (p.size() < MinWords || p.size() > MaxWords) {
            continue;
        }
        starts[p.front()] |= 1u << p.size();
        byKey[keyOf(p.data(), p.size())].push_back(i);
    }

    // The text is read word by word (lower case); the last MaxWords words
    // are kept, and each phrase is counted at its last word. A word of no
    // phrase ends every phrase that could span it.
    constexpr uint32_t NoId = UINT32_MAX;
    std::array<uint32_t, MaxWords> window{};
    std::size_t filled = 0;
    std::string current;
    const auto endWord = [&] {
        const auto it = ids.find(current);
        current.clear();
        const uint32_t id = it == ids.end() ? NoId : it->second;
        if (id == NoId) {
            filled = 0;
            return;
        }
        if (filled == MaxWords) {
            std::copy(window.begin() + 1, window.end(), window.begin());
            --filled;
        }
        window[filled++] = id;
        for (std::size_t n = MinWords; n <= filled; ++n) {
            const uint32_t* first = window.data() + filled - n;
            if ((starts[*first] & (1u << n)) == 0) {
                continue;
            }
            const auto p = byKey.find(keyOf(first, n));
            if (p == byKey.end()) {
                continue;
            }
            for (std::size_t i : p->second) {
                if (std::equal(first, first + n, phraseIds[i].begin(), phraseIds[i].end())) {
                    ++phrases[i].corpusCount;
                }
            }
        }
    };
    for (char ch : text) {
        const char c = ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
        if (isLower(c)) {
            current += c;
        } else if (!current.empty()) {
            endWord();
        }
    }
    if (!current.empty()) {
        endWord();
    }
}

} // namespace korvel
