// SPDX-License-Identifier: GPL-3.0-or-later
#include "puzzletext.h"

#include "celltext.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace korvel {

namespace {

constexpr char32_t Replacement = 0xFFFD;

struct NamedEntity {
    std::string_view name;
    char32_t code;
};

// The named references files use in practice: markup's own characters, the
// Latin-1 letters and signs, and the typographic marks. Sorted by name (byte
// order) for the binary search.
constexpr std::array<NamedEntity, 135> Entities = {{
    {"AElig", 0xC6},    {"Aacute", 0xC1},   {"Acirc", 0xC2},    {"Agrave", 0xC0},
    {"Aring", 0xC5},    {"Atilde", 0xC3},   {"Auml", 0xC4},     {"Ccedil", 0xC7},
    {"Dagger", 0x2021}, {"ETH", 0xD0},      {"Eacute", 0xC9},   {"Ecirc", 0xCA},
    {"Egrave", 0xC8},   {"Euml", 0xCB},     {"Iacute", 0xCD},   {"Icirc", 0xCE},
    {"Igrave", 0xCC},   {"Iuml", 0xCF},     {"Ntilde", 0xD1},   {"OElig", 0x152},
    {"Oacute", 0xD3},   {"Ocirc", 0xD4},    {"Ograve", 0xD2},   {"Oslash", 0xD8},
    {"Otilde", 0xD5},   {"Ouml", 0xD6},     {"Prime", 0x2033},  {"Scaron", 0x160},
    {"THORN", 0xDE},    {"Uacute", 0xDA},   {"Ucirc", 0xDB},    {"Ugrave", 0xD9},
    {"Uuml", 0xDC},     {"Yacute", 0xDD},   {"Yuml", 0x178},    {"aacute", 0xE1},
    {"acirc", 0xE2},    {"acute", 0xB4},    {"aelig", 0xE6},    {"agrave", 0xE0},
    {"amp", 0x26},      {"apos", 0x27},     {"aring", 0xE5},    {"atilde", 0xE3},
    {"auml", 0xE4},     {"bdquo", 0x201E},  {"brvbar", 0xA6},   {"bull", 0x2022},
    {"ccedil", 0xE7},   {"cedil", 0xB8},    {"cent", 0xA2},     {"circ", 0x2C6},
    {"copy", 0xA9},     {"curren", 0xA4},   {"dagger", 0x2020}, {"deg", 0xB0},
    {"divide", 0xF7},   {"eacute", 0xE9},   {"ecirc", 0xEA},    {"egrave", 0xE8},
    {"emsp", 0x2003},   {"ensp", 0x2002},   {"eth", 0xF0},      {"euml", 0xEB},
    {"euro", 0x20AC},   {"fnof", 0x192},    {"frac12", 0xBD},   {"frac14", 0xBC},
    {"frac34", 0xBE},   {"gt", 0x3E},       {"hellip", 0x2026}, {"iacute", 0xED},
    {"icirc", 0xEE},    {"iexcl", 0xA1},    {"igrave", 0xEC},   {"iquest", 0xBF},
    {"iuml", 0xEF},     {"laquo", 0xAB},    {"ldquo", 0x201C},  {"lrm", 0x200E},
    {"lsaquo", 0x2039}, {"lsquo", 0x2018},  {"lt", 0x3C},       {"macr", 0xAF},
    {"mdash", 0x2014},  {"micro", 0xB5},    {"middot", 0xB7},   {"minus", 0x2212},
    {"nbsp", 0xA0},     {"ndash", 0x2013},  {"not", 0xAC},      {"ntilde", 0xF1},
    {"oacute", 0xF3},   {"ocirc", 0xF4},    {"oelig", 0x153},   {"ograve", 0xF2},
    {"ordf", 0xAA},     {"ordm", 0xBA},     {"oslash", 0xF8},   {"otilde", 0xF5},
    {"ouml", 0xF6},     {"para", 0xB6},     {"permil", 0x2030}, {"plusmn", 0xB1},
    {"pound", 0xA3},    {"prime", 0x2032},  {"quot", 0x22},     {"raquo", 0xBB},
    {"rdquo", 0x201D},  {"reg", 0xAE},      {"rlm", 0x200F},    {"rsaquo", 0x203A},
    {"rsquo", 0x2019},  {"sbquo", 0x201A},  {"scaron", 0x161},  {"sect", 0xA7},
    {"shy", 0xAD},      {"sup1", 0xB9},     {"sup2", 0xB2},     {"sup3", 0xB3},
    {"szlig", 0xDF},    {"thinsp", 0x2009}, {"thorn", 0xFE},    {"tilde", 0x2DC},
    {"times", 0xD7},    {"trade", 0x2122},  {"uacute", 0xFA},   {"ucirc", 0xFB},
    {"ugrave", 0xF9},   {"uml", 0xA8},      {"uuml", 0xFC},     {"yacute", 0xFD},
    {"yen", 0xA5},      {"yuml", 0xFF},     {"zwj", 0x200D},
}};

constexpr bool sortedByName() {
    for (std::size_t i = 1; i < Entities.size(); ++i) {
        if (!(Entities[i - 1].name < Entities[i].name)) {
            return false;
        }
    }
    return true;
}
static_assert(sortedByName());

// The Windows code page's characters at 0x80 to 0x9F; 0 where it has none.
constexpr std::array<char16_t, 32> Windows1252 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<char32_t> namedEntity(std::string_view name) {
    const auto it =
        std::lower_bound(Entities.begin(), Entities.end(), name,
                         [](const NamedEntity& e, std::string_view n) { return e.name < n; });
    if (it != Entities.end() && it->name == name) {
        return it->code;
    }
    return std::nullopt;
}

bool isAsciiLetter(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

// The longest character reference read, "&" and ";" included; the longest
// in use is well under this.
constexpr std::size_t MaxReferenceLength = 13;

// A character reference at text[at] ("&" included): its code point and
// length, or nothing. Looks no further than MaxReferenceLength bytes, so that
// a text of many "&" is read in one pass.
std::optional<std::pair<char32_t, std::size_t>> reference(std::string_view text, std::size_t at) {
    const std::size_t found = text.substr(at + 1, MaxReferenceLength - 1).find(';');
    if (found == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t semi = at + 1 + found;
    const std::string_view body = text.substr(at + 1, semi - at - 1);
    const std::size_t length = semi - at + 1;
    if (body.size() >= 2 && body[0] == '#') {
        const bool hex = body[1] == 'x' || body[1] == 'X';
        const std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty()) {
            return std::nullopt;
        }
        char32_t code = 0;
        for (char ch : digits) {
            int v = -1;
            if (ch >= '0' && ch <= '9') {
                v = ch - '0';
            } else if (hex && ch >= 'a' && ch <= 'f') {
                v = ch - 'a' + 10;
            } else if (hex && ch >= 'A' && ch <= 'F') {
                v = ch - 'A' + 10;
            }
            if (v < 0) {
                return std::nullopt;
            }
            code = code * (hex ? 16 : 10) + static_cast<char32_t>(v);
            if (code > 0x10FFFF) {
                return std::nullopt;
            }
        }
        if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) {
            code = Replacement;
        }
        return std::pair{code, length};
    }
    if (const auto code = namedEntity(body)) {
        return std::pair{*code, length};
    }
    return std::nullopt;
}

// A markup tag at text[at] ("<" included): its length, or 0 when the "<"
// starts no tag. A tag starts with a letter, "/" or "!" and ends at ">".
// nextClose is the caller's memory of the first ">" it found (npos for none
// left), kept between calls with a growing at: a text of many "<a" without
// a ">" is searched once, not once for every "<".
std::size_t tagLength(std::string_view text, std::size_t at, std::size_t& nextClose) {
    if (at + 1 >= text.size()) {
        return 0;
    }
    const char first = text[at + 1];
    if (!isAsciiLetter(first) && first != '/' && first != '!') {
        return 0;
    }
    if (nextClose != std::string_view::npos && nextClose <= at) {
        nextClose = text.find('>', at + 1);
    }
    return nextClose == std::string_view::npos ? 0 : nextClose - at + 1;
}

bool isLineBreak(std::string_view tag) {
    // "<br>", "<br/>", "<br />", "<BR>", with attributes or not.
    if (tag.size() < 4 || (tag[1] != 'b' && tag[1] != 'B') || (tag[2] != 'r' && tag[2] != 'R')) {
        return false;
    }
    const char after = tag[3];
    return after == '>' || after == '/' || after == ' ' || after == '\t' || after == '\n';
}

} // namespace

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

