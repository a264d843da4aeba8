// SPDX-License-Identifier: GPL-3.0-or-later
// The cross prompt: list lines and texts, and the indexed fit test held to
// the line-by-line walk on random dictionaries.
#include "crlflines.h"
#include "crossprompt.h"
#include "gridmodel.h"
#include "promptslot.h"
#include "recordinghost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace korvel;
using namespace korvel::testing;

namespace {

// The fit test as a literal walk over the text, 1-based positions and all.
int referenceSugginc(const DictionaryStore& s, std::string T, bool accorcia,
                     const EnabledSet& enabled) {
    const std::size_t n = T.size();
    const std::size_t wq = T.find('?');
    const std::size_t w = wq == std::string::npos ? 0 : wq + 1;
    std::size_t m = n;
    if (accorcia) {
        m = 1;
        for (std::size_t i = n; i >= 2; --i) {
            if (T[i - 1] != '?') {
                m = i;
                break;
            }
        }
    }
    for (std::size_t len = n; len >= m && len >= 1; --len) {
        for (int d = 1; d <= 6; ++d) {
            if (!enabled.isChecked(d)) {
                continue;
            }
            long long p = 1;
            if (T[0] != '?') {
                const int code = static_cast<unsigned char>(T[0]) - 64;
                p = (code >= 0 && code <= 26) ? s.LetterStart[d][code] : 0;
                if (p == 0) {
                    continue;
                }
            }
            bool fits = false;
            walkCrlfLines(s.DictText[d], p, [&](std::string_view text, long long, long long) {
                const std::string line(text);
                const bool skip = (!line.empty() && (line[0] == '\'' || line[0] == '#')) ||
                                  line.size() != T.size();
                if (!skip) {
                    bool ok = true;
                    for (std::size_t i = 0; i < T.size() && ok; ++i) {
                        ok = T[i] == '?' || T[i] == '*' || T[i] == line[i] ||
                             (d == 1 && static_cast<unsigned char>(line[i]) <= '@');
                    }
                    if (ok && d == 1) {
                        const char last = line.back();
                        const std::string ending = endingVowels(last).empty()
                                                       ? std::string(1, last)
                                                       : std::string(endingVowels(last));
                        const char tl = T.back();
                        if (tl != '?' && tl != '*' && ending.find(tl) == std::string::npos) {
                            ok = false;
                        }
                    }
                    if (ok) {
                        fits = true;
                        return false;
                    }
                }
                return !(w == 0 ? line.substr(0, n) > T
                                : line.substr(0, w - 1) > T.substr(0, w - 1));
            });
            if (fits) {
                return static_cast<int>(len);
            }
        }
        T.pop_back();
    }
    return 0;
}

struct Fixture : SearchState {
    Fixture() { flags.Accorcia = false; }
    CrossContext ctx() { return {store, enabled, editor, flags, host}; }
    std::vector<std::string> cross(const std::string& across, const std::string& down,
                                   bool vocali = false) {
        auto c = ctx();
        runCrossPrompt(across, static_cast<int>(across.find('#')), down,
                       static_cast<int>(down.find('#')), vocali, c);
        return host.list;
    }
};

} // namespace

TEST(CrossPrompt, ListsLettersThatFitBothWords) {
    Fixture f;
    putDictionary(f.store, 1, "base.diz",
                  dictText({"CANE", "CASA", "CASE", "COSO", "ESSO", "OSSO"}));
    // Across C A ? E through the third cell, down ? S S O through the first.
    const auto lines = f.cross("CA#E", "#SSO");
    EXPECT_EQ(lines, (std::vector<std::string>{}));
    EXPECT_EQ(f.host.panels[2], " none ");
    EXPECT_EQ(f.host.beeps, 1);

    Fixture g;
    putDictionary(g.store, 1, "base.diz",
                  dictText({"CANE", "CASA", "CASE", "COSO", "ESSO", "OSSO"}));
    const auto l2 = g.cross("CA#E", "#SO");
    EXPECT_TRUE(l2.empty());
    Fixture h;
    putDictionary(h.store, 1, "base.diz", dictText({"CANE", "CASA", "CASE", "NASO", "SOSO"}));
    EXPECT_EQ(h.cross("CA#E", "#ASO"), (std::vector<std::string>{"N"}));
    EXPECT_EQ(h.host.panels[2], " =1 ");
    EXPECT_EQ(h.host.panels[3], " ");
    EXPECT_EQ(h.host.listHint, "Click to copy to the CROSS");
    EXPECT_EQ(h.flags.BusyCounter, 0);
    EXPECT_EQ(h.pattern.CurrentPattern, "?");
    EXPECT_EQ(h.host.patternLabel, "?");
    EXPECT_EQ(h.host.buttonsEnabled, 0);
}

