// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace korvel {

// Language identifier of English (United Kingdom), the language of both
// look-ups.
inline constexpr int LanguageEnglishUK = 2057;

// Suggestion mode of a spelling look-up: spelling, not grammar.
inline constexpr int SuggestionModeSpelling = 0;

// The value of a word-processor call, or the reason it failed.
template <class T = std::monostate> class WordResult {
public:
    WordResult(T value) : value_(std::move(value)) {}
    static WordResult failure(std::string message) {
        WordResult r;
        r.error_ = std::move(message);
        return r;
    }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    // Only on success.
    const T& value() const { return *value_; }
    // Empty on success.
    const std::string& error() const { return error_; }

private:
    WordResult() = default;
    std::optional<T> value_;
    std::string error_;
};

using WordStatus = WordResult<>;

inline WordStatus wordOk() {
    return WordStatus(std::monostate{});
}

// What the thesaurus knows of one word.
struct SynonymInfo {
    // Number of meanings; 0 when the thesaurus does not know the word.
    int MeaningCount = 0;
    // The synonyms of meaning 1, bare terms without the thesaurus's notes;
    // empty when MeaningCount is 0.
    std::vector<std::string> SynonymList;
    // The terms the thesaurus marks as antonyms, over all meanings.
    std::vector<std::string> AntonymList;
};

// The outcome of a spelling check of one word.
struct SpellingSuggestions {
    // 0 when the word is spelled correctly, 1 when it is not in the dictionary.
    int SpellingErrorType = 0;
    // The suggested spellings in the checker's order (their "Name"s); the
    // "Count" is their number.
    std::vector<std::string> names;
};

// The operations of a word-processor automation server that the connection
// and the thesaurus and spelling tools use. Text crosses this interface in the
// program's 8-bit code page (ISO 8859-1), as the TEST field and the results
// list hold it. Every call reports failure instead of throwing.
class WordService {
public:
    virtual ~WordService() = default;

    // Starts the application. Fails when the service cannot run at all.
    virtual WordStatus start() = 0;
    virtual WordStatus setVisible(bool visible) = 0;
    // Adds a new empty document to the application's documents.
    virtual WordStatus addDocument() = 0;
    // Saves document number index (1-based, in the order added) under path;
    // the document is known by that path from then on.
    virtual WordStatus saveDocumentAs(int index, const std::string& path) = 0;
    // Closes the document known by name; with saveChanges false the file on
    // disk stays as last saved.
    virtual WordStatus closeDocument(const std::string& name, bool saveChanges) = 0;
    // Ends the application; its documents are closed without saving.
    virtual WordStatus quit() = 0;

    // The look-ups belong to the service as a whole, not to one application:
    // they work whether or not the application has been started.
    virtual WordResult<SynonymInfo> synonymInfo(std::string_view word, int languageId) = 0;
    virtual WordResult<SpellingSuggestions> spellingSuggestions(std::string_view word,
                                                                bool ignoreUppercase,
                                                                int mainDictionaryLanguage,
                                                                int suggestionMode) = 0;
};

} // namespace korvel
