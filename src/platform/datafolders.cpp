// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafolders.h"

#include "companionlibrary.h"
#include "dictfolder.h"
#include "loader.h"

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

namespace {

std::string languageName(DictionaryLanguage language) {
    return language == DictionaryLanguage::Italian ? "Italian" : "English";
}

// Why folder did not do: it is missing, or it holds no base.diz.
std::string whyPassedOver(const std::string& folder) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        return "no such folder";
    }
    return "no base.diz in it";
}

} // namespace

std::string dictionarySearchReport() {
    const std::string nl = "\r\n";
    const DictionaryLanguage language = dictionaryLanguage();
    const std::string user =
        userDictionaryFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    std::error_code ec;
    const std::string current = std::filesystem::current_path(ec).string();

    std::string report =
        "Folders searched for " + std::string(BaseDictionaryName) + ", in order:" + nl;
    int n = 0;
    auto add = [&](const std::string& folder, const std::string& what) {
        report += std::to_string(++n) + ". " + withSeparator(folder) + " (" + what +
                  "): " + whyPassedOver(folder) + nl;
    };
    add(current.empty() ? std::string("?") : current, "the current folder");
    for (const std::string& folder : fallbacksFor(language)) {
        std::string what = "installed dictionaries";
        if (folder == user) {
            what = "your own lists";
        } else if (!user.empty() && folder.rfind(withSeparator(user), 0) == 0) {
            what = "your own lists in " + languageName(language);
        } else {
            for (DictionaryLanguage l : AllDictionaryLanguages) {
                if (folder == installedDictionaryFolder(l)) {
                    what = "the installed " + languageName(l) + " set";
                }
            }
        }
        add(folder, what);
    }
    report += nl + "To give Korvel its dictionaries, do one of these:" + nl +
              "- start it in a folder that holds base.diz (bash scripts/run does so for a build);" +
              nl;
    if (!user.empty()) {
        report += "- put your lists, base.diz among them, in " + withSeparator(user) +
                  " (or in its it/ or en/ subfolder);" + nl;
    }
    report += "- install Korvel with its dictionaries (cmake --install, or its Debian package)." +
              nl + "man korvel tells more.";
    return report;
}

std::string startupDictionaryFolder(DictionaryLanguage language) {
    std::error_code ec;
    std::string current = std::filesystem::current_path(ec).string();
    return withSeparator(chooseDictionaryFolder(current, fallbacksFor(language)));
}

std::string startupDictionaryFolder() {
    return startupDictionaryFolder(dictionaryLanguage());
}

std::string buildDictionaryFolder() {
#ifdef KORVEL_BUILD_DICTIONARIES
    return KORVEL_BUILD_DICTIONARIES;
#else
    return {};
#endif
}

LanguageSets ownLanguageSets(const std::string& loaded) {
    // A link or a "." in either name must not hide that they are one folder.
    const auto resolved = [](const std::string& folder) {
        if (folder.empty())
            return folder;
        std::error_code ec;
        const std::filesystem::path p = std::filesystem::weakly_canonical(folder, ec);
        return ec ? folder : p.string();
    };
    return languageSets(resolved(loaded), resolved(buildDictionaryFolder()),
                        resolved(startupDictionaryFolder(DictionaryLanguage::Italian)),
                        resolved(startupDictionaryFolder(DictionaryLanguage::English)),
                        holdsBaseDictionary);
}

} // namespace korvel
