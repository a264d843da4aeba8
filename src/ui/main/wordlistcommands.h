// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dictlanguage.h"
#include "editorstate.h"
#include "personallists.h"
#include "promptstate.h"
#include "searchhost.h"
#include "tool.h"
#include "wordindex.h"
#include "wordscores.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace korvel {

class Desktop;
class FillCommands;
class GridDocument;
class StatusPanels;
class WordIndexCache;
struct DictionaryStore;

// What the word-list commands work with; all outlive the commands.
struct WordListContext {
    Desktop& desktop;
    QWidget* parent; // of the boxes and the dialog
    const DictionaryStore& store;
    WordIndexCache& indexes;
    FillCommands& fill;
    const GridDocument& document;
    StatusPanels& panels;
    const SearchFlags& flags;
    // The red box drawn last, the current tool and the current cell: they
    // tell which word "Add to My Words" and "Ban Word" take.
    const EditorState& editor;

    bool busy() const { return flags.busy(); }
    Selection lastBox() const { return editor.lastSelection(); }
    Tool tool() const { return editor.CurrentTool(); }
    std::pair<int, int> currentCell() const {
        return {editor.CurrentRow(), editor.CurrentColumn()};
    }
};

// What the fill's words are made of, in the window: the score lists of the
// dictionaries folder, the user's own lists (Tools > "Add to My Words", "Ban
// Word"), the fill's minimum score (Tools > "Fill Settings...", remembered)
// and, when the program fell back to the default lists of a language, the
// choice of that language (Tools > Dictionaries, remembered for the next
// start). The searches never see any of it.
class WordListCommands : public QObject {
    Q_OBJECT
public:
    // Reads the remembered minimum and hands it to the fill.
    explicit WordListCommands(WordListContext context);
    ~WordListCommands() override;

    // Adds "Fill Settings...", "Add to My Words" and "Ban Word" at the end of
    // tools, and the language items (hidden until the dictionaries are
    // loaded from a folder the language chose) at the end of its
    // Dictionaries menu. Returns every action added, named.
    QList<QAction*> addMenuItems(QMenu* tools);

    // Once the dictionaries are loaded: reads the folder's score lists and
    // the user's lists into the fill's indexes, and shows the language items
    // when the language chose the folder.
    void dictionariesLoaded();

    void FillSettings_Click();
    void AddToMyWords_Click() { addSelectedWord(PersonalList::MyWords); }
    void BanWord_Click() { addSelectedWord(PersonalList::Banned); }
    void languageClick(DictionaryLanguage language);

    // Where the user's lists are: the per-user data folder
    // ($XDG_DATA_HOME/korvel, default ~/.local/share/korvel).
    static std::string personalFolder();
    // The file that remembers the settings: the window's own settings file,
    // $XDG_CONFIG_HOME/korvel/Korvel.conf (default ~/.config/korvel/).
    static QString settingsFile();

    bool languageItemsShown() const { return languageShown_; }
    // The score lists read, waiting for them when they are still being read;
    // null before the dictionaries are loaded.
    std::shared_ptr<const WordScores> scores() const;

private:
    void addSelectedWord(PersonalList list);
    // The word of the red box after a search across or down, else of the
    // slot through the current cell (along the tool's direction first);
    // none, with why, when that is no complete word of letters A to Z.
    std::optional<std::string> selectedWord(QString& why) const;
    // Reads the user's lists again and gives the indexes the new words.
    void reloadLists(bool reportProblems);
    void updateMenu();
    void box(const QString& title, const QString& text);
    void showWarnings(const std::vector<std::string>& warnings);

    WordListContext c_;
    // Read on a thread of their own while the window starts; the index
    // builds wait for them.
    ScoresFuture scores_;
    bool loaded_ = false;
    bool languageShown_ = false;
    DictionaryLanguage loadedLanguage_ = DictionaryLanguage::English;

    QAction* settings_ = nullptr;
    QAction* myWords_ = nullptr;
    QAction* ban_ = nullptr;
    QAction* languageSeparator_ = nullptr;
    QAction* italian_ = nullptr;
    QAction* english_ = nullptr;
    QActionGroup* languages_ = nullptr;
};

} // namespace korvel
