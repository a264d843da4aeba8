// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editorstate.h"
#include "griddocument.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace korvel {

// What the clue panel asks of the window around it.
struct CluePanelHooks {
    // An entry was chosen: the window shows its slot with the red box.
    std::function<void(const Slot&)> showSlot;
    // A clue edit was recorded: the window brings its Undo and Redo keys up
    // to date (and tells when the history was emptied to make room).
    std::function<void(const AggiorResult&)> edited;
    // While true (a search runs), edits are refused.
    std::function<bool()> busy;
};

// The clues of the document beside the grid: an Across and a Down list with
// an entry for every slot (its number, its answer as it stands with "?" for
// an empty cell, its length and its clue, which is edited in place), and the
// clues no slot holds, which stay editable, can be deleted, and are offered
// back to the slot that starts at their place again. Every edit goes through
// the document's edit; the panel follows the document as its observer,
// bringing up to date only the entries of the words a change of the cells
// went through. With a writing tool it follows the write cursor: a click in
// the grid or a key that moves the cursor makes the entry of its word the
// current one. Enter or Tab in a clue moves on to the next entry, Shift+Tab
// back; Ctrl+Z and Ctrl+Y in an editor with nothing of its own to take back
// go to the window's Undo and Redo.
class CluePanel : public QWidget, private DocumentObserver, private EditorObserver {
    Q_OBJECT
public:
    // The document and the editor state must outlive the panel.
    CluePanel(GridDocument& document, EditorState& editor, CluePanelHooks hooks,
              QWidget* parent = nullptr);
    ~CluePanel() override;

    // Makes the entry of the slot through (row, column) along direction the
    // current one and scrolls to it, without drawing its box; nothing when
    // no slot runs there.
    void chooseAt(int row, int column, Direction direction);
    // Starts editing the clue of the current entry.
    void editCurrent();

    QTableWidget* acrossList() const { return across_; }
    QTableWidget* downList() const { return down_; }
    QTableWidget* unplacedList() const { return unplaced_; }
    QPushButton* placeButton() const { return place_; }
    QPushButton* deleteButton() const { return delete_; }

    // The columns of the Across and Down lists.
    enum Column { NumberColumn, AnswerColumn, LengthColumn, ClueColumn };

    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent* event) override;
    // Fits the columns to a list's new width.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ClueEditDelegate;

    void documentChanged(const GridDocument& document, const DocumentChange& change) override;
    void editorChanged(const EditorState& editor, const EditorChange& change) override;
    // Brings every list up to date (the rows fitted to the slots again when
    // rows is true).
    void refresh(bool rows = true);
    void refreshSlotLists(bool rows);
    // The entries of the words through the cells.
    void refreshCells(const std::vector<int>& cells);
    void refreshUnplaced();
    // Place and Delete follow the unplaced clue chosen.
    void updateButtons();
    void fillSlotRow(QTableWidget* table, int row, const Slot& slot);
    // The number, answer and length as wide as they need (the answer at
    // most a third of the list), the clue the rest.
    void fitColumns(QTableWidget* table);
    // The slot an entry of the Across or Down list stands for.
    const Slot* slotOf(const QTableWidget* table, int row) const;
    // The text an editor of row in table committed.
    void commit(QTableWidget* table, int row, const QString& text);
    // Enter, Tab (+1) or Shift+Tab (-1) in the editor of row in table.
    void advance(QTableWidget* table, int row, int step);
    void entryChosen(QTableWidget* table, int row);
    void placeCurrent();
    void deleteCurrent();
    bool refused();
    void recorded(const AggiorResult& r);

    GridDocument& doc_;
    EditorState& editor_;
    CluePanelHooks hooks_;
    QTableWidget* across_;
    QTableWidget* down_;
    QLabel* unplacedLabel_;
    QTableWidget* unplaced_;
    QPushButton* place_;
    QPushButton* delete_;
    // The keys of the unplaced clues shown.
    std::vector<ClueKey> unplacedKeys_;
    // The lists wait for the panel to be shown again, made anew.
    bool stale_ = true;
    // Inside an editor's commit: the lists are brought up to date after it.
    bool committing_ = false;
    // Set while the panel moves its own selection: no box is drawn for it.
    bool quiet_ = false;
};

} // namespace korvel
