// SPDX-License-Identifier: GPL-3.0-or-later
#include "patternsearch.h"

#include "refinements.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace korvel {

namespace {

constexpr unsigned char AtSign = '@';

// A pattern character fits a line character when it is a wildcard, when the
// line has an EndingCode (or anything else up to "@") there, or when both are
// the same character.
inline bool fits(char pc, char lc) {
    return pc == '?' || pc == '*' || static_cast<unsigned char>(lc) <= AtSign || pc == lc;
}

// 1-based position of the first "?", or of the first "*" when there is no "?";
// 0 when there is neither.
std::size_t firstWildcard(std::string_view pattern) {
    std::size_t w = pattern.find('?');
    if (w == std::string_view::npos) {
        w = pattern.find('*');
    }
    return w == std::string_view::npos ? 0 : w + 1;
}

// The line a dictionary's scan starts at: the first line of the pattern's
// initial, or the top when the initial is a wildcard, has no line, or lies
// outside "@" to "Z" (it has no index entry then).
std::size_t firstLine(const DictionaryStore& store, int d, std::string_view pattern) {
    int64_t p = 1;
    const char c0 = pattern.front();
    if (c0 != '?' && c0 != '*') {
        const int code = static_cast<unsigned char>(c0) - 64;
        p = (code >= 0 && code <= 26) ? store.LetterStart[d][code] : 1;
    }
    if (p <= 0) {
        p = 1;
    }
    return store.Lines[d].lineAtOrAfter(static_cast<uint32_t>(p - 1));
}

// One search over one dictionary. Hits are collected with their line numbers
// so that hits found in different length groups can be put back into the
// order a line-by-line walk would have met them.
struct Hit {
    uint32_t line;
    std::string text;
};

struct Scan {
    SearchContext& ctx;
    std::string_view pattern;
    std::size_t slotLength;
    std::size_t freedHeadLength;
    bool freeStart;  // pattern begins with "*": compared from the right
    bool freeLength; // pattern begins or ends with "*"
    char required;   // the pattern's last character

    // Returns false when the abort request stopped the scan.
    bool yieldAndCheck() { return !(ctx.host.lineTick() && ctx.flags.abortRequest > 0); }

    bool matches(const char* rec, std::size_t len) const {
        const std::size_t P = pattern.size();
        if (freeStart) {
            for (std::size_t i = 0; i < P; ++i) {
                if (!fits(pattern[P - 1 - i], rec[len - 1 - i])) {
                    return false;
                }
            }
        } else {
            for (std::size_t i = 0; i < P; ++i) {
                if (!fits(pattern[i], rec[i])) {
                    return false;
                }
            }
        }
        return true;
    }

    // The line as the list shows it, or false when the stem has no fitting
    // ending.
    bool render(std::string_view line, int d, std::string& out) const {
        if (freeStart) {
            // Align the word's end with the slot's end. The refinements keep
            // this count from going negative; a count that would is taken as 0.
            const long long blanks = static_cast<long long>(freedHeadLength) -
                                     static_cast<long long>(line.size()) +
                                     static_cast<long long>(pattern.size()) - 1;
            std::string padded(static_cast<std::size_t>(std::max(0LL, blanks)), ' ');
            padded.append(line);
            return formatMatch(padded, d, required, out);
        }
        return formatMatch(line, d, required, out);
    }

    // Scans the lines of one length in [from, to). Stops after `limit` hits of
    // this length: the first `limit` hits in line order are among them.
    // Returns false on abort.
    bool scanGroup(int d, std::size_t len, std::size_t from, std::size_t to, std::size_t limit,
                   std::vector<Hit>& hits) {
        const LineIndex::LengthGroup& g = ctx.store.Lines[d].group(len);
        const auto first =
            std::lower_bound(g.lines.begin(), g.lines.end(), static_cast<uint32_t>(from));
        const auto last = std::lower_bound(first, g.lines.end(), static_cast<uint32_t>(to));
        std::string out;
        const std::size_t before = hits.size();
        for (auto it = first; it != last; ++it) {
            if (!yieldAndCheck()) {
                return false;
            }
            const std::size_t r = static_cast<std::size_t>(it - g.lines.begin());
            const char* rec = g.bytes.data() + r * len;
            if (isRemarkInitial(rec[0]) || !matches(rec, len)) {
                continue;
            }
            if (render(std::string_view(rec, len), d, out)) {
                hits.push_back({*it, out});
                if (hits.size() - before >= limit) {
                    return true;
                }
            }
        }
        return true;
    }

