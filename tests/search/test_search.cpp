// SPDX-License-Identifier: GPL-3.0-or-later
#include "crlflines.h"
#include "patternsearch.h"
#include "recordinghost.h"
#include "resultorder.h"

#include <gtest/gtest.h>

#include <random>

using namespace korvel;
using namespace korvel::testing;

namespace {

// The search as a plain line-by-line walk over the text, 1-based positions and
// all, to hold the indexed engine to exactly the same results.
std::vector<std::string> referenceSearch(const DictionaryStore& s, const std::string& pat,
                                         std::size_t slotLen, std::size_t freedHead, bool extended,
                                         const EnabledSet& enabled) {
    std::vector<std::string> list;
    std::size_t w = pat.find('?');
    if (w == std::string::npos) {
        w = pat.find('*');
    }
    w = (w == std::string::npos) ? 0 : w + 1;
    const std::size_t P = pat.size();
    for (int d = 1; d <= 6; ++d) {
        if (!enabled.isChecked(d)) {
            continue;
        }
        long long p = 1;
        if (pat[0] != '?' && pat[0] != '*') {
            int code = static_cast<unsigned char>(pat[0]) - 64;
            p = (code >= 0 && code <= 26) ? s.LetterStart[d][code] : 1;
        }
        bool full = false;
        walkCrlfLines(
            s.DictText[d], p == 0 ? 1 : p, [&](std::string_view text, long long, long long) {
                std::string line(text);
                const std::size_t L = line.size();
                bool skip = (L > 0 && (line[0] == '\'' || line[0] == '#')) || L < P ||
                            L > slotLen || (L != P && pat[0] != '*' && pat[P - 1] != '*');
                if (!skip) {
                    auto fit = [](char pc, char lc) {
                        return pc == '?' || pc == '*' || static_cast<unsigned char>(lc) <= '@' ||
                               pc == lc;
                    };
                    bool ok = true;
                    for (std::size_t i = 0; i < P && ok; ++i) {
                        ok = pat[0] != '*' ? fit(pat[i], line[i])
                                           : fit(pat[P - 1 - i], line[L - 1 - i]);
                    }
                    if (ok) {
                        if (pat[0] == '*') {
                            line = std::string(freedHead - L + P - 1, ' ') + line;
                        }
                        std::string out;
                        if (d > 1) {
                            list.push_back(line + " -" + std::to_string(d));
                        } else {
                            char last = line.back();
                            std::string ending(1, last);
                            if (!endingVowels(last).empty()) {
                                ending = "(" + std::string(endingVowels(last)) + ")";
                            }
                            char req = pat.back();
                            bool keep = true;
                            if (req != '*' && req != '?') {
                                keep = ending.find(req) != std::string::npos;
                                ending = std::string(1, req);
                            }
                            if (keep) {
                                list.push_back(line.substr(0, line.size() - 1) + ending + " -1");
                            }
                        }
                    }
                }
                if (!extended && list.size() == 50) {
                    full = true;
                    return false;
                }
                return !(pat[0] != '*' && line.substr(0, w - 1) > pat.substr(0, w - 1));
            });
        if (full) {
            return list;
        }
    }
    return list;
}

struct Fixture : SearchState {
    Fixture() { editor.setTool(Tool::PromptAcross, "a1"); }

    SearchContext ctx() { return {store, enabled, editor, flags, host}; }
    // A new prompt on a slot of the given pattern.
    void prompt(const std::string& slot) {
        pattern.CurrentPattern = slot;
        pattern.SlotPattern = slot;
        pattern.testom = slot;
        pattern.freedHead.clear();
        pattern.freedTail.clear();
    }
    std::vector<std::string> run(const std::string& slot) {
        prompt(slot);
        auto c = ctx();
        searchPattern(c);
        return host.list;
    }
};

const std::vector<std::string> kBase = {
    "' remark line", "ABACO", "AMORE",   "CANE", "CAS!", "CASTAGN)", "CESTO",
    "CIS=",          "COSA",  "CUSCINO", "MARE", "MORA", "ROMA",     "ZERO",
};

} // namespace

