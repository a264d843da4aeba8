// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictlanguage.h"

#include "dictfolder.h"
#include "regularfile.h"
#include "replacefile.h"

#include <fcntl.h>
#include <filesystem>
#include <system_error>

namespace korvel {

namespace {

// More than any code with its line end; a bigger file is no setting of ours.
constexpr uint64_t MaxSettingBytes = 256;

bool isSet(const char* value) {
    return value != nullptr && value[0] != '\0';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string_view languageCode(DictionaryLanguage language) {
    return language == DictionaryLanguage::Italian ? "it" : "en";
}

std::optional<DictionaryLanguage> languageFromCode(std::string_view code) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!code.empty() && blank(code.front())) {
        code.remove_prefix(1);
    }
    while (!code.empty() && blank(code.back())) {
        code.remove_suffix(1);
    }
    if (code.size() != 2) {
        return std::nullopt;
    }
    for (DictionaryLanguage l : AllDictionaryLanguages) {
        const std::string_view c = languageCode(l);
        if (lower(code[0]) == c[0] && lower(code[1]) == c[1]) {
            return l;
        }
    }
    return std::nullopt;
}

DictionaryLanguage puzzleLanguageOfSet(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.remove_suffix(1);
    }
    const std::size_t slash = folder.rfind('/');
    const std::string_view name =
        slash == std::string_view::npos ? folder : folder.substr(slash + 1);
    return languageFromCode(name).value_or(DictionaryLanguage::Italian);
}

DictionaryLanguage localeLanguage(const char* lcAll, const char* lcMessages, const char* lang) {
    const char* value = isSet(lcAll) ? lcAll : isSet(lcMessages) ? lcMessages : lang;
    if (isSet(value) && value[0] == 'i' && value[1] == 't') {
        return DictionaryLanguage::Italian;
    }
    return DictionaryLanguage::English;
}

std::string userConfigFolder(const char* xdgConfigHome, const char* home) {
    std::string config;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        config = xdgConfigHome;
    } else if (home != nullptr && home[0] == '/') {
        config = withSeparator(home) + ".config";
    } else {
        return {};
    }
    return withSeparator(std::move(config)) + "korvel";
}

std::string languageSettingFile(const std::string& configFolder) {
    return configFolder.empty() ? std::string() : withSeparator(configFolder) + "language";
}

std::optional<DictionaryLanguage> readLanguageSetting(const std::string& file) {
    if (file.empty()) {
        return std::nullopt;
    }
    std::string text;
    if (!readRegularFile(AT_FDCWD, file, MaxSettingBytes, text).ok()) {
        return std::nullopt;
    }
    return languageFromCode(text);
}

bool writeLanguageSetting(const std::string& file, DictionaryLanguage language,
                          std::string& error) {
    if (file.empty()) {
        error = "no settings folder is known (neither XDG_CONFIG_HOME nor HOME is set)";
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    std::error_code ec;
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            error = "cannot make the folder " + folder.string() + ": " + ec.message();
            return false;
        }
    }
    return replaceFile(file, std::string(languageCode(language)) + "\n", error);
}

DictionaryLanguage chooseLanguage(std::optional<DictionaryLanguage> remembered,
                                  DictionaryLanguage fromLocale) {
    return remembered.value_or(fromLocale);
}

std::vector<std::string> languageFallbacks(const std::string& userFolder,
                                           const std::string& installedFolder,
                                           DictionaryLanguage language) {
    std::vector<std::string> folders;
    if (!userFolder.empty()) {
        folders.push_back(userFolder);
        folders.push_back(withSeparator(userFolder) + std::string(languageCode(language)));
    }
    if (!installedFolder.empty()) {
        folders.push_back(withSeparator(installedFolder) + std::string(languageCode(language)));
        for (DictionaryLanguage other : AllDictionaryLanguages) {
            if (other != language) {
                folders.push_back(withSeparator(installedFolder) +
                                  std::string(languageCode(other)));
            }
        }
    }
    return folders;
}

} // namespace korvel
