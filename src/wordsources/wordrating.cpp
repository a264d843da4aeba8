// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordrating.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace korvel {

namespace {

int clampRating(double r) {
    return std::clamp(static_cast<int>(std::lround(r)), LowestRating, HighestRating);
}

constexpr double NameZipfAt50 = 3.5;
constexpr double AbbreviationZipfAt50 = 4.0;

} // namespace

std::string_view kindName(WordKind kind) {
    switch (kind) {
    case WordKind::Name:
        return "name";
    case WordKind::Abbreviation:
        return "abbreviation";
    case WordKind::Word:
        break;
    }
    return "word";
}

int ratingOnLine(std::optional<double> zipf, double zipfAt50) {
    return clampRating(50.0 + 10.0 * (zipf.value_or(0.0) - zipfAt50));
}

WordKind englishKind(const EnglishEvidence& e) {
    const auto rank = [](int size) { return size == 0 ? 1000 : size; };
    const int words = rank(e.wordsSize);
    const int names = rank(e.namesSize);
    const int abbreviations = rank(e.abbreviationsSize);
    if (words <= names && words <= abbreviations) {
        return WordKind::Word;
    }
    return names <= abbreviations ? WordKind::Name : WordKind::Abbreviation;
}

double englishWordZipfAt50(int size) {
    if (size <= 10) {
        return 1.0;
    }
    if (size <= 20) {
        return 1.5;
    }
    if (size <= 35) {
        return 2.0;
    }
    if (size <= 40) {
        return 2.2;
    }
    if (size <= 50) {
        return 2.4;
    }
    if (size <= 55) {
        return 2.7;
    }
    if (size <= 60) {
        return 2.9;
    }
    if (size <= 70) {
        return 3.0;
    }
    return 3.2;
}

int englishRating(const EnglishEvidence& e) {
    switch (englishKind(e)) {
    case WordKind::Word:
        return ratingOnLine(e.zipf, englishWordZipfAt50(e.wordsSize));
    case WordKind::Name:
        return ratingOnLine(e.zipf, NameZipfAt50);
    case WordKind::Abbreviation:
        break;
    }
    return ratingOnLine(e.zipf, AbbreviationZipfAt50);
}

int phraseRating(const PhraseEvidence& e) {
    double r = 10.0 + 6.0 * std::min(e.wordZipf, 5.5) + 4.0 * std::log10(1.0 + e.corpusCount);
    if (e.corpusCount >= 2) {
        const double lift = std::log10(e.corpusCount / std::max(e.expectedCount, 1e-9));
        r += 8.0 * std::clamp(lift, -1.0, 3.0);
    }
    if (e.tagged > 0) {
        r += 5;
    }
    if (e.wordnet && e.gcide) {
        r += 5;
    }
    if (e.partial) {
        r -= 15;
    }
    if (e.words > 3) {
        r -= 5.0 * (e.words - 3);
    }
    if (e.corpusCount < 2 && e.tagged == 0) {
        r = std::min(r, 40.0);
    }
    return clampRating(r);
}

bool isPartialPhrase(const std::vector<std::string>& words) {
    static const std::array<std::string_view, 6> badFirst = {"and", "or", "but",
                                                             "nor", "of", "than"};
    static const std::array<std::string_view, 19> badLast = {
        "a",   "an",   "the",  "and", "or",   "but",  "nor",  "of",   "to", "at",
        "for", "from", "with", "as",  "than", "into", "upon", "onto", "by"};
    if (words.empty()) {
        return false;
    }
    return std::find(badFirst.begin(), badFirst.end(), words.front()) != badFirst.end() ||
           std::find(badLast.begin(), badLast.end(), words.back()) != badLast.end();
}

bool englishInItalian(const ItalianEvidence& e) {
    if (!e.english || e.inWords || !e.inLemmas) {
        return false;
    }
    const double italian = e.zipf.value_or(0.0);
    const double english = e.englishZipf.value_or(0.0);
    return italian - english < -0.5;
}

int italianRating(const ItalianEvidence& e) {
    if ((!e.inWords && !e.inLemmas) || englishInItalian(e)) {
        return EnglishInItalianRating;
    }
    int rating = 0;
    switch (e.kind) {
    case WordKind::Name:
        rating = ratingOnLine(e.zipf, NameZipfAt50);
        break;
    case WordKind::Abbreviation:
        rating = ratingOnLine(e.zipf, AbbreviationZipfAt50);
        break;
    case WordKind::Word:
        if (e.inWords) {
            rating = std::max(40, ratingOnLine(e.zipf, 2.0));
        } else if (e.lemmaHasAffixes) {
            rating = ratingOnLine(e.zipf, 2.5);
        } else {
            rating = clampRating(50.0 + 15.0 * (e.zipf.value_or(0.0) - 4.0));
        }
        break;
    }
    return std::max(rating, ItalianLowestRating);
}

} // namespace korvel