TEST(PatternSearch, WrongRequestsTouchNothingButTheMessage) {
    for (const std::string pat : {"???", "A", "AB", "ABC", ""}) {
        Fixture f;
        putDictionary(f.store, 1, "base.diz", dictText(kBase));
        f.host.list = {"old line"};
        f.flags.BusyCounter = 0;
        f.run(pat);
        EXPECT_EQ(f.host.panels[2], " ") << pat;
        EXPECT_EQ(f.host.panels[3], " Wrong request! ") << pat;
        EXPECT_EQ(f.host.beeps, 1) << pat;
        EXPECT_TRUE(f.host.list.empty()) << pat;
        EXPECT_EQ(f.host.listHint, "") << pat;
        EXPECT_TRUE(f.host.pointers.empty()) << pat;
        EXPECT_EQ(f.host.yields, 0) << pat;
    }
}

TEST(PatternSearch, FixedLengthAndFreeEnds) {
    Fixture f;
    putDictionary(f.store, 1, "base.diz", dictText(kBase));
    // Letter, "?", letter: three letters only.
    EXPECT_EQ(f.run("C?S"), std::vector<std::string>{});
    f.host.pointers.clear();
    // C?S? matches the stem CAS! (its code under a "?": whole vowel set), COSA,
    // and the stem CIS= .
    EXPECT_EQ(f.run("C?S?"), (std::vector<std::string>{"CAS(AE) -1", "CIS(IO) -1", "COSA -1"}));
    EXPECT_EQ(f.host.panels[2], " =3 ");
    EXPECT_EQ(f.host.panels[3], " ");
    EXPECT_EQ(f.host.panels[4], " ");
    EXPECT_EQ(f.flags.resultCount, 3);
    EXPECT_EQ(f.flags.BusyCounter, 0);
    EXPECT_EQ(f.host.pointers, (std::vector<Pointers>{Pointers::Busy, Pointers::ToolGrid}));

    // Free end: words of four or more letters that begin C?S and fit a
    // 7-cell slot (CASTAGN) is 8 long and stays out).
    f.prompt("C?S*");
    f.pattern.SlotPattern = "???????";
    auto c = f.ctx();
    searchPattern(c);
    EXPECT_EQ(f.host.list, (std::vector<std::string>{"CAS(AE) -1", "CESTO -1", "CIS(IO) -1",
                                                     "COSA -1", "CUSCINO -1"}));
    f.pattern.SlotPattern = "????????";
    searchPattern(c);
    EXPECT_EQ(f.host.list.size(), 6u);
    EXPECT_EQ(f.host.list[1], "CASTAGN(AEO) -1");
}

TEST(PatternSearch, StemsUnderALetterKeepOnlyTheirEnding) {
    Fixture f;
    putDictionary(f.store, 1, "base.diz", dictText(kBase));
    EXPECT_EQ(f.run("?ASE"), std::vector<std::string>{"CASE -1"});
    EXPECT_EQ(f.run("?ASO"), std::vector<std::string>{});
    EXPECT_EQ(f.host.panels[2], " none ");
    EXPECT_EQ(f.host.beeps, 1);
}

TEST(PatternSearch, FreeStartAlignsWordsToTheSlotEnd) {
    Fixture f;
    putDictionary(f.store, 1, "base.diz", dictText(kBase));
    putDictionary(f.store, 2, "more.dic", dictText({"ERA", "SERA", "VERA"}));
    // A 5-cell slot ???RA after Free HEAD: "*RA" with the freed head "???".
    f.prompt("???RA");
    f.pattern.CurrentPattern = "*RA";
    f.pattern.freedHead = "???";
    auto c = f.ctx();
    searchPattern(c);
    EXPECT_EQ(f.host.list,
              (std::vector<std::string>{" MORA -1", "  ERA -2", " SERA -2", " VERA -2"}));
}

TEST(PatternSearch, EarlyEndAndLetterIndex) {
    Fixture f;
    // A line after the early end is never reached, even when it would fit.
    putDictionary(f.store, 1, "base.diz", dictText({"BATE", "BETE", "BAKE", "CASE"}));
    EXPECT_EQ(f.run("BA?E"), (std::vector<std::string>{"BATE -1"}));
    // A second run of one initial moves its index entry: the scan starts there.
    putDictionary(f.store, 1, "base.diz", dictText({"BATE", "CASE", "BITE", "DOTE"}));
    EXPECT_EQ(f.run("B?TE"), (std::vector<std::string>{"BITE -1"}));
    // An initial with no line scans from the top and stops at the first
    // line that sorts after it.
    putDictionary(f.store, 1, "base.diz", dictText({"AXE", "BYE", "CUE"}));
    f.host.yields = 0;
    EXPECT_EQ(f.run("B?E"), std::vector<std::string>{"BYE -1"});
    putDictionary(f.store, 1, "base.diz", dictText({"AXE", "AZE", "CUE", "DYE"}));
    EXPECT_EQ(f.run("B?E"), std::vector<std::string>{});
}

