// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultorder.h"

#include <algorithm>

namespace korvel {

namespace {
unsigned rank(char c) {
    auto u = static_cast<unsigned char>(c);
    if (u == ' ') {
        return 0;
    }
    if (u >= 'a' && u <= 'z') {
        u = static_cast<unsigned char>(u - 'a' + 'A');
    }
    return u + 1u;
}
} // namespace

int compareListLines(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned ra = rank(a[i]);
        const unsigned rb = rank(b[i]);
        if (ra != rb) {
            return ra < rb ? -1 : 1;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

void sortListLines(std::vector<std::string>& lines) {
    std::stable_sort(lines.begin(), lines.end(), [](const std::string& x, const std::string& y) {
        return compareListLines(x, y) < 0;
    });
}

} // namespace korvel
