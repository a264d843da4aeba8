// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvel {

// The texts of a puzzle (clues, title, notes ...) are plain UTF-8 inside the
// program; these are the conversions the file formats need at their edges.

// Appends the UTF-8 form of a code point (at most U+10FFFF).
void appendUtf8(std::string& out, char32_t code);

// The code point that starts at text[at], moving at past it. A byte that
// does not start valid UTF-8 gives U+FFFD and moves on by one byte.
char32_t nextCodePoint(std::string_view text, std::size_t& at);

// How a message shows one character: "€" (U+20AC); a control character by
// its code alone.
std::string describeCharacter(char32_t code);

// Plain text as the HTML that .ipuz text fields hold: "&", "<" and ">" as
// entities, a line break as "<br/>". What is not UTF-8 is replaced first.
std::string htmlEscape(std::string_view utf8);

// The plain text of an .ipuz text field: "<br>" (any spelling) becomes a line
// break, every other markup tag is dropped and counted in tagsDropped, and
// character references (&amp;, &eacute;, &#233;, &#xE9;) are decoded; an
// "&" or "<" that starts none of these stays as it is.
std::string htmlToText(std::string_view html, int& tagsDropped);

// Bytes of a .puz file before version 2.0 as UTF-8: ISO-8859-1, except that
// 0x80 to 0x9F (controls there) are read as the Windows code page's quotes,
// dashes and other marks, which is what the files that hold them mean.
std::string latin1ToUtf8(std::string_view bytes);

// UTF-8 text as ISO-8859-1 bytes for a .puz file. Typographic quotes become
// "'" and "\"", dashes and the minus "-", the ellipsis "..."; U+0000, the
// controls U+0080 to U+009F and every character above U+00FF cannot be
// written: then bytes is empty and refused holds the first such character.
struct Latin1Text {
    std::string bytes;
    std::optional<char32_t> refused;
};
Latin1Text utf8ToLatin1(std::string_view utf8);

} // namespace korvel
