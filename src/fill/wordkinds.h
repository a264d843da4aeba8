// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvel {

// What a word is known as when it is known only as that: an abbreviation
// (NMR, ETC) or a name (PARIS, CARLIN). The statistics give it as the reason
// an entry is weak; the fill and the searches never read it.
enum class WordKind : uint8_t { Abbreviation = 1, Name = 2 };

// The list that comes with the default sets, beside base.scores.
inline constexpr std::string_view BaseKindListName = "base.kinds";
// Largest kind list read; a larger one is skipped with a warning.
inline constexpr uint64_t MaxKindListBytes = 64ull * 1024 * 1024;

// What reading a kind list found; every line falls in one of the counts from
// `kinds` to `badWord`.
struct KindListReport {
    std::string name;
    uint64_t kinds = 0;          // lines that gave a word its kind
    uint64_t skipped = 0;        // blank lines and comment lines (starting with #)
    uint64_t noKind = 0;         // no ";" or nothing after it
    uint64_t badKind = 0;        // a kind other than "abbreviation" or "name"
    uint64_t badWord = 0;        // the word folds to nothing, or to more than A to Z
    uint64_t firstFaultLine = 0; // 1-based line of the first noKind/badKind/badWord
    std::string error;           // why the file was not read; empty when it was

    uint64_t faults() const { return noKind + badKind + badWord; }
};

// Words and their kinds, from `WORD;KIND` lines read as score lists are read
// (LF or CR LF, a UTF-8 byte order mark ignored, blanks around the fields
// ignored, blank and '#' lines skipped, the word folded as `korvel-mkdiz
// --fold` folds it); KIND is exactly "abbreviation" or "name". A word given
// twice keeps the kind of its last line.
class WordKinds {
public:
    KindListReport addList(std::string_view text, std::string name = {});
    // The kind of word (A to Z), or nothing when the list does not name it.
    std::optional<WordKind> kindOf(std::string_view word) const;
    std::size_t size() const { return kinds_.size(); }
    bool empty() const { return kinds_.empty(); }

private:
    std::unordered_map<std::string, WordKind> kinds_;
};

// The kinds of a dictionaries folder: its BaseKindListName, read whole when it
// is a regular file (or a link to one) of at most MaxKindListBytes. A folder
// without one has none. warnings, when given, gets one line when the list
// could not be read or had lines left out.
WordKinds loadWordKinds(const std::string& folder, std::vector<std::string>* warnings = nullptr);

// The warning for one list's report, or "" when it has nothing to say.
std::string kindListWarning(const KindListReport& report);

} // namespace korvel
