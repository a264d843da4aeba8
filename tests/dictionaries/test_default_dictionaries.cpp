// SPDX-License-Identifier: GPL-3.0-or-later
// The default dictionaries as the build generates them: both sets load
// through the real companion library, every word of each base.diz has a
// score, and the scores are what the README's tables say, recomputed here
// from the Debian lists themselves.
#include "companioncall.h"
#include "dictionarystore.h"
#include "loader.h"
#include "wordfold.h"
#include "wordscores.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace korvel;

namespace {

class CountingObserver : public LoadObserver {
public:
    std::vector<std::string> messages;
    void outOfSequence(const std::string& m) override { messages.push_back(m); }
    void warning(const std::string& m) override { messages.push_back(m); }
    void fatal(const std::string& t, const std::string& m) override {
        messages.push_back(t + " " + m);
    }
};

void load(const std::string& folder, DictionaryStore& store) {
    std::unique_ptr<CompanionLibrary> library;
    const CompanionCall call = openCompanion(library);
    CountingObserver observer;
    ASSERT_EQ(loadDictionaries(
                  store, folder, call, [] {}, observer),
              LoadResult::Ok);
    EXPECT_TRUE(observer.messages.empty()) << observer.messages.front();
}

// The words of dictionary 1 as the fill reads them: ending codes expanded.
std::set<std::string> baseWords(const DictionaryStore& store) {
    std::set<std::string> words;
    const std::string_view text = store.DictText[1];
    for (std::size_t i = 0; i < store.Lines[1].lineCount(); ++i) {
        const std::string_view line = store.Lines[1].line(text, i);
        if (!line.empty() && isEndingCode(line.back())) {
            for (char v : endingVowels(line.back())) {
                words.insert(std::string(line.substr(0, line.size() - 1)) + v);
            }
        } else if (!line.empty()) {
            words.emplace(line);
        }
    }
    return words;
}

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') {
            l.pop_back();
        }
        out.push_back(std::move(l));
    }
    return out;
}

// What the README's table gives: each word its highest score.
using Expected = std::map<std::string, int>;
void give(Expected& e, const std::string& entry, int score) {
    if (auto w = foldWord(entry)) {
        auto [it, added] = e.emplace(*w, score);
        if (!added) {
            it->second = std::max(it->second, score);
        }
    }
}

void expectScores(const std::string& folder, const Expected& expected,
                  const std::set<std::string>& words) {
    std::vector<std::string> warnings;
    const WordScores scores = loadWordScores(folder, nullptr, &warnings);
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    EXPECT_EQ(scores.size(), expected.size());
    std::size_t wrong = 0;
    for (const auto& [word, score] : expected) {
        if (scores.score(word) != score && ++wrong <= 10) {
            ADD_FAILURE() << word << " scores " << scores.score(word).value_or(-1) << ", not "
                          << score;
        }
    }
    EXPECT_EQ(wrong, 0u);
    std::size_t unscored = 0;
    for (const std::string& w : words) {
        unscored += scores.score(w).has_value() ? 0 : 1;
    }
    EXPECT_EQ(unscored, 0u) << "words of base.diz without a score";
}

// ---------------------------------------------------------------- English

struct Size {
    int size;
    int common;
};
constexpr Size Sizes[] = {{10, 90}, {20, 80}, {35, 70}, {40, 65}, {50, 60},
                          {55, 45}, {60, 40}, {70, 35}, {80, 20}};
struct Kind {
    const char* name;
    int less;
};
constexpr Kind Kinds[] = {{"words", 0}, {"upper", 5}, {"proper-names", 10}, {"abbreviations", 15}};

int tableScore(const Size& s, const Kind& k) {
    const int score = s.common - k.less;
    return s.size <= 50 ? std::max(score, 50) : score;
}

