// SPDX-License-Identifier: GPL-3.0-or-later
#include "cluelist.h"

#include "celltext.h"
#include "clueset.h"

#include <algorithm>

namespace korvel {

namespace {

std::string plainText(const std::string& text) {
    std::string out = validUtf8(text);
    std::replace_if(
        out.begin(), out.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x20; }, ' ');
    return out;
}

} // namespace

std::vector<ClueListEntry> clueList(const Puzzle& puzzle, const Slots& wordSlots) {
    std::vector<ClueListEntry> list;
    list.reserve(wordSlots.size());
    // A word is labelled by the mark of its first cell: its number, or the
    // file's own mark while the file's shape holds.
    const std::vector<std::string> marks = cellMarks(puzzle, wordSlots);
    for (const Slot& s : wordSlots.all()) {
        const std::string& mark =
            marks[static_cast<std::size_t>(s.row) * wordSlots.columns() + s.column];
        ClueListEntry e{s, mark.empty() ? std::to_string(s.number) : plainText(mark), {}, {}};
        const ClueKey key{s.row, s.column, s.direction};
        const auto clue =
            std::find_if(puzzle.clues.begin(), puzzle.clues.end(),
                         [&](const Clue& c) { return c.key == key && c.length == s.length; });
        if (clue != puzzle.clues.end()) {
            if (!clue->label.empty())
                e.label = plainText(clue->label);
            e.text = plainText(clue->text);
            if (!clue->enumeration.empty())
                e.text += (e.text.empty() ? "(" : " (") + plainText(clue->enumeration) + ")";
        }
        for (int i = 0; i < s.length; ++i)
            e.answer += cellLetter(puzzle.grid.cell(s.rowAt(i), s.columnAt(i))).value_or("?");
        list.push_back(std::move(e));
    }
    return list;
}

} // namespace korvel
