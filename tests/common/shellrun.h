// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace korvel::testing {

// What a program run through the shell left: its exit status (-1 when it did
// not exit normally) and its two streams.
struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// s as one word for the shell, whatever bytes it holds.
inline std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

} // namespace korvel::testing