TEST(CrossPrompt, StemsAndOtherDictionaries) {
    Fixture f;
    // CAS! stands for CASA and CASE; other dictionaries match exactly.
    putDictionary(f.store, 1, "base.diz", dictText({"CAS!", "ROSA"}));
    putDictionary(f.store, 2, "extra.dic", dictText({"ALTO", "ELMO"}));
    EXPECT_EQ(f.cross("CAS#", "#L?O"), (std::vector<std::string>{"A", "E"}));
    f.enabled.setChecked(2, false);
    EXPECT_EQ(f.cross("CAS#", "#L?O"), (std::vector<std::string>{}));
}

TEST(CrossPrompt, FreeCueNotes) {
    Fixture f;
    f.flags.Accorcia = true;
    putDictionary(f.store, 1, "base.diz", dictText({"BAR", "BE", "EBB", "MARE", "MEN"}));
    // Across M ? # ? ? (5 cells): MARE fits one short for R; ME? no.
    // Down B # (2 cells): BA? no, BE fits for E.
    const auto lines = f.cross("MA#??", "B#");
    EXPECT_EQ(lines, (std::vector<std::string>{}));
    Fixture g;
    g.flags.Accorcia = true;
    putDictionary(g.store, 1, "base.diz", dictText({"BAR", "BE", "MARE", "MEN"}));
    EXPECT_EQ(g.cross("MA#??", "BA#"), (std::vector<std::string>{"R (Acr-1)"}));
    Fixture h;
    h.flags.Accorcia = true;
    putDictionary(h.store, 1, "base.diz", dictText({"BAR", "MARE", "MEN"}));
    EXPECT_EQ(h.cross("MA#??", "BA#??"), (std::vector<std::string>{"R (Acr-1 / Dwn-2)"}));
    // Without Free Cue only the whole lengths count.
    h.flags.Accorcia = false;
    EXPECT_EQ(h.cross("MA#??", "BA#??"), (std::vector<std::string>{}));
}

TEST(CrossPrompt, NeverCutBeforeTheLastLetter) {
    Fixture f;
    f.flags.Accorcia = true;
    f.flags.Accorcia = true;
    putDictionary(f.store, 1, "base.diz", dictText({"AB", "ACDC", "BA", "ZZZZ"}));
    // The candidate is the last fixed cell: no cut below it.
    EXPECT_EQ(f.cross("A#??", "#A"), (std::vector<std::string>{"B (Acr-2)"}));
}

TEST(CrossPrompt, LineNotes) {
    EXPECT_EQ(crossLine('E', 5, 5, 4, 4), "E");
    EXPECT_EQ(crossLine('E', 5, 3, 4, 4), "E (Acr-2)");
    EXPECT_EQ(crossLine('E', 5, 4, 4, 1), "E (Acr-1 / Dwn-3)");
    EXPECT_EQ(crossLine('E', 5, 5, 4, 2), "E (Dwn-2)");
}

TEST(CrossPrompt, WrongCell) {
    EXPECT_TRUE(isWrongCell("A#", "#"));
    EXPECT_TRUE(isWrongCell("?#?", "A#"));
    EXPECT_TRUE(isWrongCell("A#", "??#"));
    EXPECT_FALSE(isWrongCell("A#", "?#B"));
    Fixture f;
    putDictionary(f.store, 1, "base.diz", dictText({"AB"}));
    f.host.list = {"old"};
    f.cross("?#?", "A#");
    EXPECT_EQ(f.host.panels[3], " wrong CELL ");
    EXPECT_EQ(f.host.panels[2], " ");
    EXPECT_EQ(f.host.beeps, 1);
    EXPECT_EQ(f.host.list, (std::vector<std::string>{"old"}));
}

