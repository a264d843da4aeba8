// SPDX-License-Identifier: GPL-3.0-or-later
#include "loader.h"

#include "dictfolder.h"
#include "plural.h"

#include "blanks.h"
#include "hugepages.h"
#include "templistfolder.h"
#include "templistpath.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace korvel {

namespace fs = std::filesystem;

namespace {

bool endsWith(std::string_view name, std::string_view ext) {
    return name.size() >= ext.size() && name.substr(name.size() - ext.size()) == ext;
}

// Character-code order; bytes compare unsigned and a proper prefix first.
bool sortsBefore(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    const int c = n > 0 ? std::memcmp(a.data(), b.data(), n) : 0;
    return c < 0 || (c == 0 && a.size() < b.size());
}

} // namespace

std::string specialCause(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return std::string("cannot be inspected: ") + std::strerror(errno);
    }
    if (!S_ISLNK(st.st_mode)) {
        return "is " + fileKind(st.st_mode);
    }
    if (::stat(path.c_str(), &st) != 0) {
        return errno == ELOOP ? "is a loop of symbolic links" : "is a link that leads nowhere";
    }
    return "is a link to " + fileKind(st.st_mode);
}

namespace {

bool isBareLineByte(char c) {
    return c == '\r' || c == '\n' || c == '\0';
}

std::string folderWithSeparator(std::string_view folder) {
    std::error_code ec;
    return folderToLoad(folder, fs::current_path(ec).string());
}

std::string quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

} // namespace

std::string outOfSequenceText(std::string_view line) {
    return "This item " + std::string(line) +
           " is out of sequence\r\nand might compromise the search within its dictionary.";
}

std::vector<std::string> scanDictionaryFolder(const std::string& folder,
                                              std::vector<SkippedFile>* skipped) {
    std::vector<std::string> diz;
    std::vector<std::string> dic;
    bool haveBase = false;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!endsWithNoCase(name, ".diz") && !endsWithNoCase(name, ".dic")) {
            continue;
        }
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            if (skipped != nullptr) {
                skipped->push_back({name, specialCause(it->path().string())});
            }
            continue;
        }
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
    if (skipped != nullptr) {
        std::sort(skipped->begin(), skipped->end(),
                  [](const SkippedFile& a, const SkippedFile& b) { return a.name < b.name; });
    }
    return names;
}

ListCheck normalizeList(std::string& text) {
    ListCheck check;
    const char* const base = text.data();
    const std::size_t total = text.size();
    // The usual list passes three memchr walks and is left alone.
    bool strayCr = false;
    bool strayLf = false;
    bool anyCr = false;
    for (const char* p = base;
         (p = static_cast<const char*>(std::memchr(p, '\r', total - std::size_t(p - base)))) !=
         nullptr;
         ++p) {
        anyCr = true;
        if (std::size_t(p - base) + 1 >= total || p[1] != '\n') {
            strayCr = true;
            break;
        }
    }
    bool anyLf = false;
    for (const char* p = base;
         (p = static_cast<const char*>(std::memchr(p, '\n', total - std::size_t(p - base)))) !=
         nullptr;
         ++p) {
        anyLf = true;
        if (p == base || p[-1] != '\r') {
            strayLf = true;
            break;
        }
    }
    const bool nul = total > 0 && std::memchr(base, '\0', total) != nullptr;
    if (!strayCr && !strayLf && !nul) {
        return check;
    }
    if (!anyCr && anyLf) {
        check.lfOnly = true;
        std::string crlf;
        crlf.reserve(total + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
        // The copy is the list from now on: the same page advice as the read.
        adviseHugePages(crlf.data(), crlf.capacity());
        // A line at a time, not a byte at a time.
        for (std::size_t p = 0; p < total;) {
            const void* lf = std::memchr(base + p, '\n', total - p);
            const std::size_t end = lf ? std::size_t(static_cast<const char*>(lf) - base) : total;
            crlf.append(base + p, end - p);
            if (lf) {
                crlf += "\r\n";
            }
            p = end + 1;
        }
        text.swap(crlf);
        if (!nul) {
            return check;
        }
    }

    // Keep the CR LF lines without a stray CR, LF or NUL, with their separators.
    std::string kept;
    kept.reserve(text.size());
    std::size_t p = 0;
    bool sawNul = false;
    bool sawCr = false;
    bool sawLf = false;
    while (p < text.size()) {
        const std::size_t k = text.find(LineSeparator, p);
        const std::size_t end = k == std::string::npos ? text.size() : k;
        const std::string_view line(text.data() + p, end - p);
        if (std::find_if(line.begin(), line.end(), isBareLineByte) == line.end()) {
            kept.append(text, p, (k == std::string::npos ? end : k + 2) - p);
        } else {
            ++check.leftOut;
            sawNul = sawNul || line.find('\0') != std::string_view::npos;
            sawCr = sawCr || line.find('\r') != std::string_view::npos;
            sawLf = sawLf || line.find('\n') != std::string_view::npos;
        }
        if (k == std::string::npos) {
            break;
        }
        p = k + 2;
    }
    text.swap(kept);
    std::string cause;
    const auto add = [&](std::string_view what) {
        cause += (cause.empty() ? "" : ", ") + std::string(what);
    };
    if (sawNul) {
        add("holds NUL bytes");
    }
    if (sawCr && !anyLf) {
        add("ends its lines with CR alone, not CR LF");
    } else if (sawCr || sawLf) {
        add("has line ends other than CR LF");
    }
    check.cause = cause;
    return check;
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
        const bool remark = isRemarkInitial(initial);
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
        observer.warning("... " + name + ": " + counted(badInitials, "line", "lines") +
                         " not beginning with a letter A to Z " +
                         std::string(forCount(badInitials, "is", "are")) +
                         " not indexed (the first: " + quoted(firstBad) + ") !");
    }
    if (emptyLines > 0) {
        observer.warning("... " + name + ": " +
                         counted(emptyLines, "empty line is", "empty lines are") +
                         " not indexed !");
    }
}

