// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace korvel {

// Dictionaries, crossword files and the core's texts are 8-bit text with one
// character per byte. They meet the widgets through Latin-1, which maps every
// byte to one character and back, whatever the locale: a locale conversion
// (UTF-8 above all) would turn a byte from 0x80 up into several characters,
// or several bytes, and a placed word would spill past its slot.
inline QString fromBytes(std::string_view s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// Characters beyond Latin-1 (typed into the TEST field) become "?".
inline std::string toBytes(const QString& s) {
    return s.toLatin1().toStdString();
}

} // namespace korvel
