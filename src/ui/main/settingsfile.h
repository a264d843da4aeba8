// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace korvel {

// The window's settings (the recent files, the window's place, the last
// folder, the fill's choices) are kept by QSettings in
// $XDG_CONFIG_HOME/korvel/Korvel.conf. QSettings opens that file with a
// blocking open and reads it whole, so a FIFO there would hang the window
// and a huge file fill its memory. A settings file is a few kilobytes; this
// is far beyond any.
inline constexpr int64_t MaxSettingsBytes = 1 << 20;

// Looks at this user's settings files (the program's and its organisation's,
// as QSettings will read them, in the folder QSettings::setPath chose) before
// any settings object is made, without opening them. When one of them is not
// a regular file (a FIFO, a device, a folder) or is larger than
// MaxSettingsBytes, every settings object of this run reads and writes an
// empty private folder instead: the program starts with its default
// settings, keeps what is changed until it ends, and leaves that file as it
// is. Returns what to tell the user then, nothing otherwise.
std::optional<QString> boundSettingsFile();

} // namespace korvel
