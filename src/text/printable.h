// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Text for a terminal: what the command-line tools print may come from a
// hostile file (a grid's cells, a file name, a dictionary's lines), and a
// control byte in it would reach the terminal as a command (ESC starts an
// escape sequence, BEL rings). These helpers show each control as \xHH and
// leave every other byte as it is.

#include <string>
#include <string_view>

namespace korvel {

namespace printable_detail {

inline void appendEscaped(std::string& out, unsigned char b) {
    static constexpr char Hex[] = "0123456789abcdef";
    out += "\\x";
    out += Hex[b >> 4];
    out += Hex[b & 0x0F];
}

inline bool isC0OrDelete(unsigned char b) {
    return b < 0x20 || b == 0x7F;
}

} // namespace printable_detail

// For names and messages, which are UTF-8 when they are text at all: the C0
// controls, DEL, and the C1 controls written in UTF-8 (U+0080 to U+009F,
// bytes C2 80 to C2 9F) are escaped. Other bytes, valid UTF-8 or not, pass.
inline std::string printable(std::string_view bytes) {
    using namespace printable_detail;
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (isC0OrDelete(b)) {
            appendEscaped(out, b);
        } else if (b == 0xC2 && i + 1 < bytes.size() &&
                   static_cast<unsigned char>(bytes[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(bytes[i + 1]) <= 0x9F) {
            appendEscaped(out, b);
            appendEscaped(out, static_cast<unsigned char>(bytes[++i]));
        } else {
            out += bytes[i];
        }
    }
    return out;
}

// printable for a message whose own line breaks are CR LF pairs (as the
// loader's are, for message boxes): the pairs stay, every other control is
// escaped.
inline std::string printableLines(std::string_view message) {
    std::string out;
    for (;;) {
        const std::size_t end = message.find("\r\n");
        out += printable(message.substr(0, end));
        if (end == std::string_view::npos) {
            return out;
        }
        out += "\r\n";
        message.remove_prefix(end + 2);
    }
}

// For the 8-bit text of grids and dictionaries (ISO 8859-1), where bytes 0x80
// to 0x9F are the C1 controls: those are escaped too, with the C0 controls
// and DEL. Letters (0xA0 to 0xFF included) pass.
inline std::string printableLatin1(std::string_view bytes) {
    using namespace printable_detail;
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (isC0OrDelete(b) || (b >= 0x80 && b <= 0x9F)) {
            appendEscaped(out, b);
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace korvel
