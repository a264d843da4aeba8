// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvel {

// The companion library libkorvdll.so, opened at run time. It is looked for in
// one place only, the folder of the running executable (or the path given), so
// a copy in the current folder or in the dictionaries folder is never picked
// up. A missing library or a missing symbol leaves the object unloaded: every
// call then reports one error instead of crashing.
class CompanionLibrary {
public:
    static constexpr const char* FileName = "libkorvdll.so";

    // Opens FileName from executableFolder().
    CompanionLibrary();
    // Opens the library at an absolute path.
    explicit CompanionLibrary(const std::string& path);
    ~CompanionLibrary();
    CompanionLibrary(const CompanionLibrary&) = delete;
    CompanionLibrary& operator=(const CompanionLibrary&) = delete;

    bool isLoaded() const { return handle_ != nullptr; }
    // Why the library could not be used; empty when it is loaded.
    const std::string& error() const { return error_; }

    // The library's default per-user folder for the plain lists; empty when
    // the library is not loaded.
    std::string tempFolder() const;
    // KORVDLL_SETUP: the dictionaries folder, the names of dictionaries 1 to
    // names.size() and the folder for the lists (empty for the default).
    int16_t setup(const std::string& dictFolder, const std::vector<std::string>& names,
                  const std::string& tempFolder) const;
    // MYFUNC(i); 1 (one error) when the library is not loaded.
    int16_t MYFUNC(int16_t i) const;

    // Folder of the running executable, from /proc/self/exe; empty if unknown.
    static std::string executableFolder();

private:
    void open(const std::string& path);

    void* handle_ = nullptr;
    std::string error_;
    int16_t (*setup_)(const char*, const char* const*, int16_t, const char*) = nullptr;
    int16_t (*myfunc_)(int16_t) = nullptr;
    const char* (*tempFolder_)() = nullptr;
};

} // namespace korvel
