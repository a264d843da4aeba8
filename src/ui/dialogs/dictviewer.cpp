#include "dictviewer.h"

#include "blanks.h"
#include "dictionarystore.h"

#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace korvel {

namespace {

// Time one slice of the listing may take before the event loop runs again,
// and the entries handed to the list widgets at a time within a slice (adding
// them costs more than reading them, so the clock is read after each batch).
constexpr qint64 SliceMilliseconds = 15;
constexpr int BatchEntries = 2000;

constexpr std::string_view ContinueMarker = "...to continue, click on M-Z=> ";
constexpr std::string_view BackMarker = "...back to the beginning , click on  A-L<= ";

QString shown(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Upper case of the program's 8-bit code page, as the field's text is
// compared with the entries' bytes.
std::string searchText(const QString& fieldText) {
    std::string s = fieldText.toUpper().toLatin1().toStdString();
    return std::string(trimBlanks(s));
}

} // namespace

std::string viewerEntry(std::string_view line, bool baseDictionary) {
    line = trimBlanks(line);
    std::string entry(line);
    if (baseDictionary && !entry.empty() && isEndingCode(entry.back())) {
        const std::string_view vowels = endingVowels(entry.back());
        entry.pop_back();
        entry += '(';
        entry += vowels;
        entry += ')';
    }
    return entry;
}

int viewerSearchIndex(const std::vector<std::string>& items, std::string_view s) {
    if (items.empty())
        return -1;
    const std::size_t len = s.size();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string_view item = items[i];
        if (len > 3 && item.substr(0, len - 1) == s.substr(0, len - 1) && item.size() >= len &&
            item[len - 1] == '(')
            return static_cast<int>(i);
        if (item.substr(0, len) >= s)
            return static_cast<int>(i);
    }
    return static_cast<int>(items.size()) - 1;
}

