// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordscores.h"

#include "blanks.h"
#include "loader.h"
#include "regularfile.h"
#include "wordfold.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <system_error>

namespace korvel {

namespace {

// FNV-1a: words are short, and the table only needs a good spread of them.
uint64_t hashWord(std::string_view w) noexcept {
    uint64_t h = 14695981039346656037ull;
    for (char c : w) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h ^ (h >> 29);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// A whole number with an optional sign, clamped to 0..100 (digits beyond
// what an int holds stay clamped). Nothing when s is no such number.
std::optional<int> parseScore(std::string_view s, bool& clamped) {
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) {
        return std::nullopt;
    }
    long value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = std::min<long>(value * 10 + (c - '0'), 1000);
    }
    if (negative) {
        value = -value;
    }
    clamped = value < MinWordScore || value > MaxWordScore;
    return static_cast<int>(std::clamp<long>(value, MinWordScore, MaxWordScore));
}

} // namespace

std::size_t WordScores::probe(const Part& part, std::string_view word,
                              uint64_t hash) const noexcept {
    const std::size_t mask = part.table.size() - 1;
    const auto tag = static_cast<uint16_t>(hash >> 40);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& s = part.table[i];
        if (s.offset == NoWord ||
            (s.tag == tag && s.length == word.size() &&
             std::memcmp(words_.data() + s.offset, word.data(), word.size()) == 0)) {
            return i;
        }
    }
}

const WordScores::Slot* WordScores::find(std::string_view word) const noexcept {
    if (parts_.empty() || word.size() > MaxScoredWordLength) {
        return nullptr;
    }
    const uint64_t hash = hashWord(word);
    const Part& part = parts_[partOf(hash)];
    if (part.table.empty()) {
        return nullptr;
    }
    const Slot& s = part.table[probe(part, word, hash)];
    return s.offset == NoWord ? nullptr : &s;
}

void WordScores::reserve(Part& part, std::size_t words) {
    std::size_t size = part.table.empty() ? 16 : part.table.size();
    while (words * 4 > size * 3) {
        size *= 2;
    }
    if (size == part.table.size()) {
        return;
    }
    std::vector<Slot> old = std::move(part.table);
    std::vector<uint32_t> oldSetBy = std::move(part.setBy);
    part.table.assign(size, Slot{});
    part.setBy.assign(size, 0);
    const std::size_t mask = size - 1;
    for (std::size_t k = 0; k < old.size(); ++k) {
        const Slot& s = old[k];
        if (s.offset == NoWord) {
            continue;
        }
        std::size_t i = hashWord(std::string_view(words_.data() + s.offset, s.length)) & mask;
        while (part.table[i].offset != NoWord) {
            i = (i + 1) & mask;
        }
        part.table[i] = s;
        part.setBy[i] = oldSetBy[k];
    }
}

std::optional<int> WordScores::score(std::string_view word) const noexcept {
    const Slot* s = find(word);
    if (s == nullptr) {
        return std::nullopt;
    }
    return s->score;
}

int WordScores::scoreOr(std::string_view word, int fallback) const noexcept {
    const Slot* s = find(word);
    return s == nullptr ? fallback : s->score;
}

