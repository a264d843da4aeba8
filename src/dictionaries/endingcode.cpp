// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionarystore.h"

namespace korvel {

std::string_view endingVowels(char code) {
    switch (code) {
    case '!':
        return "AE";
    case '#':
        return "AI";
    case '$':
        return "EI";
    case '%':
        return "AEI";
    case '&':
        return "AO";
    case '(':
        return "EO";
    case ')':
        return "AEO";
    case '=':
        return "IO";
    case '+':
        return "AIO";
    case '-':
        return "EIO";
    case '@':
        return "AEIO";
    default:
        return {};
    }
}

bool isEndingCode(char c) {
    return !endingVowels(c).empty();
}

} // namespace korvel
