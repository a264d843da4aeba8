// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "wordservice.h"

#include <string>
#include <string_view>

namespace korvel {

inline constexpr std::string_view ScratchDocumentName = "~ravor.doc";

// The message box shown when the word-processor service cannot be used.
inline constexpr std::string_view WordConnectionFailureTitle = "Attention!";
inline constexpr std::string_view WordConnectionFailureText =
    "This program cannot use MS Word directly.\r\n"
    "It might happen when MS Word is opened already. If so, exit the program,\r\n"
    "close MS Word, and then call this program again.";

// List lines and panel texts of the thesaurus and spelling tools.
inline constexpr std::string_view SynonymsHeader = "=         synonyms         =";
inline constexpr std::string_view AntonymsHeader = ">         antonyms          <";
inline constexpr std::string_view NoSynonymsText = " no Syn./Ant. ";
inline constexpr std::string_view NotValidText = " not valid ";
inline constexpr std::string_view SpellingErrorText = " ERR. Spelling ";
inline constexpr std::string_view SpellingOkText = " OK Spelling ";
// Shown when the spelling look-up itself fails.
inline constexpr std::string_view SpellingUnavailableText = " Spelling not available ";

// What the two tools write to: the results list and the status bar of the
// main window, and its beep.
class WordToolSink {
public:
    virtual ~WordToolSink() = default;
    virtual void setPanelText(int panel, std::string_view text) = 0;
    virtual void setPanelHint(int panel, std::string_view hint) = 0;
    virtual void clearList() = 0;
    virtual void addListLine(std::string line) = 0;
    virtual void setListHint(std::string_view hint) = 0;
    virtual void beep() = 0;
};

// The scratch document's path: the dictionaries folder and "~ravor.doc",
// with a "/" between them when the folder does not end in one.
std::string scratchDocumentPath(std::string_view dictFolder);

// Starts the service hidden with one new document saved under scratchPath.
// Stops at the first failing step and returns its failure, quitting the
// service again when it had started; the caller shows the connection failure
// message.
WordStatus openWordService(WordService& service, const std::string& scratchPath);

// Closes the scratch document without saving and quits the service. Stops at
// the first failing step; callers ignore the failure (closing a connection
// that was never opened fails at its first step).
WordStatus closeWordService(WordService& service, const std::string& scratchPath);

// "THESAURUS of TEST": lists the synonyms and antonyms of testText.
void thesaurusLookup(WordService& service, std::string_view testText, WordToolSink& sink);

// "SPELLING of TEST": says whether testText is spelled correctly and lists the
// suggestions when it is not. Adds to the list without clearing it.
void spellingCheck(WordService& service, std::string_view testText, WordToolSink& sink);

// Upper case of the program's 8-bit code page (ISO 8859-1).
std::string toUpperLatin1(std::string_view text);

} // namespace korvel
