#pragma once

#include <QDialog>

#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace korvel {

struct DictionaryStore;

// An entry of the viewer: the line trimmed of blanks and, for the base
// dictionary, a final EndingCode written out as its vowel set ("CAS!" shows
// as "CAS(AE)").
std::string viewerEntry(std::string_view line, bool baseDictionary);

// The item the search field stops at in items: the first that, for a text s
// longer than 3 characters, is the stem line of s less its last letter, or
// whose first len(s) characters sort at or after s; the last item when none
// does; -1 for an empty list. s is compared byte by byte.
int viewerSearchIndex(const std::vector<std::string>& items, std::string_view s);

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
    QListWidget* list2() const { return list2_; }
    QListWidget* list3() const { return list3_; }
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
    void List_DblClick(QListWidget* list, int row);
    void setSearchText(const QString& text);

    const DictionaryStore& store_;

    QLabel* label1_;
    QLabel* label2_;
    QListWidget* list1_;
    QListWidget* list2_;
    QListWidget* list3_;
    QLabel* label3_;
    QLabel* label4_;
    QLineEdit* text1_;
    QPushButton* command2_;
    QPushButton* command1_;
    QTimer* fillTimer_;

    // The bytes of the items of List2 and List3, for the search field's
    // byte-wise comparisons.
    std::vector<std::string> items2_;
    std::vector<std::string> items3_;

    int n_ = 0;
    // 1-based scan position in the dictionary text.
    long long inif_ = 1;
    // Entries listed so far; wide enough for any dictionary.
    long long numE_ = 0;
    // Empty until the first base-dictionary entry beginning with M.
    std::string riga2_;
    bool filling_ = false;
};

} // namespace korvel