TEST(CrossPrompt, ClickOnGrid) {
    Fixture f;
    putDictionary(f.store, 1, "base.diz", dictText({"AB", "AC", "BC", "CA"}));
    GridModel g = GridModel::make(2, 2);
    g.GridRows[0] = "A?";
    g.GridRows[1] = "?C";
    CrossRequest req = makeCrossRequest(g, 0, 1, false);
    EXPECT_EQ(req.across, "A#");
    EXPECT_EQ(req.down, "#C");
    EXPECT_EQ(req.acrossCell, 1);
    EXPECT_EQ(req.downCell, 0);
    EXPECT_EQ(req.carr, '?');
    auto c = f.ctx();
    crossPromptClick(req, c);
    EXPECT_EQ(f.host.panels[1], " CROSS PROMPT (full search, use Ctrl for vocals limited search) ");
    EXPECT_EQ(f.host.list, (std::vector<std::string>{"B"}));
    EXPECT_EQ(f.host.drawing, (std::vector<std::string>{"repaint", "red 1,0,1,1"}));

    req.carr = 'B';
    req.vocali = true;
    f.host.list = {"kept"};
    crossPromptClick(req, c);
    EXPECT_EQ(f.host.panels[1], " CROSS PROMPT (vocals only, use Alt for full search) ");
    EXPECT_EQ(f.host.panels[3], " Wrong request! ");
    EXPECT_EQ(f.host.list, (std::vector<std::string>{"kept"}));
}

// A line too short to lie below the text length minus 3 is never read: the
// walk ends there, so the tests end each dictionary with a longer line.
TEST(CrossPrompt, VowelsOnly) {
    Fixture f;
    putDictionary(f.store, 1, "base.diz",
                  dictText({"AB", "BA", "BB", "BE", "BU", "EB", "UB", "ZZZZ"}));
    EXPECT_EQ(f.cross("B#", "#B", true), (std::vector<std::string>{"A", "E", "U"}));
    EXPECT_EQ(f.cross("B#", "#B", false), (std::vector<std::string>{"A", "B", "E", "U"}));
}

TEST(CrossPrompt, RemarkLinesNeverFit) {
    Fixture f;
    putDictionary(f.store, 2, "x.dic", dictText({"#AB", "'AB", "AA", "ZZZZ"}));
    f.enabled.setChecked(1, false);
    EXPECT_EQ(f.cross("?#B", "#A"), (std::vector<std::string>{}));
    putDictionary(f.store, 2, "x.dic", dictText({"#AB", "'AB", "AA", "CAB", "ZZZZ"}));
    EXPECT_EQ(f.cross("?#B", "#A"), (std::vector<std::string>{"A"}));
}

TEST(CrossPrompt, AbortKeepsCountAndMessage) {
    Fixture f;
    putDictionary(f.store, 1, "base.diz", dictText({"AA", "AB", "BA", "BB"}));
    long n = 0;
    f.host.onYield = [&] {
        if (++n == 3) {
            f.flags.abortRequest = 1;
        }
    };
    f.cross("A#", "#A");
    EXPECT_EQ(f.host.panels[3], " abort  ");
    EXPECT_EQ(f.host.panels[2], " =" + std::to_string(f.host.list.size()) + " ");
    EXPECT_EQ(f.flags.abortRequest, 0);
    EXPECT_EQ(f.flags.BusyCounter, 0);
}

