// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dictionarystore.h"
#include "enabledset.h"
#include "loader.h"
#include "printable.h"

#include <array>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace korvel {

// What the loader has to say, for a command-line tool: every message on
// standard error, and for a fatal one the file and the cause after it. The
// messages name files and quote lines, so their control bytes are escaped.
class StderrObserver : public LoadObserver {
public:
    void outOfSequence(const std::string& message) override {
        std::cerr << printableLines(message) << "\n";
    }
    void warning(const std::string& message) override {
        std::cerr << printableLines(message) << "\n";
    }
    void fatal(const std::string&, const std::string& message) override {
        std::cerr << printableLines(message) << "\n";
    }
    void fatalWithDetail(const std::string&, const std::string& message,
                         const std::string& detail) override {
        std::cerr << printableLines(message) << "\n" << printableLines(detail) << "\n";
    }
};

// A number of seconds from the command line: above 0, or 0 too when
// zeroAllowed, at most a million; false for anything else.
inline bool parseSeconds(const std::string& v, double& out, bool zeroAllowed) {
    double t = -1;
    try {
        std::size_t used = 0;
        t = std::stod(v, &used);
        if (used != v.size()) {
            t = -1;
        }
    } catch (const std::exception&) {
        t = -1;
    }
    if (!(t > 0 || (zeroAllowed && t == 0)) || t > 1e6) {
        return false;
    }
    out = t;
    return true;
}

// The items of a comma-separated option value; "" gives one empty item.
inline std::vector<std::string> splitCommas(const std::string& s) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = s.find(',', start);
        items.push_back(s.substr(start, comma - start));
        if (comma == std::string::npos) {
            return items;
        }
        start = comma + 1;
    }
}

// Which dictionaries --disable switched off, by number (2 to 6 only).
using DisabledList = std::array<bool, 7>;

// Reads the value of --disable, "N[,N]...", into disabled. False, with
// disabled as it was, for anything but numbers 2 to 6 between commas.
inline bool parseDisabledList(const std::string& list, DisabledList& disabled) {
    DisabledList out = disabled;
    for (const std::string& item : splitCommas(list)) {
        if (item.size() != 1 || item[0] < '2' || item[0] > '6') {
            return false;
        }
        out[static_cast<std::size_t>(item[0] - '0')] = true;
    }
    disabled = out;
    return true;
}

// The dictionaries as the window would have them after the user unticked
// those named by --disable.
inline EnabledSet enabledWithout(const DictionaryStore& store, const DisabledList& disabled) {
    EnabledSet enabled;
    enabled.reset(store);
    for (int n = 2; n <= EnabledSet::Count; ++n) {
        if (disabled[static_cast<std::size_t>(n)]) {
            enabled.click(n);
        }
    }
    return enabled;
}

} // namespace korvel
