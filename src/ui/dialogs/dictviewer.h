// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "focusreturn.h"
#include "viewerentries.h"

#include <QAbstractListModel>
#include <QDialog>

#include <memory>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QTimer;

namespace korvel {

struct DictionaryStore;

// One of the viewer's entry lists (List2 or List3): the rows of an EntryWalk,
// read from the dictionary text when the view shows them.
class EntriesModel : public QAbstractListModel {
    Q_OBJECT
public:
    EntriesModel(std::string_view marker, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Shows the rows of rows (of walk) that have come since the last call;
    // nullptr empties the list.
    void show(const EntryWalk* walk, const EntryRows* rows);
    // The bytes of row r.
    std::string_view text(int r, std::string& buf) const;

private:
    std::string_view marker_;
    const EntryWalk* walk_ = nullptr;
    const EntryRows* rows_ = nullptr;
    int shown_ = 0;
};

// The dictionary viewer Form0f. It lists the loaded dictionaries; a click on
// one lists its entries (the base dictionary split at M over List2 and
// List3), counts them and lets the user jump to an entry by typing its
// beginning. It only reads the store, which must outlive the dialog.
//
// The entries are listed a slice at a time from the event loop, so the window
// answers while a large dictionary is listed; List1 stays disabled until the
// listing is complete.
class DictionaryViewer : public QDialog {
    Q_OBJECT
public:
    // Entries of the base dictionary from which the half switch is shown.
    static constexpr int SplitThreshold = 32000;

    explicit DictionaryViewer(const DictionaryStore& store, QWidget* parent = nullptr);

    QLabel* label1() const { return label1_; }
    QLabel* label2() const { return label2_; }
    QLabel* label3() const { return label3_; }
    QListWidget* list1() const { return list1_; }
    QListView* list2() const { return list2_; }
    QListView* list3() const { return list3_; }
    QLineEdit* text1() const { return text1_; }
    QPushButton* command1() const { return command1_; }
    QPushButton* command2() const { return command2_; }

    // True from a dictionary click until its entries are all listed.
    bool isFilling() const { return filling_; }
    // Number of the dictionary shown (1 to 6); 0 before the first click.
    int shownDictionary() const { return n_; }

    // Starts listing the dictionary on line row of List1 (0-based).
    void List1_Click(int row);

    void done(int result) override;

signals:
    // Emitted when a dictionary's entries are all listed.
    void fillFinished();

private:
    void Form_Load();
    void fillSlice();
    void finishFill();
    void Text1_Change();
    void Command2_Click();
    void List_DblClick(QListView* list, int row);
    EntriesModel* modelOf(QListView* list) const;
    void setSearchText(const QString& text);

    const DictionaryStore& store_;
    // Closed, the viewer gives the focus back to the window behind it.
    FocusReturn focusBack_;

    QLabel* label1_;
    QLabel* label2_;
    QListWidget* list1_;
    QListView* list2_;
    QListView* list3_;
    EntriesModel* model2_;
    EntriesModel* model3_;
    QLabel* label3_;
    QLabel* label4_;
    QLineEdit* text1_;
    QPushButton* command2_;
    QPushButton* command1_;
    QTimer* fillTimer_;

    // The walk over the dictionary shown; the entry lists read from it.
    std::unique_ptr<EntryWalk> walk_;
    int n_ = 0;
    bool filling_ = false;
};

} // namespace korvel
