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

std::vector<std::string> dictionaryFolderFallbacks() {
    return {userDictionaryFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")),
            installedDictionaryFolder()};
}

std::string scratchDocumentFolder(const std::string& dictFolder) {
    std::string folder =
        scratchFolder(dictFolder, installedDictionaryFolder(),
                      userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
    if (folder != dictFolder) {
        // A failure shows later, when the scratch document cannot be made.
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
    }
    return withSeparator(std::move(folder));
}

std::string startupDictionaryFolder() {
    std::error_code ec;
    std::string current = std::filesystem::current_path(ec).string();
    return withSeparator(chooseDictionaryFolder(current, dictionaryFolderFallbacks()));
}

} // namespace korvel
