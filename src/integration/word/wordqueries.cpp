// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordqueries.h"

#include "blanks.h"

#include <algorithm>

namespace korvel {

namespace {

constexpr int MessagePanel = 2;
constexpr int RemarkPanel = 3;

// A TEST text of blanks only holds no word: the services trim the blanks and
// would answer for an empty word (spelling calls it correct).
bool isEmptyTest(std::string_view text) {
    return trimBlanks(text).empty();
}

void thesaurusFailed(WordToolSink& sink) {
    sink.setPanelText(MessagePanel, NoSynonymsText);
    sink.setPanelText(RemarkPanel, " ");
    sink.beep();
}

void spellingFailed(WordToolSink& sink) {
    sink.setPanelText(MessagePanel, SpellingUnavailableText);
    sink.setPanelText(RemarkPanel, " ");
    sink.beep();
}

} // namespace

std::string toUpperLatin1(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            return static_cast<char>(c - 0x20);
        return ch;
    });
    return out;
}

std::string scratchDocumentPath(std::string_view dictFolder) {
    std::string path(dictFolder);
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += ScratchDocumentName;
    return path;
}

WordStatus openWordService(WordService& service, const std::string& scratchPath) {
    if (auto st = service.start(); !st)
        return st;
    WordStatus st = service.setVisible(false);
    if (st)
        st = service.addDocument();
    if (st)
        st = service.saveDocumentAs(1, scratchPath);
    // A service started but not ready would stay behind, hidden, with no
    // connection to close it.
    if (!st)
        service.quit();
    return st;
}

WordStatus closeWordService(WordService& service, const std::string& scratchPath) {
    if (auto st = service.closeDocument(scratchPath, false); !st)
        return st;
    return service.quit();
}

void thesaurusLookup(WordService& service, std::string_view testText, WordToolSink& sink) {
    if (isEmptyTest(testText))
        return;
    const auto info = service.synonymInfo(testText, LanguageEnglishUK);
    if (!info)
        return thesaurusFailed(sink);

    sink.clearList();
    sink.setListHint("");
    sink.setPanelHint(MessagePanel, "");

    if (info.value().MeaningCount <= 0) {
        sink.addListLine(" ");
        sink.addListLine(std::string(NoSynonymsText));
        thesaurusFailed(sink);
        return;
    }

    const std::vector<std::string>& synonyms = info.value().SynonymList;
    sink.addListLine(std::string(SynonymsHeader));
    for (const std::string& s : synonyms)
        sink.addListLine("=" + toUpperLatin1(s));

    // The antonyms come from a second look-up, as the word processor's
    // object model hands them out; if it fails the synonyms stay listed.
    const auto again = service.synonymInfo(testText, LanguageEnglishUK);
    if (!again)
        return thesaurusFailed(sink);
    const std::vector<std::string>& antonyms = again.value().AntonymList;
    sink.addListLine(std::string(AntonymsHeader));
    for (const std::string& a : antonyms)
        sink.addListLine(">" + toUpperLatin1(a));

    sink.setPanelText(MessagePanel,
                      " " + std::to_string(synonyms.size() + antonyms.size()) + " Syn./Ant.");
    sink.setPanelText(RemarkPanel, " ");
}

void spellingCheck(WordService& service, std::string_view testText, WordToolSink& sink) {
    if (isEmptyTest(testText))
        return;
    if (testText.find_first_of("?*") != std::string_view::npos) {
        sink.setPanelText(MessagePanel, NotValidText);
        sink.setPanelText(RemarkPanel, " ");
        return;
    }
    const auto check =
        service.spellingSuggestions(testText, false, LanguageEnglishUK, SuggestionModeSpelling);
    if (!check)
        return spellingFailed(sink);

    if (check.value().SpellingErrorType != 1) {
        sink.setPanelText(MessagePanel, SpellingOkText);
        sink.setPanelText(RemarkPanel, " ");
        sink.addListLine(" ");
        sink.addListLine(std::string(SpellingOkText));
        return;
    }

    sink.setPanelText(MessagePanel, SpellingErrorText);
    sink.setPanelText(RemarkPanel, " ");
    const auto suggestions =
        service.spellingSuggestions(testText, false, LanguageEnglishUK, SuggestionModeSpelling);
    if (!suggestions)
        return spellingFailed(sink);
    // Every suggestion is listed, a single one too: hiding the only
    // suggestion would leave the user with an error and nothing to pick.
    for (const std::string& name : suggestions.value().names)
        sink.addListLine(toUpperLatin1(name));
}

} // namespace korvel
