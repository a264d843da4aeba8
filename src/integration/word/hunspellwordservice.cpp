// SPDX-License-Identifier: GPL-3.0-or-later
#include "hunspellwordservice.h"

#include "blanks.h"

#include <cstdio> // mythes.hxx uses FILE without including it
#include <hunspell.hxx>
#include <mythes.hxx>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

namespace korvel {

namespace {

bool isReadable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in.good() && in.peek() != std::ifstream::traits_type::eof();
}

std::string latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Empty optional when the text holds a character beyond ISO 8859-1 or is not
// well-formed UTF-8: such a term cannot be shown in the 8-bit list.
std::optional<std::string> utf8ToLatin1(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
            const auto d = static_cast<unsigned char>(text[i + 1]);
            if ((d & 0xC0) == 0x80) {
                out += static_cast<char>(((c & 0x03) << 6) | (d & 0x3F));
                ++i;
                continue;
            }
        }
        return std::nullopt;
    }
    return out;
}

char lowerLatin1(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<char>(c + 0x20);
    return ch;
}

bool isUpperLatin1(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

bool isLowerLatin1(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7);
}

std::string toLowerLatin1(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lowerLatin1);
    return out;
}

bool isUtf8Encoding(const char* name) {
    if (name == nullptr)
        return true;
    std::string n(name);
    std::transform(n.begin(), n.end(), n.begin(), [](char c) { return lowerLatin1(c); });
    return n != "iso8859-1" && n != "iso-8859-1" && n != "latin1";
}

// A thesaurus term: "blessed (similar term)", "unhappy (antonym)", "glad".
struct Term {
    std::string text;
    bool antonym = false;
};

Term parseTerm(std::string_view raw) {
    Term t;
    // The notes the thesaurus puts after a term are one parenthesised
    // group at its end, after a blank.
    if (!raw.empty() && raw.back() == ')') {
        const auto open = raw.rfind(" (");
        if (open != std::string_view::npos) {
            t.antonym = raw.substr(open + 2, raw.size() - open - 3) == "antonym";
            raw = raw.substr(0, open);
        }
    }
    while (!raw.empty() && raw.front() == ' ')
        raw.remove_prefix(1);
    while (!raw.empty() && raw.back() == ' ')
        raw.remove_suffix(1);
    t.text = std::string(raw);
    return t;
}

void addOnce(std::vector<std::string>& list, std::string term) {
    if (std::find(list.begin(), list.end(), term) == list.end())
        list.push_back(std::move(term));
}

WordStatus languageCheck(int languageId) {
    if (languageId != LanguageEnglishUK)
        return WordStatus::failure("language " + std::to_string(languageId) + " is not installed");
    return wordOk();
}

} // namespace

std::string WordDictionaryPaths::firstMissing() const {
    for (const std::string* p : {&spellingAffix, &spellingWords, &thesaurusIndex, &thesaurusData}) {
        if (!isReadable(*p))
            return *p;
    }
    return {};
}

HunspellWordService::HunspellWordService(WordDictionaryPaths paths) : paths_(std::move(paths)) {}

HunspellWordService::~HunspellWordService() = default;

WordStatus HunspellWordService::loadDictionaries() {
    if (speller_ && thesaurus_)
        return wordOk();
    // Neither library reports a missing file: both would run on with an empty
    // dictionary. So the files are checked first.
    const std::string missing = paths_.firstMissing();
    if (!missing.empty())
        return WordStatus::failure("dictionary file missing or unreadable: " + missing);
    speller_ =
        std::make_unique<Hunspell>(paths_.spellingAffix.c_str(), paths_.spellingWords.c_str());
    thesaurus_ =
        std::make_unique<MyThes>(paths_.thesaurusIndex.c_str(), paths_.thesaurusData.c_str());
    spellerUtf8_ = isUtf8Encoding(speller_->get_dict_encoding().c_str());
    thesaurusUtf8_ = isUtf8Encoding(thesaurus_->get_th_encoding());
    return wordOk();
}

WordStatus HunspellWordService::requireRunning() const {
    if (!running_)
        return WordStatus::failure("the word-processor service is not running");
    return wordOk();
}

WordStatus HunspellWordService::writeDocument(const std::string& path) {
    // The scratch document carries no content; what matters is that it
    // exists under its name, replacing an earlier one. It is made under a new
    // unique name beside it and renamed into place, so that whatever stood
    // under its name (a link planted in a shared dictionaries folder, a hard
    // link) is replaced, never followed and truncated.
    std::string fresh = path + ".XXXXXX";
    const auto failure = [&path] {
        return WordStatus::failure("cannot write " + path + ": " + std::strerror(errno));
    };
    const int fd = mkostemp(fresh.data(), O_CLOEXEC);
    if (fd < 0)
        return failure();
    if (close(fd) != 0 || rename(fresh.c_str(), path.c_str()) != 0) {
        const WordStatus st = failure();
        unlink(fresh.c_str());
        return st;
    }
    return wordOk();
}

WordStatus HunspellWordService::start() {
    if (auto st = loadDictionaries(); !st)
        return st;
    running_ = true;
    return wordOk();
}

WordStatus HunspellWordService::setVisible(bool /*visible*/) {
    // There is no window to show: the service is always hidden.
    return requireRunning();
}

WordStatus HunspellWordService::addDocument() {
    if (auto st = requireRunning(); !st)
        return st;
    ++documentsAdded_;
    documents_.push_back({"Document" + std::to_string(documentsAdded_), {}});
    return wordOk();
}

