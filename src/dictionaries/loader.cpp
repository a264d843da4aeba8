#include "loader.h"

#include "blanks.h"
#include "hugepages.h"
#include "templistpath.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace korvel {

namespace fs = std::filesystem;

namespace {

bool endsWithNoCase(std::string_view name, std::string_view ext) {
    if (name.size() < ext.size()) {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - ext.size());
    return std::equal(tail.begin(), tail.end(), ext.begin(), [](char a, char b) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

bool endsWith(std::string_view name, std::string_view ext) {
    return name.size() >= ext.size() && name.substr(name.size() - ext.size()) == ext;
}

// Character-code order; bytes compare unsigned and a proper prefix first.
bool sortsBefore(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    const int c = n > 0 ? std::memcmp(a.data(), b.data(), n) : 0;
    return c < 0 || (c == 0 && a.size() < b.size());
}

enum class ReadStatus { Ok, Missing, TooLarge, Failed };

// One whole read. With noLinks the path must be a regular file itself, not a
// symbolic link to one.
ReadStatus readWhole(const std::string& path, bool noLinks, std::string& text) {
    std::error_code ec;
    const fs::file_status st = noLinks ? fs::symlink_status(path, ec) : fs::status(path, ec);
    if (ec || !fs::exists(st)) {
        return ReadStatus::Missing;
    }
    if (!fs::is_regular_file(st)) {
        return ReadStatus::Failed;
    }
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return ReadStatus::Failed;
    }
    const std::streamoff size = in.tellg();
    if (size < 0) {
        return ReadStatus::Failed;
    }
    if (static_cast<uint64_t>(size) > MaxDictionaryBytes) {
        return ReadStatus::TooLarge;
    }
    text.reserve(static_cast<std::size_t>(size));
    adviseHugePages(text.data(), static_cast<std::size_t>(size));
    text.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    if (size > 0 && !in.read(text.data(), size)) {
        text.clear();
        return ReadStatus::Failed;
    }
    return ReadStatus::Ok;
}

// The folder of the temporary lists is trusted only when it is a real folder
// (not a link to one) closed to group and others. A library call may fail
// because the folder is unsafe; then a list path inside it may lead anywhere,
// and nothing there is read or deleted.
bool isPrivateFolder(const std::string& folder) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(folder, ec);
    if (ec || !fs::is_directory(st)) {
        return false;
    }
    const fs::perms open = fs::perms::group_all | fs::perms::others_all;
    return (st.permissions() & open) == fs::perms::none;
}

std::string folderWithSeparator(std::string_view folder) {
    std::string f(folder);
    if (f.empty() || f == "False") {
        std::error_code ec;
        f = fs::current_path(ec).string();
    }
    if (f.empty() || f.back() != '/') {
        f += '/';
    }
    return f;
}

std::string quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

} // namespace

std::string outOfSequenceText(std::string_view line) {
    return "This item " + std::string(line) +
           " is out of sequence\r\nand might compromise the search within its dictionary.";
}

std::vector<std::string> scanDictionaryFolder(const std::string& folder) {
    std::vector<std::string> diz;
    std::vector<std::string> dic;
    bool haveBase = false;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        std::string name = it->path().filename().string();
        if (name == BaseDictionaryName) {
            haveBase = true;
        } else if (endsWithNoCase(name, ".diz")) {
            diz.push_back(std::move(name));
        } else if (endsWithNoCase(name, ".dic")) {
            dic.push_back(std::move(name));
        }
    }
    // std::string compares as unsigned bytes: the same order on every machine.
    std::sort(diz.begin(), diz.end());
    std::sort(dic.begin(), dic.end());
    std::vector<std::string> names;
    if (haveBase) {
        names.emplace_back(BaseDictionaryName);
    }
    names.insert(names.end(), diz.begin(), diz.end());
    names.insert(names.end(), dic.begin(), dic.end());
    return names;
}

void indexDictionary(DictionaryStore& store, int i, const std::function<void()>& yieldPerLine,
                     LoadObserver& observer) {
    const std::string& text = store.DictText[i];
    const LineIndex& lines = store.Lines[i];
    auto& letterStart = store.LetterStart[i];
    letterStart.fill(0);
    if (text.empty()) {
        // Nothing to index; an empty list is no list of one empty line.
        return;
    }

    int prevInitial = -1; // -1: the empty line's initial ""
    std::string_view prevLine;
    uint64_t emptyLines = 0;
    uint64_t badInitials = 0;
    std::string_view firstBad;

    for (std::size_t n = 0; n < lines.checkedLineCount(); ++n) {
        if (yieldPerLine) {
            yieldPerLine();
        }
        const std::string_view line = trimBlanks(lines.line(text, n));
        const int initial = line.empty() ? -1 : static_cast<unsigned char>(line.front());
        const bool remark = initial == '\'' || initial == '#';
        if (!remark && initial != prevInitial) {
            if (initial >= '@' && initial <= 'Z') {
                // The position of the untrimmed line, 1-based.
                letterStart[initial - '@'] = static_cast<int32_t>(lines.start(n) + 1);
            }
        }
        if (!remark) {
            if (initial == -1) {
                ++emptyLines;
            } else if (initial < '@' || initial > 'Z') {
                if (badInitials++ == 0) {
                    firstBad = line;
                }
            }
        }
        if (!remark && line.size() > 2 && prevLine.size() > 2 && sortsBefore(line, prevLine)) {
            observer.outOfSequence(outOfSequenceText(line));
        }
        prevInitial = initial;
        prevLine = line;
    }

    const std::string& name = store.DictFileName[i];
    if (badInitials > 0) {
        observer.warning(
            "... " + name + ": " + std::to_string(badInitials) +
            " line(s) not beginning with a letter A to Z are not indexed (the first: " +
            quoted(firstBad) + ") !");
    }
    if (emptyLines > 0) {
        observer.warning("... " + name + ": " + std::to_string(emptyLines) +
                         " empty line(s) are not indexed !");
    }
}