ScoreListReport WordScores::addList(std::string_view text, std::string name) {
    ScoreListReport report;
    report.name = std::move(name);
    ++lists_;
    constexpr std::string_view Bom = "\xEF\xBB\xBF";
    if (text.starts_with(Bom)) {
        text.remove_prefix(Bom.size());
    }
    const auto fault = [&](uint64_t& count, uint64_t line) {
        ++count;
        if (report.firstFaultLine == 0) {
            report.firstFaultLine = line;
        }
    };
    if (parts_.empty()) {
        parts_.resize(std::size_t{1} << PartBits);
    }
    // The words that get a score, gathered by part.
    std::vector<std::string> gathered(parts_.size());
    std::vector<std::size_t> gatheredWords(parts_.size());
    uint64_t gatheredLetters = 0;
    uint64_t lineNumber = 0;
    std::size_t p = 0;
    while (p < text.size()) {
        const std::size_t lf = text.find('\n', p);
        const std::size_t end = lf == std::string_view::npos ? text.size() : lf;
        std::string_view line = text.substr(p, end - p);
        p = lf == std::string_view::npos ? text.size() : lf + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        line = trim(line);
        if (line.empty() || line.front() == '#') {
            ++report.skipped;
            continue;
        }
        const std::size_t semi = line.find(';');
        const std::string_view rawWord = trim(line.substr(0, semi));
        const std::string_view rawScore =
            semi == std::string_view::npos ? std::string_view() : trim(line.substr(semi + 1));
        const std::optional<std::string> word = foldWord(rawWord);
        if (!word || word->size() > MaxScoredWordLength) {
            fault(report.badWord, lineNumber);
            continue;
        }
        if (rawScore.empty()) {
            fault(report.noScore, lineNumber);
            continue;
        }
        bool clamped = false;
        const std::optional<int> score = parseScore(rawScore, clamped);
        if (!score) {
            fault(report.badScore, lineNumber);
            continue;
        }
        if (words_.size() + gatheredLetters + word->size() >= NoWord) {
            report.error = "holds more words than the scores can keep: the rest of it is left out";
            break;
        }
        ++report.scored;
        if (clamped) {
            ++report.clamped;
        }
        // Its length, its score and its letters, MaxScoredWordLength fitting
        // in a byte.
        const std::size_t k = partOf(hashWord(*word));
        gathered[k] += static_cast<char>(word->size());
        gathered[k] += static_cast<char>(*score);
        gathered[k] += *word;
        ++gatheredWords[k];
        gatheredLetters += word->size();
    }

    // Part by part, each word in the list's order.
    for (std::size_t k = 0; k < parts_.size(); ++k) {
        Part& part = parts_[k];
        if (gatheredWords[k] > 0) {
            reserve(part, part.count + gatheredWords[k]);
        }
        std::string_view entries = gathered[k];
        while (!entries.empty()) {
            const std::size_t length = static_cast<unsigned char>(entries[0]);
            const auto value = static_cast<uint8_t>(entries[1]);
            const std::string_view word = entries.substr(2, length);
            entries.remove_prefix(2 + length);
            const uint64_t hash = hashWord(word);
            const std::size_t at = probe(part, word, hash);
            Slot& s = part.table[at];
            if (s.offset != NoWord) {
                if (part.setBy[at] == lists_) {
                    ++report.duplicates;
                    s.score = std::max(s.score, value);
                } else {
                    part.setBy[at] = lists_;
                    s.score = value;
                }
                continue;
            }
            s = Slot{static_cast<uint32_t>(words_.size()), static_cast<uint16_t>(hash >> 40),
                     static_cast<uint8_t>(length), value};
            part.setBy[at] = lists_;
            words_ += word;
            ++part.count;
            ++count_;
        }
        std::string().swap(gathered[k]);
    }
    return report;
}

std::vector<std::string> scoreListNames(const std::string& folder,
                                        std::vector<SkippedScoreList>* skipped) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? std::string(".") : folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!endsWithNoCase(name, ScoreListExtension)) {
            continue;
        }
        std::error_code typeError;
        if (it->is_regular_file(typeError)) {
            names.push_back(name);
        } else if (skipped != nullptr) {
            skipped->push_back({name, specialCause(it->path().string())});
        }
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const bool aBase = a == BaseScoreListName;
        const bool bBase = b == BaseScoreListName;
        return aBase != bBase ? aBase : a < b;
    });
    if (skipped != nullptr) {
        std::sort(
            skipped->begin(), skipped->end(),
            [](const SkippedScoreList& a, const SkippedScoreList& b) { return a.name < b.name; });
    }
    return names;
}

std::string listWarning(std::string_view list, const std::string& name, const std::string& error,
                        const std::vector<LineFault>& faults, uint64_t firstFaultLine) {
    const std::string head = std::string(list) + " " + name;
    if (!error.empty()) {
        return head + " " + error;
    }
    uint64_t total = 0;
    std::string why;
    for (const LineFault& f : faults) {
        if (f.count > 0) {
            total += f.count;
            why += (why.empty() ? "" : ", ") + std::to_string(f.count) + " " + f.why;
        }
    }
    if (total == 0) {
        return {};
    }
    return head + ": " + std::to_string(total) + (total == 1 ? " line" : " lines") +
           " left out (" + why + "), the first at line " + std::to_string(firstFaultLine);
}

std::string scoreListWarning(const ScoreListReport& report) {
    return listWarning("Score list", report.name, report.error,
                       {{report.noScore, "without a score"},
                        {report.badScore, "with a score that is no whole number"},
                        {report.badWord, "whose word is not made of letters"}},
                       report.firstFaultLine);
}

WordScores loadWordScores(const std::string& folder, std::vector<ScoreListReport>* reports,
                          std::vector<std::string>* warnings) {
    WordScores scores;
    std::vector<SkippedScoreList> skipped;
    const std::vector<std::string> names = scoreListNames(folder, &skipped);
    const auto note = [&](const ScoreListReport& r) {
        if (warnings != nullptr) {
            if (std::string w = scoreListWarning(r); !w.empty()) {
                warnings->push_back(std::move(w));
            }
        }
        if (reports != nullptr) {
            reports->push_back(r);
        }
    };
    for (const SkippedScoreList& s : skipped) {
        ScoreListReport r;
        r.name = s.name;
        r.error = s.cause + "; it is not read";
        note(r);
    }
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (const std::string& name : names) {
        std::string text;
        const FileReadResult read =
            readRegularFile(AT_FDCWD, prefix + name, MaxScoreListBytes, text);
        if (!read.ok()) {
            ScoreListReport r;
            r.name = name;
            r.error = read.cause + "; it is not read";
            note(r);
            continue;
        }
        note(scores.addList(text, name));
    }
    return scores;
}

} // namespace korvel
