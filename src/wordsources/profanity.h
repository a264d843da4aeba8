// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// One entry of a cuss list: the word folded to A to Z with its blanks and
// hyphens dropped (phrases are written without blanks), and how sure the
// list is that the word is profane rather than clean text: 0 (mostly
// clean), 1 (either) or 2 (almost always profane).
struct ProfaneWord {
    std::string word;
    int sureness = 0;
};

// Reads a cuss list as the cuss package ships it: a JavaScript module whose
// object literal has one "word: N," or "'two words': N," line per entry.
// Other lines (comments, the export line) are passed over; an entry that
// folds to nothing is left out. A word listed twice keeps its highest
// sureness. In byte order of the words.
std::vector<ProfaneWord> readCussList(std::string_view js);

// What the project decided, against the cuss list, about one word.
enum class BanDecision {
    Keep, // an ordinary word or a crossword staple: not banned, scored as any word
    Ban,  // banned, whether the cuss list has it or not
    Low,  // not banned, but scored as a word to avoid (unpleasant, clinical)
};

struct BanDecisions {
    std::map<std::string, BanDecision> words;
    std::vector<std::string> errors; // "line 12: ..." for lines that do not parse
};

// Reads a decisions file: "WORD DECISION" lines, DECISION being keep, ban or
// low, anything after a "#" a remark; blank lines skipped. WORD is folded as
// the lists fold words.
BanDecisions readBanDecisions(std::string_view text);

} // namespace korvel
