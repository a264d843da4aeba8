// SPDX-License-Identifier: GPL-3.0-or-later
#include "companionlibrary.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace korvel {

CompanionLibrary::CompanionLibrary() {
    const std::string folder = executableFolder();
    if (folder.empty()) {
        error_ = "cannot find the folder of the running program";
        return;
    }
    open(folder + "/" + FileName);
}

CompanionLibrary::CompanionLibrary(const std::string& path) {
    open(path);
}

CompanionLibrary::~CompanionLibrary() {
    if (handle_ != nullptr) {
        dlclose(handle_);
    }
}

void CompanionLibrary::open(const std::string& path) {
    // A relative path would make dlopen search; only absolute ones are taken.
    if (path.empty() || path.front() != '/') {
        error_ = "not an absolute library path: " + path;
        return;
    }
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* e = dlerror();
        error_ = e != nullptr ? e : "cannot load " + path;
        return;
    }
    setup_ = reinterpret_cast<decltype(setup_)>(dlsym(handle_, "KORVDLL_SETUP"));
    myfunc_ = reinterpret_cast<decltype(myfunc_)>(dlsym(handle_, "MYFUNC"));
    tempFolder_ = reinterpret_cast<decltype(tempFolder_)>(dlsym(handle_, "KORVDLL_TEMPFOLDER"));
    if (setup_ == nullptr || myfunc_ == nullptr || tempFolder_ == nullptr) {
        error_ = path + " lacks KORVDLL_SETUP, MYFUNC or KORVDLL_TEMPFOLDER";
        dlclose(handle_);
        handle_ = nullptr;
        setup_ = nullptr;
        myfunc_ = nullptr;
        tempFolder_ = nullptr;
    }
}

std::string CompanionLibrary::tempFolder() const {
    return isLoaded() ? std::string(tempFolder_()) : std::string();
}

int16_t CompanionLibrary::setup(const std::string& dictFolder,
                                const std::vector<std::string>& names,
                                const std::string& tempFolder) const {
    if (!isLoaded() || names.size() > 7) {
        return 1;
    }
    std::vector<const char*> raw;
    raw.reserve(names.size());
    for (const std::string& n : names) {
        raw.push_back(n.c_str());
    }
    return setup_(dictFolder.c_str(), raw.data(), static_cast<int16_t>(raw.size()),
                  tempFolder.empty() ? nullptr : tempFolder.c_str());
}

int16_t CompanionLibrary::MYFUNC(int16_t i) const {
    return isLoaded() ? myfunc_(i) : 1;
}

std::string CompanionLibrary::executableFolder() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) {
        return {};
    }
    std::string path(buf, static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace korvel
