// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordfold.h"

namespace korvel {

namespace {

// Base letters of U+00C0 to U+00FF and U+0100 to U+017F, upper case; '?' for
// characters that are no Latin letter with a plain base, '*' for ligatures
// handled apart.
constexpr std::string_view Latin1Letters = "AAAAAA*CEEEEIIII"  // C0-CF
                                           "?NOOOOO?OUUUUY??"  // D0-DF
                                           "AAAAAA*CEEEEIIII"  // E0-EF
                                           "?NOOOOO?OUUUUY?Y"; // F0-FF
constexpr std::string_view ExtendedALetters = "AAAAAACCCCCCCCDDDD"
                                              "EEEEEEEEEEGGGGGGGGHHHH"
                                              "IIIIIIIIII**JJKKK"
                                              "LLLLLLLLLLNNNNNN???"
                                              "OOOOOO**RRRRRRSSSSSSSS"
                                              "TTTTTTUUUUUUUUUUUUWWYYY"
                                              "ZZZZZZS";
static_assert(Latin1Letters.size() == 64);
static_assert(ExtendedALetters.size() == 128);

bool isUpperLetter(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z') {
        return true;
    }
    if (cp >= 0xC0 && cp <= 0xDE) {
        return cp != 0xD7;
    }
    // Latin Extended-A pairs capitals with small letters: capitals on even
    // code points, except from U+0139 to U+0148 and U+0179 to U+017E, where
    // they are odd; U+0178 is the capital of U+00FF.
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) {
        return cp % 2 == 1;
    }
    if (cp == 0x178) {
        return true;
    }
    return cp >= 0x100 && cp <= 0x17F && cp != 0x138 && cp != 0x149 && cp != 0x17F && cp % 2 == 0;
}

bool isLowerLetter(char32_t cp) {
    if (cp >= 'a' && cp <= 'z') {
        return true;
    }
    if (cp >= 0xDF && cp <= 0xFF) {
        return cp != 0xF7;
    }
    return cp >= 0x100 && cp <= 0x17F && !isUpperLetter(cp);
}

} // namespace

std::vector<char32_t> decodeUtf8(std::string_view s) {
    std::vector<char32_t> cps;
    cps.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        int extra = 0;
        char32_t cp = 0;
        if (b0 < 0x80) {
            cp = b0;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            extra = 1;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            extra = 2;
            cp = b0 & 0x0F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            extra = 3;
            cp = b0 & 0x07;
        } else {
            extra = -1;
        }
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            ok = (b & 0xC0) == 0x80;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (ok && extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) {
            ok = false;
        }
        if (ok && extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) {
            ok = false;
        }
        if (!ok) {
            cps.assign(s.begin(), s.end());
            for (char32_t& c : cps) {
                c &= 0xFF;
            }
            return cps;
        }
        cps.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return cps;
}

std::optional<std::string> foldWord(std::string_view line) {
    std::string out;
    // Most entries are plain ASCII letters: no decoding needed for them.
    out.reserve(line.size());
    bool plain = !line.empty();
    for (char c : line) {
        if (c >= 'a' && c <= 'z') {
            out += static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            out += c;
        } else {
            plain = false;
            break;
        }
    }
    if (plain) {
        return out;
    }
    out.clear();
    for (char32_t cp : decodeUtf8(line)) {
        if (cp >= 'a' && cp <= 'z') {
            out += static_cast<char>(cp - 'a' + 'A');
        } else if (cp >= 'A' && cp <= 'Z') {
            out += static_cast<char>(cp);
        } else if (cp == 0xDF) {
            out += "SS";
        } else if (cp == 0xC6 || cp == 0xE6) {
            out += "AE";
        } else if (cp == 0x132 || cp == 0x133) {
            out += "IJ";
        } else if (cp == 0x152 || cp == 0x153) {
            out += "OE";
        } else if (cp >= 0xC0 && cp <= 0xFF && Latin1Letters[cp - 0xC0] != '?') {
            out += Latin1Letters[cp - 0xC0];
        } else if (cp >= 0x100 && cp <= 0x17F && ExtendedALetters[cp - 0x100] != '?') {
            out += ExtendedALetters[cp - 0x100];
        } else {
            return std::nullopt;
        }
    }
    if (out.empty()) {
        return std::nullopt;
    }
    return out;
}

LetterCase letterCase(std::string_view entry) {
    bool first = true;
    bool initialUpper = false;
    for (char32_t cp : decodeUtf8(entry)) {
        const bool upper = isUpperLetter(cp);
        if (!upper && !isLowerLetter(cp)) {
            continue;
        }
        if (first) {
            if (!upper) {
                return LetterCase::Lower;
            }
            first = false;
            initialUpper = true;
        } else if (!upper) {
            return LetterCase::Title;
        }
    }
    return initialUpper ? LetterCase::Upper : LetterCase::None;
}

} // namespace korvel
