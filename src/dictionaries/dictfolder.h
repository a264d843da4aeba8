// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// Which folder the dictionaries are loaded from when the program is started
// somewhere that holds no base.diz: an installed program is rarely started in
// its dictionaries folder (a desktop launcher starts it in the home folder).

// A folder name as file names are joined to it: ending in one "/" added
// when missing. An empty name (no folder known) stays empty.
std::string withSeparator(std::string folder);

// The folder the dictionaries are loaded from: "" and "False" (the unset
// values of the setting) stand for current; the result ends in "/".
std::string folderToLoad(std::string_view folder, const std::string& current);

// The per-user data folder: $XDG_DATA_HOME/korvel, where an unset, empty or
// relative XDG_DATA_HOME (relative values are invalid for the base-directory
// rules) means $HOME/.local/share. Empty when neither variable gives an
// absolute folder. Either argument may be null (unset).
std::string userDataFolder(const char* xdgDataHome, const char* home);

// The per-user dictionaries folder: userDataFolder + "/dictionaries"; empty
// when that is empty.
std::string userDictionaryFolder(const char* xdgDataHome, const char* home);

// Whether folder holds base.diz as the loader finds it: a regular file, or a
// link to one, under that exact name.
bool holdsBaseDictionary(const std::string& folder);

// The folder to load: current when it holds base.diz, else the first of
// fallbacks that does (empty entries are skipped), else current, whose
// missing base.diz the loader then reports as usual. So a folder that holds
// base.diz is always loaded as it stands, and the fallbacks only replace a
// start that would have failed.
std::string chooseDictionaryFolder(
    const std::string& current, const std::vector<std::string>& fallbacks,
    const std::function<bool(const std::string&)>& holdsBase = holdsBaseDictionary);

// The folder for the word service's scratch document: the dictionaries
// folder, except when that is the installed one, which belongs to the system
// and not to the user; then userFolder (the per-user data folder), if known.
// Trailing slashes do not matter in the comparison; the result is returned
// as given.
std::string scratchFolder(const std::string& dictFolder, const std::string& installedFolder,
                          const std::string& userFolder);

} // namespace korvel
