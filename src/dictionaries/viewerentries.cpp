// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewerentries.h"

#include "blanks.h"

#include <algorithm>

namespace korvel {

void entryInto(std::string_view line, bool baseDictionary, std::string& out) {
    line = trimBlanks(line);
    out.assign(line);
    if (baseDictionary && !out.empty() && isEndingCode(out.back())) {
        const std::string_view vowels = endingVowels(out.back());
        out.pop_back();
        out += '(';
        out += vowels;
        out += ')';
    }
}

std::string viewerEntry(std::string_view line, bool baseDictionary) {
    std::string entry;
    entryInto(line, baseDictionary, entry);
    return entry;
}

void EntryRows::clear() {
    std::vector<uint32_t>().swap(rowStart_);
    std::vector<uint32_t>().swap(firstLine_);
    size_ = 0;
}

void EntryRows::append(uint32_t line) {
    const bool extends = !firstLine_.empty() && line != Marker && firstLine_.back() != Marker &&
                         firstLine_.back() + (size_ - rowStart_.back()) == line;
    if (!extends) {
        rowStart_.push_back(static_cast<uint32_t>(size_));
        firstLine_.push_back(line);
    }
    ++size_;
}

uint32_t EntryRows::at(std::size_t r) const {
    const auto it = std::upper_bound(rowStart_.begin(), rowStart_.end(), static_cast<uint32_t>(r));
    const std::size_t run = static_cast<std::size_t>(it - rowStart_.begin()) - 1;
    if (firstLine_[run] == Marker) {
        return Marker;
    }
    return firstLine_[run] + static_cast<uint32_t>(r - rowStart_[run]);
}

EntryWalk::EntryWalk(const DictionaryStore& store, int dictionary)
    : text_(store.DictText[static_cast<std::size_t>(dictionary)]),
      index_(store.Lines[static_cast<std::size_t>(dictionary)]), base_(dictionary == 1),
      lineCount_(store.Lines[static_cast<std::size_t>(dictionary)].lineCount()) {}

bool EntryWalk::step(std::size_t maxLines) {
    const std::size_t end = std::min(lineCount_, next_ + maxLines);
    for (; next_ < end; ++next_) {
        const std::string_view line = trimBlanks(index_.line(text_, next_));
        // The initial is taken before a code is written out: a base line
        // that is just "#" is a remark, not the vowel set "(AI)".
        if (line.empty() || isRemarkInitial(line.front())) {
            continue;
        }
        ++count_;
        const auto i = static_cast<uint32_t>(next_);
        const auto initial = static_cast<unsigned char>(line.front());
        if (!base_ || initial < 'M') {
            first_.append(i);
            continue;
        }
        if (initial == 'M' && !mSeen_) {
            mSeen_ = true;
            first_.append(EntryRows::Marker);
            second_.append(EntryRows::Marker);
        }
        second_.append(i);
    }
    return done();
}

void EntryWalk::rowText(const EntryRows& rows, std::size_t r, std::string_view marker,
                        std::string& out) const {
    const uint32_t line = rows.at(r);
    if (line == EntryRows::Marker) {
        out.assign(marker);
        return;
    }
    entryInto(index_.line(text_, line), base_, out);
}

int viewerSearchIndex(std::size_t count,
                      const std::function<std::string_view(std::size_t, std::string&)>& item,
                      std::string_view s) {
    if (count == 0) {
        return -1;
    }
    const std::size_t len = s.size();
    std::string buf;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view it = item(i, buf);
        if (len > 3 && it.size() >= len && it.substr(0, len - 1) == s.substr(0, len - 1) &&
            it[len - 1] == '(') {
            return static_cast<int>(i);
        }
        if (it.substr(0, len) >= s) {
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(count) - 1;
}

int viewerSearchIndex(const std::vector<std::string>& items, std::string_view s) {
    return viewerSearchIndex(
        items.size(), [&](std::size_t i, std::string&) { return std::string_view(items[i]); }, s);
}

} // namespace korvel
