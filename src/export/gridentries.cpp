#include "gridentries.h"

namespace korvel {

namespace {
void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}
} // namespace

std::optional<std::string> cellLetter(char ch) {
    const auto u = static_cast<unsigned char>(ch);
    if (ch == EmptyCell || ch == ' ' || u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0xA0) {
        return std::nullopt;
    }
    std::string s;
    appendUtf8(s, u);
    return s;
}

std::string validUtf8(std::string_view text) {
    std::string out;
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    while (i < text.size()) {
        const unsigned char b = at(i);
        std::size_t len = 0;
        unsigned code = 0;
        unsigned min = 0;
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            len = 2, code = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3, code = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4, code = b & 0x07, min = 0x10000;
        }
        bool ok = len > 0 && i + len <= text.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            ok = (at(i + k) & 0xC0) == 0x80;
            code = (code << 6) | (at(i + k) & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        ok = ok && code >= min && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        if (ok) {
            out.append(text.substr(i, len));
            i += len;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

} // namespace korvel
