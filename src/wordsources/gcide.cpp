// SPDX-License-Identifier: GPL-3.0-or-later
#include "gcide.h"

namespace korvel {

std::vector<std::string> gcideHeadwords(std::string_view index) {
    std::vector<std::string> out;
    while (!index.empty()) {
        const std::size_t end = index.find('\n');
        const std::string_view line = index.substr(0, end);
        index = end == std::string_view::npos ? std::string_view{} : index.substr(end + 1);
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos || tab == 0) {
            continue;
        }
        const std::string_view head = line.substr(0, tab);
        if (!head.starts_with("00-")) {
            out.emplace_back(head);
        }
    }
    return out;
}

} // namespace korvel