LoadResult loadDictionaries(DictionaryStore& store, std::string_view folder,
                            const CompanionCall& companion,
                            const std::function<void()>& yieldPerLine, LoadObserver& observer) {
    store = DictionaryStore{};
    store.DictFolder = folderWithSeparator(folder);

    std::vector<std::string> names = scanDictionaryFolder(store.DictFolder);
    // A file named ".diz", "..diz" or "...diz" has no list name of its own:
    // its list would be the temporary folder itself or the one above it.
    std::vector<std::string> nameless;
    std::erase_if(names, [&](const std::string& n) {
        if (endsWith(n, ".diz") && tempListName(n).empty()) {
            nameless.push_back(n);
            return true;
        }
        return false;
    });

    if (names.empty() || names.front() != BaseDictionaryName) {
        observer.fatal(std::string(LoadErrorTitle), std::string(MissingBaseText));
        return LoadResult::MissingBase;
    }
    for (const std::string& n : nameless) {
        observer.warning("... " + n + " has no name and is not loaded !");
    }
    if (names.size() > static_cast<std::size_t>(MaxDictionaries)) {
        std::string skipped;
        for (std::size_t k = MaxDictionaries; k < names.size(); ++k) {
            skipped += (skipped.empty() ? "" : ", ") + names[k];
        }
        observer.warning("... at most " + std::to_string(MaxDictionaries) +
                         " dictionaries can be loaded; not loaded: " + skipped + " !");
        names.resize(MaxDictionaries);
    }

    store.count = static_cast<int>(names.size());
    bool needsLibrary = false;
    for (int i = 1; i <= store.count; ++i) {
        store.DictFileName[i] = names[i - 1];
        needsLibrary = needsLibrary || endsWith(names[i - 1], ".diz");
    }

    const auto libraryFailed = [&] {
        observer.fatal(std::string(LoadErrorTitle), std::string(LibraryErrorsText));
        return LoadResult::LibraryErrors;
    };
    if (needsLibrary) {
        // Without a folder for the lists there is nowhere safe to read or
        // delete them: the same as a library that cannot be used.
        if (!companion.MYFUNC || companion.tempFolder.empty()) {
            return libraryFailed();
        }
        if (companion.setup && companion.setup(store.DictFolder, names) > 0) {
            return libraryFailed();
        }
    }

    for (int i = 1; i <= store.count; ++i) {
        const std::string& name = store.DictFileName[i];
        std::string path = store.DictFolder + name;
        const bool viaLibrary = endsWith(name, ".diz");
        if (viaLibrary) {
            const int16_t errors = companion.MYFUNC(static_cast<int16_t>(i));
            path = tempListPath(companion.tempFolder, name);
            const bool trusted = isPrivateFolder(companion.tempFolder);
            if (errors > 0) {
                // A library that failed half-way must not leave its list behind.
                if (trusted) {
                    std::error_code ec;
                    fs::remove(path, ec);
                }
                return libraryFailed();
            }
            if (!trusted) {
                observer.warning("... the list folder " + companion.tempFolder +
                                 " is missing or not private; " + name + " stays empty !");
                store.setText(i, {});
                indexDictionary(store, i, yieldPerLine, observer);
                continue;
            }
        }

        std::string text;
        const ReadStatus status = readWhole(path, viaLibrary, text);
        if (viaLibrary) {
            std::error_code ec;
            fs::remove(path, ec);
        }
        switch (status) {
        case ReadStatus::Ok:
            break;
        case ReadStatus::Missing:
            observer.warning(viaLibrary ? "... no word list was prepared for " + name +
                                              "; it stays empty !"
                                        : "... " + name + " has disappeared; it stays empty !");
            break;
        case ReadStatus::TooLarge:
            observer.warning("... " + name + " is larger than " +
                             std::to_string(MaxDictionaryBytes >> 20) + " MB; it stays empty !");
            break;
        case ReadStatus::Failed:
            observer.warning("... " + name + " cannot be read; it stays empty !");
            break;
        }
        store.setText(i, std::move(text));
        indexDictionary(store, i, yieldPerLine, observer);
    }
    return LoadResult::Ok;
}

} // namespace korvel
