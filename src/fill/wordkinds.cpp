// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordkinds.h"

#include "regularfile.h"
#include "wordfold.h"
#include "wordscores.h"

#include <fcntl.h>

namespace korvel {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace

KindListReport WordKinds::addList(std::string_view text, std::string name) {
    KindListReport report;
    report.name = std::move(name);
    constexpr std::string_view Bom = "\xEF\xBB\xBF";
    if (text.starts_with(Bom)) {
        text.remove_prefix(Bom.size());
    }
    const auto fault = [&](uint64_t& count, uint64_t line) {
        ++count;
        if (report.firstFaultLine == 0) {
            report.firstFaultLine = line;
        }
    };
    uint64_t lineNumber = 0;
    std::size_t p = 0;
    while (p < text.size()) {
        const std::size_t lf = text.find('\n', p);
        const std::size_t end = lf == std::string_view::npos ? text.size() : lf;
        std::string_view line = text.substr(p, end - p);
        p = lf == std::string_view::npos ? text.size() : lf + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        line = trim(line);
        if (line.empty() || line.front() == '#') {
            ++report.skipped;
            continue;
        }
        const std::size_t semi = line.find(';');
        const std::optional<std::string> word = foldWord(trim(line.substr(0, semi)));
        const std::string_view kind =
            semi == std::string_view::npos ? std::string_view() : trim(line.substr(semi + 1));
        if (!word) {
            fault(report.badWord, lineNumber);
        } else if (kind.empty()) {
            fault(report.noKind, lineNumber);
        } else if (kind == "abbreviation") {
            kinds_[*word] = WordKind::Abbreviation;
            ++report.kinds;
        } else if (kind == "name") {
            kinds_[*word] = WordKind::Name;
            ++report.kinds;
        } else {
            fault(report.badKind, lineNumber);
        }
    }
    return report;
}

std::optional<WordKind> WordKinds::kindOf(std::string_view word) const {
    const auto it = kinds_.find(std::string(word));
    if (it == kinds_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string kindListWarning(const KindListReport& report) {
    return listWarning("Kind list", report.name, report.error,
                       {{report.noKind, "without a kind"},
                        {report.badKind, "with a kind other than abbreviation or name"},
                        {report.badWord, "whose word is not made of letters"}},
                       report.firstFaultLine);
}

WordKinds loadWordKinds(const std::string& folder, std::vector<std::string>* warnings) {
    WordKinds kinds;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    const std::string name(BaseKindListName);
    std::string text;
    const FileReadResult read = readRegularFile(AT_FDCWD, prefix + name, MaxKindListBytes, text);
    KindListReport report;
    if (read.status == FileReadStatus::Missing) {
        return kinds;
    }
    if (!read.ok()) {
        report.name = name;
        report.error = read.cause + "; it is not read";
    } else {
        report = kinds.addList(text, name);
    }
    if (warnings != nullptr) {
        if (std::string w = kindListWarning(report); !w.empty()) {
            warnings->push_back(std::move(w));
        }
    }
    return kinds;
}

} // namespace korvel
