// SPDX-License-Identifier: GPL-3.0-or-later
#include "phrases.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>

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

std::string key(const std::vector<std::string>& words) {
    std::string k;
    for (const std::string& w : words) {
        if (!k.empty()) {
            k += ' ';
        }
        k += w;
    }
    return k;
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
    std::unordered_map<std::string, std::size_t> byKey;
    // For each first word, the word counts of the phrases it starts.
    std::unordered_map<std::string, std::vector<std::size_t>> lengths;
    for (std::size_t i = 0; i < phrases.size(); ++i) {
        byKey.emplace(key(phrases[i].words), i);
        std::vector<std::size_t>& l = lengths[phrases[i].words.front()];
        if (std::find(l.begin(), l.end(), phrases[i].words.size()) == l.end()) {
            l.push_back(phrases[i].words.size());
        }
    }
    // The text is read word by word (lower case); the last MaxWords words
    // are kept, and each phrase is counted at its last word.
    std::vector<std::string> window;
    std::string current;
    std::string k;
    const auto endWord = [&] {
        if (window.size() == MaxWords) {
            window.erase(window.begin());
        }
        window.push_back(std::move(current));
        current.clear();
        for (std::size_t n = MinWords; n <= window.size(); ++n) {
            const std::string& first = window[window.size() - n];
            const auto it = lengths.find(first);
            if (it == lengths.end() ||
                std::find(it->second.begin(), it->second.end(), n) == it->second.end()) {
                continue;
            }
            k = first;
            for (std::size_t j = window.size() - n + 1; j < window.size(); ++j) {
                k += ' ';
                k += window[j];
            }
            if (const auto p = byKey.find(k); p != byKey.end()) {
                ++phrases[p->second].corpusCount;
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
