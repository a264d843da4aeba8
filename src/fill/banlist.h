// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace korvel {

// A personal ban list: words the fill must never place (they stay words of
// the lists for the searches and the statistics). Plain text, one word a
// line, LF or CR LF; case does not matter. Blank lines and remark lines
// (starting with ' or #) are skipped, and so is a line with anything but
// the letters A to Z.
class BanList {
public:
    static BanList parse(std::string_view bytes);

    bool contains(std::string_view word) const { return words_.count(std::string(word)) > 0; }
    std::size_t size() const { return words_.size(); }
    // The words, in byte order.
    std::vector<std::string> words() const;

private:
    std::unordered_set<std::string> words_;
};

} // namespace korvel
