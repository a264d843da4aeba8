// SPDX-License-Identifier: GPL-3.0-or-later
#include "crossprompt.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace korvel {

namespace {

constexpr unsigned char AtSign = '@';

bool isWildcard(char c) {
    return c == '?' || c == '*';
}

uint32_t letterBit(char c) {
    return (c >= 'A' && c <= 'Z') ? (1u << (c - 'A')) : 0u;
}

uint32_t lettersOf(std::string_view s) {
    uint32_t m = 0;
    for (char c : s) {
        m |= letterBit(c);
    }
    return m;
}

// Lines [first, end) of one dictionary that a letter's walk compares.
struct Range {
    std::size_t first = 0;
    std::size_t end = 0;
};

// One length of one dictionary: marks the pending letters for which some
// line of that length fits.
struct LengthScan {
    std::string_view pattern; // the trial pattern cut to this length, "#" at cell
    int cell;                 // -1: no candidate position
    int d;
    const std::array<Range, 26>& ranges;
    uint32_t& pending;
    LetterFits& fits;
    int16_t length;
    SearchHost& host;
    SearchFlags& flags;

    // Returns false on abort.
    bool record(std::size_t lineNo, const char* rec) {
        if (host.lineTick() && flags.abortRequest > 0) {
            return false;
        }
        const auto L = static_cast<std::size_t>(length);
        if (isRemarkInitial(rec[0])) {
            return true;
        }
        const bool base = d == 1;
        for (std::size_t i = 0; i < L; ++i) {
            const char pc = pattern[i];
            if (static_cast<int>(i) == cell || isWildcard(pc)) {
                continue;
            }
            const char lc = rec[i];
            if (pc != lc && !(base && static_cast<unsigned char>(lc) <= AtSign)) {
                return true;
            }
        }
        uint32_t admitted = AllLetters;
        if (cell >= 0) {
            const char c = rec[cell];
            admitted =
                (base && static_cast<unsigned char>(c) <= AtSign) ? AllLetters : letterBit(c);
        }
        if (base) {
            // A stem's ending must hold the required last letter.
            const char last = rec[L - 1];
            const std::string_view vowels = endingVowels(last);
            const std::string_view ending =
                vowels.empty() ? std::string_view(&rec[L - 1], 1) : vowels;
            if (static_cast<int>(L) - 1 == cell) {
                admitted &= lettersOf(ending);
            } else {
                const char tl = pattern[L - 1];
                if (!isWildcard(tl) && ending.find(tl) == std::string_view::npos) {
                    return true;
                }
            }
        }
        if (cell < 0) {
            admitted = 1; // the single trial is reported as letter 0
        }
        admitted &= pending;
        while (admitted != 0) {
            const int l = __builtin_ctz(admitted);
            admitted &= admitted - 1;
            if (lineNo >= ranges[static_cast<std::size_t>(l)].first &&
                lineNo < ranges[static_cast<std::size_t>(l)].end) {
                fits[static_cast<std::size_t>(l)] = length;
                pending &= ~(1u << l);
            }
        }
        return true;
    }
};

} // namespace