// An abort at any point of the scan lists only letters of the full answer,
// with their notes, and a count that matches the list. An abort in the down
// word's pass after A was found for both words keeps A listed.
TEST(CrossPrompt, AbortKeepsLettersFoundForBothWords) {
    const std::vector<std::string> dict = {"AA", "AB", "BA", "BB", "ZZZZ"};
    Fixture full;
    putDictionary(full.store, 1, "base.diz", dictText(dict));
    const auto all = full.cross("A#", "#A");
    ASSERT_EQ(all, (std::vector<std::string>{"A", "B"}));
    const long total = full.host.yields;

    // Yields of the across pass alone, then the down pass: one per length,
    // then one per line (AA finds A, AB finds nothing, BA finds B).
    Fixture count;
    putDictionary(count.store, 1, "base.diz", dictText(dict));
    LetterFits fits{};
    ASSERT_TRUE(fitCellLetters("A#", 1, AllLetters, false, count.store, count.enabled, count.host,
                               count.flags, fits));
    const long acrossYields = count.host.yields;

    for (long stop = 1; stop <= total; ++stop) {
        Fixture f;
        putDictionary(f.store, 1, "base.diz", dictText(dict));
        f.host.onYield = [&] {
            if (f.host.yields == stop) {
                f.flags.abortRequest = 1;
            }
        };
        const auto lines = f.cross("A#", "#A");
        EXPECT_EQ(f.host.panels[3], " abort  ") << stop;
        EXPECT_EQ(f.host.panels[2], " =" + std::to_string(lines.size()) + " ") << stop;
        for (const std::string& l : lines) {
            EXPECT_NE(std::find(all.begin(), all.end(), l), all.end()) << stop << " " << l;
        }
        if (stop == acrossYields + 3) {
            EXPECT_EQ(lines, (std::vector<std::string>{"A"}));
        }
    }
}

// The indexed fit test gives, for every letter, exactly the fit length of the
// literal walk: random sorted and unsorted dictionaries with stems, remark
// lines and empty lines, random trial patterns, Free Cue on and off.
TEST(CrossPrompt, MatchesLiteralWalk) {
    std::mt19937 rng(12345);
    const std::string alphabet = "ABCE";
    const std::string codes = "!#$%&()=+-@";
    auto word = [&](std::size_t len) {
        std::string w;
        for (std::size_t i = 0; i < len; ++i) {
            w.push_back(alphabet[rng() % alphabet.size()]);
        }
        return w;
    };
    for (int round = 0; round < 300; ++round) {
        DictionaryStore store;
        EnabledSet enabled;
        for (int d = 1; d <= 3; ++d) {
            std::vector<std::string> lines;
            const int count = 1 + static_cast<int>(rng() % 40);
            for (int i = 0; i < count; ++i) {
                std::string w = word(1 + rng() % 5);
                if (d == 1 && rng() % 3 == 0) {
                    w.back() = codes[rng() % codes.size()];
                }
                if (rng() % 15 == 0) {
                    w = (rng() % 2 ? "'" : "#") + w;
                }
                if (rng() % 25 == 0) {
                    w.clear();
                }
                lines.push_back(w);
            }
            if (rng() % 4 != 0) {
                std::sort(lines.begin(), lines.end());
            }
            putDictionary(store, d, "d" + std::to_string(d), dictText(lines, rng() % 2 == 0));
            enabled.setChecked(d, rng() % 5 != 0);
        }
        RecordingHost host;
        SearchFlags flags;
        for (int trial = 0; trial < 10; ++trial) {
            const std::size_t n = 1 + rng() % 5;
            std::string pat;
            for (std::size_t i = 0; i < n; ++i) {
                pat.push_back(rng() % 2 ? '?' : alphabet[rng() % alphabet.size()]);
            }
            const int cell = static_cast<int>(rng() % n);
            pat[static_cast<std::size_t>(cell)] = '#';
            const bool accorcia = rng() % 2 == 0;
            LetterFits fits{};
            ASSERT_TRUE(
                fitCellLetters(pat, cell, AllLetters, accorcia, store, enabled, host, flags, fits));
            for (int l = 0; l < 26; ++l) {
                std::string t = pat;
                t[static_cast<std::size_t>(cell)] = static_cast<char>('A' + l);
                ASSERT_EQ(fits[static_cast<std::size_t>(l)],
                          referenceSugginc(store, t, accorcia, enabled))
                    << "round " << round << " pattern " << t << " accorcia " << accorcia;
            }
            std::string plain = pat;
            plain[static_cast<std::size_t>(cell)] = alphabet[rng() % alphabet.size()];
            ASSERT_EQ(sugginc(plain, accorcia, store, enabled, host, flags),
                      referenceSugginc(store, plain, accorcia, enabled))
                << plain;
        }
    }
}
