// SPDX-License-Identifier: GPL-3.0-or-later
// The anagram search against the literal strike-out comparison.
#include "anagrams.h"
#include "crlflines.h"
#include "promptstate.h"
#include "recordinghost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace korvel;
using namespace korvel::testing;

namespace {

// The search as written: every line, each candidate compared by striking
// out the TEST word's letters one by one.
std::vector<std::string> referenceAnagrams(const DictionaryStore& s, const std::string& test) {
    std::vector<std::string> out;
    for (const std::string_view text : crlfLines(s.DictText[1])) {
        const std::string line(text);
        if (!(!line.empty() && (line[0] == '\'' || line[0] == '#')) && line.size() == test.size() &&
            !line.empty()) {
            const char last = line.back();
            const std::string ending =
                endingVowels(last).empty() ? std::string(1, last) : std::string(endingVowels(last));
            for (char v : ending) {
                const std::string cand = line.substr(0, line.size() - 1) + v;
                std::string t = test;
                std::string c = cand;
                bool match = true;
                for (std::size_t i = 0; i < t.size() && match; ++i) {
                    if (t[i] == ' ') {
                        continue;
                    }
                    const std::size_t at = c.find(t[i]);
                    if (at == std::string::npos) {
                        match = false;
                    } else {
                        c[at] = ' ';
                        t[i] = ' ';
                    }
                }
                if (match && cand != test) {
                    out.push_back(cand);
                }
            }
        }
    }
    return out;
}

struct Fixture {
    DictionaryStore store;
    SearchFlags flags;
    RecordingHost host;
    std::vector<std::string> run(const std::string& textb) {
        findAnagrams(textb, store, host, flags);
        return host.list;
    }
};

} // namespace

TEST(Anagrams, Examples) {
    Fixture f;
    putDictionary(f.store, 1, "base.diz",
                  dictText({"AMOR", "ARMO", "MORA", "RAM&", "ROMA", "ROMANO", "ROMB"}));
    putDictionary(f.store, 2, "x.dic", dictText({"OMAR"}));
    EXPECT_EQ(f.run("roma"), (std::vector<std::string>{"AMOR", "ARMO", "MORA", "RAMO"}));
    EXPECT_EQ(f.host.panels[2], " 4 Anagrams ");
    EXPECT_EQ(f.host.panels[3], " ");
    EXPECT_EQ(f.flags.resultCount, 4);
    EXPECT_EQ(f.run("  Roma "), (std::vector<std::string>{"AMOR", "ARMO", "MORA", "RAMO"}));
    // A blank inside stands for any one letter.
    EXPECT_EQ(f.run("A OR"), (std::vector<std::string>{"AMOR", "ARMO", "MORA", "RAMO", "ROMA"}));
}

TEST(Anagrams, AShortLastLineTakesPart) {
    Fixture f;
    putDictionary(f.store, 1, "base.diz", "ABBA\r\nBA\r\n");
    EXPECT_EQ(f.run("AB"), std::vector<std::string>{"BA"});
    putDictionary(f.store, 1, "base.diz", "ABBA\r\nBA");
    EXPECT_EQ(f.run("AB"), std::vector<std::string>{"BA"});
}

TEST(Anagrams, StemGivesOneLinePerEnding) {
    Fixture f;
    putDictionary(f.store, 1, "base.diz", dictText({"LAT&"}));
    // LATA and LATO: both anagrams of ALTO? only LATO.
    EXPECT_EQ(f.run("ALTO"), (std::vector<std::string>{"LATO"}));
    EXPECT_EQ(f.run("A  T"), (std::vector<std::string>{"LATA", "LATO"}));
}

TEST(Anagrams, NothingFound) {
    const char* inputs[] = {"", "   ", "XYZW", "ROMA"};
    for (const char* in : inputs) {
        Fixture f;
        putDictionary(f.store, 1, "base.diz", dictText({"'AMOR", "ROMA", "ZZZ"}));
        EXPECT_EQ(f.run(in), (std::vector<std::string>{" ", " no Anagrams "})) << in;
        EXPECT_EQ(f.host.panels[2], " no Anagrams ");
        EXPECT_EQ(f.host.beeps, 1);
        EXPECT_EQ(f.flags.resultCount, 0);
    }
}

TEST(Anagrams, UpperCase) {
    EXPECT_EQ(anagramTestWord("  ciao mondo "), "CIAO MONDO");
    EXPECT_EQ(anagramTestWord("\xe8"), "\xc8");
}

TEST(Anagrams, MatchesLiteralComparison) {
    std::mt19937 rng(777);
    const std::string alphabet = "AEIOR";
    const std::string codes = "!#$%&()=+-@";
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> lines;
        const int count = static_cast<int>(rng() % 60);
        for (int i = 0; i < count; ++i) {
            std::string w;
            const std::size_t len = rng() % 6;
            for (std::size_t j = 0; j < len; ++j) {
                w.push_back(alphabet[rng() % alphabet.size()]);
            }
            if (!w.empty() && rng() % 3 == 0) {
                w.back() = codes[rng() % codes.size()];
            }
            if (rng() % 20 == 0) {
                w = "'" + w;
            }
            lines.push_back(w);
        }
        Fixture f;
        putDictionary(f.store, 1, "base.diz", dictText(lines, rng() % 2 == 0));
        for (int t = 0; t < 10; ++t) {
            std::string test;
            const std::size_t len = 1 + rng() % 5;
            for (std::size_t j = 0; j < len; ++j) {
                test.push_back(rng() % 4 == 0 ? ' ' : alphabet[rng() % alphabet.size()]);
            }
            const std::string word = anagramTestWord(test);
            auto expected = referenceAnagrams(f.store, word);
            if (expected.empty()) {
                expected = {" ", " no Anagrams "};
            }
            ASSERT_EQ(f.run(test), expected) << "round " << round << " test '" << test << "'";
        }
    }
}