char32_t nextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b = byte(at);
    std::size_t len = 0;
    char32_t code = 0;
    char32_t min = 0;
    if (b < 0x80) {
        ++at;
        return b;
    } else if ((b & 0xE0) == 0xC0) {
        len = 2, code = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        len = 3, code = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        len = 4, code = b & 0x07, min = 0x10000;
    }
    bool ok = len > 0 && at + len <= text.size();
    for (std::size_t k = 1; ok && k < len; ++k) {
        ok = (byte(at + k) & 0xC0) == 0x80;
        code = (code << 6) | (byte(at + k) & 0x3F);
    }
    ok = ok && code >= min && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    at += ok ? len : 1;
    return ok ? code : Replacement;
}

std::string describeCharacter(char32_t code) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(code));
    if (code < 0x20 || (code >= 0x7F && code < 0xA0)) {
        return hex;
    }
    std::string out = "\"";
    appendUtf8(out, code);
    return out + "\" (" + hex + ")";
}

std::string htmlEscape(std::string_view utf8) {
    const std::string text = validUtf8(utf8);
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\n':
            out += "<br/>";
            break;
        default:
            out += ch;
        }
    }
    return out;
}

std::string htmlToText(std::string_view html, int& tagsDropped) {
    std::string out;
    out.reserve(html.size());
    std::size_t at = 0;
    std::size_t nextClose = 0;
    while (at < html.size()) {
        const char ch = html[at];
        if (ch == '<') {
            if (const std::size_t len = tagLength(html, at, nextClose)) {
                if (isLineBreak(html.substr(at, len))) {
                    out += '\n';
                } else {
                    ++tagsDropped;
                }
                at += len;
                continue;
            }
        } else if (ch == '&') {
            if (const auto ref = reference(html, at)) {
                appendUtf8(out, ref->first);
                at += ref->second;
                continue;
            }
        }
        out += ch;
        ++at;
    }
    return validUtf8(out);
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto u = static_cast<unsigned char>(ch);
        if (u >= 0x80 && u < 0xA0) {
            const char16_t w = Windows1252[u - 0x80];
            appendUtf8(out, w != 0 ? w : Replacement);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

Latin1Text utf8ToLatin1(std::string_view utf8) {
    Latin1Text result;
    std::string& out = result.bytes;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const char32_t code = nextCodePoint(utf8, at);
        switch (code) {
        case 0x2018: // quotation marks, single and double, and the primes
        case 0x2019:
        case 0x201A:
        case 0x201B:
        case 0x2032:
            out += '\'';
            continue;
        case 0x201C:
        case 0x201D:
        case 0x201E:
        case 0x201F:
        case 0x2033:
            out += '"';
            continue;
        case 0x2010: // hyphens, dashes and the minus sign
        case 0x2011:
        case 0x2012:
        case 0x2013:
        case 0x2014:
        case 0x2015:
        case 0x2212:
            out += '-';
            continue;
        case 0x2026:
            out += "...";
            continue;
        default:
            break;
        }
        if (code == 0 || (code >= 0x80 && code < 0xA0) || code > 0xFF) {
            result.bytes.clear();
            result.refused = code;
            return result;
        }
        out += static_cast<char>(code);
    }
    return result;
}

} // namespace korvel