bool fitCellLetters(std::string_view pattern, int cell, uint32_t letters, bool accorcia,
                    const DictionaryStore& store, const EnabledSet& enabled, SearchHost& host,
                    SearchFlags& flags, LetterFits& fits) {
    fits.fill(0);
    const std::size_t n = pattern.size();
    if (cell >= static_cast<int>(n)) {
        cell = -1;
    }
    if (cell < 0) {
        letters = 1;
    }
    if (n == 0) {
        return true;
    }
    // w: 1-based position of the first "?", 0 for none. The cell is never "?".
    std::size_t w = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (pattern[i] == '?' && static_cast<int>(i) != cell) {
            w = i + 1;
            break;
        }
    }
    std::size_t m = n;
    if (accorcia) {
        m = 1;
        for (std::size_t i = n; i >= 2; --i) {
            if (pattern[i - 1] != '?' || static_cast<int>(i - 1) == cell) {
                m = i;
                break;
            }
        }
    }
    // The early end compares this many leading characters of the whole trial.
    const std::size_t prefixLen = w == 0 ? n : w - 1;
    std::string trial(pattern);

    uint32_t pending = letters;
    for (std::size_t L = n; L >= m && pending != 0; --L) {
        host.yield();
        if (flags.abortRequest > 0) {
            return false;
        }
        const std::string_view cut = std::string_view(pattern).substr(0, L);
        for (int d = 1; d <= SearchedDictionaries && pending != 0; ++d) {
            if (!enabled.isChecked(d)) {
                continue;
            }
            flags.BusyCounter = 2;
            const LineIndex& ix = store.Lines[d];
            const std::string_view text = store.DictText[d];
            const std::size_t count = ix.lineCount();
            if (count == 0) {
                continue;
            }
            // Each letter's walk: from its initial's first line to the line
            // at which the fixed prefix sorts past the trial's.
            std::array<Range, 26> ranges{};
            const bool startDepends = cell == 0;
            const bool endDepends = cell >= 0 && static_cast<std::size_t>(cell) < prefixLen;
            Range shared{};
            bool sharedDone = false;
            Range all{count, 0};
            for (uint32_t bits = pending; bits != 0; bits &= bits - 1) {
                const int l = __builtin_ctz(bits);
                if (sharedDone && !startDepends && !endDepends) {
                    ranges[static_cast<std::size_t>(l)] = shared;
                    continue;
                }
                if (cell >= 0) {
                    trial[static_cast<std::size_t>(cell)] = static_cast<char>('A' + l);
                }
                Range r{};
                std::size_t first = 0;
                bool skip = false;
                if (trial[0] != '?') {
                    const int code = static_cast<unsigned char>(trial[0]) - 64;
                    const int32_t p = (code >= 0 && code <= 26) ? store.LetterStart[d][code] : 0;
                    if (p <= 0) {
                        skip = true; // no line begins with that letter
                    } else {
                        first = ix.lineAtOrAfter(static_cast<uint32_t>(p - 1));
                    }
                }
                if (!skip && first < count) {
                    const std::size_t e = ix.firstSortingAfter(
                        text, first, std::string_view(trial).substr(0, prefixLen));
                    r = Range{first, std::min(e + 1, count)};
                }
                ranges[static_cast<std::size_t>(l)] = r;
                shared = r;
                sharedDone = true;
                if (r.first < r.end) {
                    all.first = std::min(all.first, r.first);
                    all.end = std::max(all.end, r.end);
                }
            }
            if (all.first >= all.end) {
                continue;
            }
            LengthScan scan{cut,  cell, d, ranges, pending, fits, static_cast<int16_t>(L),
                            host, flags};
            if (L <= LineIndex::MaxIndexedLength) {
                const LineIndex::LengthGroup& g = ix.group(L);
                auto it = std::lower_bound(g.lines.begin(), g.lines.end(),
                                           static_cast<uint32_t>(all.first));
                const auto stop =
                    std::lower_bound(it, g.lines.end(), static_cast<uint32_t>(all.end));
                for (; it != stop && pending != 0; ++it) {
                    const std::size_t r = static_cast<std::size_t>(it - g.lines.begin());
                    if (!scan.record(*it, g.bytes.data() + r * L)) {
                        return false;
                    }
                }
            } else {
                for (std::size_t i = all.first; i < all.end && pending != 0; ++i) {
                    if (ix.length(i) != L) {
                        continue;
                    }
                    if (!scan.record(i, text.data() + ix.start(i))) {
                        return false;
                    }
                }
            }
        }
        if (L == 1) {
            break;
        }
    }
    return true;
}

int16_t sugginc(std::string_view trial, bool accorcia, const DictionaryStore& store,
                const EnabledSet& enabled, SearchHost& host, SearchFlags& flags) {
    LetterFits fits{};
    fitCellLetters(trial, -1, 1, accorcia, store, enabled, host, flags, fits);
    return fits[0];
}

bool isWrongCell(std::string_view across, std::string_view down) {
    auto empty = [](std::string_view p) {
        return p.find_first_not_of("?#") == std::string_view::npos;
    };
    return across.size() < 2 || down.size() < 2 || empty(across) || empty(down);
}

std::string crossLine(char letter, int acrossLength, int acrossFit, int downLength, int downFit) {
    std::string line(1, letter);
    if (acrossFit == acrossLength && downFit == downLength) {
        return line;
    }
    line += " (";
    if (acrossFit != acrossLength) {
        line += "Acr-" + std::to_string(acrossLength - acrossFit);
    }
    if (acrossFit != acrossLength && downFit != downLength) {
        line += " / ";
    }
    if (downFit != downLength) {
        line += "Dwn-" + std::to_string(downLength - downFit);
    }
    line += ")";
    return line;
}