LoadResult loadDictionaries(DictionaryStore& store, std::string_view folder,
                            const CompanionCall& companion,
                            const std::function<void()>& yieldPerLine, LoadObserver& observer) {
    store = DictionaryStore{};
    store.DictFolder = folderWithSeparator(folder);

    std::vector<SkippedFile> specials;
    std::vector<std::string> names = scanDictionaryFolder(store.DictFolder, &specials);
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
        std::string detail = std::string(BaseDictionaryName) + " is not in " + store.DictFolder;
        for (const SkippedFile& f : specials) {
            if (f.name == BaseDictionaryName) {
                detail = std::string(BaseDictionaryName) + " in " + store.DictFolder + " " +
                         f.cause + ", not a file to read";
            }
        }
        observer.fatalWithDetail(std::string(LoadErrorTitle), std::string(MissingBaseText), detail);
        return LoadResult::MissingBase;
    }
    for (const SkippedFile& f : specials) {
        observer.warning("... " + f.name + " " + f.cause + "; it is not loaded !");
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

    const auto libraryFailed = [&](const std::string& detail) {
        observer.fatalWithDetail(std::string(LoadErrorTitle), std::string(LibraryErrorsText),
                                 detail);
        return LoadResult::LibraryErrors;
    };
    TempListFolder lists;
    std::string folderError;
    bool listsOpen = false;
    if (needsLibrary) {
        // Without a folder for the lists there is nowhere safe to read or
        // delete them: the same as a library that cannot be used.
        if (!companion.MYFUNC) {
            return libraryFailed("the companion library cannot be used" +
                                 (companion.error.empty() ? "" : ": " + companion.error));
        }
        if (companion.tempFolder.empty()) {
            return libraryFailed("the companion library names no folder for the word lists");
        }
        if (companion.setup) {
            if (const int16_t errors = companion.setup(store.DictFolder, names); errors > 0) {
                return libraryFailed("the companion library could not be set up for " +
                                     store.DictFolder + " (" + counted(errors, "error", "errors") +
                                     ")");
            }
        }
        listsOpen = lists.open(companion.tempFolder, folderError);
    }

    bool swept = false;
    for (int i = 1; i <= store.count; ++i) {
        const std::string& name = store.DictFileName[i];
        std::string text;
        FileReadResult read;
        if (endsWith(name, ".diz")) {
            // The call, the read and the removal of the list form one
            // critical section: another load writes the same list name.
            std::string lockError;
            const bool locked = listsOpen && lists.lock(lockError);
            if (locked && !swept) {
                lists.sweepScratch();
                swept = true;
            }
            const int16_t errors = companion.MYFUNC(static_cast<int16_t>(i));
            const std::string listName = tempListName(name);
            const bool trusted = locked && lists.stillPrivate();
            if (errors > 0) {
                // A library that failed half-way must not leave its list behind.
                if (trusted) {
                    lists.removeList(listName);
                }
                lists.unlock();
                return libraryFailed(name + ": the companion library met " +
                                     counted(errors, "error", "errors") + " preparing its list");
            }
            if (!trusted) {
                lists.unlock();
                const std::string why =
                    !listsOpen ? folderError
                    : !locked  ? lockError
                               : "the list folder " + companion.tempFolder + " changed hands";
                observer.warning("... " + why + "; " + name + " stays empty !");
                store.setText(i, {});
                indexDictionary(store, i, yieldPerLine, observer);
                continue;
            }
            read = lists.readList(listName, MaxDictionaryBytes, text, adviseHugePages);
            lists.removeList(listName);
            lists.unlock();
            if (read.status == FileReadStatus::Missing) {
                observer.warning("... no word list was prepared for " + name +
                                 "; it stays empty !");
            }
        } else {
            read = readRegularFile(AT_FDCWD, store.DictFolder + name, MaxDictionaryBytes, text,
                                   false, adviseHugePages);
            if (read.status == FileReadStatus::Missing) {
                observer.warning("... " + name + " has disappeared; it stays empty !");
            }
        }
        if (read.status == FileReadStatus::TooLarge) {
            observer.warning("... " + name + " is larger than " +
                             std::to_string(MaxDictionaryBytes >> 20) + " MB; it stays empty !");
        } else if (read.status == FileReadStatus::NotRegular ||
                   read.status == FileReadStatus::Failed) {
            observer.warning("... " + name + " " + read.cause + "; it stays empty !");
        }
        const ListCheck check = normalizeList(text);
        if (check.leftOut > 0) {
            observer.warning(
                "... " + name + " " + check.cause + "; " +
                counted(static_cast<long long>(check.leftOut), "line", "lines") +
                " holding a CR, LF or NUL byte " +
                std::string(forCount(static_cast<long long>(check.leftOut), "is", "are")) +
                " left out !");
        }
        store.setText(i, std::move(text));
        indexDictionary(store, i, yieldPerLine, observer);
    }
    return LoadResult::Ok;
}

} // namespace korvel
