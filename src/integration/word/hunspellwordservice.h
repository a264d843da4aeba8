// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "wordservice.h"

#include <memory>
#include <string>
#include <vector>

class Hunspell;
class MyThes;

namespace korvel {

// Where the spelling dictionary (Hunspell) and the thesaurus (MyThes) lie.
// The defaults are where Debian's hunspell-en-gb and mythes-en-us put them.
struct WordDictionaryPaths {
    std::string spellingAffix = "/usr/share/hunspell/en_GB.aff";
    std::string spellingWords = "/usr/share/hunspell/en_GB.dic";
    std::string thesaurusIndex = "/usr/share/mythes/th_en_US_v2.idx";
    std::string thesaurusData = "/usr/share/mythes/th_en_US_v2.dat";

    // The first of the four files that is missing or unreadable; "" when all
    // are there.
    std::string firstMissing() const;
};

// The word-processor service of this platform: spelling from Hunspell's
// British English dictionary, synonyms and antonyms from the MyThes English
// thesaurus, and scratch documents as plain files.
//
// The dictionaries are loaded on the first call that needs them and kept for
// the life of the object, so a started and quit application and the look-ups
// share one copy. Not thread-safe; the window calls it from its one thread.
class HunspellWordService : public WordService {
public:
    explicit HunspellWordService(WordDictionaryPaths paths = {});
    ~HunspellWordService() override;

    HunspellWordService(const HunspellWordService&) = delete;
    HunspellWordService& operator=(const HunspellWordService&) = delete;

    WordStatus start() override;
    WordStatus setVisible(bool visible) override;
    WordStatus addDocument() override;
    WordStatus saveDocumentAs(int index, const std::string& path) override;
    WordStatus closeDocument(const std::string& name, bool saveChanges) override;
    WordStatus quit() override;

    WordResult<SynonymInfo> synonymInfo(std::string_view word, int languageId) override;
    WordResult<SpellingSuggestions> spellingSuggestions(std::string_view word, bool ignoreUppercase,
                                                        int mainDictionaryLanguage,
                                                        int suggestionMode) override;

    bool isRunning() const { return running_; }
    // Names of the open documents, in the order added.
    std::vector<std::string> documentNames() const;

private:
    struct Document {
        std::string name;
        std::string path; // "" until saved
    };

    WordStatus loadDictionaries();
    WordStatus requireRunning() const;
    static WordStatus writeDocument(const std::string& path);

    WordDictionaryPaths paths_;
    std::unique_ptr<Hunspell> speller_;
    std::unique_ptr<MyThes> thesaurus_;
    bool spellerUtf8_ = true;
    bool thesaurusUtf8_ = true;

    bool running_ = false;
    int documentsAdded_ = 0;
    std::vector<Document> documents_;
};

} // namespace korvel