    // The literal walk, for patterns or slots longer than the length groups
    // cover. Same rules, one line at a time.
    bool scanLines(int d, std::size_t from, std::size_t to, std::size_t limit,
                   std::vector<Hit>& hits) {
        const LineIndex& ix = ctx.store.Lines[d];
        const std::string_view text = ctx.store.DictText[d];
        std::string out;
        for (std::size_t i = from; i < to; ++i) {
            if (!yieldAndCheck()) {
                return false;
            }
            const std::string_view line = ix.line(text, i);
            const std::size_t L = line.size();
            if (L == 0 || isRemarkInitial(line[0]) || L < pattern.size() || L > slotLength ||
                (L != pattern.size() && !freeLength)) {
                continue;
            }
            if (matches(line.data(), L) && render(line, d, out)) {
                hits.push_back({static_cast<uint32_t>(i), out});
                if (hits.size() >= limit) {
                    return true;
                }
            }
        }
        return true;
    }

    // Writes the hits of the groups to the list merged by line number, at
    // most limit of them. Returns false when the abort request stopped it;
    // the lines listed until then stay. After a scan that was aborted, the
    // hits it found are all listed (still yielding): they were found before
    // the request.
    bool listInLineOrder(std::vector<std::vector<Hit>>& groups, std::size_t limit,
                         bool honourAbort) {
        std::vector<std::size_t> next(groups.size(), 0);
        for (std::size_t listed = 0; listed < limit; ++listed) {
            std::size_t best = groups.size();
            for (std::size_t g = 0; g < groups.size(); ++g) {
                if (next[g] < groups[g].size() &&
                    (best == groups.size() ||
                     groups[g][next[g]].line < groups[best][next[best]].line)) {
                    best = g;
                }
            }
            if (best == groups.size()) {
                break;
            }
            if (!yieldAndCheck() && honourAbort) {
                return false;
            }
            ctx.host.addListLine(std::move(groups[best][next[best]++].text));
        }
        return true;
    }
};

} // namespace

bool isWrongRequest(std::string_view pattern) {
    const bool hasWildcard = pattern.find_first_of("?*") != std::string_view::npos;
    const bool onlyQuery = pattern.find_first_not_of('?') == std::string_view::npos;
    return !hasWildcard || onlyQuery || pattern.size() < 2;
}

bool formatMatch(std::string_view line, int dictionary, char requiredLetter, std::string& out) {
    out.clear();
    if (dictionary > 1) {
        out.append(line);
        out.append(" -");
        out.append(std::to_string(dictionary));
        return true;
    }
    if (line.empty()) {
        return false;
    }
    const char last = line.back();
    const std::string_view vowels = endingVowels(last);
    std::string ending = vowels.empty() ? std::string(1, last) : "(" + std::string(vowels) + ")";
    if (requiredLetter != '*' && requiredLetter != '?') {
        if (ending.find(requiredLetter) == std::string::npos) {
            return false;
        }
        ending.assign(1, requiredLetter);
    }
    out.append(line.substr(0, line.size() - 1));
    out.append(ending);
    out.append(" -1");
    return true;
}