TEST(PatternSearch, AShortLastLineIsStillSearched) {
    // The start-up check leaves a short last line out; a search must not.
    Fixture f;
    putDictionary(f.store, 1, "base.diz", "ABBA\r\nBA\r\n");
    EXPECT_EQ(f.run("B?"), std::vector<std::string>{"BA -1"});
    putDictionary(f.store, 1, "base.diz", "ABBA\r\nZOO");
    EXPECT_EQ(f.run("Z?O"), std::vector<std::string>{"ZOO -1"});
    EXPECT_EQ(f.store.Lines[1].lineCount(), 2u);
    EXPECT_EQ(f.store.Lines[1].checkedLineCount(), 1u);
}

TEST(PatternSearch, RemarksDisabledAndSeventhDictionariesAreNotRead) {
    Fixture f;
    putDictionary(f.store, 1, "base.diz", dictText({"#ORA", "'ORA", "MORA"}));
    putDictionary(f.store, 2, "two.dic", dictText({"DORA"}));
    putDictionary(f.store, 3, "three.dic", dictText({"BORA"}));
    putDictionary(f.store, 7, "seven.dic", dictText({"CORA"}));
    f.enabled.setChecked(2, false);
    EXPECT_EQ(f.run("?ORA"), (std::vector<std::string>{"MORA -1", "BORA -3"}));
}

TEST(PatternSearch, CapOfFiftyInScanOrder) {
    Fixture f;
    std::vector<std::string> one;
    std::vector<std::string> two;
    // Interleave lengths so the cap must follow line order, not length order.
    for (int i = 0; i < 30; ++i) {
        std::string w = "B";
        w += static_cast<char>('A' + i / 26);
        w += static_cast<char>('A' + i % 26);
        one.push_back(i % 2 ? w + "XX" : w + "X");
        two.push_back("C" + w.substr(1) + (i % 2 ? "XX" : "X"));
    }
    putDictionary(f.store, 1, "base.diz", dictText(one));
    putDictionary(f.store, 2, "two.dic", dictText(two));
    f.prompt("???*");
    f.pattern.SlotPattern = "?????";
    auto c = f.ctx();
    searchPattern(c);
    ASSERT_EQ(f.host.list.size(), 50u);
    EXPECT_EQ(f.host.list[29], "BBDXX -1");
    EXPECT_EQ(f.host.list[30], "CAAX -2");
    EXPECT_EQ(f.host.list[49], "CATXX -2");
    EXPECT_EQ(f.host.panels[2], " =50 ");

    f.flags.Estesa = true;
    searchPattern(c);
    EXPECT_EQ(f.host.list.size(), 60u);
}

TEST(PatternSearch, AbortKeepsWhatWasFound) {
    Fixture f;
    std::vector<std::string> words;
    for (int i = 0; i < 200; ++i) {
        words.push_back(std::string("MA") + static_cast<char>('A' + i / 26 % 26) +
                        static_cast<char>('A' + i % 26));
    }
    putDictionary(f.store, 1, "base.diz", dictText(words));
    f.flags.Estesa = true;
    f.host.onYield = [&] {
        if (f.host.yields == 20) {
            f.flags.abortRequest = 1;
        }
    };
    f.run("?A??");
    EXPECT_EQ(f.host.list.size(), 19u);
    EXPECT_EQ(f.host.panels[2], " =19 ");
    EXPECT_EQ(f.host.panels[3], " Abort! ");
    EXPECT_EQ(f.host.panels[4], " ");
    EXPECT_EQ(f.flags.abortRequest, 0);
    EXPECT_EQ(f.flags.BusyCounter, 0);
}