WordStatus HunspellWordService::saveDocumentAs(int index, const std::string& path) {
    if (auto st = requireRunning(); !st)
        return st;
    if (index < 1 || index > static_cast<int>(documents_.size()))
        return WordStatus::failure("no document number " + std::to_string(index));
    if (path.empty())
        return WordStatus::failure("no file name");
    if (auto st = writeDocument(path); !st)
        return st;
    Document& doc = documents_[static_cast<std::size_t>(index - 1)];
    doc.name = path;
    doc.path = path;
    return wordOk();
}

WordStatus HunspellWordService::closeDocument(const std::string& name, bool saveChanges) {
    if (auto st = requireRunning(); !st)
        return st;
    const auto it = std::find_if(documents_.begin(), documents_.end(),
                                 [&](const Document& d) { return d.name == name; });
    if (it == documents_.end())
        return WordStatus::failure("no open document " + name);
    if (saveChanges && !it->path.empty()) {
        if (auto st = writeDocument(it->path); !st)
            return st;
    }
    documents_.erase(it);
    return wordOk();
}

WordStatus HunspellWordService::quit() {
    if (auto st = requireRunning(); !st)
        return st;
    documents_.clear();
    running_ = false;
    return wordOk();
}

std::vector<std::string> HunspellWordService::documentNames() const {
    std::vector<std::string> names;
    for (const Document& d : documents_)
        names.push_back(d.name);
    return names;
}

WordResult<SynonymInfo> HunspellWordService::synonymInfo(std::string_view word, int languageId) {
    if (auto st = languageCheck(languageId); !st)
        return WordResult<SynonymInfo>::failure(st.error());
    if (auto st = loadDictionaries(); !st)
        return WordResult<SynonymInfo>::failure(st.error());
    word = trimBlanks(word);

    const auto toThesaurus = [&](std::string_view latin1) {
        return thesaurusUtf8_ ? latin1ToUtf8(latin1) : std::string(latin1);
    };
    const auto fromThesaurus = [&](const std::string& text) -> std::optional<std::string> {
        return thesaurusUtf8_ ? utf8ToLatin1(text) : std::optional<std::string>(text);
    };

    // The thesaurus keys are mostly lower case, and the TEST field is usually
    // upper case. An inflected form ("RAN") is looked up by its stems, as a
    // word processor's thesaurus does.
    std::vector<std::string> candidates{toThesaurus(word), toThesaurus(toLowerLatin1(word))};
    const std::string spellerWord =
        spellerUtf8_ ? latin1ToUtf8(toLowerLatin1(word)) : toLowerLatin1(word);
    for (const std::string& stem : speller_->stem(spellerWord)) {
        if (spellerUtf8_ == thesaurusUtf8_)
            candidates.push_back(stem);
    }

    SynonymInfo info;
    std::string found;
    for (const std::string& key : candidates) {
        if (key.empty())
            continue;
        mentry* meanings = nullptr;
        const int count = thesaurus_->Lookup(key.c_str(), static_cast<int>(key.size()), &meanings);
        if (count <= 0 || meanings == nullptr) {
            if (meanings != nullptr)
                thesaurus_->CleanUpAfterLookup(&meanings, count);
            continue;
        }
        info.MeaningCount = count;
        for (int m = 0; m < count; ++m) {
            for (int s = 0; s < meanings[m].count; ++s) {
                Term term = parseTerm(meanings[m].psyns[s]);
                if (term.text.empty() || term.text == key)
                    continue;
                std::optional<std::string> shown = fromThesaurus(term.text);
                if (!shown)
                    continue;
                if (term.antonym)
                    addOnce(info.AntonymList, std::move(*shown));
                else if (m == 0)
                    addOnce(info.SynonymList, std::move(*shown));
            }
        }
        thesaurus_->CleanUpAfterLookup(&meanings, count);
        break;
    }
    return info;
}

WordResult<SpellingSuggestions> HunspellWordService::spellingSuggestions(std::string_view word,
                                                                         bool ignoreUppercase,
                                                                         int mainDictionaryLanguage,
                                                                         int suggestionMode) {
    if (auto st = languageCheck(mainDictionaryLanguage); !st)
        return WordResult<SpellingSuggestions>::failure(st.error());
    if (suggestionMode != SuggestionModeSpelling)
        return WordResult<SpellingSuggestions>::failure("only spelling suggestions are available");
    if (auto st = loadDictionaries(); !st)
        return WordResult<SpellingSuggestions>::failure(st.error());
    word = trimBlanks(word);

    SpellingSuggestions result;
    if (word.empty())
        return result;
    if (ignoreUppercase) {
        const bool anyLower = std::any_of(word.begin(), word.end(), [](char c) {
            return isLowerLatin1(static_cast<unsigned char>(c));
        });
        const bool anyUpper = std::any_of(word.begin(), word.end(), [](char c) {
            return isUpperLatin1(static_cast<unsigned char>(c));
        });
        if (anyUpper && !anyLower)
            return result;
    }

    const std::string text = spellerUtf8_ ? latin1ToUtf8(word) : std::string(word);
    if (speller_->spell(text))
        return result;
    result.SpellingErrorType = 1;
    for (const std::string& s : speller_->suggest(text)) {
        std::optional<std::string> shown =
            spellerUtf8_ ? utf8ToLatin1(s) : std::optional<std::string>(s);
        if (shown && !shown->empty())
            addOnce(result.names, std::move(*shown));
    }
    return result;
}

} // namespace korvel
