#include "datafolders.h"

#include "companionlibrary.h"
#include "dictfolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef KORVEL_DATA_FROM_PROGRAMS
#define KORVEL_DATA_FROM_PROGRAMS "../../share/korvel"
#endif

namespace korvel {

std::string installedDataFolder() {
    const std::string programs = CompanionLibrary::executableFolder();
    if (programs.empty()) {
        return {};
    }
    return std::filesystem::path(programs + "/" + KORVEL_DATA_FROM_PROGRAMS)
        .lexically_normal()
        .string();
}

std::string installedDictionaryFolder() {
    const std::string data = installedDataFolder();
    return data.empty() ? std::string() : data + "/dictionaries";
}

std::string installedDictionaryFolder(DictionaryLanguage language) {
    const std::string folder = installedDictionaryFolder();
    return folder.empty() ? folder : folder + "/" + std::string(languageCode(language));
}

namespace {

std::string languageFile() {
    return languageSettingFile(
        userConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
}

} // namespace

DictionaryLanguage dictionaryLanguage() {
    return chooseLanguage(
        readLanguageSetting(languageFile()),
        localeLanguage(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")));
}

bool setDictionaryLanguage(DictionaryLanguage language, std::string& error) {
    return writeLanguageSetting(languageFile(), language, error);
}

namespace {

std::vector<std::string> fallbacksFor(DictionaryLanguage language) {
    return languageFallbacks(
        userDictionaryFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")),
        installedDictionaryFolder(), language);
}

} // namespace

std::vector<std::string> dictionaryFolderFallbacks() {
    return fallbacksFor(dictionaryLanguage());
}

std::string scratchDocumentFolder(const std::string& dictFolder, std::string* problem) {
    const std::string user = userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    // Every installed set belongs to the system, whichever language it is.
    std::string folder = dictFolder;
    bool installed = false;
    for (DictionaryLanguage language : AllDictionaryLanguages) {
        if (folder == dictFolder) {
            const std::string set = installedDictionaryFolder(language);
            folder = scratchFolder(dictFolder, set, user);
            installed = installed || scratchFolder(dictFolder, set, "/") != dictFolder;
        }
    }
    std::string why;
    if (user.empty() && installed) {
        why = "neither XDG_DATA_HOME nor HOME names a folder of this user, so the installed "
              "dictionaries folder " +
              folder + " is used";
    }
    if (folder != dictFolder) {
        // A failure shows when the scratch document cannot be made; then
        // this is why.
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            why = "cannot make the folder " + folder + ": " + ec.message();
        }
    }
    if (problem != nullptr) {
        *problem = why;
    }
    return withSeparator(std::move(folder));
}

std::string startupDictionaryFolder(DictionaryLanguage language) {
    std::error_code ec;
    std::string current = std::filesystem::current_path(ec).string();
    return withSeparator(chooseDictionaryFolder(current, fallbacksFor(language)));
}

std::string startupDictionaryFolder() {
    return startupDictionaryFolder(dictionaryLanguage());
}

} // namespace korvel
