// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// The language of the default dictionaries the program falls back to when the
// folder it is started in holds no base.diz. The installed data holds one
// set per language, each in the subfolder named by its code; the user's
// choice is remembered in a small settings file, and until there is one the
// locale decides.
enum class DictionaryLanguage { Italian, English };

inline constexpr DictionaryLanguage AllDictionaryLanguages[] = {DictionaryLanguage::Italian,
                                                                DictionaryLanguage::English};

// "it" or "en": the subfolder of the set and the text of the setting.
std::string_view languageCode(DictionaryLanguage language);
// The language of a code as the setting file holds it: "it" or "en" in any
// case, with blanks and a line end around it ignored. Anything else is none.
std::optional<DictionaryLanguage> languageFromCode(std::string_view code);

// The language the locale asks for, from the values of LC_ALL, LC_MESSAGES
// and LANG (each may be null): the first of them that is set and not empty
// decides, as the C library chooses the messages' language. A value starting
// with "it" gives Italian; any other value, or none, gives English.
DictionaryLanguage localeLanguage(const char* lcAll, const char* lcMessages, const char* lang);

// The per-user settings folder: $XDG_CONFIG_HOME/korvel, where an unset,
// empty or relative XDG_CONFIG_HOME means $HOME/.config. Empty when neither
// gives an absolute folder. Either argument may be null (unset).
std::string userConfigFolder(const char* xdgConfigHome, const char* home);

// The file that remembers the language: configFolder + "/language". Empty
// when configFolder is.
std::string languageSettingFile(const std::string& configFolder);

// The language the file remembers: it holds the code alone. A missing, empty,
// unreadable or unknown file, or one that is no regular file, remembers none
// (the locale then decides). The read is bounded.
std::optional<DictionaryLanguage> readLanguageSetting(const std::string& file);

// Remembers language in file: the folder is made when missing, and the file
// is replaced whole through the checked writer, so two copies of the program
// setting it at once leave one whole value and a failure leaves the old file
// as it was. On failure error says why.
bool writeLanguageSetting(const std::string& file, DictionaryLanguage language, std::string& error);

// The language of a new puzzle made with the set loaded from folder: the
// language its folder is named for (the sets of each language lie in
// folders named "it" and "en", trailing "/" aside), and Italian where the
// name does not tell, as for the set a build makes in its own dictionaries
// folder.
DictionaryLanguage puzzleLanguageOfSet(std::string_view folder);

// The language to load: the remembered one, else the locale's.
DictionaryLanguage chooseLanguage(std::optional<DictionaryLanguage> remembered,
                                  DictionaryLanguage fromLocale);

// The folders to try, in order, when the current folder holds no base.diz:
// the per-user folder itself (your own lists, whatever the language), its
// subfolder for language, the installed set of language, and last the
// installed set of the other language, so that a build without one of the
// sets still starts. Empty folders stay out. For chooseDictionaryFolder.
std::vector<std::string> languageFallbacks(const std::string& userFolder,
                                           const std::string& installedFolder,
                                           DictionaryLanguage language);

} // namespace korvel
