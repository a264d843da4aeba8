// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dictlanguage.h"

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
// It holds one set per language, in the subfolders "it" and "en".
std::string installedDictionaryFolder();

// The installed set of language: installedDictionaryFolder() + "/it" or
// "/en"; empty when the data folder is unknown.
std::string installedDictionaryFolder(DictionaryLanguage language);

// The language of the sets the program falls back to: the one remembered in
// $XDG_CONFIG_HOME/korvel/language (default ~/.config/korvel/language), else
// the locale's (LC_ALL, LC_MESSAGES, LANG: Italian for "it...", otherwise
// English).
DictionaryLanguage dictionaryLanguage();

// Remembers language for the next start of the program, and of korvel-find
// and korvel-fill without --dir. The dictionaries already loaded stay. On
// failure error says why and the remembered language is unchanged.
bool setDictionaryLanguage(DictionaryLanguage language, std::string& error);

// Where to look, in order, when the current folder holds no base.diz: the
// per-user folder ($XDG_DATA_HOME/korvel/dictionaries), its subfolder for
// dictionaryLanguage(), the installed set of that language, then the
// installed set of the other one (see languageFallbacks). For
// chooseDictionaryFolder.
std::vector<std::string> dictionaryFolderFallbacks();

// The folder to load when no folder is given: the current directory, or a
// fallback when it holds no base.diz. Ends in "/" when the current directory
// is known.
std::string startupDictionaryFolder();

// The folder a start would load if language were the chosen one, whatever
// is remembered: for telling whether choosing another language changes
// what is loaded (it does not when the current or the per-user folder
// itself holds base.diz).
std::string startupDictionaryFolder(DictionaryLanguage language);

// The sets the build made, for a program run in its build tree: the Italian
// one (the English one is in its "en" subfolder). Empty when the build
// named none.
std::string buildDictionaryFolder();

// Korvel's own sets of both languages, as seen from the loaded folder: the
// build's copy, or the per-user or installed sets a start falls back to
// (see languageSets). Folders are compared as the file system resolves them.
LanguageSets ownLanguageSets(const std::string& loaded);

// What a start that found no base.diz tells the user: every folder searched
// for it, in order (the current directory, then dictionaryFolderFallbacks()),
// each with what it is and why it was passed over, and how to give the
// program dictionaries. Lines end in CR LF.
std::string dictionarySearchReport();

// The folder for the word service's scratch document, ending in "/": the
// dictionaries folder, or the per-user data folder (made when missing) when
// the dictionaries are the installed ones. problem, when given, is set to
// what stands in the way of a scratch document there, for the message shown
// when it cannot be made: the per-user folder could not be made, or neither
// XDG_DATA_HOME nor HOME names one (the installed folder is then used); ""
// when nothing is known to be wrong.
std::string scratchDocumentFolder(const std::string& dictFolder, std::string* problem = nullptr);

} // namespace korvel