TEST(EnglishSet, LoadsAndScoresFollowTheSizeTable) {
    DictionaryStore store;
    load(KORVEL_ENGLISH_SET, store);
    ASSERT_EQ(store.count, 1);
    const std::set<std::string> words = baseWords(store);
    // A crossword vocabulary, not a toy list and not SCOWL's rarest tier.
    EXPECT_GT(words.size(), 200000u);
    EXPECT_LT(words.size(), 400000u);

    Expected expected;
    std::set<std::string> commonOnly; // words of a plain word list
    std::map<std::string, int> properSize50;
    for (const Size& s : Sizes) {
        for (const Kind& k : Kinds) {
            for (const char* spelling : {"english", "american", "british"}) {
                const std::string path = std::string(KORVEL_SCOWL_DIR) + "/" + spelling + "-" +
                                         k.name + "." + std::to_string(s.size);
                for (const std::string& entry : lines(path)) {
                    give(expected, entry, tableScore(s, k));
                    if (auto w = foldWord(entry); w && std::string(k.name) == "words") {
                        commonOnly.insert(*w);
                    }
                }
            }
        }
    }
    EXPECT_EQ(expected.size(), words.size()); // the same lists make both
    expectScores(KORVEL_ENGLISH_SET, expected, words);

    const WordScores scores = loadWordScores(KORVEL_ENGLISH_SET);
    // A common word of size 10 scores above 50; so do "house" and "the".
    EXPECT_EQ(scores.score("HOUSE"), 90);
    EXPECT_GT(scores.scoreOr("THE", 0), 50);
    // Every entry of a list of size 50 or less scores at least 50.
    for (const Size& s : Sizes) {
        for (const Kind& k : Kinds) {
            if (s.size <= 50) {
                EXPECT_GE(tableScore(s, k), 50);
            }
            if (k.less > 0) {
                EXPECT_LT(tableScore(s, k), s.common) << k.name << " " << s.size;
            }
        }
    }
    // A proper name found in no word list, of size 50, below a common word
    // of size 50.
    int checked = 0;
    for (const std::string& entry :
         lines(std::string(KORVEL_SCOWL_DIR) + "/english-proper-names.50")) {
        const auto w = foldWord(entry);
        if (!w || commonOnly.count(*w) != 0 || expected.at(*w) != 50) {
            continue;
        }
        EXPECT_EQ(scores.score(*w), 50) << *w;
        EXPECT_LT(*scores.score(*w), tableScore(Sizes[4], Kinds[0]));
        ++checked;
    }
    EXPECT_GT(checked, 1000);
}

// ---------------------------------------------------------------- Italian

TEST(ItalianSet, LoadsAsBeforeAndScoresLemmasAboveForms) {
    DictionaryStore store;
    load(KORVEL_ITALIAN_SET, store);
    EXPECT_EQ(store.DictFileName[1], "base.diz");
    const std::set<std::string> words = baseWords(store);
    EXPECT_GT(words.size(), 100000u);

    // The README's Italian table, recomputed.
    Expected expected;
    std::vector<std::string> lemmas;
    for (std::string l : lines(KORVEL_ITALIAN_HUNSPELL)) {
        lemmas.push_back(l.substr(0, l.find('/')));
    }
    const std::vector<std::string> forms = lines(KORVEL_ITALIAN_WORDS);
    for (const std::string& e : lines(KORVEL_ENGLISH_WORDS)) {
        give(expected, e, 25);
    }
    for (const std::vector<std::string>* list : {&forms, &std::as_const(lemmas)}) {
        for (const std::string& e : *list) {
            const LetterCase c = letterCase(e);
            const int score = c == LetterCase::Upper   ? 30
                              : c == LetterCase::Title ? 40
                              : c == LetterCase::Lower ? (list == &lemmas ? 60 : 50)
                                                       : -1;
            if (score >= 0) {
                give(expected, e, score);
            }
        }
    }
    expectScores(KORVEL_ITALIAN_SET, expected, words);

    // A lemma scores above a form found only by expanding one.
    const WordScores scores = loadWordScores(KORVEL_ITALIAN_SET);
    std::set<std::string> lemmaWords;
    for (const std::string& l : lemmas) {
        if (auto w = foldWord(l)) {
            lemmaWords.insert(*w);
        }
    }
    int formsOnly = 0;
    for (const std::string& f : forms) {
        const auto w = foldWord(f);
        if (w && letterCase(f) == LetterCase::Lower && lemmaWords.count(*w) == 0) {
            EXPECT_EQ(scores.score(*w), 50) << *w;
            ++formsOnly;
        }
    }
    EXPECT_GT(formsOnly, 10000);
    EXPECT_EQ(scores.score("AMARE"), 60);
}

} // namespace
