// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
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

// Korvel's own sets, one per language, that the language choice switches
// between, as seen from the folder that was loaded.
struct LanguageSets {
    // The language of the loaded set; none for a folder of the user's own.
    std::optional<DictionaryLanguage> loaded;
    // The folder of each language's set, Italian first; "" where it is missing.
    std::array<std::string, 2> folders;

    const std::string& folder(DictionaryLanguage language) const {
        return folders[language == DictionaryLanguage::Italian ? 0 : 1];
    }
    // The choice is offered: the loaded folder is one of the sets, and the
    // other one is there too.
    bool offered() const { return loaded && !folders[0].empty() && !folders[1].empty(); }
};

// The sets for loaded (each folder written with its "/" at the end): when
// loaded is the copy of the sets the build made (buildSet, the Italian one,
// with the English one in its "en" subfolder), those two where they hold
// base.diz; else, when loaded is the folder a start loads for one language
// (startItalian, startEnglish: the per-user or installed set of that
// language) and the two differ, those two; else none, as for the current or
// the per-user folder itself, which are the user's own.
LanguageSets languageSets(std::string_view loaded, std::string_view buildSet,
                          std::string_view startItalian, std::string_view startEnglish,
                          const std::function<bool(const std::string&)>& holdsBase);

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
