// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictfolder.h"

#include "loader.h"

#include <filesystem>
#include <system_error>

namespace korvel {

namespace {

bool isAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

} // namespace

std::string withSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string folderToLoad(std::string_view folder, const std::string& current) {
    std::string f = folder.empty() || folder == "False" ? current : std::string(folder);
    // Without even a current directory the files are looked for at the root.
    return f.empty() ? std::string("/") : withSeparator(std::move(f));
}

std::string userDataFolder(const char* xdgDataHome, const char* home) {
    std::string data;
    if (isAbsolute(xdgDataHome)) {
        data = xdgDataHome;
    } else if (isAbsolute(home)) {
        data = withSeparator(home) + ".local/share";
    } else {
        return {};
    }
    return withSeparator(std::move(data)) + "korvel";
}

std::string userDictionaryFolder(const char* xdgDataHome, const char* home) {
    const std::string data = userDataFolder(xdgDataHome, home);
    return data.empty() ? data : data + "/dictionaries";
}

namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

} // namespace

std::string scratchFolder(const std::string& dictFolder, const std::string& installedFolder,
                          const std::string& userFolder) {
    if (installedFolder.empty() || userFolder.empty() ||
        withoutTrailingSlashes(dictFolder) != withoutTrailingSlashes(installedFolder)) {
        return dictFolder;
    }
    return userFolder;
}

bool holdsBaseDictionary(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    std::error_code ec;
    return std::filesystem::is_regular_file(
        std::filesystem::path(folder) / std::string(BaseDictionaryName), ec);
}

std::string chooseDictionaryFolder(const std::string& current,
                                   const std::vector<std::string>& fallbacks,
                                   const std::function<bool(const std::string&)>& holdsBase) {
    if (holdsBase(current)) {
        return current;
    }
    for (const std::string& folder : fallbacks) {
        if (!folder.empty() && holdsBase(folder)) {
            return folder;
        }
    }
    return current;
}

} // namespace korvel
