// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cluememory.h"
#include "definitions.h"
#include "griddocument.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTimer;

namespace korvel {

class CluePanel;
class ClueHelpService;

// The place the clue memory keeps a puzzle's clues under: its file's
// absolute path as the file system's bytes; "" for a puzzle never saved.
std::string memoryPlaceOf(const std::string& fileName);

// Under the clue lists, help with the clue of the chosen entry: your own
// past clues for its answer first (from the clue memory, with the puzzle and
// the day each was first saved in), then its meanings (from the definitions
// of the loaded set's language; an English gloss of an Italian entry is
// marked so). A click on one gives its text to the entry as its clue, to
// rework in the editor that opens (one recorded change). A search box finds
// past clues by word. A clue whose answer changed since it was written is
// flagged here with a Confirm Clue button. Every lookup runs on the
// service's threads and comes back through the event loop, so typing never
// waits; a lookup overtaken by a newer one is dropped.
class ClueHelpPanel : public QWidget, private DocumentObserver {
    Q_OBJECT
public:
    // All outlive the panel. service is asked for only when a lookup runs;
    // its answers come back through relay (on the window's thread), which
    // must outlive the service's threads.
    ClueHelpPanel(GridDocument& document, CluePanel& clues,
                  std::function<ClueHelpService&()> service, QObject* relay,
                  QWidget* parent = nullptr);
    ~ClueHelpPanel() override;

    // Why the clue memory was not written or read, shown until the next
    // write that works; "" clears it.
    void setMemoryProblem(const QString& text);
    // Looks the current entry up again (after the memory changed).
    void lookAgain();

    QListWidget* helpList() const { return list_; }
    QLineEdit* searchBox() const { return search_; }
    QLabel* entryLabel() const { return entry_; }
    QLabel* memoryStatus() const { return status_; }
    QLabel* changedNote() const { return changed_; }
    QPushButton* confirmButton() const { return confirm_; }
    // The entry whose help is shown, as the grid's letters ("" for none).
    const std::string& shownEntry() const { return shownEntry_; }
    // Lookups asked for and not yet answered.
    int pending() const { return pending_; }

    // Where an item of the list came from.
    enum ItemKind { HeadingItem, PastClueItem, MeaningItem, FoundItem, NoteItem };
    // The item's kind (Qt::UserRole) and the text a click gives the entry
    // (Qt::UserRole + 1).
    static constexpr int KindRole = Qt::UserRole;
    static constexpr int TextRole = Qt::UserRole + 1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void documentChanged(const GridDocument& document, const DocumentChange& change) override;
    // The entry chosen or its letters may have changed: looked at once the
    // events of a burst of changes are over.
    void schedule();
    void refreshHelp();
    void showEntryHelp();
    void runSearch();
    void itemClicked(QListWidgetItem* item);
    void addItem(ItemKind kind, const QString& text, const QString& use = {},
                 const QString& tip = {});
    QString useLine(const RememberedClue& clue) const;

    GridDocument& doc_;
    CluePanel& clues_;
    std::function<ClueHelpService&()> service_;
    QObject* relay_;
    QLabel* entry_;
    QLabel* changed_;
    QPushButton* confirm_;
    QLineEdit* search_;
    QListWidget* list_;
    QLabel* status_;
    QTimer* timer_;

    std::string shownEntry_;
    // Answers of the entry shown, as they come.
    std::vector<RememberedClue> past_;
    std::vector<EntryMeanings> meanings_;
    QString pastError_;
    QString meaningsError_;
    bool searching_ = false;
    int pending_ = 0;
    // Bumped for every entry looked up: answers for another are dropped.
    unsigned generation_ = 0;
};

} // namespace korvel
