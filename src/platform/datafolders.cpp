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

std::string scratchDocumentFolder(const std::string& dictFolder, std::string* problem) {
    const std::string installed = installedDictionaryFolder();
    const std::string user = userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    std::string folder = scratchFolder(dictFolder, installed, user);
    std::string why;
    if (user.empty() && scratchFolder(dictFolder, installed, "/") != dictFolder) {
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

std::string startupDictionaryFolder() {
    std::error_code ec;
    std::string current = std::filesystem::current_path(ec).string();
    return withSeparator(chooseDictionaryFolder(current, dictionaryFolderFallbacks()));
}

} // namespace korvel
