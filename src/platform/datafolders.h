#pragma once

#include <string>
#include <vector>

namespace korvel {

// Where an installed Korvel keeps its data. The programs and libkorvdll.so
// lie together in one programs folder (so the library is still found only
// beside the program); the data folder (dictionaries/, help/) is found from
// there through a relative path fixed when the build is configured, so that an
// install under any prefix works without rebuilding. In a build tree the
// data folder does not exist and nothing here is used.

// The installed data folder, from the folder of the running program; empty
// when that folder is unknown.
std::string installedDataFolder();

// The installed dictionaries folder: installedDataFolder() + "/dictionaries".
std::string installedDictionaryFolder();

// Where to look, in order, when the current folder holds no base.diz: the
// per-user folder ($XDG_DATA_HOME/korvel/dictionaries), then the installed
// one. For chooseDictionaryFolder.
std::vector<std::string> dictionaryFolderFallbacks();

// The folder to load when no folder is given: the current directory, or a
// fallback when it holds no base.diz. Ends in "/" when the current directory
// is known.
std::string startupDictionaryFolder();

// The folder for the word service's scratch document, ending in "/": the
// dictionaries folder, or the per-user data folder (made when missing) when
// the dictionaries are the installed ones. problem, when given, is set to
// what stands in the way of a scratch document there, for the message shown
// when it cannot be made: the per-user folder could not be made, or neither
// XDG_DATA_HOME nor HOME names one (the installed folder is then used); ""
// when nothing is known to be wrong.
std::string scratchDocumentFolder(const std::string& dictFolder, std::string* problem = nullptr);

} // namespace korvel
