// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dictionarystore.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// An entry of the dictionary viewer: the line trimmed of blanks and, for the
// base dictionary, a final EndingCode written out as its vowel set ("CAS!"
// shows as "CAS(AE)"). entryInto writes it into out, reusing its memory.
std::string viewerEntry(std::string_view line, bool baseDictionary);
void entryInto(std::string_view line, bool baseDictionary, std::string& out);

// The rows of one of the viewer's entry lists: line numbers of a dictionary
// text, or Marker for the line that leads to the other half. Consecutive
// line numbers are kept as one run, so a sorted dictionary costs a few runs
// instead of a number per entry; at worst a run per entry, 8 bytes each.
class EntryRows {
public:
    static constexpr uint32_t Marker = UINT32_MAX;

    void clear();
    void append(uint32_t line);
    std::size_t size() const { return size_; }
    // Line number of row r (r < size()), or Marker.
    uint32_t at(std::size_t r) const;
    std::size_t runCount() const { return rowStart_.size(); }

private:
    std::vector<uint32_t> rowStart_;  // first row of each run
    std::vector<uint32_t> firstLine_; // its line number (Marker: one row)
    std::size_t size_ = 0;
};

// The viewer's walk over one loaded dictionary, a step at a time: every line
// the searches read (a short last line too), trimmed; remark and empty lines
// are skipped; the entries of the base dictionary go to the first list while
// their initial sorts before "M" and to the second from there, the first "M"
// entry bringing a marker row into each list; other dictionaries fill the
// first list only. The text is read from the store, never copied.
class EntryWalk {
public:
    EntryWalk(const DictionaryStore& store, int dictionary);

    // Walks at most maxLines more lines. Returns true when every line is done.
    bool step(std::size_t maxLines);
    bool done() const { return next_ >= lineCount_; }

    // Entries listed (markers not counted).
    std::size_t count() const { return count_; }
    const EntryRows& first() const { return first_; }
    const EntryRows& second() const { return second_; }
    bool isBase() const { return base_; }

    // The text of a row of first() or second(): the entry, or the marker
    // text given for a marker row.
    void rowText(const EntryRows& rows, std::size_t r, std::string_view marker,
                 std::string& out) const;

private:
    std::string_view text_;
    const LineIndex& index_;
    bool base_;
    std::size_t lineCount_;
    std::size_t next_ = 0;
    std::size_t count_ = 0;
    bool mSeen_ = false;
    EntryRows first_;
    EntryRows second_;
};

// The row the viewer's search field stops at among count rows, item(r, buf)
// giving row r's text (it may build it in buf): the first that, for a text s
// longer than 3 characters, is the stem line of s less its last letter
// (its character at position len(s) is "("), or whose first len(s)
// characters sort at or after s; the last row when none does; -1 for no rows.
// s is compared byte by byte.
int viewerSearchIndex(std::size_t count,
                      const std::function<std::string_view(std::size_t, std::string&)>& item,
                      std::string_view s);
int viewerSearchIndex(const std::vector<std::string>& items, std::string_view s);

} // namespace korvel