void searchPattern(SearchContext& ctx) {
    SearchHost& host = ctx.host;
    SearchFlags& flags = ctx.flags;
    PatternState& ps = ctx.editor.pattern;

    host.showCount(" searching ... ");
    host.showRemark(" ");
    host.showPosition(" ");
    host.showCountHint("");
    host.clearList();

    if (isWrongRequest(ps.CurrentPattern)) {
        host.showCount(" ");
        host.showRemark(" Wrong request! ");
        host.beep();
        host.clearList();
        host.setListHint("");
        return;
    }

    host.setPointers(Pointers::Busy);
    host.showRemark(" ... wait ");

    // The scan works on a copy: the pattern state may be changed by a handler
    // run from a yield, but this search goes on with what it was asked.
    const std::string pattern = ps.CurrentPattern;
    const std::size_t w = firstWildcard(pattern);
    Scan scan{ctx,
              pattern,
              ps.SlotPattern.size(),
              ps.freedHead.size(),
              pattern.front() == '*',
              pattern.front() == '*' || pattern.back() == '*',
              pattern.back()};

    bool stop = false;
    for (int d = 1; d <= SearchedDictionaries && !stop; ++d) {
        if (!ctx.enabled.isChecked(d)) {
            continue;
        }
        flags.BusyCounter = 2;
        const LineIndex& ix = ctx.store.Lines[d];
        const std::string_view text = ctx.store.DictText[d];
        if (ix.lineCount() == 0) {
            continue;
        }
        const std::size_t from = firstLine(ctx.store, d, pattern);
        const std::size_t to =
            scan.freeStart
                ? ix.lineCount()
                : ix.firstSortingAfter(text, from, std::string_view(pattern).substr(0, w - 1));

        const std::size_t listed = host.listCount();
        const std::size_t limit =
            flags.Estesa ? SIZE_MAX : (listed >= ResultCap ? 0 : ResultCap - listed);

        const std::size_t minLen = pattern.size();
        const std::size_t maxLen = scan.freeLength ? scan.slotLength : pattern.size();
        // Hits by length group, each in line order; one group for the
        // literal walk.
        std::vector<std::vector<Hit>> groups;
        bool completed = true;
        if (limit > 0 && minLen <= maxLen) {
            if (maxLen > LineIndex::MaxIndexedLength) {
                groups.emplace_back();
                completed = scan.scanLines(d, from, to, limit, groups.back());
            } else {
                for (std::size_t len = minLen; len <= maxLen && completed; ++len) {
                    groups.emplace_back();
                    completed = scan.scanGroup(d, len, from, to, limit, groups.back());
                }
            }
        }
        // The hits go to the list in the order a line-by-line walk meets
        // them, the first `limit` of them. Listing a million lines takes a
        // while too: it yields and honours the abort as the scan does. After
        // an abort the user sees at once that it was heard, while the lines
        // found until then are still being listed.
        if (!completed) {
            host.showRemark(" Abort! ");
        }
        if (!scan.listInLineOrder(groups, limit, completed)) {
            completed = false;
        }
        if (!completed || (!flags.Estesa && host.listCount() >= ResultCap)) {
            stop = true;
        }
    }

    const std::size_t count = host.listCount();
    flags.resultCount = static_cast<int32_t>(std::min<std::size_t>(count, INT32_MAX));
    if (count > 0) {
        host.showCount(" =" + std::to_string(count) + " ");
        host.showRemark(" ");
        host.showPosition(" ");
    } else {
        host.showCount(" none ");
        host.showRemark(" ");
        host.beep();
    }
    if (flags.abortRequest > 0) {
        host.showRemark(" Abort! ");
        host.showPosition(" ");
    }
    // Lines that came out of order take their places (this may yield); the
    // count and the texts above do not depend on it and show meanwhile.
    host.finishList();
    host.setPointers(Pointers::ToolGrid);
    flags.BusyCounter = 0;

    if (flags.abortRequest == 0 && count == 0 && flags.Accorcia && !ps.CurrentPattern.empty() &&
        ps.CurrentPattern.back() == '?') {
        flags.savedSlotPattern = ps.testom;
        ps.CurrentPattern = ps.testom;
        flags.retryFlag = 1;
        freeCueRun(ctx);
        return;
    }
    if (flags.retryFlag == 1) {
        ps.SlotPattern = flags.savedSlotPattern;
        flags.retryFlag = 0;
    }
    flags.abortRequest = 0;
}

} // namespace korvel