DictionaryViewer::DictionaryViewer(const DictionaryStore& store, QWidget* parent)
    : QDialog(parent), store_(store) {
    setObjectName(QStringLiteral("Form0f"));
    setWindowTitle(QStringLiteral("  DICTIONARIES VERIFICATION"));
    setModal(true);

    label1_ = new QLabel(QStringLiteral(" Dictionaries Folder :"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label2_ =
        new QLabel(QStringLiteral("All dictionaries must reside in the program folder"), this);
    label2_->setObjectName(QStringLiteral("Label2"));
    list1_ = new QListWidget(this);
    list1_->setObjectName(QStringLiteral("List1"));
    list2_ = new QListWidget(this);
    list2_->setObjectName(QStringLiteral("List2"));
    list3_ = new QListWidget(this);
    list3_->setObjectName(QStringLiteral("List3"));
    label3_ = new QLabel(this);
    label3_->setObjectName(QStringLiteral("Label3"));
    label4_ = new QLabel(QStringLiteral("Look for  "), this);
    label4_->setObjectName(QStringLiteral("Label4"));
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    command2_ = new QPushButton(QStringLiteral("M-Z=>"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    command1_ = new QPushButton(QStringLiteral("Exit"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setAutoDefault(false);
    command2_->setAutoDefault(false);

    for (QListWidget* list : {list2_, list3_}) {
        // Lists of a whole dictionary: every row has the same height, which
        // spares the view from measuring each item.
        list->setUniformItemSizes(true);
        list->setMinimumWidth(260);
        list->setMinimumHeight(320);
    }
    list1_->setMinimumWidth(180);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label1_, 0, 0, 1, 2);
    grid->addWidget(label2_, 1, 0, 1, 2);
    grid->addWidget(list1_, 2, 0);
    // List3 lies where List2 lies; one of the two halves is shown at a time.
    grid->addWidget(list2_, 2, 1);
    grid->addWidget(list3_, 2, 1);
    grid->addWidget(label3_, 3, 1);
    auto* search = new QHBoxLayout;
    search->addWidget(label4_);
    search->addWidget(text1_);
    grid->addLayout(search, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(command2_);
    buttons->addStretch();
    buttons->addWidget(command1_);
    grid->addLayout(buttons, 5, 0, 1, 2);
    list3_->hide();

    fillTimer_ = new QTimer(this);
    fillTimer_->setInterval(0);
    connect(fillTimer_, &QTimer::timeout, this, &DictionaryViewer::fillSlice);

    connect(list1_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { List1_Click(list1_->row(item)); });
    connect(list1_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { List1_Click(list1_->row(item)); });
    connect(list2_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { List_DblClick(list2_, list2_->row(item)); });
    connect(list3_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { List_DblClick(list3_, list3_->row(item)); });
    connect(text1_, &QLineEdit::textChanged, this, &DictionaryViewer::Text1_Change);
    connect(command2_, &QPushButton::clicked, this, &DictionaryViewer::Command2_Click);
    connect(command1_, &QPushButton::clicked, this, &QDialog::accept);

    Form_Load();
}

void DictionaryViewer::Form_Load() {
    label1_->setText(QStringLiteral(" Dictionaries Folder =  ") + shown(store_.DictFolder));
    list1_->clear();
    for (int i = 1; i <= SearchedDictionaries; ++i) {
        if (store_.DictFileName[i].empty())
            break;
        list1_->addItem(QStringLiteral("D%1-").arg(i) + shown(store_.DictFileName[i]));
    }
}

void DictionaryViewer::List1_Click(int row) {
    // List1 is disabled while listing, but a click queued before that, or a
    // keyboard activation, must not start a second listing.
    if (filling_ || row < 0 || row >= list1_->count())
        return;
    command2_->hide();
    list1_->setEnabled(false);
    n_ = row + 1;
    inif_ = 1;
    numE_ = 0;
    riga2_.clear();
    list2_->clear();
    list3_->clear();
    items2_.clear();
    items3_.clear();
    list2_->hide();
    list3_->hide();
    filling_ = true;
    fillTimer_->start();
}

void DictionaryViewer::fillSlice() {
    const std::string& text = store_.DictText[n_];
    const long long length = static_cast<long long>(text.size());
    const bool base = n_ == 1;
    QStringList lines2;
    QStringList lines3;
    const auto flush = [&] {
        list2_->addItems(lines2);
        list3_->addItems(lines3);
        lines2.clear();
        lines3.clear();
    };
    const auto add = [](std::vector<std::string>& items, QStringList& lines, std::string entry) {
        lines << shown(entry);
        items.push_back(std::move(entry));
    };

    QElapsedTimer clock;
    clock.start();
    bool more = true;
    int batch = 0;
    while (more) {
        const std::size_t from = static_cast<std::size_t>(inif_ - 1);
        const std::size_t sep =
            from <= text.size() ? text.find(LineSeparator, from) : std::string::npos;
        const long long sca =
            sep == std::string::npos ? length + 1 : static_cast<long long>(sep) + 1;
        const std::size_t count = sca - 1 > inif_ - 1 ? static_cast<std::size_t>(sca - inif_) : 0;
        const std::string_view line =
            trimBlanks(std::string_view(text).substr(std::min(from, text.size()), count));
        // The initial is taken before a code is written out: a base line that
        // is just "#" is a remark, not the vowel set "(AI)".
        const char initial = line.empty() ? '\0' : line.front();
        std::string entry = viewerEntry(line, base);

        if (!entry.empty() && initial != '\'' && initial != '#') {
            ++numE_;
            const auto code = static_cast<unsigned char>(initial);
            if (!base || code < 'M') {
                add(items2_, lines2, std::move(entry));
            } else {
                if (code == 'M' && riga2_.empty()) {
                    riga2_ = entry;
                    add(items2_, lines2, std::string(ContinueMarker));
                    add(items3_, lines3, std::string(BackMarker));
                }
                add(items3_, lines3, std::move(entry));
            }
        }

        inif_ = sca + 2;
        more = inif_ < length - 3;
        if (++batch == BatchEntries) {
            batch = 0;
            flush();
            if (clock.elapsed() >= SliceMilliseconds)
                break;
        }
    }

    flush();
    label3_->setText(QStringLiteral("Total Items = %1").arg(numE_));
    if (!more)
        finishFill();
}

void DictionaryViewer::finishFill() {
    fillTimer_->stop();
    filling_ = false;
    if (numE_ >= SplitThreshold)
        command2_->show();
    // List3, when the field showed it during the listing, stays over List2.
    list2_->setVisible(list3_->isHidden());
    list1_->setEnabled(true);
    Text1_Change();
    emit fillFinished();
}

void DictionaryViewer::Text1_Change() {
    const std::string s = searchText(text1_->text());
    if (n_ == 1) {
        if (s.empty())
            return;
        if (static_cast<unsigned char>(s.front()) >= 'M') {
            list2_->hide();
            list3_->show();
            command2_->setText(QStringLiteral("A-L<="));
        } else {
            list3_->hide();
            list2_->show();
            command2_->setText(QStringLiteral("M-Z=>"));
        }
    }
    const bool second = list3_->isHidden();
    QListWidget* list = second ? list2_ : list3_;
    const int index = viewerSearchIndex(second ? items2_ : items3_, s);
    // While a listing runs, the widget may lag behind the item bytes by
    // the current slice.
    if (index >= 0 && index < list->count()) {
        list->setCurrentRow(index);
        list->scrollToItem(list->item(index), QAbstractItemView::PositionAtCenter);
    }
}

void DictionaryViewer::setSearchText(const QString& text) {
    // The search runs once, whether or not the field's text changes.
    {
        const QSignalBlocker block(text1_);
        text1_->setText(text);
    }
    Text1_Change();
}

void DictionaryViewer::Command2_Click() {
    setSearchText(list3_->isHidden() ? QStringLiteral("m") : QStringLiteral("a"));
}

void DictionaryViewer::List_DblClick(QListWidget* list, int row) {
    if (row < 0 || row >= list->count())
        return;
    setSearchText(list->item(row)->text());
}

void DictionaryViewer::done(int result) {
    fillTimer_->stop();
    filling_ = false;
    QDialog::done(result);
}

} // namespace korvel