TEST(PatternSearch, FreeCueRetryFreesTheEndAndRestoresTheSlot) {
    Fixture f;
    putDictionary(f.store, 1, "base.diz", dictText({"CANE", "CAS!", "CASTA"}));
    f.flags.Accorcia = true;
    // Nothing of six letters begins CAS; the retry frees the trailing run.
    f.run("CAS???");
    EXPECT_EQ(f.pattern.CurrentPattern, "CAS*");
    EXPECT_EQ(f.pattern.freedTail, "???");
    EXPECT_EQ(f.pattern.SlotPattern, "CAS???");
    EXPECT_EQ(f.flags.retryFlag, 0);
    EXPECT_EQ(f.host.list, (std::vector<std::string>{"CAS(AE) -1", "CASTA -1"}));
    EXPECT_EQ(f.host.panels[2], " =2 ");
    // No retry for a pattern ending in a letter, nor with Free Cue off.
    f.run("CAS??E");
    EXPECT_EQ(f.pattern.CurrentPattern, "CAS??E");
    EXPECT_EQ(f.host.panels[2], " none ");
    f.flags.Accorcia = false;
    f.run("CAS???");
    EXPECT_EQ(f.pattern.CurrentPattern, "CAS???");
    EXPECT_EQ(f.host.panels[2], " none ");
}

TEST(PatternSearch, ResultLinesOfOtherDictionariesAreShownAsStored) {
    std::string out;
    EXPECT_TRUE(formatMatch("CAS!", 2, '?', out));
    EXPECT_EQ(out, "CAS! -2");
    EXPECT_TRUE(formatMatch("CAS@", 1, 'O', out));
    EXPECT_EQ(out, "CASO -1");
    EXPECT_FALSE(formatMatch("CAS!", 1, 'O', out));
    EXPECT_TRUE(formatMatch("CASA", 1, '*', out));
    EXPECT_EQ(out, "CASA -1");
}

// The indexed engine against the plain walk, on random dictionaries with
// stems, remarks, blank and out-of-order lines, and random patterns.
TEST(PatternSearch, MatchesALineByLineWalk) {
    std::mt19937 rng(20261208);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::string letters = "ABCE";
    const std::string codes = "!#$%&()=+-@";
    for (int round = 0; round < 400; ++round) {
        Fixture f;
        for (int d = 1; d <= 3; ++d) {
            std::vector<std::string> lines;
            const int n = 1 + pick(60);
            for (int i = 0; i < n; ++i) {
                std::string w;
                const int len = 1 + pick(7);
                for (int j = 0; j < len; ++j) {
                    w += letters[pick(4)];
                }
                const int kind = pick(20);
                if (kind == 0) {
                    w = "'" + w;
                } else if (kind == 1) {
                    w = "";
                } else if (kind < 5) {
                    w.back() = codes[pick(11)];
                }
                lines.push_back(w);
            }
            if (pick(4) != 0) {
                std::sort(lines.begin(), lines.end());
            }
            putDictionary(f.store, d, d == 1 ? "base.diz" : "x.dic", dictText(lines, pick(2)));
        }
        for (int q = 0; q < 10; ++q) {
            std::string pat;
            const int len = 2 + pick(5);
            for (int j = 0; j < len; ++j) {
                pat += pick(2) ? '?' : letters[pick(4)];
            }
            std::size_t slot = pat.size();
            std::size_t head = 0;
            const int shape = pick(3);
            if (shape == 1) {
                pat.back() = '*';
                slot += pick(4);
            } else if (shape == 2) {
                head = 1 + pick(3);
                pat[0] = '*';
                slot = head + pat.size() - 1;
            }
            f.pattern.CurrentPattern = pat;
            f.pattern.SlotPattern = std::string(slot, '?');
            f.pattern.testom = pat;
            f.pattern.freedHead = std::string(head, '?');
            f.flags.Estesa = pick(2);
            f.flags.Accorcia = false;
            f.enabled.setChecked(2, pick(3) != 0);
            auto c = f.ctx();
            searchPattern(c);
            if (isWrongRequest(pat)) {
                EXPECT_TRUE(f.host.list.empty());
                continue;
            }
            auto expected = referenceSearch(f.store, pat, slot, head, f.flags.Estesa, f.enabled);
            ASSERT_EQ(f.host.list, expected) << "round " << round << " pattern " << pat;
        }
    }
}

TEST(ResultOrder, BlanksThenSignsThenLettersWithoutCase) {
    std::vector<std::string> lines = {"casa -1",
                                      "=         synonyms         =",
                                      "CANE -2",
                                      " no Anagrams ",
                                      ">         antonyms          <",
                                      " ",
                                      "=word",
                                      "Cane -1",
                                      ">word",
                                      "CAS(AE) -1"};
    sortListLines(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{" ", " no Anagrams ", "=         synonyms         =",
                                               "=word", ">         antonyms          <", ">word",
                                               "Cane -1", "CANE -2", "CAS(AE) -1", "casa -1"}));
}