void crossPromptClick(const CrossRequest& req, CrossContext& ctx) {
    SearchHost& host = ctx.host;
    host.showToolLine(req.vocali
                          ? " CROSS PROMPT (vocals only, use Alt for full search) "
                          : " CROSS PROMPT (full search, use Ctrl for vocals limited search) ");
    if (req.carr != '?') {
        host.showCount(" ");
        host.showRemark(" Wrong request! ");
        host.beep();
        return;
    }
    EditorState& editor = ctx.editor;
    editor.selectCell(req.CurrentRow, req.CurrentColumn);
    editor.rinfresca();
    editor.drawSelection();
    PatternState& ps = editor.pattern;
    ps.SlotFirstColumn = req.SlotFirstColumn;
    ps.SlotLastColumn = req.SlotLastColumn;
    ps.SlotFirstRow = req.SlotFirstRow;
    ps.SlotLastRow = req.SlotLastRow;
    ps.CurrentPattern.clear();
    host.setListHint("");
    runCrossPrompt(req.across, req.acrossCell, req.down, req.downCell, req.vocali, ctx);
}

void runCrossPrompt(std::string_view across, int acrossCell, std::string_view down, int downCell,
                    bool vocali, CrossContext& ctx) {
    SearchHost& host = ctx.host;
    SearchFlags& flags = ctx.flags;
    if (isWrongCell(across, down)) {
        host.showCount(" ");
        host.showRemark(" wrong CELL ");
        host.beep();
        return;
    }
    host.setPatternLabel("");
    host.setTestText("");
    host.clearList();
    host.setPointers(Pointers::Busy);
    host.showRemark("... wait ");
    ctx.editor.pattern.CurrentPattern = "?";
    host.setPatternLabel("?");
    host.setHeadTailButtonsEnabled(false);
    host.showCountHint("");

    // Free Cue is read once: the tests of every letter use the same rule.
    const bool accorcia = flags.Accorcia;
    const uint32_t letters = vocali ? Vowels : AllLetters;
    LetterFits acrossFits{};
    LetterFits downFits{};
    flags.BusyCounter = 2;
    host.showCountHint("Cancel");
    bool completed = fitCellLetters(across, acrossCell, letters, accorcia, ctx.store, ctx.enabled,
                                    host, flags, acrossFits);
    if (completed) {
        uint32_t acrossFound = 0;
        for (int l = 0; l < 26; ++l) {
            if (acrossFits[static_cast<std::size_t>(l)] > 0) {
                acrossFound |= 1u << l;
            }
        }
        completed = fitCellLetters(down, downCell, acrossFound, accorcia, ctx.store, ctx.enabled,
                                   host, flags, downFits);
    }

    // After an abort, a letter whose down word was found already has both
    // fits final (every longer length was scanned first), so it stays listed;
    // the letters still pending are dropped.
    int16_t found = 0;
    for (int l = 0; l < 26; ++l) {
        if ((letters & (1u << l)) == 0) {
            continue;
        }
        const char letter = static_cast<char>('A' + l);
        if (completed) {
            flags.BusyCounter = 2;
            host.showCountHint("Cancel");
            host.showCount(std::string(" cross ") + letter + " ");
            host.yield();
            if (flags.abortRequest > 0) {
                break;
            }
        }
        const int16_t af = acrossFits[static_cast<std::size_t>(l)];
        const int16_t df = downFits[static_cast<std::size_t>(l)];
        if (af <= 0 || df <= 0) {
            continue;
        }
        host.addListLine(crossLine(letter, static_cast<int>(across.size()), af,
                                   static_cast<int>(down.size()), df));
        ++found;
    }
    host.finishList();

    if (flags.abortRequest != 0) {
        host.showCount(" =" + std::to_string(found) + " ");
        host.showRemark(" abort  ");
    } else if (found > 0) {
        host.showCount(" =" + std::to_string(found) + " ");
        host.showRemark(" ");
    } else {
        host.showCount(" none ");
        host.showRemark(" ");
        host.beep();
    }
    if (found > 0) {
        host.setListHint("Click to copy to the CROSS");
    }
    flags.BusyCounter = 0;
    flags.abortRequest = 0;
    host.setPointers(Pointers::Default);
}

} // namespace korvel
